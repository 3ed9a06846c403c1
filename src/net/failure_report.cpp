#include "net/failure_report.h"

#include <utility>

namespace ws {

FailureReport::FailureReport(std::ostream& out, std::string server)
    : out_(out), server_(std::move(server)) {}

void FailureReport::note(std::string_view reply, double nowSeconds) {
  if (reply.substr(0, 7) != "Error: ") return;
  auto last = lastWritten_.find(reply);
  if (last != lastWritten_.end() && nowSeconds - last->second < kRepeatSeconds) return;
  if (last == lastWritten_.end()) last = lastWritten_.emplace(std::string(reply), 0.0).first;
  last->second = nowSeconds;
  out_ << "wortsammler: " << reply << " (" << server_ << "); retrying" << std::endl;
}

}  // namespace ws
