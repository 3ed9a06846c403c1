#include "screen/number_format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace ws {
namespace {

struct DoubleCase {
  double value;
  const char* text;
};

struct MaskCase {
  const char* mask;
  double value;
  const char* text;
};

struct ElapsedCase {
  double seconds;
  int32_t decimals;
  const char* text;
};

std::string hexBytes(const std::array<uint8_t, 4>& bytes) {
  static const char* kHex = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

TEST(IntegerText, SignedUnsignedAndPrintForms) {
  EXPECT_EQ(signedText(0), "0");
  EXPECT_EQ(signedText(27), "27");
  EXPECT_EQ(signedText(-3), "-3");
  EXPECT_EQ(signedText(std::numeric_limits<int32_t>::min()), "-2147483648");
  EXPECT_EQ(signedText(std::numeric_limits<int32_t>::max()), "2147483647");
  EXPECT_EQ(unsignedText(0), "0");
  EXPECT_EQ(unsignedText(4294967295u), "4294967295");
  EXPECT_EQ(signedPrintText(5), " 5");
  EXPECT_EQ(signedPrintText(0), " 0");
  EXPECT_EQ(signedPrintText(-3), "-3");
  EXPECT_EQ(signedPrintText(std::numeric_limits<int32_t>::min()), "-2147483648");
}

TEST(DoubleText, GeneralNotationWithSixteenDigits) {
  const std::vector<DoubleCase> cases = {
      {0.0, "0"},
      {-0.0, "-0"},
      {0.1, "0.1"},
      {100, "100"},
      {-2.5, "-2.5"},
      {1.0 / 3.0, "0.3333333333333333"},
      {2.0 / 3.0, "0.6666666666666666"},
      {123456789, "123456789"},
      {900.0 / 1048576.0, "0.000858306884765625"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {0.000015, "1.5e-005"},
      {1e20, "1e+020"},
      {1e16, "1e+016"},
      {9999999999999998.0, "9999999999999998"},
      {1234567890123456.0, "1234567890123456"},
      {1e300, "1e+300"},
      {-1.25e-100, "-1.25e-100"},
      {5e-324, "4.940656458412465e-324"},
      {225, "225"},
      {262144.0 * 900 / 1048576, "225"},
  };
  for (const auto& c : cases) EXPECT_EQ(doubleText(c.value), c.text) << "value " << c.value;
}

TEST(DoubleText, NonFiniteValues) {
  EXPECT_EQ(doubleText(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(doubleText(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(doubleText(std::nan("")), "nan");
}

TEST(DoubleText, PointIsIndependentOfLocale) {
  // A locale with a decimal comma must not change the text; skip where none is installed.
  const std::string before = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_ALL, "de_DE.ISO-8859-1") == nullptr) {
    GTEST_SKIP() << "no German locale installed";
  }
  EXPECT_EQ(doubleText(2.5), "2.5");
  EXPECT_EQ(maskedText("##.###", 2.5), " 2.500");
  std::setlocale(LC_ALL, before.c_str());
}

TEST(SingleText, GeneralNotationWithSevenDigits) {
  const std::vector<DoubleCase> cases = {
      {1.0f / 3.0f, "0.3333333"},
      {1.2345678e7f, "1.234568e+007"},
      {1234567.0f, "1234567"},
      {50.0f, "50"},
      {0.5f * 100.0f, "50"},
      {0.4567f * 100.0f, "45.67"},
      {0.0f, "0"},
      {-0.0f, "-0"},
      {0.1f, "0.1"},           // widened exactly, 0.100000001490116... rounds back to 0.1
      {0.00001f, "1e-005"},    // 9.99999974...e-6 rounds up into the next decade
      {9999999.5f, "1e+007"},  // rounds up into the scientific range
  };
  for (const auto& c : cases) {
    EXPECT_EQ(singleText(static_cast<float>(c.value)), c.text) << "value " << c.value;
  }
}

TEST(MaskedText, TwoThreeMask) {
  const std::vector<MaskCase> cases = {
      {"##.###", 5.12345, " 5.123"},
      {"##.###", 5.1235, " 5.124"},  // 16-digit form 5.123500000000000 rounds up
      {"##.###", 0.5, " 0.500"},
      {"##.###", 0, " 0.000"},
      {"##.###", 12.5, "12.500"},
      {"##.###", 99.999, "99.999"},
      {"##.###", 99.9996, "%100.000"},
      {"##.###", 9.9996, "10.000"},
      {"##.###", 123.4567, "%123.457"},
      {"##.###", 99999.9994, "%99999.999"},
      {"##.###", -1.5, "-1.500"},
      {"##.###", -0.5, "-0.500"},
      {"##.###", -0.0001, "-0.000"},
      {"##.###", -0.0, "-0.000"},
      {"##.###", -9.999, "-9.999"},
      {"##.###", -9.9996, "%-10.000"},
      {"##.###", -12.5, "%-12.500"},
      {"##.###", 0.0005, " 0.001"},  // half up on the decimal form, not on the binary value
      {"##.###", 2.0005, " 2.001"},
      {"##.###", -2.0005, "-2.001"},  // away from zero
  };
  for (const auto& c : cases) {
    EXPECT_EQ(maskedText(c.mask, c.value), c.text) << c.mask << " value " << c.value;
  }
}

TEST(MaskedText, OtherMasksAndLiterals) {
  const std::vector<MaskCase> cases = {
      {"##.######", 0.000123456, " 0.000123"},
      {"##.######", 1.25, " 1.250000"},
      {"##.######", 0.0000005, " 0.000001"},
      {"##.### ", 5.12345, " 5.123 "},
      {"##.### ", 99.9996, "%100.000 "},
      {"x ##.## y", 3.14159, "x  3.14 y"},
      {"##", 7.5, " 8"},
      {"#.#", 12.25, "%12.3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(maskedText(c.mask, c.value), c.text) << c.mask << " value " << c.value;
  }
}

TEST(MaskedText, WidthIsFixedWhileTheValueFits) {
  for (double x : {0.0, 0.0004, 1.0, 9.99949, 42.42, 99.999, 99.9994}) {
    EXPECT_EQ(maskedText("##.###", x).size(), 6u) << x;
  }
  for (double x : {-0.0, -0.0004, -1.0, -9.999, -9.9994}) {
    EXPECT_EQ(maskedText("##.###", x).size(), 6u) << x;
  }
}

TEST(MaskedText, ValuesBeyondTheOverflowMarkAndNonFinite) {
  EXPECT_EQ(maskedText("##.###", 123456.5), "%123456.500");
  EXPECT_EQ(maskedText("##.###", -1e6), "%-1000000.000");
  // Only 16 significant digits are kept; the rest read as zeros.
  // An exact tie at the 17th digit rounds half up, not to even.
  EXPECT_EQ(maskedText("##.###", 1234567890123456.5), "%1234567890123457.000");
  EXPECT_EQ(maskedText("##.###", 1e20 + 12345), "%100000000000000000000.000");
  EXPECT_EQ(maskedText("##.### ", std::numeric_limits<double>::infinity()), "%inf ");
  EXPECT_EQ(maskedText("##.###", -std::numeric_limits<double>::infinity()), "%-inf");
  EXPECT_EQ(maskedText("##.###", std::nan("")), "%nan");
  EXPECT_EQ(maskedText("no field", 1.5), "no field");
}

TEST(ElapsedText, HoursMinutesAndCutSeconds) {
  const std::vector<ElapsedCase> cases = {
      {3725.4567, 2, "1:02:05.45"},
      {7384.25, 2, "2:03:04.25"},
      {12.345678, 2, "0:00:12.34"},
      {3599.996, 2, "0:59:59.99"},
      {59.999, 2, "0:00:59.99"},  // cut, not rounded
      {600.5, 2, "0:10:00.5"},
      {0.5, 2, "0:00:00.5"},
      {36000.25, 2, "10:00:00.25"},
      {97200.75, 2, "27:00:00.75"},
      {3725.4567, 0, "1:02:05.456700000000183"},
      {3725.4567, 1, "1:02:05.4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(elapsedText(c.seconds, c.decimals), c.text)
        << c.seconds << " s, " << c.decimals << " decimals";
  }
}

TEST(ElapsedText, RemainderWithoutPoint) {
  const std::vector<ElapsedCase> cases = {
      {5, 2, "0:00:05.00"},       {0, 2, "0:00:00.00"},
      {-0.0, 2, "0:00:00.00"},    {3600, 2, "1:00:00.00"},
      {65, 0, "0:01:05"},         {125, 3, "0:02:05.000"},
      {0.00001, 2, "0:00:00.00"}, {60.000030517578125, 5, "0:01:00.00003"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(elapsedText(c.seconds, c.decimals), c.text)
        << c.seconds << " s, " << c.decimals << " decimals";
  }
}

TEST(ElapsedText, FieldsStayInRange) {
  // Remainders near the hour and minute boundaries must never read as negative or as 60.
  for (double s = 3599.9; s < 3600.1; s += 0.0137) {
    const std::string text = elapsedText(s, 2);
    EXPECT_EQ(text.find('-'), std::string::npos) << text;
    EXPECT_EQ(text.find(":60"), std::string::npos) << text;
  }
  EXPECT_EQ(elapsedText(std::numeric_limits<double>::infinity(), 2), "inf");
  EXPECT_EQ(elapsedText(1e300, 2), "2147483647:00:00.00");
}

TEST(CutAfterFirstDecimal, KeepsOneFractionDigit) {
  EXPECT_EQ(cutAfterFirstDecimal("0.1922607421875"), "0.1");
  EXPECT_EQ(cutAfterFirstDecimal("8.58306884765625"), "8.5");
  EXPECT_EQ(cutAfterFirstDecimal("225"), "225");
  EXPECT_EQ(cutAfterFirstDecimal("45.67"), "45.6");
  EXPECT_EQ(cutAfterFirstDecimal("0.5"), "0.5");
  EXPECT_EQ(cutAfterFirstDecimal("1e-005"), "1e-005");
  EXPECT_EQ(cutAfterFirstDecimal("1.234568e+007"), "1.2");
  EXPECT_EQ(cutAfterFirstDecimal(doubleText(0.000015)), "1.5");
  EXPECT_EQ(cutAfterFirstDecimal(""), "");
}

TEST(CutAfterFirstDecimal, MemoryAndRatioLabels) {
  EXPECT_EQ(cutAfterFirstDecimal(doubleText(224.0 * 900 / 1048576)), "0.1");
  EXPECT_EQ(cutAfterFirstDecimal(doubleText(10000.0 * 900 / 1048576)), "8.5");
  EXPECT_EQ(cutAfterFirstDecimal(doubleText(262144.0 * 900 / 1048576)), "225");
  EXPECT_EQ(cutAfterFirstDecimal(singleText(0.5f * 100.0f)), "50");
  EXPECT_EQ(cutAfterFirstDecimal(singleText(0.4567f * 100.0f)), "45.6");
}

TEST(RecordBytes, LittleEndianBitPatterns) {
  EXPECT_EQ(hexBytes(singleBytes(0.5f)), "00 00 00 3F");
  EXPECT_EQ(hexBytes(singleBytes(static_cast<float>(1.0 / 3.0))), "AB AA AA 3E");
  EXPECT_EQ(hexBytes(singleBytes(0.0f)), "00 00 00 00");
  EXPECT_EQ(hexBytes(singleBytes(-2.0f)), "00 00 00 C0");
  EXPECT_EQ(hexBytes(int32Bytes(224)), "E0 00 00 00");
  EXPECT_EQ(hexBytes(int32Bytes(-1)), "FF FF FF FF");
  EXPECT_EQ(hexBytes(int32Bytes(0x12345678)), "78 56 34 12");
  EXPECT_EQ(hexBytes(int32Bytes(static_cast<int32_t>(4000000000u))), "00 28 6B EE");
}

}  // namespace
}  // namespace ws
