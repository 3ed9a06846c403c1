// The ArticleServer address as the build names it.
#pragma once

#include <string>
#include <string_view>

#include "net/transport.h"

namespace ws {

struct ArticleAddress {
  Transport transport = Transport::kPlain;
  // "name" or "name:port", exactly as written in the Host header and in Location lines.
  std::string host;
};

// Reads a build's server address: "https://HOST[:PORT]" (scheme in any case) selects kTls;
// "http://HOST[:PORT]" or a bare "HOST[:PORT]" selects kPlain. The scheme is removed; the rest
// is kept byte for byte, so a bare value is the host text unchanged.
ArticleAddress parseArticleAddress(std::string_view address);

}  // namespace ws
