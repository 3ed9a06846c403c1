#include "fault_plan.h"

#include <array>
#include <charconv>
#include <utility>

namespace ws {

namespace {

constexpr std::array<std::pair<FaultMode, std::string_view>, 13> kNames{{
    {FaultMode::kNone, "none"},
    {FaultMode::kRefuse, "refuse"},
    {FaultMode::kClose, "close"},
    {FaultMode::kReset, "reset"},
    {FaultMode::kZeroByte, "zero"},
    {FaultMode::kLowerCaseLocation, "lowercase"},
    {FaultMode::kHttpsLocation, "https"},
    {FaultMode::kOtherHost, "otherhost"},
    {FaultMode::kHold, "hold"},
    {FaultMode::kDrip, "drip"},
    {FaultMode::kHuge, "huge"},
    {FaultMode::kNoParagraphs, "nopara"},
    {FaultMode::kGarbage, "garbage"},
}};

}  // namespace

std::string_view faultName(FaultMode mode) {
  for (const auto& [m, name] : kNames) {
    if (m == mode) return name;
  }
  return "none";
}

std::optional<FaultMode> faultFromName(std::string_view name) {
  for (const auto& [m, n] : kNames) {
    if (n == name) return m;
  }
  return std::nullopt;
}

std::string faultNameList() {
  std::string list;
  for (const auto& [m, name] : kNames) {
    if (m == FaultMode::kNone) continue;
    if (!list.empty()) list += ", ";
    list += name;
  }
  return list;
}

bool FaultPlan::add(std::string_view text) {
  const std::size_t colon = text.find(':');
  const auto mode = faultFromName(text.substr(0, colon));
  if (!mode) return false;
  FaultRule rule{*mode, 1};
  if (colon != std::string_view::npos) {
    const std::string_view k = text.substr(colon + 1);
    const auto [end, error] = std::from_chars(k.data(), k.data() + k.size(), rule.every);
    if (k.empty() || error != std::errc() || end != k.data() + k.size() || rule.every == 0) {
      return false;
    }
  }
  rules_.push_back(rule);
  return true;
}

FaultMode FaultPlan::faultFor(std::uint64_t connectionNumber) const {
  for (const FaultRule& rule : rules_) {
    if (connectionNumber != 0 && connectionNumber % rule.every == 0) return rule.mode;
  }
  return FaultMode::kNone;
}

}  // namespace ws
