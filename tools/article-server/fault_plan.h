#pragma once
// Which misbehaviour, if any, the server shows on a given connection.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

enum class FaultMode {
  kNone,
  kRefuse,             // the port is closed: connecting fails
  kClose,              // the connection is closed at once, nothing is read or sent
  kReset,              // half of the reply is sent, then the connection is reset
  kZeroByte,           // a zero byte stands inside the reply
  kLowerCaseLocation,  // the redirect's header is written "location:"
  kHttpsLocation,      // the redirect names an https address
  kOtherHost,          // the redirect names another host
  kHold,               // the request is read, no reply ever comes; closed when the client goes
  kDrip,               // the reply comes one byte per 10 ms
  kHuge,               // a 50 MB article page
  kNoParagraphs,       // an article page with every paragraph turned into a division
  kGarbage,            // random bytes instead of an HTTP reply
};

// The option text of a mode ("reset", "zero", ...); "none" for kNone.
std::string_view faultName(FaultMode mode);
std::optional<FaultMode> faultFromName(std::string_view name);

struct FaultRule {
  FaultMode mode = FaultMode::kNone;
  std::uint32_t every = 1;  // applies to connections k, 2k, 3k, ... (1 = all)
};

// Rules given as "MODE" or "MODE:K"; connections are numbered from 1 in the
// order they are accepted (a refused attempt takes a number too). The first
// rule that applies to a connection wins.
class FaultPlan {
 public:
  // Adds one rule; false (plan unchanged) for an unknown mode or a bad K.
  bool add(std::string_view text);
  FaultMode faultFor(std::uint64_t connectionNumber) const;
  bool empty() const { return rules_.empty(); }
  const std::vector<FaultRule>& rules() const { return rules_; }

 private:
  std::vector<FaultRule> rules_;
};

// All mode names, for the usage text.
std::string faultNameList();

}  // namespace ws
