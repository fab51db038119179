// TextSnapshot's answers over static texts: the texts read as one run of characters with line
// endings only between texts, ranges taken as the Flash Player takes them, findText across a
// text boundary and without case, selections shared through the texts, and where characters
// stand for hitTestTextNearPos and getTextRunInfo.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "swfplayer/avm1/TextSnapshot.h"

namespace swfplayer::avm1 {
namespace {

class FixedText final : public StaticText {
 public:
  FixedText(std::shared_ptr<const StaticTextContent> content, Matrix placement)
      : StaticText(std::move(content)), placement_(placement) {}
  Matrix Placement() const override { return placement_; }

 private:
  Matrix placement_;
};

// One run of 20-pixel characters, each 200 twips wide, on a baseline at y.
std::shared_ptr<StaticText> Text(std::u16string_view characters, double y = 400, Matrix placement = {}) {
  auto content = std::make_shared<StaticTextContent>();
  content->runs.push_back({u"Sans", 400, 300, 100, Rgba{1, 2, 3, 255}});
  double x = 0;
  for (char16_t c : characters) {
    content->glyphs.push_back({c, 0, x, y, 200});
    x += 200;
  }
  return std::make_shared<FixedText>(content, placement);
}

TEST(TextSnapshot, TextsReadAsOneRunWithLineEndingsOnlyBetweenTexts) {
  TextSnapshot snapshot({Text(u"ABCDEF"), Text(u"GHIJK")});
  ASSERT_EQ(snapshot.Count(), 11u);
  EXPECT_EQ(snapshot.Text(0, 100, false), u"ABCDEFGHIJK");
  EXPECT_EQ(snapshot.Text(0, 100, true), u"ABCDEF\nGHIJK");
  EXPECT_EQ(snapshot.Text(0, 6, true), u"ABCDEF");    // nothing of the second text
  EXPECT_EQ(snapshot.Text(6, 8, true), u"GH");        // nothing of the first
  EXPECT_EQ(snapshot.Text(5, 7, true), u"F\nG");
  // A start past the end reads the last character; an end at or before the start reads one.
  EXPECT_EQ(snapshot.Text(100, 200, false), u"K");
  EXPECT_EQ(snapshot.Text(3, 1, false), u"D");
  EXPECT_EQ(snapshot.Text(-5, -2, false), u"A");
  EXPECT_EQ(snapshot.Text(-2, 5, false), u"ABCDE");
  EXPECT_EQ(snapshot.Text(5, -2, false), u"F");

  TextSnapshot empty({});
  EXPECT_EQ(empty.Count(), 0u);
  EXPECT_EQ(empty.Text(0, 10, true), u"");
  EXPECT_EQ(empty.Find(0, u"A", true), -1);
  EXPECT_EQ(empty.HitTest({0, 0}, 1000), -1);
}

TEST(TextSnapshot, FindTextAcrossTextsWithAndWithoutCase) {
  TextSnapshot snapshot({Text(u"ABCDEF"), Text(u"GHIJK")});
  EXPECT_EQ(snapshot.Find(0, u"FG", true), 5);  // spans the two texts
  EXPECT_EQ(snapshot.Find(0, u"F\nG", false), -1);  // line endings are never in the run
  EXPECT_EQ(snapshot.Find(4, u"EF", true), 4);
  EXPECT_EQ(snapshot.Find(5, u"EF", true), -1);
  EXPECT_EQ(snapshot.Find(0, u"gh", true), -1);
  EXPECT_EQ(snapshot.Find(0, u"gh", false), 6);
  EXPECT_EQ(snapshot.Find(0, u"aBcdEfGHIjK", false), 0);
  EXPECT_EQ(snapshot.Find(0, u"ABCDEFGHIJKL", true), -1);  // longer than the text
  EXPECT_EQ(snapshot.Find(0, u"", true), -1);
  EXPECT_EQ(snapshot.Find(-1, u"A", true), -1);
  EXPECT_EQ(snapshot.Find(11, u"K", true), -1);
  EXPECT_EQ(snapshot.Find(12, u"K", true), -1);
  // Lower-cased as the player lower-cases, beyond ASCII too.
  TextSnapshot greek({Text(u"\u0391\u0392")});
  EXPECT_EQ(greek.Find(0, u"\u03B2", false), 1);
  EXPECT_EQ(greek.Find(0, u"\u03B2", true), -1);
}

TEST(TextSnapshot, SelectionsLiveInTheTextsAndReadBackWithLineEndings) {
  const auto first = Text(u"ABCDEF");
  const auto second = Text(u"GHIJK");
  TextSnapshot snapshot({first, second});
  EXPECT_FALSE(snapshot.AnySelected(0, 100));
  EXPECT_EQ(snapshot.SelectedText(true), u"");
  snapshot.Select(4, 8, true);
  EXPECT_EQ(snapshot.SelectedText(false), u"EFGH");
  EXPECT_EQ(snapshot.SelectedText(true), u"EF\nGH");
  EXPECT_TRUE(snapshot.AnySelected(7, 8));
  EXPECT_FALSE(snapshot.AnySelected(8, 9));
  EXPECT_FALSE(snapshot.AnySelected(0, 4));
  // Another snapshot of the same texts sees the selection.
  TextSnapshot other({first, second});
  EXPECT_TRUE(other.AnySelected(5, 6));
  other.Select(5, 7, false);
  EXPECT_EQ(snapshot.SelectedText(false), u"EH");
  snapshot.SetSelectColor(Rgba{0, 255, 0, 255});
  EXPECT_EQ(second->SelectColor(), (Rgba{0, 255, 0, 255}));
}

TEST(TextSnapshot, CharactersStandWhereTheirTextIsPlaced) {
  // The second text stands 1000 twips lower and is scaled twice as wide by its placement.
  TextSnapshot snapshot({Text(u"AB"), Text(u"CD", 400, Matrix{2, 0, 0, 1, 0, 1000})});
  const auto infos = snapshot.Info(1, 3);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[0].index, 1u);
  EXPECT_EQ(infos[0].matrix, (Matrix{1, 0, 0, 1, 200, 400}));
  EXPECT_EQ(infos[0].corners[0], (Point{200, 500}));  // the pen, down by the descent
  EXPECT_EQ(infos[0].corners[2], (Point{400, 100}));  // the advance, up by the ascent
  EXPECT_EQ(infos[1].index, 2u);
  EXPECT_EQ(infos[1].matrix, (Matrix{2, 0, 0, 1, 0, 1400}));
  EXPECT_EQ(infos[1].corners[1], (Point{400, 1500}));
  ASSERT_NE(infos[1].run, nullptr);
  EXPECT_EQ(infos[1].run->font, u"Sans");

  EXPECT_EQ(snapshot.HitTest({250, 300}, 0), 1);    // inside B
  EXPECT_EQ(snapshot.HitTest({500, 1300}, 0), 3);   // inside the stretched D
  EXPECT_EQ(snapshot.HitTest({1000, 300}, 0), -1);  // beside everything
  // Near: the centre of B is at (300, 300), 700 twips from (1000, 300).
  EXPECT_EQ(snapshot.HitTest({1000, 300}, 699), -1);
  EXPECT_EQ(snapshot.HitTest({1000, 300}, 700), 1);
}

}  // namespace
}  // namespace swfplayer::avm1
