#include "net/article_host.h"

#ifndef WS_ARTICLE_HOST
#error "WS_ARTICLE_HOST must name the ArticleServer's host"
#endif

namespace ws {

std::string_view articleHost() { return WS_ARTICLE_HOST; }

}  // namespace ws
