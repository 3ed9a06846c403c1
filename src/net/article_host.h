// The ArticleServer address the program was built for.
#pragma once

#include <string_view>

namespace ws {

// The host fixed at build time (CMake's ARTICLE_HOST), "name" or "name:port". It lives in a
// library of its own, ws_article_host, so that a build for another server (the end-to-end
// tests' crawler) links its own definition instead.
std::string_view articleHost();

}  // namespace ws
