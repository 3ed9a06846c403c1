#include "event_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

#include "loopback.h"

namespace ws {

namespace {

constexpr std::size_t kMaxConnections = 4096;
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

}  // namespace

struct EventServer::Connection {
  enum class State { kReading, kWaiting, kSending, kHolding };
  int fd = -1;
  std::uint64_t number = 0;
  FaultMode fault = FaultMode::kNone;
  State state = State::kReading;
  std::string received;
  Reply reply;
  std::uint64_t sent = 0;
  std::uint64_t limit = 0;  // bytes to send before finishing
  Clock::time_point wakeAt{};
  bool timed = false;
  bool watchingOutput = false;
  bool holdsPortClosed = false;  // the port reopens only after this connection ends
};

EventServer::EventServer(ArticleSite& site, ServerOptions options)
    : site_(site), options_(std::move(options)) {}

EventServer::~EventServer() {
  for (auto& [fd, c] : connections_) ::close(fd);
  if (listener_ >= 0) ::close(listener_);
  if (stopEvent_ >= 0) ::close(stopEvent_);
  if (epoll_ >= 0) ::close(epoll_);
}

bool EventServer::start(std::string* error) {
  epoll_ = ::epoll_create1(EPOLL_CLOEXEC);
  stopEvent_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (epoll_ < 0 || stopEvent_ < 0) {
    *error = std::string("epoll: ") + std::strerror(errno);
    return false;
  }
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = stopEvent_;
  ::epoll_ctl(epoll_, EPOLL_CTL_ADD, stopEvent_, &ev);
  port_ = options_.port;
  const bool refuseFirst = options_.faults.faultFor(nextNumber_) == FaultMode::kRefuse;
  if (!openListener(!refuseFirst, error)) return false;
  if (refuseFirst) {
    ++nextNumber_;
    listenerReopenAt_ = Clock::now() + kRefuseWindow;
  }
  return true;
}

// A socket bound to the port but not listening keeps the port reserved while
// connection attempts to it are refused.
bool EventServer::openListener(bool listening, std::string* error) {
  if (listener_ >= 0) {
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
    ::close(listener_);
  }
  listenerState_ = ListenerState::kClosed;
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listener_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int one = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address = loopbackAddress(port_);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    *error = "bind 127.0.0.1:" + std::to_string(port_) + ": " + std::strerror(errno);
    return false;
  }
  socklen_t length = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  if (!listening) return true;
  if (::listen(listener_, 1024) != 0) {
    *error = std::string("listen: ") + std::strerror(errno);
    return false;
  }
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = listener_;
  ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_, &ev);
  listenerState_ = ListenerState::kListening;
  return true;
}

void EventServer::stop() {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(stopEvent_, &one, sizeof one);
}

void EventServer::run() {
  std::array<epoll_event, 256> events;
  for (;;) {
    const int n = ::epoll_wait(epoll_, events.data(), events.size(), waitMilliseconds());
    if (n < 0 && errno != EINTR) return;
    for (int i = 0; i < n; ++i) {
      const int fd = events[i].data.fd;
      if (fd == stopEvent_) return;
      if (fd == listener_ && listenerState_ == ListenerState::kListening) {
        acceptAll();
        continue;
      }
      const auto it = connections_.find(fd);
      if (it != connections_.end()) onEvent(*it->second, events[i].events);
    }
    fireTimers();
    checkListener();
  }
}

