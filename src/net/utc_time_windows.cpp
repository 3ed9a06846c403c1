// The time texts of HTTP dates on Windows, whose C library has no strptime: the directives that
// utc_time.h allows, read by the rules of glibc's strptime in the C locale (blanks in the format
// match any run of white space, numbers may follow white space and end early, names match
// case-insensitively in full or abbreviated); UTC seconds from _mkgmtime, which knows no time
// before 1970.
#include <array>
#include <cstring>
#include <ctime>
#include <string_view>

#include "net/utc_time.h"

namespace ws {
namespace {

constexpr std::array<std::string_view, 7> kDays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                   "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

bool isSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Advances `at` past `name` when the text goes on with it, in any case.
bool takeName(const char*& at, std::string_view name) {
  for (size_t i = 0; i < name.size(); ++i) {
    if (at[i] == '\0' || lower(at[i]) != lower(name[i])) return false;
  }
  at += name.size();
  return true;
}

// The index of the name (full, else its first three letters) the text goes on with; -1 if none.
template <size_t N>
int takeOneOf(const char*& at, const std::array<std::string_view, N>& names) {
  for (size_t i = 0; i < N; ++i) {
    if (takeName(at, names[i]) || takeName(at, names[i].substr(0, 3))) return static_cast<int>(i);
  }
  return -1;
}

// A number of at most `digits` digits after any white space, from..to; -1 if none fits.
int takeNumber(const char*& at, int from, int to, int digits) {
  while (isSpace(*at)) ++at;
  if (*at < '0' || *at > '9') return -1;
  int value = 0;
  do {
    value = value * 10 + (*at++ - '0');
  } while (--digits > 0 && value * 10 <= to && *at >= '0' && *at <= '9');
  return value >= from && value <= to ? value : -1;
}

}  // namespace

bool readTimeText(const std::string& text, const char* format, std::tm& fields) {
  fields = std::tm{};
  const char* at = text.c_str();
  for (const char* f = format; *f != '\0'; ++f) {
    if (isSpace(*f)) {
      while (isSpace(*at)) ++at;
      continue;
    }
    if (*f != '%') {
      if (*at++ != *f) return false;
      continue;
    }
    int value = -1;
    switch (*++f) {
      case 'a':
      case 'A':
        value = fields.tm_wday = takeOneOf(at, kDays);
        break;
      case 'b':
        value = fields.tm_mon = takeOneOf(at, kMonths);
        break;
      case 'd':
      case 'e':
        value = fields.tm_mday = takeNumber(at, 1, 31, 2);
        break;
      case 'H':
        value = fields.tm_hour = takeNumber(at, 0, 23, 2);
        break;
      case 'M':
        value = fields.tm_min = takeNumber(at, 0, 59, 2);
        break;
      case 'S':
        value = fields.tm_sec = takeNumber(at, 0, 61, 2);
        break;
      case 'y':
        value = takeNumber(at, 0, 99, 2);
        fields.tm_year = value >= 69 ? value : value + 100;
        break;
      case 'Y':
        value = takeNumber(at, 0, 9999, 4);
        fields.tm_year = value - 1900;
        break;
      default:
        return false;
    }
    if (value < 0) return false;
  }
  while (*at == ' ' || *at == '\t') ++at;
  return *at == '\0';
}

std::time_t utcSeconds(std::tm& fields) {
  return _mkgmtime(&fields);
}

}  // namespace ws
