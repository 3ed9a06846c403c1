#include "screen/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace ws {
namespace {

// A non-negative finite value as significant digits d0 d1 d2 ... and the decimal exponent X of
// d0.d1d2... x 10^X. `digits` is never empty and has no trailing zeros except for zero ("0").
struct Decimal {
  std::string digits;
  int exponent = 0;
};

// Every double has an exact decimal expansion of at most 767 significant digits, so this many
// fraction digits of the scientific form reproduce the value exactly.
constexpr int kExactFractionDigits = 770;

// Digits of `magnitude` rounded to fractionDigits + 1 significant digits by the standard library
// (to nearest, ties to even, on the exact binary value).
// REQUIRES: magnitude finite and >= 0; 0 <= fractionDigits <= kExactFractionDigits.
Decimal scientificDigits(double magnitude, int fractionDigits) {
  char buffer[kExactFractionDigits + 16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, fractionDigits);
  const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  const size_t e = text.find('e');
  Decimal d;
  d.digits.reserve(e);
  for (size_t i = 0; i < e; ++i) {
    if (text[i] != '.') d.digits.push_back(text[i]);
  }
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  d.exponent);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Adds one unit in the last place of a string of decimal digits; returns true when the carry ran
// out of the leftmost digit (the string then reads 1 followed by zeros, one digit longer).
bool incrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

std::string nonFiniteText(double value) {
  if (std::isnan(value)) return "nan";
  return value < 0 ? "-inf" : "inf";
}

std::string exponentText(int exponent) {
  std::string text = exponent < 0 ? "-" : "+";
  const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
  text.append(magnitude.size() < 3 ? 3 - magnitude.size() : 0, '0');
  return text + magnitude;
}

std::string scientificForm(const Decimal& d) {
  std::string text(1, d.digits[0]);
  if (d.digits.size() > 1) text.append(".").append(d.digits, 1);
  return text + "e" + exponentText(d.exponent);
}

// Fixed form of d.digits x 10^(d.exponent); no trailing fraction zeros, no bare point.
std::string fixedForm(const Decimal& d) {
  const int integerDigits = d.exponent + 1;
  if (integerDigits <= 0) {
    return "0." + std::string(static_cast<size_t>(-integerDigits), '0') + d.digits;
  }
  std::string text = d.digits;
  if (text.size() <= static_cast<size_t>(integerDigits)) {
    text.append(static_cast<size_t>(integerDigits) - text.size(), '0');
  } else {
    text.insert(static_cast<size_t>(integerDigits), 1, '.');
  }
  return text;
}

// General notation with `precision` significant digits.
std::string generalText(double value, int precision) {
  if (!std::isfinite(value)) return nonFiniteText(value);
  const std::string sign = std::signbit(value) ? "-" : "";
  const Decimal d = scientificDigits(std::fabs(value), precision - 1);
  if (d.exponent < -4 || d.exponent >= precision)
    return std::string(sign).append(scientificForm(d));
  return std::string(sign).append(fixedForm(d));
}

// The magnitude of a finite value rounded half up to 16 significant digits, then half up to
// `fractionDigits` fraction digits, split into its integer digits (no leading zeros, empty below
// 1) and exactly `fractionDigits` fraction digits.
struct FixedDigits {
  std::string integer;
  std::string fraction;
};

FixedDigits roundedFixedDigits(double magnitude, int fractionDigits) {
  Decimal d = scientificDigits(magnitude, kExactFractionDigits);
  constexpr size_t kSignificant = 16;
  if (d.digits.size() > kSignificant) {
    const bool up = d.digits[kSignificant] >= '5';
    d.digits.resize(kSignificant);
    if (up && incrementDigits(d.digits)) {
      d.digits.pop_back();
      ++d.exponent;
    }
  }
  // Lay the digits out around the point: all = integer digits followed by fraction digits.
  const int integerDigits = std::max(d.exponent + 1, 0);
  std::string all(static_cast<size_t>(std::max(-(d.exponent + 1), 0)), '0');
  all += d.digits;
  const size_t wanted = static_cast<size_t>(integerDigits + fractionDigits);
  if (all.size() < wanted) all.append(wanted - all.size(), '0');
  const bool up = all.size() > wanted && all[wanted] >= '5';
  all.resize(wanted);
  size_t integerLength = static_cast<size_t>(integerDigits);
  if (up && incrementDigits(all)) ++integerLength;

  FixedDigits result;
  result.integer = all.substr(0, integerLength);
  result.fraction = all.substr(integerLength);
  const size_t firstNonZero = result.integer.find_first_not_of('0');
  result.integer.erase(0, firstNonZero == std::string::npos ? result.integer.size() : firstNonZero);
  return result;
}

struct MaskField {
  size_t begin = 0;  // index of the field's first character in the mask
  size_t end = 0;    // one past its last character
  int integerPositions = 0;
  int fractionPositions = 0;
  bool hasPoint = false;
};

// The first run "#...#" optionally followed by "." and "#...#".
// REQUIRES: the mask contains '#'.
MaskField findMaskField(std::string_view mask) {
  MaskField field;
  field.begin = mask.find('#');
  size_t i = field.begin;
  while (i < mask.size() && mask[i] == '#') ++i;
  field.integerPositions = static_cast<int>(i - field.begin);
  if (i < mask.size() && mask[i] == '.') {
    field.hasPoint = true;
    ++i;
    const size_t fractionBegin = i;
    while (i < mask.size() && mask[i] == '#') ++i;
    field.fractionPositions = static_cast<int>(i - fractionBegin);
  }
  field.end = i;
  return field;
}

std::string maskedField(const MaskField& field, double x) {
  const bool negative = std::signbit(x);
  const std::string sign = negative ? "-" : "";
  if (!std::isfinite(x)) return std::string("%").append(nonFiniteText(x));

  const FixedDigits digits = roundedFixedDigits(std::fabs(x), field.fractionPositions);
  const int k = static_cast<int>(digits.integer.size());
  const int p = field.integerPositions - (negative ? 1 : 0);
  std::string number = digits.integer.empty() ? "0" : digits.integer;
  if (field.hasPoint) number += "." + digits.fraction;
  if (k > p) return "%" + sign + number;
  const int blanks = std::max(p - std::max(k, 1), 0);
  return std::string(static_cast<size_t>(blanks), ' ') + sign + number;
}

// The seconds remainder as "SS" or "SS.fff..." with exactly two digits before the point.
// REQUIRES: 0 <= remainder < 100.
std::string secondsText(double remainder) {
  std::string text = doubleText(remainder);
  if (text.find('e') != std::string::npos) {
    // Below 0.0001 the general notation turns scientific; the seconds always read in fixed form.
    text = fixedForm(scientificDigits(remainder, 15));
  }
  text.insert(0, 1, '0');
  const size_t point = text.find('.');
  if (point == std::string::npos) return text.substr(text.size() - 2);
  return text.substr(point - 2);
}

}  // namespace

