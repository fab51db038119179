// From the command line to the run mode: splitting, upper-casing and the order of the rules.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/ParseRunMode.h"
#include "framework/CommandLine.h"

namespace swfsaver {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLineSplit, BlanksAndControlCharactersSeparateQuotesGroupAndVanish) {
  EXPECT_EQ(SplitCommandLine("prog /s"), (Words{"prog", "/s"}));
  EXPECT_EQ(SplitCommandLine("  prog \t\r\n /c:1234\x01x  "), (Words{"prog", "/c:1234", "x"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Swf Saver.scr\" /p 1234"),
            (Words{"C:\\Program Files\\Swf Saver.scr", "/p", "1234"}));
  // A quoted stretch belongs to the word it stands in, wherever it stands.
  EXPECT_EQ(SplitCommandLine("p /\"a b\"c \"\""), (Words{"p", "/a bc", ""}));
  EXPECT_EQ(SplitCommandLine("p \"open quote runs to the end"),
            (Words{"p", "open quote runs to the end"}));
  EXPECT_EQ(SplitCommandLine(std::string_view("p /s\0 /c", 8)), (Words{"p", "/s"}));
  EXPECT_EQ(SplitCommandLine(""), Words{});
}

TEST(CommandLineSplit, ParamStrSkipsTheProgramAndIsEmptyWhenAbsent) {
  EXPECT_EQ(ParamStr("\"C:\\a b\\s.scr\" /a 1234", 1), "/a");
  EXPECT_EQ(ParamStr("\"C:\\a b\\s.scr\" /a 1234", 2), "1234");
  EXPECT_EQ(ParamStr("s.scr /a", 2), "");
  EXPECT_EQ(ParamStr("s.scr", 1), "");
  EXPECT_EQ(ParamStr("s.scr /a", 0), "s.scr");
}

TEST(CommandLineSplit, UpperCasingChangesOnlyTheLettersAToZ) {
  EXPECT_EQ(UpperCaseAscii("/s:abz{`@"), "/S:ABZ{`@");
  // Shift-JIS "ソ" is 0x83 0x5C and "ア" is 0x83 0x41: no byte of them may change, nor 0xE9.
  EXPECT_EQ(UpperCaseAscii("\x83\x5c\x83\x41x\xe9"), "\x83\x5c\x83\x41X\xe9");
}

struct ModeCase {
  const char* argument;  // as typed, before upper-casing
  std::optional<TRunMode> mode;
};

TEST(RunModeTable, EveryRowAndTheFormsAroundIt) {
  const ModeCase cases[] = {
      {"/a", rmChangePassword}, {"-A", rmChangePassword}, {"a", rmChangePassword},
      {"/p", rmPreview},        {"-P", rmPreview},        {"Preview", rmPreview},
      {"/c:1234", rmConfigure}, {"-c", rmConfigure},      {"C", rmConfigure},
      {"/s", rmSaver},          {"/S:0", rmSaver},        {"-s", rmSaver},
      {"s", rmSaver},           {"saver", rmSaver},       {"Screen", rmSaver},
      {"", rmConfigure},
      {"x", std::nullopt},      {"/x", std::nullopt},     {"--s", std::nullopt},
      {"/", std::nullopt},      {"-", std::nullopt},      {" /s", std::nullopt},
      {"\x83\x41", std::nullopt},
  };
  for (const ModeCase& c : cases) {
    EXPECT_EQ(ParseRunMode(UpperCaseAscii(c.argument)), c.mode) << '"' << c.argument << '"';
  }
}

TEST(RunModeTable, TheTestsAreCaseSensitiveOnTheirOwn) {
  // Upper-casing happens before; the rules themselves take only capitals.
  EXPECT_EQ(ParseRunMode("/s"), std::nullopt);
  EXPECT_EQ(ParseRunMode("s"), std::nullopt);
}

}  // namespace
}  // namespace swfsaver
