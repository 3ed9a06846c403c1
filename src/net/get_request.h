// The bytes of one GET request. Pure text functions.
#pragma once

#include <string>
#include <string_view>

namespace ws {

// The exact request bytes:
//   "GET /" path " HTTP/1.0" CRLF "Host: " host CRLF "Connection: close" CRLF extraHeaders CRLF
// REQUIRES: extraHeaders is empty or ends with its own CR LF.
std::string buildGetRequest(std::string_view host, std::string_view path,
                            std::string_view extraHeaders);

// "User-Agent: " + agent + CR LF, an extra-headers text for buildGetRequest.
// REQUIRES: agent holds no CR or LF.
std::string userAgentHeader(std::string_view agent);

}  // namespace ws
