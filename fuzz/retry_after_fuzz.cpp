// Checks retryAfter and parseHttpDate on any reply: the wait stays within 0 .. the cap whatever
// the clock reads, follows the Retry-After value's form (delta-seconds exactly, saturated at the
// cap; a date measured from the reply's own valid Date field regardless of the clock, or else
// shrinking as the clock advances), and every date read comes back the same when written again
// in each of the three forms.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "net/reply_head.h"
#include "net/retry_after.h"

namespace {

using std::chrono::seconds;

constexpr std::time_t kClocks[] = {0, 784111777, 1700000000, 4102444800};

// The three forms of an HTTP date; the obsolete one has a two-digit year.
constexpr const char* kForms[] = {"%a, %d %b %Y %H:%M:%S GMT", "%A, %d-%b-%y %H:%M:%S GMT",
                                  "%a %b %e %H:%M:%S %Y"};

// The wait of an all-digit value: its number, or the cap when it is larger.
std::optional<seconds> modelDelta(std::string_view value) {
  if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  const size_t firstDigit = value.find_first_not_of('0');
  if (firstDigit == std::string_view::npos) return seconds(0);
  const std::string_view number = value.substr(firstDigit);
  if (number.size() > 4) return ws::kLongestRetryAfter;
  return std::min(seconds(std::atoi(std::string(number).c_str())), ws::kLongestRetryAfter);
}

// Writes `time` in each form whose year it can hold and reads it back.
void checkRoundTrip(std::time_t time) {
  std::tm fields{};
  if (gmtime_r(&time, &fields) == nullptr) return;
  const int year = fields.tm_year + 1900;
  for (int form = 0; form < 3; ++form) {
    if (year < 1000 || year > 9999) continue;
    if (form == 1 && (year < 1969 || year > 2068)) continue;  // "%y" reads 69..99 as 19xx
    char text[80];
    if (std::strftime(text, sizeof text, kForms[form], &fields) == 0) std::abort();
    if (ws::parseHttpDate(text) != time) std::abort();
  }
}

std::optional<std::time_t> checkedDate(std::string_view text) {
  const std::optional<std::time_t> date = ws::parseHttpDate(text);
  if (date) {
    if (text.size() > 64) std::abort();
    checkRoundTrip(*date);
  }
  return date;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  checkedDate(reply);

  const std::optional<std::string_view> value = ws::headerValue(reply, "Retry-After");
  const std::optional<std::string_view> dateField = ws::headerValue(reply, "Date");
  const std::optional<std::time_t> sent = dateField ? checkedDate(*dateField) : std::nullopt;
  const std::optional<seconds> delta = value ? modelDelta(*value) : std::nullopt;
  const std::optional<std::time_t> until = value && !delta ? checkedDate(*value) : std::nullopt;

  std::optional<seconds> earlier;
  for (const std::time_t now : kClocks) {
    const std::optional<seconds> wait = ws::retryAfter(reply, now);
    if (wait.has_value() != (delta || until)) std::abort();
    if (!wait) continue;
    if (*wait < seconds(0) || *wait > ws::kLongestRetryAfter) std::abort();
    if (delta && *wait != *delta) std::abort();
    if (until) {
      const std::time_t from = sent.value_or(now);
      const seconds expected = *until <= from ? seconds(0)
                               : *until - from >= ws::kLongestRetryAfter.count()
                                   ? ws::kLongestRetryAfter
                                   : seconds(*until - from);
      if (*wait != expected) std::abort();
      if (earlier && (sent ? *wait != *earlier : *wait > *earlier)) std::abort();
    }
    earlier = wait;
  }
  return 0;
}
