// A minimal blocking HTTP/1.0 client over IPv4 TCP.
#pragma once

#include <string>
#include <string_view>

namespace ws {

// The four texts httpGet returns instead of a reply. They never start a real reply, which
// always begins with a status line.
inline constexpr std::string_view kResolveErrorText = "Error: IP couldn't be resolved!";
inline constexpr std::string_view kSocketErrorText = "Error: Socket couldn't be opened.";
inline constexpr std::string_view kConnectErrorText = "Error: Couldn't connect to host";
inline constexpr std::string_view kSendErrorText = "Error: Couldn't send request";

// Bytes read per receive call.
inline constexpr size_t kReceiveBlockSize = 16384;

// The exact request bytes:
//   "GET /" path " HTTP/1.0" CRLF "Host: " host CRLF "Connection: close" CRLF extraHeaders CRLF
// REQUIRES: extraHeaders is empty or ends with its own CR LF.
std::string buildGetRequest(std::string_view host, std::string_view path,
                            std::string_view extraHeaders);

// Connects to `host` (a dotted IPv4 address or a name, optionally followed by ":port"; the port
// defaults to 80), sends buildGetRequest(host, path, extraHeaders) and returns every byte the
// server sends until it closes the connection: status line, headers and body, unparsed.
// A received block that contains a zero byte contributes only the bytes before it, so the
// result never holds a zero byte. A receive error ends the reply with what arrived so far.
// Failures before the reply return one of the four error texts above. Blocks without limit
// while the server keeps the connection open. The socket is closed on every path.
// REQUIRES: path has no leading "/" and is already percent-encoded.
std::string httpGet(std::string_view host, std::string_view path,
                    std::string_view extraHeaders = {});

}  // namespace ws
