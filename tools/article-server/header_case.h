#pragma once
// Header names written the way the real encyclopedia's server writes them.

#include <string>

namespace ws {

// Lower-cases the name (the bytes before the first ':') of every header line of `reply`, from
// the line after the status line up to the empty line; the status line, the values and the
// body stay as they are. A reply without an empty line has all its lines after the first
// treated as headers.
void lowerCaseHeaderNames(std::string& reply);

}  // namespace ws
