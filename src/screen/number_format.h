// The fixed rules by which every number shown on the screen or written into the word dump becomes
// text, and the byte encodings of the 12-byte sample record.
//
// All functions are pure and thread-safe. Their output uses only the bytes 0-9 . - + e % and blank
// (plus the literal characters of a mask and the letters of "inf"/"nan" for non-finite values).
// The decimal separator is always the point, whatever the locale; no thousands separator is ever
// inserted.
#ifndef WORTSAMMLER_SCREEN_NUMBER_FORMAT_H
#define WORTSAMMLER_SCREEN_NUMBER_FORMAT_H

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ws {

// Decimal digits, a leading minus sign when negative; no blank, no plus, no leading zeros.
std::string signedText(int32_t value);

// Decimal digits; no blank. Also the text of an unsigned number printed on the console or into
// the dump file. Every counter of the program fits: 0 to 18446744073709551615.
std::string unsignedText(uint64_t value);

// A signed number as printed on the console: one blank where the minus sign would stand when the
// value is 0 or more (" 5", " 0"), the minus sign otherwise ("-3"). Nothing follows the digits.
std::string signedPrintText(int32_t value);

// General notation with 16 significant digits (rounded to nearest):
//   - decimal exponent X of the rounded value < -4 or >= 16: scientific form, trailing fraction
//     zeros and a bare point removed, exponent signed and at least three digits ("1e+020",
//     "1.5e-005");
//   - otherwise fixed form with trailing fraction zeros and a bare point removed ("100", "0.0001",
//     "0.3333333333333333", "0.000858306884765625").
// Zero gives "0", negative zero "-0". Infinities give "inf" / "-inf", not-a-number "nan".
std::string doubleText(double value);

// The same general notation with 7 significant digits; the float is widened to double exactly
// first (1.2345678e7f gives "1.234568e+007").
std::string singleText(float value);

// Formats x into a mask: optional literal characters, a numeric field of n '#', optionally a point
// and m '#', then optional literal characters ("##.###", "##.### ", "##.######").
//   - The magnitude is taken to 16 significant digits (half up), then rounded half up to m
//     fraction digits on that decimal form (5.1235 gives 5.124).
//   - p = n, or n - 1 when x is negative (negative zero included): the minus sign takes a digit
//     position. k = number of integer digits of the rounded magnitude, 0 below 1.
//   - k <= p: exactly n + 1 + m characters, right-aligned with blanks (" 5.123", "-0.500").
//   - k > p: the field overflows and is widened with a leading percent sign and no blanks
//     ("%100.000", "%-12.500"). This holds for any k, not only up to p + 3: every integer digit
//     of the 16-digit form is shown ("%123456.000"; digits past the 16th are zeros).
//   - Infinities and not-a-number are shown as overflowing fields "%inf", "%-inf", "%nan".
//   - The literal characters of the mask stay before and after the field; nothing else is added.
// A mask without any '#' is returned unchanged. A mask without a point after the digit
// positions shows no point and no fraction.
std::string maskedText(std::string_view mask, double x);

// Hours, minutes and seconds "H:MM:SS.fff": hours = floor(seconds / 3600) unpadded (negative for
// negative seconds), minutes two digits, then the seconds remainder written with doubleText, with
// two digits before the point. With decimals > 0 the text is cut (not rounded) after that many
// digits following the point (59.999 gives "0:00:59.99"); fewer fraction digits stay as they are
// ("0:10:00.5"). With decimals <= 0 the full seconds text stays ("1:02:05.456700000000183").
// A whole-number remainder shows two digits followed, when decimals > 0, by a point and decimals
// zeros ("0:00:05.00"; "0:00:05" with decimals <= 0). A remainder below 0.0001 is written in
// fixed form, not scientific ("0:00:00.00001..." before the cut). Non-finite seconds give
// doubleText(seconds); hours beyond the 32-bit range saturate and show ":00:00".
// REQUIRES: decimals small (callers pass 2); a whole-number remainder is padded with that many
// zeros.
std::string elapsedText(double seconds, int32_t decimals);

// Keeps the text up to and including the first character after the first point ("0.19226" ->
// "0.1", "8.583" -> "8.5"); a text without a point, or with nothing after it, stays whole ("225",
// "1e-005"). Everything after that character goes, an exponent included: the memory and ratio
// labels show "1.5" for doubleText's "1.5e-005" and "1.2" for "1.234568e+007".
std::string cutAfterFirstDecimal(std::string text);

// IEEE-754 binary32 bit pattern, least significant byte first (0.5f gives 00 00 00 3F). A double
// argument is rounded to the nearest float (ties to even) by the conversion at the call.
std::array<uint8_t, 4> singleBytes(float value);

// Two's-complement bit pattern, least significant byte first (224 gives E0 00 00 00). Unsigned
// 32-bit values are encoded by the same bits: pass static_cast<int32_t>(u).
std::array<uint8_t, 4> int32Bytes(int32_t value);

}  // namespace ws

#endif  // WORTSAMMLER_SCREEN_NUMBER_FORMAT_H
