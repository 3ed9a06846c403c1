// The https build's note on standard error about why no article arrives.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "net/reply_head.h"

namespace ws {

// Writes one line per kind of failure (one error text, or one refused status code): when the
// kind first appears, then at most once a minute while it goes on, e.g.
//   "wortsammler: Error: Couldn't connect to host (example.org:443); retrying"
//   "wortsammler: HTTP 429 Too many requests from example.org:443; waiting 120 s (Retry-After)"
// LIFETIME: `out` must outlive the report.
class FailureReport {
 public:
  static constexpr double kRepeatSeconds = 60.0;
  // The most characters of a reason phrase shown.
  static constexpr size_t kReasonLength = 80;
  // The most characters of an error text shown (its first line only).
  static constexpr size_t kErrorLength = 120;

  // server: the address shown in the lines.
  FailureReport(std::ostream& out, std::string server);

  // Notes the outcome of one request at `nowSeconds` (a steady clock). Replies that are not
  // error texts (they do not begin with "Error: ") are no failures and write nothing. An error
  // text is shown by its first line, at most kErrorLength characters, bytes other than printable
  // ASCII as "?".
  void note(std::string_view reply, double nowSeconds);

  // Notes a reply whose status ends the pass, with the wait its Retry-After asked for (nullopt:
  // none, the back-off applies). The line names code and reason phrase (bytes other than
  // printable ASCII shown as "?", at most kReasonLength of them) and what the crawler does next;
  // the first 403 also says that the server refuses this client and that ARTICLE_USER_AGENT must
  // name a contact.
  void noteRefusal(const StatusLine& status, std::optional<std::chrono::seconds> wait,
                   double nowSeconds);

 private:
  // Whether the line of `kind` is due at `nowSeconds`; if so, it counts as written then.
  bool due(std::string_view kind, double nowSeconds);

  std::ostream& out_;
  std::string server_;
  std::map<std::string, double, std::less<>> lastWritten_;  // kind -> time of its line
  bool userAgentHintGiven_ = false;
};

}  // namespace ws
