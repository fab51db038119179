// TextField and TextFormat as scripts use them, against a fake field: the properties convert
// their values as the Flash Player does (colours to 24 bits, autoSize by name without case), the
// formats travel both ways with every property, ranges clamp, and a bound variable is read
// and written through its path and followed when it changes.
#include <gtest/gtest.h>

#include "tests/avm1_fixture.h"

namespace swfplayer::avm1 {
namespace {

using testing::FakeClip;
using testing::ScriptTest;

class FakeField final : public TextField {
 public:
  std::u16string Text() const override { return text; }
  void SetText(std::u16string_view value, bool html) override {
    text = value;
    lastHtml = html;
  }
  std::u16string HtmlText() const override { return u"<P>" + text + u"</P>"; }
  std::u16string VariableName() const override { return variable; }
  void SetVariableName(std::u16string_view name) override { variable = name; }
  bool Flag(TextFieldFlag flag) const override { return flags[static_cast<int>(flag)]; }
  void SetFlag(TextFieldFlag flag, bool on) override { flags[static_cast<int>(flag)] = on; }
  double Number(TextFieldNumber number) const override {
    return number == TextFieldNumber::kLength ? static_cast<double>(text.size()) : numbers[static_cast<int>(number)];
  }
  void SetNumber(TextFieldNumber number, double value) override { numbers[static_cast<int>(number)] = value; }
  TextAutoSize AutoSize() const override { return autoSize; }
  void SetAutoSize(TextAutoSize mode) override { autoSize = mode; }
  TextFormat GetTextFormat(size_t begin, size_t end) const override {
    lastRange = {begin, end};
    return format;
  }
  void SetTextFormat(size_t begin, size_t end, const TextFormat& value) override {
    lastRange = {begin, end};
    format = value;
  }
  TextFormat NewTextFormat() const override { return format; }
  void SetNewTextFormat(const TextFormat& value) override { format = value; }
  void ReplaceText(size_t begin, size_t end, std::u16string_view value) override {
    text.replace(begin, end - begin, value);
  }

  std::u16string text, variable;
  bool lastHtml = false;
  bool flags[16] = {};
  double numbers[16] = {};
  TextAutoSize autoSize = TextAutoSize::kNone;
  TextFormat format;
  mutable std::pair<size_t, size_t> lastRange;
};

class Avm1TextField : public ScriptTest {
 protected:
  void SetUp() override {
    Make(8);
    root.AddChild(u"tf", 1).textField = &field;
  }
  FakeField field;
};

TEST_F(Avm1TextField, PropertiesConvertAsTheFlashPlayerDoes) {
  EXPECT_EQ(Run(R"(
    push "tf"
    getvariable
    push "backgroundColor" -1
    setmember
    push "tf"
    getvariable
    push "backgroundColor"
    getmember
    trace
    push "tf"
    getvariable
    push "textColor" 2164260863
    setmember
    push "tf"
    getvariable
    push "textColor"
    getmember
    trace
    push "tf"
    getvariable
    push "border" "yes"
    setmember
    push "tf"
    getvariable
    push "border"
    getmember
    trace
    push "tf"
    getvariable
    push "autoSize" true
    setmember
    push "tf"
    getvariable
    push "autoSize"
    getmember
    trace
    push "tf"
    getvariable
    push "autoSize" "RIGHT"
    setmember
    push "tf"
    getvariable
    push "autoSize"
    getmember
    trace
    push "tf"
    getvariable
    push "autoSize" "center"
    setmember
    push "tf"
    getvariable
    push "autoSize"
    getmember
    trace
    push "tf"
    getvariable
    push "text" "abc"
    setmember
    push "tf"
    getvariable
    push "length"
    getmember
    trace
    push "tf"
    getvariable
    push "variable"
    getmember
    trace
    push "tf"
    getvariable
    push "_name"
    getmember
    trace
  )"),
            "16777215\n16777215\ntrue\nleft\nright\ncenter\n3\nnull\ntf\n");
  EXPECT_FALSE(field.lastHtml);
}

TEST_F(Avm1TextField, FormatsTravelBothWaysAndRangesClamp) {
  field.text = u"hello";
  EXPECT_EQ(Run(R"(
    push "f" 0 "TextFormat"
    newobject
    setvariable
    push "f"
    getvariable
    push "size"
    getmember
    trace
    push "f"
    getvariable
    push "bold" "x"
    setmember
    push "f"
    getvariable
    push "color" 4294901760
    setmember
    push "f"
    getvariable
    push "align" "CENTER"
    setmember
    push "f"
    getvariable
    push "font" "Arial"
    setmember
    push "f"
    getvariable
    push 9 1 3 "tf"
    getvariable
    push "setTextFormat"
    callmethod
    pop
    push 9 1 2 "tf"
    getvariable
    push "getTextFormat"
    callmethod
    push "g"
    stackswap
    setvariable
    push "g"
    getvariable
    push "font"
    getmember
    trace
    push "g"
    getvariable
    push "bold"
    getmember
    trace
    push "g"
    getvariable
    push "color"
    getmember
    trace
    push "g"
    getvariable
    push "align"
    getmember
    trace
    push "g"
    getvariable
    push "italic"
    getmember
    trace
  )"),
            "null\nArial\ntrue\n16711680\ncenter\nnull\n");
  EXPECT_EQ(field.lastRange, (std::pair<size_t, size_t>{1, 5}));  // (1, 9) is clamped to the text
  EXPECT_EQ(field.format.size, std::nullopt);
  EXPECT_EQ(field.format.bold, true);
  EXPECT_EQ(field.format.align, TextAlign::kCenter);
}

TEST_F(Avm1TextField, ABoundVariableIsReadAndWrittenThroughItsPath) {
  root.AddChild(u"other", 2);
  field.variable = u"_root.other.v";
  EXPECT_EQ(Run(R"(
    push "other.v" "shown"
    setvariable
    push "tf"
    getvariable
    push "text"
    getmember
    trace
    push "tf"
    getvariable
    push "text" "typed"
    setmember
    push "other.v"
    getvariable
    trace
    push "tf"
    getvariable
    push "variable"
    getmember
    trace
  )"),
            "shown\ntyped\n_root.other.v\n");
}

// The field follows its variable when the variable changes, not whenever the two differ: a
// text written back to a read-only variable stays shown until the variable itself changes.
TEST_F(Avm1TextField, AFieldFollowsItsVariableOnlyWhenTheVariableChanges) {
  root.AddChild(u"other", 2);
  field.variable = u"_root.other.v";
  EXPECT_EQ(Run(R"(
    push "other.v" "shown"
    setvariable
    push 4 "v" "other"
    getvariable
    push 3 "ASSetPropFlags"
    callfunction
    pop
    push "tf"
    getvariable
    push "text" "typed"
    setmember
    push "other.v"
    getvariable
    trace
    push "tf"
    getvariable
    push "text"
    getmember
    trace
    push 4 0 "v" "other"
    getvariable
    push 4 "ASSetPropFlags"
    callfunction
    pop
    push "other.v" "later"
    setvariable
    push "tf"
    getvariable
    push "text"
    getmember
    trace
  )"),
            "shown\ntyped\nlater\n");
}

}  // namespace
}  // namespace swfplayer::avm1
