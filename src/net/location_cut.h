// Cutting the article path out of the random page's redirect. Pure text functions.
#pragma once

#include <string>
#include <string_view>

#include "net/transport.h"

namespace ws {

// The Location line the cut looks for:
//   kPlain: "Location: http://" + host + "/wiki/", matched byte for byte (case included);
//   kTls:   "location: https://" + host + "/wiki/", the header name "location" matched without
//           regard to case (header names are case-insensitive), everything after it exactly.
std::string locationMarker(std::string_view host, Transport transport = Transport::kPlain);

// The article path named by the first location marker of `reply`: everything from "wiki/"
// up to (not including) the first CR LF after the marker, or to the end of the reply when no
// CR LF follows. Empty when the reply holds no marker. The title stays percent-encoded.
std::string cutArticlePath(std::string_view reply, std::string_view host,
                           Transport transport = Transport::kPlain);

}  // namespace ws
