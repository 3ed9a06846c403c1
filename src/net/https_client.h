// A minimal blocking HTTPS client: the HTTP/1.0 request of http_client.h over TLS.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace ws {

// The port of an https host written without one.
inline constexpr uint16_t kHttpsDefaultPort = 443;

// Texts returned instead of a reply, besides the four of tcp_connection.h.
inline constexpr std::string_view kHandshakeErrorText = "Error: TLS handshake failed";
inline constexpr std::string_view kCertificateErrorText = "Error: Certificate couldn't be verified";
inline constexpr std::string_view kTimeoutErrorText = "Error: Host didn't answer in time";

struct TlsSettings {
  // PEM file of the certificates to trust; empty means the system's trust store.
  std::string caFile;
  // A connect not done in this time fails with the connect text.
  std::chrono::milliseconds connectTimeout{30000};
  // Longest wait for the next bytes from the server (or for room to send): once it passes,
  // the request ends like a close, with what arrived, or the time-out text when nothing did.
  std::chrono::milliseconds receiveTimeout{30000};
  // Longest time from the start of the TLS handshake to the end of the reply, however steadily
  // the server sends: once it passes, the request ends as after the receive time-out.
  std::chrono::milliseconds replyDeadline{120000};
};

// One TLS configuration (trust store, protocol floor TLS 1.2) for any number of requests. It
// keeps the session of its last verified connection (a ticket or session ID, as the server
// offers) and offers it on the next connection to the same host, so that a server that takes
// it up needs no full handshake. A failed handshake forgets the session.
// Not thread-safe: one thread makes the requests.
class HttpsClient {
 public:
  // Loads the trust store once. A CA file that cannot be read leaves the store empty, so every
  // request then fails with the certificate text.
  explicit HttpsClient(TlsSettings settings);
  ~HttpsClient();
  HttpsClient(const HttpsClient&) = delete;
  HttpsClient& operator=(const HttpsClient&) = delete;

  // Like httpGet (same request bytes, same receive rules: 16384-byte reads, a block's bytes
  // after a zero byte dropped, read until the server ends the stream), over TLS to `host`
  // ("name[:port]", port 443 by default). The server's certificate chain must lead to a trusted
  // certificate and name the host (a DNS name, or an IPv4 address given as one); a DNS name is
  // also sent as SNI. Without a trusted, matching certificate no request is sent. A TLS
  // close_notify, a plain close and a truncated stream all end the reply with what arrived, and
  // so do the receive time-out and the reply deadline (the time-out text when nothing arrived)
  // and kReplyLimit bytes (then without close_notify).
  // Never raises SIGPIPE; the socket and every TLS object are freed on every path.
  // REQUIRES: path has no leading "/" and is already percent-encoded.
  std::string get(std::string_view host, std::string_view path, std::string_view extraHeaders);

 private:
  struct Context;
  TlsSettings settings_;
  std::unique_ptr<Context> context_;
};

}  // namespace ws
