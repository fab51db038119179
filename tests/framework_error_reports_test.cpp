// The texts of the error reports and the application title.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "framework/ErrorReports.h"
#include "platform/Exceptions.h"
#include "tests/fakes/FakeCodePage.h"

namespace swfsaver {
namespace {

using fakes::FakeCodePage;
using fakes::ShiftJis;

TEST(ErrorReportText, ClosingPeriodOnlyAfterACharacterThatSortsAfterIt) {
  EXPECT_EQ(WithClosingPeriod(""), "");
  EXPECT_EQ(WithClosingPeriod("done."), "done.");
  EXPECT_EQ(WithClosingPeriod("(12)"), "(12)");  // ")" sorts before "."
  EXPECT_EQ(WithClosingPeriod("a-"), "a-");
  EXPECT_EQ(WithClosingPeriod("a/"), "a/.");
  EXPECT_EQ(WithClosingPeriod("count 3"), "count 3.");
  EXPECT_EQ(WithClosingPeriod("ストリームからの読み込みエラー"), "ストリームからの読み込みエラー.");
  EXPECT_EQ(WithClosingPeriod("終わり。"), "終わり。.");
}

TEST(ErrorReportText, DefaultReportIsTheMessageWithTheRule) {
  EXPECT_EQ(DefaultErrorReportText(EReadError("ストリームからの読み込みエラー")),
            "ストリームからの読み込みエラー.");
  EXPECT_EQ(DefaultErrorReportText(std::runtime_error("plain")), "plain.");
}

TEST(ErrorReportText, LastChanceNamesClassModuleAndAddressThenTheMessage) {
  const EConvertError error("'' は整数ではありません");
  const std::string text = LastChanceReportText(error, "SwfSaver.scr");
  const std::string head = "EConvertError がモジュール SwfSaver.scr の ";
  ASSERT_EQ(text.substr(0, head.size()), head);
  const std::string address = text.substr(head.size(), 2 * sizeof(void*));
  EXPECT_EQ(address.find_first_not_of("0123456789ABCDEF"), std::string::npos) << address;
  EXPECT_NE(address, std::string(2 * sizeof(void*), '0'));
  EXPECT_EQ(text.substr(head.size() + address.size()),
            " で発生しました。\r\n'' は整数ではありません.");
}

TEST(ErrorReportText, ForeignErrorsAreReportedUnderTheBaseClass) {
  EXPECT_EQ(LastChanceReportText(std::runtime_error("boom"), "a.scr"),
            "Exception がモジュール a.scr の " + std::string(2 * sizeof(void*), '0') +
                " で発生しました。\r\nboom.");
}

TEST(ApplicationTitleText, FileNameCutAtTheFirstFullStopRestLowerCase) {
  FakeCodePage western;
  EXPECT_EQ(ApplicationTitle("C:\\Windows\\SwfSaver.scr", western), "Swfsaver");
  EXPECT_EQ(ApplicationTitle("C:\\x\\SAVER.SCR", western), "Saver");
  EXPECT_EQ(ApplicationTitle("D:SWF.Saver.scr", western), "Swf");
  EXPECT_EQ(ApplicationTitle("noext", western), "noext");
  EXPECT_EQ(ApplicationTitle("C:\\dir\\", western), "");
}

TEST(ApplicationTitleText, DoubleByteCharactersStayWhole) {
  FakeCodePage shiftJis(FakeCodePage::Kind::ShiftJis);
  // "ア" is 0x83 0x41: its trail byte is an "A" and must not be lowered; "表" ends in "\".
  EXPECT_EQ(ApplicationTitle(ShiftJis("C:\\表\\アANIME表SAVER.scr"), shiftJis),
            ShiftJis("アanime表saver"));
  EXPECT_EQ(ModuleBaseFileName(ShiftJis("C:\\保存\\表.scr"), shiftJis), ShiftJis("表.scr"));
}

}  // namespace
}  // namespace swfsaver
