// Numbers and strings as the Flash Player converts them, by SWF version.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "swfplayer/avm1/Convert.h"

namespace swfplayer::avm1 {
namespace {

TEST(Avm1Conversions, NumbersPrintWithFifteenDigitsAndTheFlashExponentForm) {
  const struct {
    double number;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {-0.0, "0"},
      {1.5, "1.5"},
      {-0.5, "-0.5"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {100.0 / 3, "33.3333333333333"},
      {-100.0 / 3, "-33.3333333333333"},
      {1.0000000000000002, "1"},
      {4294967296.0, "4294967296"},
      {-2147483649.0, "-2147483649"},
      {123456789012.5, "123456789012.5"},
      {1e15, "1e+15"},
      {1e21, "1e+21"},
      {123456789012345680000.0, "1.23456789012346e+20"},
      {9007199254740993.0, "9.00719925474099e+15"},
      {0.00001, "0.00001"},
      {0.000123, "0.000123"},
      {0.000001, "1e-6"},
      {1.5e-7, "1.5e-7"},
      {-2.5e-10, "-2.5e-10"},
      {5e-324, "4.94065645841247e-324"},
      {std::numeric_limits<double>::max(), "1.79769313486231e+308"},
      {std::numeric_limits<double>::infinity(), "Infinity"},
      {-std::numeric_limits<double>::infinity(), "-Infinity"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"},
      // The rounding carries into a digit the exponent form has no room for: the Flash Player
      // prints what is left.
      {9999999999999998.0, "1e+16"},
      {-9999999999999998.0, "-e+16"},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberToString(c.number), c.text) << c.number;
}

TEST(Avm1Conversions, RadixStringsPrintTheIntegerPart) {
  EXPECT_EQ(NumberToRadixString(255, 16), "ff");
  EXPECT_EQ(NumberToRadixString(-255, 16), "-ff");
  EXPECT_EQ(NumberToRadixString(5.9, 2), "101");
  EXPECT_EQ(NumberToRadixString(0, 36), "0");
  EXPECT_EQ(NumberToRadixString(1e12, 2), "1111111111111111111111111111111");  // saturated
  EXPECT_EQ(NumberToRadixString(std::nan(""), 8), "0");
  EXPECT_EQ(NumberToRadixString(0.5, 10), "0.5");
  EXPECT_EQ(NumberToRadixString(0.5, 99), "0.5");  // out of range: decimal
}

TEST(Avm1Conversions, StringsToNumbersByVersion) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char16_t* text;
    uint8_t version;
    double number;
  } cases[] = {
      {u"12", 5, 12},
      {u" \t\n12", 6, 12},
      {u"-1.5e3", 7, -1500},
      {u"+.5", 7, 0.5},
      {u"1e", 7, 1},
      {u"12 ", 5, nan},          // trailing characters: NaN from SWF 5
      {u"12px", 4, 12},          // before it the number's start counts
      {u"px", 4, 0},             // and what does not parse is 0
      {u"12px", 5, nan},
      {u"", 5, nan},
      {u"", 4, 0},
      {u"Infinity", 7, nan},     // never parsed
      {u"0x10", 5, nan},         // hexadecimal from SWF 6
      {u"0x10", 6, 16},
      {u"0XfF", 7, 255},
      {u"-0x10", 7, nan},        // a signed hexadecimal does not parse
      {u"0xFFFFFFFF", 7, -1},    // 32 bits, wrapping
      {u"0x1g", 7, nan},
      {u"010", 6, 8},            // octal from SWF 6
      {u"-010", 7, -8},
      {u"010", 5, 10},
      {u"019", 7, 19},
      {u"0", 7, 0},
  };
  for (const auto& c : cases) {
    const double result = StringToNumber(c.text, c.version);
    if (std::isnan(c.number)) {
      EXPECT_TRUE(std::isnan(result)) << "version " << int(c.version);
    } else {
      EXPECT_EQ(result, c.number) << "version " << int(c.version);
    }
  }
  EXPECT_EQ(ParseFloatPrefix(u"3.25abc"), 3.25);
  EXPECT_TRUE(std::isnan(ParseFloatPrefix(u"abc")));
}

TEST(Avm1Conversions, Int32WrapsModulo2To32) {
  EXPECT_EQ(DoubleToInt32(4294967295.0), -1);
  EXPECT_EQ(DoubleToInt32(2147483648.0), -2147483647 - 1);
  EXPECT_EQ(DoubleToInt32(-1.9), -1);
  EXPECT_EQ(DoubleToInt32(1e20), 1661992960);
  EXPECT_EQ(DoubleToInt32(-1e20), -1661992960);
  EXPECT_EQ(DoubleToInt32(std::nan("")), 0);
  EXPECT_EQ(DoubleToInt32(-std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(DoubleToUint32(-1), 4294967295u);
}

}  // namespace
}  // namespace swfplayer::avm1
