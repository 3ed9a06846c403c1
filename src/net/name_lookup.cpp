#include "net/name_lookup.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>

namespace ws {
namespace {

// What the look-up thread and its caller share; the last of them to go frees it.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<IPv4Address> address;
};

}  // namespace

std::optional<IPv4Address> parseDottedIPv4(const std::string& text) {
  IPv4Address address{};
  size_t parts = 0;       // numbers begun so far
  bool inNumber = false;  // the last character was a digit
  for (const char c : std::string_view(text.c_str())) {
    if (c >= '0' && c <= '9') {
      if (!inNumber) {
        if (++parts > address.size()) return std::nullopt;
        inNumber = true;
      } else if (address[parts - 1] == 0) {
        return std::nullopt;  // a leading zero
      }
      const unsigned value = address[parts - 1] * 10u + static_cast<unsigned>(c - '0');
      if (value > 255) return std::nullopt;
      address[parts - 1] = static_cast<uint8_t>(value);
    } else if (c == '.' && inNumber && parts < address.size()) {
      inNumber = false;
    } else {
      return std::nullopt;
    }
  }
  if (parts < address.size()) return std::nullopt;
  return address;
}

std::optional<IPv4Address> resolveIPv4(const std::string& name) {
  if (const auto dotted = parseDottedIPv4(name)) return dotted;
  if (name.empty()) return std::nullopt;
  return lookUpIPv4(name);
}

std::optional<IPv4Address> resolveIPv4Within(const std::string& name,
                                             std::chrono::milliseconds timeout,
                                             const NameResolver& resolve) {
  if (const auto dotted = parseDottedIPv4(name)) return dotted;
  const auto pending = std::make_shared<PendingLookup>();
  // The look-up thread takes no signals: they are meant for the thread that asked, whose
  // blocking calls they interrupt.
  const bool started = startDetachedThreadWithoutSignals([pending, name, resolve] {
    std::optional<IPv4Address> address = resolve(name);
    const std::lock_guard lock(pending->mutex);
    pending->address = address;
    pending->done = true;
    pending->finished.notify_all();
  });
  if (!started) return std::nullopt;  // no thread to be had: no look-up
  std::unique_lock lock(pending->mutex);
  if (!pending->finished.wait_for(lock, timeout, [&pending] { return pending->done; })) {
    return std::nullopt;
  }
  return pending->address;
}

}  // namespace ws
