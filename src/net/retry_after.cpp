#include "net/retry_after.h"

#include <algorithm>
#include <array>
#include <string>

#include "net/reply_head.h"
#include "net/utc_time.h"

namespace ws {
namespace {

std::optional<std::chrono::seconds> deltaSeconds(std::string_view value) {
  if (value.empty()) return std::nullopt;
  long long seconds = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') return std::nullopt;
    // Saturates at the cap, so any number of digits fits.
    seconds =
        std::min(seconds * 10 + (c - '0'), static_cast<long long>(kLongestRetryAfter.count()));
  }
  return std::chrono::seconds(seconds);
}

}  // namespace

std::optional<std::time_t> parseHttpDate(std::string_view text) {
  if (text.empty() || text.size() > 64 || text.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string copy(text);
  constexpr std::array<const char*, 3> kForms{"%a, %d %b %Y %H:%M:%S GMT",
                                              "%A, %d-%b-%y %H:%M:%S GMT", "%a %b %e %H:%M:%S %Y"};
  std::tm fields{};
  bool read = false;
  for (const char* form : kForms) {
    if (readTimeText(copy, form, fields)) {
      read = true;
      break;
    }
  }
  if (!read) return std::nullopt;
  const std::time_t seconds = utcSeconds(fields);
  if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
  return seconds;
}

std::optional<std::chrono::seconds> retryAfter(std::string_view reply, std::time_t now) {
  const std::optional<std::string_view> value = headerValue(reply, "Retry-After");
  if (!value) return std::nullopt;
  if (const auto delta = deltaSeconds(*value)) return delta;
  const std::optional<std::time_t> until = parseHttpDate(*value);
  if (!until) return std::nullopt;
  const std::optional<std::string_view> dateField = headerValue(reply, "Date");
  const std::optional<std::time_t> sent = dateField ? parseHttpDate(*dateField) : std::nullopt;
  const double wait = std::difftime(*until, sent.value_or(now));
  if (wait <= 0) return std::chrono::seconds(0);
  return std::chrono::seconds(
      static_cast<long long>(std::min(wait, static_cast<double>(kLongestRetryAfter.count()))));
}

}  // namespace ws