void EventServer::acceptAll() {
  for (;;) {
    const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // Out of descriptors: stop accepting for a moment instead of spinning.
        ::epoll_ctl(epoll_, EPOLL_CTL_DEL, listener_, nullptr);
        listenerState_ = ListenerState::kPaused;
        listenerReopenAt_ = Clock::now() + kAcceptPause;
      }
      return;
    }
    const std::uint64_t number = nextNumber_++;
    const FaultMode fault = options_.faults.faultFor(number);
    const bool refuseNext = options_.faults.faultFor(nextNumber_) == FaultMode::kRefuse;
    if (refuseNext) {
      // The next attempt is to be refused: the port closes now and stays
      // closed until a while after this connection has ended, so that a
      // client asking one request after the other meets the closed port.
      std::string error;
      ++nextNumber_;
      openListener(false, &error);
      listenerReopenAt_ = Clock::time_point::max();
    }
    if (fault == FaultMode::kClose || connections_.size() >= kMaxConnections) {
      ::close(fd);
      if (refuseNext) listenerReopenAt_ = Clock::now() + kRefuseWindow;
    } else {
      auto c = std::make_unique<Connection>();
      c->fd = fd;
      c->number = number;
      c->fault = fault;
      c->holdsPortClosed = refuseNext;
      Connection& ref = *c;
      connections_.emplace(fd, std::move(c));
      epoll_event ev{};
      ev.events = EPOLLIN | EPOLLRDHUP;
      ev.data.fd = fd;
      ::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &ev);
      setTimer(ref, Clock::now() + kRequestTimeout);
    }
    if (refuseNext) return;
  }
}

void EventServer::checkListener() {
  if (listenerState_ == ListenerState::kListening || Clock::now() < listenerReopenAt_) return;
  if (listenerState_ == ListenerState::kPaused) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = listener_;
    ::epoll_ctl(epoll_, EPOLL_CTL_ADD, listener_, &ev);
    listenerState_ = ListenerState::kListening;
    return;
  }
  if (options_.faults.faultFor(nextNumber_) == FaultMode::kRefuse) {
    ++nextNumber_;  // one more refused attempt: the port stays closed
    listenerReopenAt_ = Clock::now() + kRefuseWindow;
    return;
  }
  std::string error;
  if (!openListener(true, &error)) listenerReopenAt_ = Clock::now() + kRefuseWindow;
}

void EventServer::onEvent(Connection& c, std::uint32_t events) {
  if (c.state == Connection::State::kReading || c.state == Connection::State::kHolding) {
    if (events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) readRequest(c);
    return;
  }
  if (events & (EPOLLHUP | EPOLLERR)) {
    closeConnection(c, false);
    return;
  }
  if (c.state == Connection::State::kSending && (events & EPOLLOUT)) sendSome(c);
}

void EventServer::readRequest(Connection& c) {
  std::array<char, 4096> buffer;
  for (;;) {
    const ssize_t n = ::recv(c.fd, buffer.data(), buffer.size(), 0);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      closeConnection(c, false);  // the client went away
      return;
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (c.state == Connection::State::kHolding) continue;  // read and forgotten
    c.received.append(buffer.data(), static_cast<std::size_t>(n));
    HttpRequest request;
    const RequestStatus status = parseRequestHead(c.received, request);
    if (status == RequestStatus::kIncomplete) continue;
    if (status == RequestStatus::kMalformed) {
      c.reply = ArticleSite::badRequest();
    } else if (c.fault == FaultMode::kHold) {
      c.state = Connection::State::kHolding;
      c.timed = false;
      timers_.erase({c.wakeAt, c.fd});
      continue;
    } else {
      const std::string fallbackHost = "127.0.0.1:" + std::to_string(port_);
      c.reply = site_.answer(request, fallbackHost, c.fault);
    }
    c.received.clear();
    c.received.shrink_to_fit();
    beginReply(c);
    return;
  }
}

void EventServer::beginReply(Connection& c) {
  c.limit = c.reply.size();
  if (c.fault == FaultMode::kReset) c.limit /= 2;
  if (options_.latencyMs > 0) {
    c.state = Connection::State::kWaiting;
    watch(c, 0);
    setTimer(c, Clock::now() + std::chrono::milliseconds(options_.latencyMs));
    return;
  }
  startSending(c);
}

