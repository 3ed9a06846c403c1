#include "tls_front.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "loopback.h"

namespace ws {

namespace {

constexpr int kSilenceMs = 30000;
constexpr std::size_t kRelayBlock = 65536;

bool sendWhole(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::send(fd, bytes, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Closing with unread bytes would reset the connection and could cost the client the tail of
// its reply; what the client still sent is read away first.
void closeGently(int fd) {
  ::shutdown(fd, SHUT_WR);
  std::array<char, 4096> sink;
  while (::recv(fd, sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
  }
  ::close(fd);
}

}  // namespace

struct TlsFront::Context {
  SSL_CTX* ssl = nullptr;
  ~Context() { SSL_CTX_free(ssl); }
};

struct TlsFront::Relay {
  int client = -1;
  std::uint64_t number = 0;
  std::thread thread;
  std::atomic<bool> done{false};
};

TlsFront::TlsFront() : context_(std::make_unique<Context>()) {}

TlsFront::~TlsFront() {
  reapFinished(true);
  if (listener_ >= 0) ::close(listener_);
  if (stopEvent_ >= 0) ::close(stopEvent_);
}

bool TlsFront::start(const std::string& certificateFile, const std::string& keyFile,
                     std::uint16_t port, std::uint16_t innerPort, std::string* error) {
  innerPort_ = innerPort;
  context_->ssl = SSL_CTX_new(TLS_server_method());
  if (context_->ssl == nullptr ||
      SSL_CTX_use_certificate_chain_file(context_->ssl, certificateFile.c_str()) != 1 ||
      SSL_CTX_use_PrivateKey_file(context_->ssl, keyFile.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(context_->ssl) != 1) {
    std::array<char, 256> reason{};
    ERR_error_string_n(ERR_get_error(), reason.data(), reason.size());
    *error = "TLS certificate " + certificateFile + " / key " + keyFile + ": " + reason.data();
    return false;
  }
  stopEvent_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (stopEvent_ < 0 || listener_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int one = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address = loopbackAddress(port);
  socklen_t length = sizeof address;
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 1024) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    *error = "bind 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    return false;
  }
  port_ = ntohs(address.sin_port);
  return true;
}

void TlsFront::stop() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(stopEvent_, &one, sizeof one);
}

void TlsFront::run() {
  for (;;) {
    std::array<pollfd, 2> waiting{{{listener_, POLLIN, 0}, {stopEvent_, POLLIN, 0}}};
    if (::poll(waiting.data(), waiting.size(), 1000) < 0 && errno != EINTR) break;
    reapFinished(false);
    if (waiting[1].revents != 0) break;
    if (waiting[0].revents == 0) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const timeval silence{kSilenceMs / 1000, 0};
    ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &silence, sizeof silence);
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &silence, sizeof silence);
    std::lock_guard lock(mutex_);
    Relay& r = relays_.emplace_back();
    r.client = client;
    r.number = ++accepted_;
    r.thread = std::thread([this, &r] {
      relay(r);
      r.done = true;
    });
  }
  reapFinished(true);
}

void TlsFront::reapFinished(bool all) {
  std::list<Relay> finished;
  {
    std::lock_guard lock(mutex_);
    for (auto it = relays_.begin(); it != relays_.end();) {
      if (all && !it->done) ::shutdown(it->client, SHUT_RDWR);  // ends its blocking calls
      if (all || it->done) {
        auto next = std::next(it);
        finished.splice(finished.end(), relays_, it);
        it = next;
      } else {
        ++it;
      }
    }
  }
  for (Relay& r : finished) r.thread.join();
}

void TlsFront::relay(Relay& r) {
  SSL* ssl = SSL_new(context_->ssl);
  int inner = -1;
  const bool shook = ssl != nullptr && SSL_set_fd(ssl, r.client) == 1 && SSL_accept(ssl) == 1;
  if (shook) inner = connectLoopback(innerPort_);
  if (logConnections_) {
    const char* how = !shook                    ? "handshake failed"
                      : SSL_session_reused(ssl) ? "resumed"
                                                : "full handshake";
    std::fprintf(stderr, "article-server: TLS connection %llu: %s\n",
                 static_cast<unsigned long long>(r.number), how);
  }
  bool clientOpen = true;
  bool orderlyEnd = inner >= 0 ? false : ssl != nullptr && SSL_is_init_finished(ssl);
  std::string block(kRelayBlock, '\0');
  while (inner >= 0) {
    std::array<pollfd, 2> waiting{
        {{r.client, static_cast<short>(clientOpen ? POLLIN : 0), 0}, {inner, POLLIN, 0}}};
    const bool buffered = clientOpen && SSL_pending(ssl) > 0;
    if (!buffered) {
      const int ready = ::poll(waiting.data(), waiting.size(), kSilenceMs);
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) break;
    }
    if (buffered || (clientOpen && waiting[0].revents != 0)) {
      const int n = SSL_read(ssl, block.data(), static_cast<int>(block.size()));
      if (n > 0 && sendWhole(inner, block.data(), static_cast<std::size_t>(n))) continue;
      clientOpen = false;  // the client is done sending; its reply may still be on the way
      ::shutdown(inner, SHUT_WR);
      continue;
    }
    if (waiting[1].revents == 0) continue;
    const ssize_t n = ::recv(inner, block.data(), block.size(), 0);
    if (n > 0) {
      if (SSL_write(ssl, block.data(), static_cast<int>(n)) <= 0) break;
      continue;
    }
    orderlyEnd = n == 0;  // a reset of the inner connection cuts the TLS stream off
    break;
  }
  if (orderlyEnd) SSL_shutdown(ssl);
  if (inner >= 0) ::close(inner);
  SSL_free(ssl);
  ERR_clear_error();
  std::lock_guard lock(mutex_);
  closeGently(r.client);
  r.client = -1;
}

}  // namespace ws
