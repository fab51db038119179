// Static texts as scripts read them back: each glyph through its font's code table (the
// ANSI code page's before SWF 6, U+FFFD for a font without a table), in depth order, where
// the text is placed; duplicateMovieClip hands a clip's texts to its copy; characters a script
// selected are drawn over a box of the selection colour.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/player/DisplayObject.h"

namespace swfplayer::player {
namespace {

using tools::SwfFont;
using tools::SwfGlyph;
using tools::SwfMatrix;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfRgba;
using tools::SwfText;
using tools::SwfTextRecord;

SwfGlyph Square() {
  SwfGlyph glyph;
  glyph.Style(0, 1, std::nullopt, std::pair{0, -512}).LineBy(512, 0).LineBy(0, 512).LineBy(-512, 0).LineBy(0, -512);
  return glyph;
}

uint16_t FontOf(SwfMovieBuilder& movie, int version, std::vector<uint16_t> codes) {
  SwfFont font;
  font.version = version;
  font.glyphs.assign(codes.empty() ? 1 : codes.size(), Square());
  font.codes = std::move(codes);
  return movie.DefineFont(font);
}

uint16_t TextOf(SwfMovieBuilder& movie, std::vector<SwfTextRecord> records) {
  SwfText text;
  text.records = std::move(records);
  return movie.DefineText(text);
}

void Place(tools::SwfTags& tags, uint16_t character, uint16_t depth, SwfMatrix matrix, std::string name = {}) {
  SwfPlace place;
  place.character = character;
  place.depth = depth;
  place.matrix = matrix;
  if (!name.empty()) place.name = name;
  tags.Place(place);
}

std::u16string Characters(const avm1::StaticText& text) {
  std::u16string out;
  for (const avm1::StaticTextGlyph& glyph : text.Content().glyphs) out.push_back(glyph.character);
  return out;
}

TEST(FlashTextSnapshot, GlyphsReadBackThroughTheirFontsCodeTables) {
  SwfMovieBuilder movie;
  const uint16_t coded = FontOf(movie, 2, {'H', 'i', ' '});
  const uint16_t bare = FontOf(movie, 1, {});  // a DefineFont no DefineFontInfo completes
  SwfTextRecord first;
  first.font = coded;
  first.height = 400;
  first.color = SwfRgba{200, 0, 0, 255};
  first.x = 100;
  first.y = 500;
  first.glyphs = {{0, 200}, {1, 100}, {2, 150}};  // the space has an outline here, but need not
  SwfTextRecord second;
  second.font = bare;
  second.height = 200;
  second.glyphs = {{0, 50}};
  const uint16_t later = TextOf(movie, {first, second});
  SwfTextRecord other = first;
  other.glyphs = {{1, 0}};
  const uint16_t earlier = TextOf(movie, {other});
  Place(movie, later, 2, SwfMatrix::Translate(20, 40));
  Place(movie, earlier, 1, SwfMatrix::Translate(0, 0));
  movie.ShowFrame();
  auto player = testing::LoadMovie(movie);
  ASSERT_TRUE(player);
  const auto texts = player->RootClip().StaticTexts();
  ASSERT_TRUE(texts);
  ASSERT_EQ(texts->size(), 2u);  // in depth order
  EXPECT_EQ(Characters(*(*texts)[0]), u"i");
  const avm1::StaticText& text = *(*texts)[1];
  EXPECT_EQ(Characters(text), u"Hi \uFFFD");
  const auto& glyphs = text.Content().glyphs;
  const double pens[] = {100, 300, 400, 550};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(glyphs[i].x, pens[i]) << i;
    EXPECT_EQ(glyphs[i].y, 500) << i;
  }
  ASSERT_EQ(text.Content().runs.size(), 2u);
  EXPECT_EQ(glyphs[3].run, 1u);
  EXPECT_EQ(text.Content().runs[0].font, u"Sample");
  EXPECT_EQ(text.Content().runs[0].color, (Rgba{200, 0, 0, 255}));
  EXPECT_EQ(text.Content().runs[1].height, 200);
  EXPECT_EQ(text.Placement(), Matrix::Translate(20, 40));
  // Asked again, the same texts: what a script selected stays with them.
  (*texts)[1]->Select(1, 2, true);
  EXPECT_TRUE((*player->RootClip().StaticTexts())[1]->Selected(1));
}

TEST(FlashTextSnapshot, CodesBeforeSwf6DecodeThroughTheCodePage) {
  SwfMovieBuilder movie;
  const uint16_t font = FontOf(movie, 2, {0x82A0, 'A'});  // Shift-JIS hiragana a
  SwfTextRecord record;
  record.font = font;
  record.height = 400;
  record.glyphs = {{0, 400}, {1, 400}};
  Place(movie, TextOf(movie, {record}), 1, SwfMatrix::Translate(0, 0));
  movie.ShowFrame();
  tools::SwfOptions options;
  options.version = 5;
  image::NativeImageDecoder decoder;
  IconvAnsiDecoder shiftJis("CP932");
  PlayerLoad load = Player::Load(movie.Finish(options), decoder, {.ansi = &shiftJis});
  ASSERT_TRUE(load.ok());
  const auto texts = load.player->RootClip().StaticTexts();
  ASSERT_TRUE(texts && texts->size() == 1);
  EXPECT_EQ(Characters(*texts->front()), u"\u3042A");
}

TEST(FlashTextSnapshot, DuplicateHandsTheTextsToTheNewestCopy) {
  SwfMovieBuilder movie;
  const uint16_t font = FontOf(movie, 2, {'A'});
  SwfTextRecord record;
  record.font = font;
  record.height = 400;
  record.glyphs = {{0, 400}};
  const uint16_t text = TextOf(movie, {record});
  tools::SwfTags content;
  Place(content, text, 1, SwfMatrix::Translate(0, 0));
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  Place(movie, sprite, 1, SwfMatrix::Translate(0, 0), "child");
  movie.ShowFrame();
  auto player = testing::LoadMovie(movie);
  ASSERT_TRUE(player);
  avm1::Clip* child = player->RootClip().ChildByName(u"child", false);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(child->StaticTexts());
  avm1::Clip* copy = child->DuplicateClip(u"copy", 10);
  ASSERT_NE(copy, nullptr);
  EXPECT_FALSE(child->StaticTexts());
  ASSERT_TRUE(copy->StaticTexts());
  EXPECT_EQ(copy->StaticTexts()->size(), 1u);
  // A clip that gave its texts away has none to hand on.
  avm1::Clip* second = child->DuplicateClip(u"second", 11);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(second->StaticTexts());
  EXPECT_TRUE(copy->StaticTexts());
  // The root keeps its own, and a text is no movie clip.
  EXPECT_TRUE(player->RootClip().StaticTexts());
}

TEST(FlashTextSnapshot, SelectedCharactersAreDrawnOverTheSelectionColour) {
  SwfMovieBuilder movie;
  const uint16_t font = FontOf(movie, 2, {'A', 'B'});
  SwfTextRecord record;
  record.font = font;
  record.height = 1024;
  record.color = SwfRgba{0, 0, 0, 255};
  record.y = 2000;
  record.glyphs = {{0, 600}, {1, 600}};
  Place(movie, TextOf(movie, {record}), 1, SwfMatrix::Translate(0, 0));
  movie.ShowFrame();
  auto player = testing::LoadMovie(movie);
  ASSERT_TRUE(player);
  const auto texts = player->RootClip().StaticTexts();
  ASSERT_TRUE(texts && texts->size() == 1);
  testing::RecordingCanvas before;
  player->Render(before, {});
  EXPECT_EQ(before.Script(), "FF");
  texts->front()->Select(1, 2, true);
  texts->front()->SetSelectColor(Rgba{0, 255, 0, 255});
  testing::RecordingCanvas after;
  player->Render(after, {});
  ASSERT_EQ(after.Script(), "FFF");
  EXPECT_EQ(after.Colors().front(), (Rgba{0, 255, 0, 255}));
  // The box runs from B's pen over its advance, from the EM's top to the baseline.
  const testing::CanvasCall& box = after.calls.front();
  EXPECT_EQ(box.matrix.Apply({0, 0}), (Point{600, 2000 - 1024}));
  EXPECT_EQ(box.matrix.Apply({1, 1}), (Point{1200, 2000}));
  // Moving the selection leaves the same path, so the canvas sees only a new place.
  texts->front()->Select(1, 2, false);
  texts->front()->Select(0, 1, true);
  testing::RecordingCanvas moved;
  player->Render(moved, {});
  ASSERT_EQ(moved.Script(), "FFF");
  EXPECT_EQ(moved.calls.front().path.Id(), box.path.Id());
}

}  // namespace
}  // namespace swfplayer::player
