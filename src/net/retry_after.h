// The wait a reply asks for in its Retry-After field. Pure text functions, apart from the C
// library's date conversion.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string_view>

namespace ws {

// The longest wait a Retry-After field is followed for.
inline constexpr std::chrono::seconds kLongestRetryAfter{3600};

// The seconds since 1970 (UTC) of an HTTP date in any of its three forms: the preferred
// "Sun, 06 Nov 1994 08:49:37 GMT", the obsolete "Sunday, 06-Nov-94 08:49:37 GMT" and the C
// library's "Sun Nov  6 08:49:37 1994"; nullopt for anything else. Month and day names are the
// English ones whatever the program's locale.
std::optional<std::time_t> parseHttpDate(std::string_view text);

// The wait asked for by the reply's first Retry-After field: its delta-seconds, or the time from
// the reply's Date field (when it has a valid one; `now`, seconds since 1970, otherwise) to its
// HTTP date; a date already past asks for no wait. Capped at kLongestRetryAfter. nullopt when
// the reply has no Retry-After field or its value is neither form.
std::optional<std::chrono::seconds> retryAfter(std::string_view reply, std::time_t now);

}  // namespace ws
