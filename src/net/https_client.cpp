#include "net/https_client.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <optional>

#include "net/get_request.h"
#include "net/host_port.h"
#include "net/interrupted_calls.h"
#include "net/name_lookup.h"
#include "net/reply_block.h"
#include "net/socket_calls.h"
#include "net/tcp_connection.h"
#include "net/trust_store.h"

namespace ws {
namespace {

using Clock = std::chrono::steady_clock;

// The connection's socket as OpenSSL sees it: every read and write waits at most the receive
// time-out and never past the deadline, retries interruptions itself (unless the request is given
// up, see interrupted_calls.h) and never raises SIGPIPE.
struct SocketState {
  SocketDescriptor socket;
  std::chrono::milliseconds silence;  // the receive time-out
  Clock::time_point deadline;         // the end of the whole exchange
  bool timedOut = false;
};

// Waits for `events`; false (and timedOut set) when the silence time-out or the deadline came
// first; false also when the request is given up.
bool waitUntilReady(SocketState& state, SocketDirection direction) {
  SocketWait wait;
  do {
    if (requestsGivenUp()) return false;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(state.deadline - Clock::now());
    const long long waitMs =
        std::clamp<long long>(std::min(left, state.silence).count(), 0, INT_MAX);
    wait = waitMs > 0 ? waitForSocket(state.socket, direction, std::chrono::milliseconds(waitMs))
                      : SocketWait::kTimedOut;
  } while (wait == SocketWait::kInterrupted);
  if (wait == SocketWait::kTimedOut) state.timedOut = true;
  return wait == SocketWait::kReady;
}

int socketRead(BIO* bio, char* buffer, int size) {
  SocketState& state = *static_cast<SocketState*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  if (!waitUntilReady(state, SocketDirection::kReceive)) return -1;
  return static_cast<int>(receiveSome(state.socket, buffer, static_cast<size_t>(size)));
}

int socketWrite(BIO* bio, const char* bytes, int size) {
  SocketState& state = *static_cast<SocketState*>(BIO_get_data(bio));
  BIO_clear_retry_flags(bio);
  if (!waitUntilReady(state, SocketDirection::kSend)) return -1;
  return static_cast<int>(sendSome(state.socket, bytes, static_cast<size_t>(size)));
}

long socketControl(BIO*, int command, long, void*) {
  return command == BIO_CTRL_FLUSH ? 1 : 0;
}

struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

// Names the server must prove: an address is checked against the certificate's IP entries,
// a name against its DNS entries and sent as SNI.
bool expectPeer(SSL* ssl, const std::string& name) {
  if (parseDottedIPv4(name))
    return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), name.c_str());
  SSL_set_hostflags(ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  return SSL_set_tlsext_host_name(ssl, name.c_str()) == 1 && SSL_set1_host(ssl, name.c_str()) == 1;
}

// The platform's roots that OpenSSL's default paths do not hold (net/trust_store.h); one that
// does not parse is left out.
void addSystemRoots(X509_STORE* store) {
  for (const std::string& der : systemRootCertificates()) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(der.data());
    X509* certificate = d2i_X509(nullptr, &bytes, static_cast<long>(der.size()));
    if (certificate == nullptr) continue;
    X509_STORE_add_cert(store, certificate);  // a duplicate is refused, harmlessly
    X509_free(certificate);
  }
}

std::string receiveAll(SSL* ssl, bool& closedCleanly) {
  std::string reply;
  const long last = receiveBlocks(reply, [ssl](char* block, size_t size) {
    return static_cast<long>(SSL_read(ssl, block, static_cast<int>(size)));
  });
  closedCleanly = SSL_get_error(ssl, static_cast<int>(last)) == SSL_ERROR_ZERO_RETURN;
  return reply;
}

}  // namespace

// The TLS configuration and the one session kept for resumption.
struct HttpsClient::Context {
  SSL_CTX* ssl = nullptr;
  BIO_METHOD* socketMethod = nullptr;
  // The newest session the server gave on a verified connection to sessionHost; offered to that
  // host (and no other) on the next connection.
  SSL_SESSION* session = nullptr;
  std::string sessionHost;
  std::string connectingHost;  // the host of the connection under way

