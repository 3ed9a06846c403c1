// The head of a raw HTTP reply: its status line and its header fields. Pure text functions.
#pragma once

#include <optional>
#include <string_view>

namespace ws {

struct StatusLine {
  int code = 0;             // 100..999
  std::string_view reason;  // the reason phrase as sent (may be empty); a view into the reply
};

// The status line at the very start of `reply`: "HTTP/" DIGIT "." DIGIT SP 3DIGIT, then SP and
// the reason phrase (or nothing), ended by CR LF or a bare LF. nullopt when the reply does not
// begin so: an error text, an empty, cut-off or garbage reply.
std::optional<StatusLine> parseStatusLine(std::string_view reply);

// The value of the first header field of the reply's head named `name` (compared without regard
// to case), without the blanks and tabs around it; nullopt when the head has no such field.
// The head runs from the line after the status line to the first empty line (or the end of the
// reply); lines are ended by CR LF or a bare LF. A reply without a status line has no head.
std::optional<std::string_view> headerValue(std::string_view reply, std::string_view name);

}  // namespace ws
