#include "server_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace ws::testkit {

std::string articleServerPath() {
  return WS_ARTICLE_SERVER_PATH;
}

ServerProcess::ServerProcess(const std::vector<std::string>& arguments, const std::string& logFile)
    : logFile_(logFile) {
  int out[2];
  if (::pipe(out) != 0) {
    startError_ = "pipe failed";
    return;
  }
  const std::string path = articleServerPath();
  std::vector<std::string> all{path, "--port", "0"};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = ::fork();
  if (pid_ == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    if (!logFile_.empty()) {
      const int log = ::open(logFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
      if (log >= 0) ::dup2(log, STDERR_FILENO);
    }
    ::close(out[0]);
    ::close(out[1]);
    ::execv(path.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (pid_ < 0) {
    ::close(out[0]);
    startError_ = "fork failed";
    return;
  }
  // The first line names the port; the rest of the output is not needed.
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{out[0], POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buffer[256];
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(out[0]);
  const std::string prefix = "listening on 127.0.0.1:";
  if (line.rfind(prefix, 0) != 0) {
    startError_ = "unexpected first line: '" + line + "'";
    return;
  }
  port_ = static_cast<std::uint16_t>(std::stoul(line.substr(prefix.size())));
}

std::string ServerProcess::log() const {
  std::ifstream in(logFile_);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool ServerProcess::running() {
  if (pid_ <= 0 || exited_) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) exited_ = true;
  return !exited_;
}

int ServerProcess::stop() {
  if (pid_ <= 0 || exited_) return -1;
  ::kill(pid_, SIGTERM);
  int status = 0;
  for (int i = 0; i < 500; ++i) {
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

ServerProcess::~ServerProcess() {
  if (pid_ <= 0 || exited_) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  int status = 0;
  ::waitpid(pid_, &status, 0);
}

}  // namespace ws::testkit
