// The text layer: HTML as the Flash Player reads bad markup, line breaking and alignment,
// strings and font codes by SWF version, device font fallback, and a field's border pixels.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/text/DeviceFonts.h"
#include "swfplayer/text/EditField.h"
#include "swfplayer/text/EmbeddedFont.h"
#include "swfplayer/text/Html.h"
#include "swfplayer/text/Layout.h"

namespace swfplayer::text {
namespace {

// Every character 500 units wide (1000 to the EM), ascent 800, descent 200: at 20 px a
// character is 10 px (200 twips) and a line 20 px (400 twips) tall.
class FixedFont final : public LayoutFont {
 public:
  bool Find(char32_t, FontGlyph& glyph) const override {
    glyph.outline = outline_;
    glyph.advance = 500;
    return true;
  }
  double Kerning(char32_t, char32_t) const override { return 0; }
  double UnitsPerEm() const override { return 1000; }
  double Ascent() const override { return 800; }
  double Descent() const override { return 200; }
  double Leading() const override { return 0; }
  bool IsDevice() const override { return false; }

 private:
  std::shared_ptr<const Path> outline_ = [] {
    auto square = std::make_shared<Path>();
    square->MoveTo({0, -500});
    square->LineTo({500, -500});
    square->LineTo({500, 0});
    return square;
  }();
};

class FixedFonts final : public FontResolver {
 public:
  std::shared_ptr<const LayoutFont> Resolve(const TextFormat&) override { return font_; }

