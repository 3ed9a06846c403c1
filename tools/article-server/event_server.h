#pragma once
// The stand-in server's network side: one thread, one epoll loop, any number
// of connections on 127.0.0.1. Each connection carries one request and one
// reply (HTTP/1.0); the server closes it after the reply. Delivery faults
// (refuse, close, reset, hold, drip) are carried out here.

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "article_site.h"
#include "fault_plan.h"

namespace ws {

struct ServerOptions {
  std::uint16_t port = 0;       // 0: the system picks a free port
  std::uint32_t latencyMs = 0;  // wait before every reply
  FaultPlan faults;
};

// Bytes per step and pause of FaultMode::kDrip.
inline constexpr auto kDripInterval = std::chrono::milliseconds(10);
// How long the port stays closed for one refused connection, counted from the
// end of the connection before it.
inline constexpr auto kRefuseWindow = std::chrono::milliseconds(250);
// A client that has not finished its request head in this time is dropped.
inline constexpr auto kRequestTimeout = std::chrono::seconds(30);

class EventServer {
 public:
  // The site must outlive the server.
  EventServer(ArticleSite& site, ServerOptions options);
  ~EventServer();
  EventServer(const EventServer&) = delete;
  EventServer& operator=(const EventServer&) = delete;

  // Binds 127.0.0.1:port (and listens, unless the first connection is to be
  // refused). False with *error set on failure.
  bool start(std::string* error);
  // The bound port; valid after a successful start().
  std::uint16_t port() const { return port_; }
  // Serves until stop() is called. REQUIRES: start() succeeded.
  void run();
  // May be called from any thread or a signal handler.
  void stop();

 private:
  using Clock = std::chrono::steady_clock;
  struct Connection;

  bool openListener(bool listening, std::string* error);
  void acceptAll();
  void onEvent(Connection& c, std::uint32_t events);
  void readRequest(Connection& c);
  void beginReply(Connection& c);
  void startSending(Connection& c);
  void sendSome(Connection& c);
  void dripOne(Connection& c);
  void finish(Connection& c);
  void closeConnection(Connection& c, bool reset);
  void watch(Connection& c, std::uint32_t events);
  void setTimer(Connection& c, Clock::time_point when);
  void fireTimers();
  int waitMilliseconds() const;
  void checkListener();

  ArticleSite& site_;
  ServerOptions options_;
  int epoll_ = -1;
  int stopEvent_ = -1;
  int listener_ = -1;
  // kPaused: listening but not accepting (out of descriptors); kClosed: bound
  // only, so connection attempts are refused.
  enum class ListenerState { kListening, kPaused, kClosed } listenerState_ = ListenerState::kClosed;
  Clock::time_point listenerReopenAt_{};
  std::uint16_t port_ = 0;
  std::uint64_t nextNumber_ = 1;
  std::unordered_map<int, std::unique_ptr<Connection>> connections_;
  std::set<std::pair<Clock::time_point, int>> timers_;
};

}  // namespace ws
