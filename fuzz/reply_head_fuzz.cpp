// Checks the readers of a reply's head on any bytes: the status line and header fields stay
// inside the reply, a status code has three digits, and a Retry-After wait is never negative nor
// beyond the cap, whatever the clock reads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "net/reply_head.h"
#include "net/retry_after.h"

namespace {

bool inside(std::string_view part, const std::string& whole) {
  return part.empty() ||
         (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);

  const auto status = ws::parseStatusLine(reply);
  if (status) {
    if (status->code < 100 || status->code > 999 || !inside(status->reason, reply)) std::abort();
    if (status->reason.find('\n') != std::string_view::npos) std::abort();
    if (reply.rfind("HTTP/", 0) != 0) std::abort();
  }
  if (ws::statusClass(reply) != (status ? status->code / 100 : 0)) std::abort();
  for (const char* name : {"Retry-After", "Date", "location"}) {
    const auto value = ws::headerValue(reply, name);
    if (value && (!status || !inside(*value, reply))) std::abort();
    if (value && value->find('\n') != std::string_view::npos) std::abort();
  }
  for (const std::time_t now : {std::time_t{0}, std::time_t{1700000000}, std::time_t{-1}}) {
    const auto wait = ws::retryAfter(reply, now);
    if (wait && (wait->count() < 0 || *wait > ws::kLongestRetryAfter)) std::abort();
  }
  if (const auto date = ws::parseHttpDate(reply); date && reply.size() > 64) std::abort();
  return 0;
}
