#include "net/name_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <pthread.h>
#include <signal.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace ws {
namespace {

// What the look-up thread and its caller share; the last of them to go frees it.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<in_addr> address;
};

std::optional<in_addr> dottedAddress(const std::string& name) {
  in_addr address{};
  if (inet_pton(AF_INET, name.c_str(), &address) == 1) return address;
  return std::nullopt;
}

}  // namespace

std::optional<in_addr> resolveIPv4(const std::string& name) {
  if (const auto dotted = dottedAddress(name)) return dotted;
  if (name.empty()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  const in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return address;
}

std::optional<in_addr> resolveIPv4Within(const std::string& name, std::chrono::milliseconds timeout,
                                         const NameResolver& resolve) {
  if (const auto dotted = dottedAddress(name)) return dotted;
  const auto pending = std::make_shared<PendingLookup>();
  // The look-up thread takes no signals (it inherits the mask it is made with): they are meant
  // for the thread that asked, whose blocking calls they interrupt.
  sigset_t all;
  sigset_t callers;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &callers);
  bool started = true;
  try {
    std::thread([pending, name, resolve] {
      std::optional<in_addr> address = resolve(name);
      const std::lock_guard lock(pending->mutex);
      pending->address = address;
      pending->done = true;
      pending->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    started = false;  // no thread to be had: no look-up
  }
  pthread_sigmask(SIG_SETMASK, &callers, nullptr);
  if (!started) return std::nullopt;
  std::unique_lock lock(pending->mutex);
  if (!pending->finished.wait_for(lock, timeout, [&pending] { return pending->done; })) {
    return std::nullopt;
  }
  return pending->address;
}

}  // namespace ws
