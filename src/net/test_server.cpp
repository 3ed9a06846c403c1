#include "net/test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace ws::testing {
namespace {

constexpr int kStalledRequestMs = 2000;

int boundLoopbackSocket(uint16_t& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("test server: socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    close(fd);
    throw std::runtime_error("test server: bind failed");
  }
  port = ntohs(address.sin_port);
  return fd;
}

void sendWhole(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t sent = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (sent <= 0) return;
    done += static_cast<size_t>(sent);
  }
}

}  // namespace

LoopbackServer::LoopbackServer(std::vector<ScriptedReply> replies) : replies_(std::move(replies)) {
  if (replies_.empty()) replies_.emplace_back();
  listener_ = boundLoopbackSocket(port_);
  if (listen(listener_, 64) != 0) {
    close(listener_);
    throw std::runtime_error("test server: listen failed");
  }
  thread_ = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
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
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 20) <= 0) continue;
    int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    ScriptedReply reply;
    {
      std::lock_guard lock(mutex_);
      reply = replies_[std::min(connections_++, replies_.size() - 1)];
    }
    handle(connection, reply);
    close(connection);
  }
}

void LoopbackServer::handle(int connection, const ScriptedReply& reply) {
  if (reply.resetAtOnce) {
    linger abortive{1, 0};
    setsockopt(connection, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    return;
  }
  std::string request;
  std::string block(reply.readSize, '\0');
  while (request.find("\r\n\r\n") == std::string::npos) {
    // A client that stalls mid-request is answered anyway, so a short request shows up as
    // a wrong recorded request instead of a hang.
    pollfd readable{connection, POLLIN, 0};
    if (poll(&readable, 1, kStalledRequestMs) <= 0) break;
    ssize_t got = recv(connection, block.data(), block.size(), 0);
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

uint16_t closedLoopbackPort() {
  uint16_t port = 0;
  close(boundLoopbackSocket(port));
  return port;
}

size_t openDescriptorCount() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

}  // namespace ws::testing
