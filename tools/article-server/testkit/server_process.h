#pragma once
// Runs build/article-server as a child process for tests and benchmarks.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ws::testkit {

// Path of the server executable this build produced.
std::string articleServerPath();

class ServerProcess {
 public:
  // Starts the server with "--port 0" and the given extra arguments and waits
  // for its "listening on 127.0.0.1:PORT" line. Check ok() afterwards. With a
  // `logFile`, the server's standard error goes there (see log()).
  explicit ServerProcess(const std::vector<std::string>& arguments,
                         const std::string& logFile = {});
  // Ends the child (SIGTERM, then SIGKILL after a second) and reaps it.
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool ok() const { return port_ != 0; }
  std::uint16_t port() const { return port_; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }
  // Asks the server to end (SIGTERM) and waits up to 5 s: its exit status,
  // 128 + signal if a signal ended it, -1 if it had already gone or did not end.
  int stop();
  // True while the child has not exited.
  bool running();
  // What the server wrote to standard error so far, when it was started with a
  // log file.
  std::string log() const;
  // What went wrong during start-up, for failure messages.
  const std::string& startError() const { return startError_; }

 private:
  pid_t pid_ = -1;
  std::uint16_t port_ = 0;
  bool exited_ = false;
  std::string startError_;
  std::string logFile_;
};

}  // namespace ws::testkit
