// The https build's note on standard error about why no article arrives.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace ws {

// Writes one line per kind of failure (one error text): when the kind first appears, then at
// most once a minute while it goes on, e.g.
//   "wortsammler: Error: Couldn't connect to host (example.org:443); retrying"
// LIFETIME: `out` must outlive the report.
class FailureReport {
 public:
  static constexpr double kRepeatSeconds = 60.0;

  // server: the address shown in the lines.
  FailureReport(std::ostream& out, std::string server);

  // Notes the outcome of one request at `nowSeconds` (a steady clock). Replies that are not
  // error texts (they do not begin with "Error: ") are no failures and write nothing.
  void note(std::string_view reply, double nowSeconds);

 private:
  std::ostream& out_;
  std::string server_;
  std::map<std::string, double, std::less<>> lastWritten_;  // error text -> time of its line
};

}  // namespace ws