  ~Context() {
    dropSession();
    SSL_CTX_free(ssl);
    BIO_meth_free(socketMethod);
  }
  void dropSession() {
    SSL_SESSION_free(session);
    session = nullptr;
    sessionHost.clear();
  }
  // OpenSSL's new-session callback: keeps the session (a reference of its own), which arrives
  // during the handshake or, as a TLS 1.3 ticket, with the reply.
  static int keepSession(SSL* connection, SSL_SESSION* newSession) {
    auto* self = static_cast<Context*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(connection)));
    if (newSession == self->session) return 0;  // already kept
    self->dropSession();
    self->session = newSession;
    self->sessionHost = self->connectingHost;
    return 1;
  }
};

HttpsClient::HttpsClient(TlsSettings settings)
    : settings_(std::move(settings)), context_(std::make_unique<Context>()) {
  context_->ssl = SSL_CTX_new(TLS_client_method());
  if (context_->ssl != nullptr) {
    SSL_CTX_set_min_proto_version(context_->ssl, TLS1_2_VERSION);
    SSL_CTX_set_verify(context_->ssl, SSL_VERIFY_PEER, nullptr);
    // Sessions are kept by the client itself, one for the host it talks to.
    SSL_CTX_set_app_data(context_->ssl, context_.get());
    SSL_CTX_set_session_cache_mode(context_->ssl,
                                   SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(context_->ssl, Context::keepSession);
    if (settings_.caFile.empty()) {
      SSL_CTX_set_default_verify_paths(context_->ssl);
      addSystemRoots(SSL_CTX_get_cert_store(context_->ssl));
    } else {
      SSL_CTX_load_verify_locations(context_->ssl, settings_.caFile.c_str(), nullptr);
    }
  }
  context_->socketMethod = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "ws socket");
  if (context_->socketMethod != nullptr) {
    BIO_meth_set_read(context_->socketMethod, socketRead);
    BIO_meth_set_write(context_->socketMethod, socketWrite);
    BIO_meth_set_ctrl(context_->socketMethod, socketControl);
  }
  ERR_clear_error();
}

HttpsClient::~HttpsClient() = default;

std::string HttpsClient::get(std::string_view host, std::string_view path,
                             std::string_view extraHeaders) {
  const std::optional<Endpoint> endpoint = splitHostPort(host, kHttpsDefaultPort);
  if (!endpoint) return std::string(kResolveErrorText);
  TcpConnection connection = openTcpConnection(*endpoint, settings_.connectTimeout);
  if (!connection.errorText.empty()) return std::string(connection.errorText);

  SocketState state{connection.socket.get(), settings_.receiveTimeout,
                    Clock::now() + settings_.replyDeadline};
  std::unique_ptr<SSL, SslFree> ssl(context_->ssl ? SSL_new(context_->ssl) : nullptr);
  BIO* bio = ssl && context_->socketMethod ? BIO_new(context_->socketMethod) : nullptr;
  if (bio == nullptr) {
    ERR_clear_error();
    return std::string(kHandshakeErrorText);
  }
  BIO_set_data(bio, &state);
  BIO_set_init(bio, 1);
  SSL_set_bio(ssl.get(), bio, bio);  // the SSL owns the BIO from here on

  // The session of the last connection is offered only to the same host; the server may take
  // it up (no certificate is sent then, as it was verified for this host before) or not.
  context_->connectingHost = std::string(host);
  if (context_->session != nullptr && context_->sessionHost == host) {
    SSL_set_session(ssl.get(), context_->session);
  }
  std::string_view failure;
  if (!expectPeer(ssl.get(), endpoint->name)) {
    failure = kHandshakeErrorText;
  } else if (SSL_connect(ssl.get()) != 1) {
    failure = SSL_get_verify_result(ssl.get()) != X509_V_OK ? kCertificateErrorText
              : state.timedOut                              ? kTimeoutErrorText
                                                            : kHandshakeErrorText;
    context_->dropSession();
  } else {
    const std::string request = buildGetRequest(host, path, extraHeaders);
    if (request.size() > INT_MAX ||
        SSL_write(ssl.get(), request.data(), static_cast<int>(request.size())) <= 0) {
      failure = kSendErrorText;
    }
  }
  if (!failure.empty()) {
    ERR_clear_error();
    return std::string(failure);
  }

  bool closedCleanly = false;
  std::string reply = receiveAll(ssl.get(), closedCleanly);
  if (closedCleanly) SSL_shutdown(ssl.get());  // answers the server's close_notify with ours
  ERR_clear_error();
  shutdownSocket(state.socket);
  if (reply.empty() && state.timedOut) return std::string(kTimeoutErrorText);
  return reply;
}

}  // namespace ws
