// A scripted HTTP server on 127.0.0.1 for the client's tests. Linking it into a test binary starts
// the socket library for the whole binary.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/socket_calls.h"
#include "net/test_loopback_sockets.h"

namespace ws::testing {

// What the server does with one connection.
struct ScriptedReply {
  // Sent in order, one send per chunk, with `pause` before every chunk but the first.
  std::vector<std::string> chunks;
  std::chrono::milliseconds pause{0};
  // Bytes taken per read of the request, and a pause after each read (a slow reader).
  size_t readSize = 65536;
  std::chrono::microseconds readPause{0};
  // Accept, then reset the connection without reading anything.
  bool resetAtOnce = false;
};

// Serves connections one after another on an ephemeral loopback port. Connection i gets
// replies[i]; connections past the end get the last reply. Each request is read up to its
// empty line (or until the client stops or stalls for two seconds) and recorded before the reply is
// sent; the connection is closed after the reply.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::vector<ScriptedReply> replies = {});
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  uint16_t port() const { return port_; }
  // "127.0.0.1:<port>"
  std::string host() const;
  std::vector<std::string> requests() const;
  // Replaces the script for the connections still to come (for replies that name the port).
  void setReplies(std::vector<ScriptedReply> replies);
  size_t connectionCount() const;

 private:
  void serve();
  void handle(SocketDescriptor connection, const ScriptedReply& reply);

  std::vector<ScriptedReply> replies_;
  SocketDescriptor listener_ = kNoSocket;
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  size_t connections_ = 0;
  std::thread thread_;
};

// `size` bytes of letters in a pattern that repeats only after far more than a receive block.
std::string patternBytes(size_t size);

// A loopback port on which nothing listens (connecting to it is refused).
uint16_t closedLoopbackPort();

}  // namespace ws::testing
