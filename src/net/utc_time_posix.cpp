#include <locale.h>
#include <time.h>

#include "net/utc_time.h"

namespace ws {
namespace {

// Day and month names are read in the C locale, so a German LC_TIME cannot change them.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

bool readTimeText(const std::string& text, const char* format, std::tm& fields) {
  const locale_t locale = cLocale();
  if (locale == static_cast<locale_t>(0)) return false;
  fields = std::tm{};
  const locale_t previous = uselocale(locale);
  const char* end = strptime(text.c_str(), format, &fields);
  uselocale(previous);
  if (end == nullptr) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

std::time_t utcSeconds(std::tm& fields) {
  return timegm(&fields);
}

}  // namespace ws