void EventServer::startSending(Connection& c) {
  c.state = Connection::State::kSending;
  if (c.fault == FaultMode::kDrip) {
    watch(c, 0);
    dripOne(c);
    return;
  }
  if (c.timed) {
    timers_.erase({c.wakeAt, c.fd});
    c.timed = false;
  }
  sendSome(c);  // most replies fit the socket buffer and are done here
}

void EventServer::sendSome(Connection& c) {
  while (c.sent < c.limit) {
    std::string_view piece = c.reply.bytesAt(c.sent);
    if (piece.size() > c.limit - c.sent) piece = piece.substr(0, c.limit - c.sent);
    const ssize_t n = ::send(c.fd, piece.data(), piece.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        if (!c.watchingOutput) {
          watch(c, EPOLLOUT);
          c.watchingOutput = true;
        }
        return;
      }
      closeConnection(c, false);
      return;
    }
    c.sent += static_cast<std::uint64_t>(n);
  }
  finish(c);
}

void EventServer::dripOne(Connection& c) {
  if (c.sent < c.limit) {
    const std::string_view piece = c.reply.bytesAt(c.sent);
    const ssize_t n = ::send(c.fd, piece.data(), 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      closeConnection(c, false);
      return;
    }
    if (n > 0) ++c.sent;
  }
  if (c.sent >= c.limit) {
    finish(c);
    return;
  }
  setTimer(c, Clock::now() + kDripInterval);
}

void EventServer::finish(Connection& c) {
  closeConnection(c, c.fault == FaultMode::kReset);
}

void EventServer::closeConnection(Connection& c, bool reset) {
  const int fd = c.fd;
  if (c.timed) timers_.erase({c.wakeAt, fd});
  if (c.holdsPortClosed) listenerReopenAt_ = Clock::now() + kRefuseWindow;
  // Closing the only descriptor of the socket also takes it out of the epoll set.
  if (reset) {
    const linger hard{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  } else {
    // Whatever the client sent after its request is read away, so that closing
    // sends an orderly end of stream rather than a reset that could cost the
    // client the tail of its reply.
    ::shutdown(fd, SHUT_WR);
    std::array<char, 4096> sink;
    while (::recv(fd, sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
    }
  }
  ::close(fd);
  connections_.erase(fd);  // destroys c
}

void EventServer::watch(Connection& c, std::uint32_t events) {
  epoll_event ev{};
  ev.events = events;
  ev.data.fd = c.fd;
  ::epoll_ctl(epoll_, EPOLL_CTL_MOD, c.fd, &ev);
}

void EventServer::setTimer(Connection& c, Clock::time_point when) {
  if (c.timed) timers_.erase({c.wakeAt, c.fd});
  c.wakeAt = when;
  c.timed = true;
  timers_.emplace(when, c.fd);
}

void EventServer::fireTimers() {
  const auto now = Clock::now();
  while (!timers_.empty() && timers_.begin()->first <= now) {
    const int fd = timers_.begin()->second;
    timers_.erase(timers_.begin());
    const auto it = connections_.find(fd);
    if (it == connections_.end()) continue;
    Connection& c = *it->second;
    c.timed = false;
    switch (c.state) {
      case Connection::State::kReading:
        closeConnection(c, false);  // request never completed
        break;
      case Connection::State::kWaiting:
        startSending(c);
        break;
      case Connection::State::kSending:
        dripOne(c);
        break;
      case Connection::State::kHolding:
        break;
    }
  }
}

int EventServer::waitMilliseconds() const {
  Clock::time_point next = Clock::time_point::max();
  if (!timers_.empty()) next = timers_.begin()->first;
  if (listenerState_ != ListenerState::kListening && listenerReopenAt_ < next)
    next = listenerReopenAt_;
  if (next == Clock::time_point::max()) return -1;
  const auto now = Clock::now();
  if (next <= now) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
  return static_cast<int>(std::min<long long>(ms, 60000));
}

}  // namespace ws
