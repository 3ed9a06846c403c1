#include "net/retry_after.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace ws {
namespace {

using std::chrono::seconds;

// Sun, 06 Nov 1994 08:49:37 GMT
constexpr std::time_t kNovember6 = 784111777;

std::string throttled(const std::string& fields) {
  return "HTTP/1.1 429 Too many requests\r\n" + fields + "content-type: text/html\r\n\r\n<p>x</p>";
}

TEST(ParseHttpDate, ReadsAllThreeFormsInAnyLocaleAndNothingElse) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");  // German day names must not matter (if installed)
  EXPECT_EQ(parseHttpDate("Sun, 06 Nov 1994 08:49:37 GMT"), kNovember6);
  EXPECT_EQ(parseHttpDate("Sunday, 06-Nov-94 08:49:37 GMT"), kNovember6);
  EXPECT_EQ(parseHttpDate("Sun Nov  6 08:49:37 1994"), kNovember6);
  for (const char* bad : {"", "Sun, 06 Nov 1994 08:49:37", "Son, 06 Nov 1994 08:49:37 GMT",
                          "Sun, 06 Nov 1994 08:49:37 GMT garbage", "Sun, 32 Nov 1994 08:49:37 GMT",
                          "Sun, 06 Nov 1994 25:49:37 GMT", "120", "-5", "tomorrow"}) {
    EXPECT_FALSE(parseHttpDate(bad)) << bad;
  }
  std::setlocale(LC_ALL, before.c_str());
}

TEST(RetryAfter, DeltaSecondsOrADateCountedFromTheReplysDateCappedAtAnHour) {
  EXPECT_EQ(retryAfter(throttled("retry-after: 120\r\n"), 0), seconds(120));
  EXPECT_EQ(retryAfter(throttled("Retry-After: 0\r\n"), 0), seconds(0));
  EXPECT_EQ(retryAfter(throttled("Retry-After: 3601\r\n"), 0), seconds(3600));
  EXPECT_EQ(retryAfter(throttled("Retry-After: 99999999999999999999999999\r\n"), 0), seconds(3600));
  // A date: counted from the reply's Date field, else from the clock.
  const std::string until = "Retry-After: Sun, 06 Nov 1994 08:51:37 GMT\r\n";
  EXPECT_EQ(retryAfter(throttled(until + "Date: Sun, 06 Nov 1994 08:49:37 GMT\r\n"), 0),
            seconds(120));
  EXPECT_EQ(retryAfter(throttled(until), kNovember6 + 100), seconds(20));
  EXPECT_EQ(retryAfter(throttled(until + "Date: nonsense\r\n"), kNovember6 + 100), seconds(20));
  EXPECT_EQ(retryAfter(throttled(until), kNovember6 + 1000), seconds(0));  // already past
  EXPECT_EQ(retryAfter(throttled(until), kNovember6 - 86400), seconds(3600));
}

TEST(RetryAfter, MissingOrInvalidValuesAskForNothing) {
  for (const char* field : {"", "Retry-After: \r\n", "Retry-After: -5\r\n", "Retry-After: 1.5\r\n",
                            "Retry-After: 12 s\r\n", "Retry-After: +7\r\n",
                            "Retry-After: Sun, 06 Nov 1994\r\n", "Retry-After-Not: 5\r\n"}) {
    EXPECT_FALSE(retryAfter(throttled(field), kNovember6)) << field;
  }
  EXPECT_FALSE(retryAfter("Error: Host didn't answer in time", kNovember6));
}

}  // namespace
}  // namespace ws
