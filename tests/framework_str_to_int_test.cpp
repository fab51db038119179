// The integer conversion of the owner window handle and of the stored numbers.
#include <gtest/gtest.h>

#include <optional>

#include "framework/StrToInt.h"
#include "platform/Exceptions.h"
#include "tests/error_message.h"
#include "tests/fakes/FakeCodePage.h"

namespace swfsaver {
namespace {

TEST(StrToIntForms, AcceptedDecimalForms) {
  EXPECT_EQ(TryStrToInt("1234"), 1234);
  EXPECT_EQ(TryStrToInt("   1234"), 1234);
  EXPECT_EQ(TryStrToInt("+7"), 7);
  EXPECT_EQ(TryStrToInt("  -7"), -7);
  EXPECT_EQ(TryStrToInt("007"), 7);
  EXPECT_EQ(TryStrToInt("-0"), 0);
  EXPECT_EQ(TryStrToInt("2147483647"), 2147483647);
  EXPECT_EQ(TryStrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("0000000000002147483647"), 2147483647);
}

TEST(StrToIntForms, AcceptedHexadecimalFormsWrapAsThirtyTwoBitPatterns) {
  EXPECT_EQ(TryStrToInt("$1F"), 31);
  EXPECT_EQ(TryStrToInt("x1f"), 31);
  EXPECT_EQ(TryStrToInt("X1F"), 31);
  EXPECT_EQ(TryStrToInt("0x1f"), 31);
  EXPECT_EQ(TryStrToInt(" 0X1F"), 31);
  EXPECT_EQ(TryStrToInt("-$10"), -16);
  EXPECT_EQ(TryStrToInt("$7FFFFFFF"), INT32_MAX);
  EXPECT_EQ(TryStrToInt("$80000000"), INT32_MIN);
  EXPECT_EQ(TryStrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryStrToInt("-$FFFFFFFF"), 1);
  EXPECT_EQ(TryStrToInt("$000000000A"), 10);  // leading zeros do not count
}

TEST(StrToIntForms, RefusedForms) {
  for (const char* text :
       {"", " ", "-", "+", "$", "x", "0x", "12 ", "12a", "1.0", "--1", "+-1", "- 1", "\t1",
        "2147483648", "-2147483649", "99999999999999999999", "$100000000", "$FFFFFFFFF",
        "0x1G", "$-1", "1e3", "１２"}) {
    EXPECT_EQ(TryStrToInt(text), std::nullopt) << '"' << text << '"';
  }
}

TEST(StrToIntForms, RefusalRaisesEConvertErrorWithTheTextInUtf8) {
  fakes::FakeCodePage shiftJis(fakes::FakeCodePage::Kind::ShiftJis);
  EXPECT_EQ(StrToInt("$FF", shiftJis), 255);
  EXPECT_EQ(MessageOf<EConvertError>([&] { StrToInt(fakes::ShiftJis("窓12"), shiftJis); }),
            "'窓12' は整数ではありません");
}

}  // namespace
}  // namespace swfsaver
