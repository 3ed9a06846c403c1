#include "net/test_server.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "net/socket_calls.h"
#include "net/socket_library.h"
#include "net/test_loopback_sockets.h"

namespace ws::testing {
namespace {

constexpr std::chrono::milliseconds kStalledRequest{2000};

// The socket library is started for the whole test binary, as the program starts it before its
// first request (on Windows no socket call works before).
class SocketLibraryEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    if (!startSocketLibrary()) throw std::runtime_error("tests: the socket library did not start");
  }
  void TearDown() override { stopSocketLibrary(); }
};
[[maybe_unused]] ::testing::Environment* const socketLibrary =
    ::testing::AddGlobalTestEnvironment(new SocketLibraryEnvironment);

void sendWhole(SocketDescriptor socket, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const long sent = sendBytes(socket, bytes.data() + done, bytes.size() - done);
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<ScriptedReply> replies) : replies_(std::move(replies)) {
  if (replies_.empty()) replies_.emplace_back();
  listener_ = bindLoopbackSocket(port_);
  try {
    listenOn(listener_);
  } catch (...) {
    closeSocket(listener_);
    throw;
  }
  thread_ = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  thread_.join();
  closeSocket(listener_);
}

std::string LoopbackServer::host() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> LoopbackServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackServer::setReplies(std::vector<ScriptedReply> replies) {
  std::lock_guard lock(mutex_);
  replies_ = std::move(replies);
  if (replies_.empty()) replies_.emplace_back();
}

size_t LoopbackServer::connectionCount() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

void LoopbackServer::serve() {
  while (!stopping_) {
    const SocketDescriptor connection = acceptWithin(listener_, std::chrono::milliseconds(20));
    if (connection == kNoSocket) continue;
    ScriptedReply reply;
    {
      std::lock_guard lock(mutex_);
      reply = replies_[std::min(connections_++, replies_.size() - 1)];
    }
    handle(connection, reply);
    closeSocket(connection);
  }
}

void LoopbackServer::handle(SocketDescriptor connection, const ScriptedReply& reply) {
  if (reply.resetAtOnce) {
    resetOnClose(connection);
    return;
  }
  std::string request;
  std::string block(reply.readSize, '\0');
  while (request.find("\r\n\r\n") == std::string::npos) {
    // A client that stalls mid-request is answered anyway, so a short request shows up as
    // a wrong recorded request instead of a hang.
    if (!readableWithin(connection, kStalledRequest)) break;
    const long got = receiveBytes(connection, block.data(), block.size());
    if (got <= 0) break;
    request.append(block.data(), static_cast<size_t>(got));
    if (reply.readPause.count() > 0) std::this_thread::sleep_for(reply.readPause);
  }
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  for (size_t i = 0; i < reply.chunks.size(); ++i) {
    if (i > 0 && reply.pause.count() > 0) std::this_thread::sleep_for(reply.pause);
    sendWhole(connection, reply.chunks[i]);
  }
}

std::string patternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 251) % 26);
  return bytes;
}

uint16_t closedLoopbackPort() {
  uint16_t port = 0;
  closeSocket(bindLoopbackSocket(port));
  return port;
}

}  // namespace ws::testing