 private:
  std::shared_ptr<const LayoutFont> font_ = std::make_shared<FixedFont>();
};

TextFormat Base() {
  TextFormat format = TextFormat::Defaults();
  format.size = 20;
  return format;
}

StyledText Html(std::u16string_view html, bool multiline = true) {
  HtmlOptions options;
  options.multiline = multiline;
  return ParseHtml(html, Base(), options);
}

// [begin, end) of each bold run.
std::vector<std::pair<size_t, size_t>> BoldRanges(const StyledText& text) {
  std::vector<std::pair<size_t, size_t>> ranges;
  size_t at = 0;
  for (const FormatRun& run : text.Runs()) {
    if (run.format.bold.value_or(false)) ranges.emplace_back(at, at + run.length);
    at += run.length;
  }
  return ranges;
}

TEST(TextHtml, BadMarkupReadsAsTheFlashPlayerReadsIt) {
  // Names without case; an end tag that closes nothing open is ignored; a tag left open runs on.
  const StyledText text = Html(u"<B>bo</i>ld</b> plain <b>open");
  EXPECT_EQ(text.Text(), u"bold plain open");
  EXPECT_EQ(BoldRanges(text), (std::vector<std::pair<size_t, size_t>>{{0, 4}, {11, 15}}));
  // Unknown tags vanish around their content; entities, numeric ones too, are decoded.
  EXPECT_EQ(Html(u"<blink>a</blink>&lt;&amp;&gt;&#65;&#x42;&quot;").Text(), u"a<&>AB\"");
  // A '<' that never closes ends the text.
  EXPECT_EQ(Html(u"kept<b never").Text(), u"kept");
  // Paragraphs and breaks end lines in a multiline field only.
  EXPECT_EQ(Html(u"<p>one</p><p>two</p>x<br>y").Text(), u"one\rtwo\rx\ry");
  EXPECT_EQ(Html(u"x<br>y<p>z</p>", /*multiline=*/false).Text(), u"xyz");
}

TEST(TextHtml, FontAndParagraphAttributes) {
  const StyledText text = Html(u"<p align='center'><font face=\"Verdana\" size=\"30\" color=\"#FF8000\">x</font>y</p>");
  ASSERT_EQ(text.Text().substr(0, 2), u"xy");
  const TextFormat& x = text.FormatAt(0);
  EXPECT_EQ(x.font, u"Verdana");
  EXPECT_EQ(x.size, 30);
  EXPECT_EQ(x.color, 0xFF8000u);
  EXPECT_EQ(x.align, Align::kCenter);
  // Closing the font tag restores the field's own format.
  EXPECT_EQ(text.FormatAt(1).size, 20);
  EXPECT_EQ(text.FormatAt(1).color, Base().color);
}

TEST(TextHtml, AnyInputEndsWithoutFailing) {
  std::u16string deep;
  for (int i = 0; i < 2000; ++i) deep += u"<font size='9'><b>";
  deep += u"x&;&#;&#xZZ;&#99999999;<<>><p align=>";
  const StyledText text = Html(deep);
  EXPECT_EQ(text.Text().substr(0, 1), u"x");
}

LaidOutText Lay(const StyledText& text, double widthPixels, bool wordWrap) {
  FixedFonts fonts;
  LayoutOptions options;
  options.width = widthPixels * 20;
  options.wordWrap = wordWrap;
  return LayOut(text, fonts, options);
}

std::u16string LineText(const StyledText& text, const LineBox& line) {
  return text.Text().substr(line.begin, line.end - line.begin);
}

TEST(TextLayout, WrapsAtSpacesThenBetweenCharactersOfALongWord) {
  // 10 px a character, 55 px of room: five characters to a line.
  const StyledText text(u"ab cd efghijklm", Base());
  const LaidOutText layout = Lay(text, 55, true);
  ASSERT_EQ(layout.lines.size(), 3u);
  EXPECT_EQ(LineText(text, layout.lines[0]), u"ab cd ");  // the space hangs past the edge
  EXPECT_EQ(LineText(text, layout.lines[1]), u"efghi");
  EXPECT_EQ(LineText(text, layout.lines[2]), u"jklm");
  EXPECT_DOUBLE_EQ(layout.lines[0].width, 50 * 20);  // "ab cd": the hanging space left out
  EXPECT_DOUBLE_EQ(layout.lines[1].top, 400);
  // Without word wrap the text runs on in one line.
  EXPECT_EQ(Lay(text, 55, false).lines.size(), 1u);
}

TEST(TextLayout, CjkBreaksBetweenCharactersButNotBeforeClosingPunctuation) {
  // Four characters fit; the fifth is a full stop, which takes the one before it along.
  const StyledText text(u"\u65E5\u672C\u8A9E\u6587\u3002\u5B57", Base());
  const LaidOutText layout = Lay(text, 45, true);
  ASSERT_GE(layout.lines.size(), 2u);
  EXPECT_EQ(LineText(text, layout.lines[0]), u"\u65E5\u672C\u8A9E");
  EXPECT_EQ(LineText(text, layout.lines[1]).substr(0, 2), u"\u6587\u3002");
}

TEST(TextLayout, AlignmentPlacesEachLineInTheRoom) {
  auto left = [](Align align, double margin) {
    TextFormat format = Base();
    format.align = align;
    format.leftMargin = margin;
    return Lay(StyledText(u"abcd", format), 100, true).lines[0].left / 20;
  };
  EXPECT_DOUBLE_EQ(left(Align::kLeft, 0), 0);
  EXPECT_DOUBLE_EQ(left(Align::kRight, 0), 60);
  EXPECT_DOUBLE_EQ(left(Align::kCenter, 0), 30);
  EXPECT_DOUBLE_EQ(left(Align::kLeft, 7), 7);
  EXPECT_DOUBLE_EQ(left(Align::kCenter, 20), 40);  // centred in what the margin leaves
}

TEST(TextStrings, AnsiBeforeSwf6AndUtf8After) {
  const IconvAnsiDecoder shiftJis("SHIFT_JIS");
  const std::string nihon = "\x93\xFA\x96\x7B";  // 日本 in Shift-JIS
  EXPECT_EQ(DecodeSwfString(nihon, 5, shiftJis), u"\u65E5\u672C");
  EXPECT_EQ(DecodeSwfString("\xE6\x97\xA5\xE6\x9C\xAC", 6, shiftJis), u"\u65E5\u672C");
  // The same bytes in an SWF 6 movie are broken UTF-8, not Shift-JIS.
  EXPECT_NE(DecodeSwfString(nihon, 6, shiftJis), u"\u65E5\u672C");
  EXPECT_EQ(DecodeSwfString("caf\xE9", 5, IconvAnsiDecoder()), u"caf\u00E9");
  // A font's codes: UCS-2 from SWF 6, the code page's bytes before.
  EXPECT_EQ(CharacterOfCode(0x65E5, true, 6, shiftJis), U'\u65E5');
  EXPECT_EQ(CharacterOfCode(0x93FA, true, 5, shiftJis), U'\u65E5');
  EXPECT_EQ(CharacterOfCode(0xE9, false, 5, IconvAnsiDecoder()), U'\u00E9');
}

// Faces by name, each holding the characters given; records what was opened.
class FakeFace final : public DeviceFace {
 public:
  FakeFace(std::u32string chars, double ascent) : chars_(std::move(chars)), ascent_(ascent) {}
  bool HasGlyph(char32_t c) const override { return chars_.find(c) != std::u32string::npos; }
  std::optional<DeviceGlyph> Glyph(char32_t c) const override {
    if (!HasGlyph(c)) return std::nullopt;
    DeviceGlyph glyph;
    glyph.advance = 100;
    return glyph;
  }
  double Kerning(char32_t, char32_t) const override { return 0; }
  double Ascent() const override { return ascent_; }
  double Descent() const override { return 0; }

