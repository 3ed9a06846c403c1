// A minimal blocking HTTP/1.0 client over IPv4 TCP.
#pragma once

#include <string>
#include <string_view>

#include "net/get_request.h"
#include "net/reply_block.h"
#include "net/tcp_connection.h"

namespace ws {

// Connects to `host` (a dotted IPv4 address or a name, optionally followed by ":port"; the port
// defaults to 80), sends buildGetRequest(host, path, extraHeaders) and returns every byte the
// server sends until it closes the connection: status line, headers and body, unparsed. A reply
// ends after kReplyLimit bytes (reply_block.h) even while the server goes on sending.
// A received block that contains a zero byte contributes only the bytes before it, so the
// result never holds a zero byte. A receive error ends the reply with what arrived so far.
// Failures before the reply return one of the four error texts of tcp_connection.h. Blocks
// without limit while the server keeps the connection open, unless the request is given up
// (interrupted_calls.h): then the reply ends with what arrived. The socket is closed on every
// path.
// REQUIRES: path has no leading "/" and is already percent-encoded.
std::string httpGet(std::string_view host, std::string_view path,
                    std::string_view extraHeaders = {});

}  // namespace ws