std::string signedText(int32_t value) {
  return std::to_string(value);
}

std::string unsignedText(uint64_t value) {
  return std::to_string(value);
}

std::string signedPrintText(int32_t value) {
  return value >= 0 ? std::string(" ").append(signedText(value)) : signedText(value);
}

std::string doubleText(double value) {
  return generalText(value, 16);
}

std::string singleText(float value) {
  return generalText(static_cast<double>(value), 7);
}

std::string maskedText(std::string_view mask, double x) {
  if (mask.find('#') == std::string_view::npos) return std::string(mask);
  const MaskField field = findMaskField(mask);
  return std::string(mask.substr(0, field.begin)) + maskedField(field, x) +
         std::string(mask.substr(field.end));
}

std::string elapsedText(double seconds, int32_t decimals) {
  if (!std::isfinite(seconds)) return doubleText(seconds);
  const double hoursReal = std::floor(seconds / 3600);
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  const int32_t hours = static_cast<int32_t>(std::clamp(hoursReal, kMin, kMax));
  int32_t minutes = 0;
  double r = 0;
  if (hoursReal == static_cast<double>(hours)) {  // else saturated: show whole hours only
    r = seconds - static_cast<double>(hours) * 3600;
    minutes = static_cast<int32_t>(std::floor(r / 60));
    r = r - static_cast<double>(minutes) * 60;
    if (r == 0) r = 0;  // no "-0" seconds
  }

  const std::string minuteText = std::string("0").append(signedText(minutes));
  std::string text = signedText(hours) + ":" + minuteText.substr(minuteText.size() - 2) + ":";
  std::string sec = secondsText(r);
  const size_t point = sec.find('.');
  if (decimals > 0) {
    if (point == std::string::npos) {
      sec.append(".").append(static_cast<size_t>(decimals), '0');
    } else if (sec.size() - point - 1 > static_cast<size_t>(decimals)) {
      sec.resize(point + 1 + static_cast<size_t>(decimals));
    }
  }
  return text + sec;
}

std::string cutAfterFirstDecimal(std::string text) {
  const size_t point = text.find('.');
  if (point != std::string::npos && point + 2 < text.size()) text.resize(point + 2);
  return text;
}

std::array<uint8_t, 4> singleBytes(float value) {
  uint32_t bits = 0;
  static_assert(sizeof bits == sizeof value);
  std::memcpy(&bits, &value, sizeof bits);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
          static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

std::array<uint8_t, 4> int32Bytes(int32_t value) {
  const auto bits = static_cast<uint32_t>(value);
  return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
          static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

}  // namespace ws