 private:
  std::u32string chars_;
  double ascent_;
};

class FakeSource final : public FontSource {
 public:
  std::map<std::string, std::shared_ptr<const DeviceFace>> faces;
  std::multiset<std::string> opened;
  std::shared_ptr<const DeviceFace> Open(std::string_view family, bool, bool) override {
    opened.emplace(family);
    const auto found = faces.find(std::string(family));
    return found == faces.end() ? nullptr : found->second;
  }
};

TEST(TextDeviceFonts, MissingFacesFallBackToTheirFamilyThenSansThenJapanese) {
  FakeSource source;
  source.faces["Arial"] = std::make_shared<FakeFace>(U"ab ", 1);
  source.faces["Times New Roman"] = std::make_shared<FakeFace>(U"a", 2);
  source.faces["Meiryo"] = std::make_shared<FakeFace>(U"\u65E5", 3);
  DeviceFonts fonts(&source);
  FontGlyph glyph;
  // A generic name and an unknown sans face: Arial.
  EXPECT_EQ(fonts.Font(u"_sans", false, false)->Ascent(), 1);
  EXPECT_EQ(fonts.Font(u"Frutiger", false, false)->Ascent(), 1);
  // A serif face that is not installed falls back to serif; what serif lacks comes from sans.
  const auto serif = fonts.Font(u"Garamond", false, false);
  EXPECT_EQ(serif->Ascent(), 2);
  EXPECT_TRUE(serif->Find(U'b', glyph));
  // Japanese text shows in any face; a character nobody has takes no room.
  EXPECT_TRUE(serif->Find(U'\u65E5', glyph));
  EXPECT_FALSE(serif->Find(U'\u00FF', glyph));
  // Faces and chains are opened once however often they are asked for.
  const size_t opened = source.opened.size();
  fonts.Font(u"garamond", false, false)->Find(U'a', glyph);
  EXPECT_EQ(source.opened.size(), opened);
  // Without a source nothing is found, and nothing fails.
  DeviceFonts none(nullptr);
  EXPECT_FALSE(none.Font(u"_sans", false, false)->Find(U'a', glyph));
}

std::set<std::pair<int, int>> Pixels(const Path& path) {
  // The rectangles' pixels (the path is made of axis-aligned rectangles, 5 points each).
  std::set<std::pair<int, int>> pixels;
  const auto& points = path.Points();
  for (size_t i = 0; i + 4 < points.size(); i += 5) {
    for (int y = int(points[i].y); y < int(points[i + 2].y); ++y) {
      for (int x = int(points[i].x); x < int(points[i + 2].x); ++x) pixels.emplace(x, y);
    }
  }
  return pixels;
}

TEST(TextField, BorderCoversTheRoundedEdgesLeavingTheBottomRightCorner) {
  FixedFonts fonts;
  FieldProperties properties;
  properties.bounds = {0, 40, 0, 40};  // 2 x 2 pixels
  properties.border = true;
  EditField field(properties, Base(), fonts);
  const auto& border = field.Picture().border;
  ASSERT_TRUE(border);
  // At (10.5, 20.25): edges round halves down, to columns 10 and 12, rows 20 and 22.
  const auto pixels = BorderPixels(*border, Matrix{1.0 / 20, 0, 0, 1.0 / 20, 10.5, 20.25});
  ASSERT_TRUE(pixels);
  const std::set<std::pair<int, int>> expected{{10, 20}, {11, 20}, {12, 20}, {10, 21}, {12, 21},
                                               {10, 22}, {11, 22}};
  EXPECT_EQ(Pixels(*pixels), expected);
  // Rotated, the border is a stroke instead.
  EXPECT_FALSE(BorderPixels(*border, Matrix{0, 1, -1, 0, 0, 0}));
}

TEST(TextField, PasswordShowsAsterisksAndAutoSizeFitsTheText) {
  FixedFonts fonts;
  FieldProperties properties;
  properties.bounds = {0, 2000, 0, 400};
  properties.password = true;
  properties.autoSize = AutoSize::kRight;
  EditField field(properties, Base(), fonts);
  field.SetText(u"abc");
  EXPECT_EQ(field.Text(), u"abc");  // scripts still see the text
  const LaidOutText& layout = field.Layout();
  EXPECT_EQ(layout.glyphs.size(), 3u);
  // Three 10 px characters and the 2 px gutters, kept at the right edge.
  EXPECT_EQ(field.Properties().bounds.xMin, 2000 - 680);
  EXPECT_EQ(field.Properties().bounds.xMax, 2000);
  EXPECT_EQ(field.Properties().bounds.yMax, 400 + 80);
}

}  // namespace
}  // namespace swfplayer::text
