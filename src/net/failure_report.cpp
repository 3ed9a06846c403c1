#include "net/failure_report.h"

#include <utility>

namespace ws {
namespace {

constexpr int kForbidden = 403;

// Server bytes as they may be shown on a terminal: at most `length` of them, no control or escape
// bytes.
std::string shownText(std::string_view text, size_t length) {
  std::string shown(text.substr(0, length));
  for (char& c : shown) {
    if (c < ' ' || c > '~') c = '?';
  }
  return shown;
}

}  // namespace

FailureReport::FailureReport(std::ostream& out, std::string server)
    : out_(out), server_(std::move(server)) {}

bool FailureReport::due(std::string_view kind, double nowSeconds) {
  auto last = lastWritten_.find(kind);
  if (last != lastWritten_.end() && nowSeconds - last->second < kRepeatSeconds) return false;
  if (last == lastWritten_.end()) last = lastWritten_.emplace(std::string(kind), 0.0).first;
  last->second = nowSeconds;
  return true;
}

void FailureReport::note(std::string_view reply, double nowSeconds) {
  if (reply.substr(0, 7) != "Error: ") return;
  // The client's own error texts are short lines; a server's page that merely begins like one
  // is shown and kept no further than its first line, cut and made printable.
  const std::string kind = shownText(reply.substr(0, reply.find_first_of("\r\n")), kErrorLength);
  if (!due(kind, nowSeconds)) return;
  out_ << "wortsammler: " << kind << " (" << server_ << "); retrying" << std::endl;
}

void FailureReport::noteRefusal(const StatusLine& status, std::optional<std::chrono::seconds> wait,
                                double nowSeconds) {
  if (!due("HTTP " + std::to_string(status.code), nowSeconds)) return;
  out_ << "wortsammler: HTTP " << status.code;
  if (!status.reason.empty()) out_ << ' ' << shownText(status.reason, kReasonLength);
  out_ << " from " << server_;
  if (status.code == kForbidden && !userAgentHintGiven_) {
    userAgentHintGiven_ = true;
    out_ << "; the server refuses this client: ARTICLE_USER_AGENT must name a contact"
            " (a web page or an e-mail address)";
  }
  if (wait) {
    out_ << "; waiting " << wait->count() << " s (Retry-After)";
  } else {
    out_ << "; backing off";
  }
  out_ << std::endl;
}

}  // namespace ws
