// Reading a time of day text the way the C library's strptime does, in the C locale, and turning
// it into seconds since 1970 (UTC): the platform seam of the HTTP date (retry_after.h). POSIX
// systems have strptime, uselocale and timegm (utc_time_posix.cpp); Windows has none of them, so
// utc_time_windows.cpp reads the directives that HTTP dates use as glibc reads them.
#pragma once

#include <ctime>
#include <string>

namespace ws {

// Whether `text` reads whole (trailing blanks and tabs aside) in the strptime `format`, with
// English day and month names whatever the program's locale; the fields read go into `fields`.
// REQUIRES: `format` uses only literal characters, blanks and the directives
// %a %A %b %d %e %H %M %S %y %Y.
bool readTimeText(const std::string& text, const char* format, std::tm& fields);

// The seconds since 1970 of `fields` taken as UTC (timegm); -1 when they name no such time.
std::time_t utcSeconds(std::tm& fields);

}  // namespace ws
