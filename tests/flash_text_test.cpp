// Static text: glyphs follow the pen through records and advances, in the font's units
// (DefineFont3's twenty times finer), through the text's matrix and the placement's colour
// transform; glyphs in device fonts or past a font's glyphs draw nothing; the decoders keep to
// their bounds.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "swfplayer/format/Font.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Text.h"

namespace swfplayer::player {
namespace {

using testing::CanvasCall;
using testing::LoadMovie;
using testing::RecordingCanvas;
using tools::SwfFont;
using tools::SwfGlyph;
using tools::SwfMatrix;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfRgba;
using tools::SwfText;
using tools::SwfTextRecord;

// A square half an EM wide standing on the baseline, in units of `unit` (20 for DefineFont3).
SwfGlyph Square(int32_t unit) {
  SwfGlyph glyph;
  const int32_t side = 512 * unit;
  glyph.Style(0, 1, std::nullopt, std::pair{0, -side}).LineBy(side, 0).LineBy(0, side).LineBy(-side, 0).LineBy(0, -side);
  return glyph;
}

SwfFont SquareAndSpace(int version) {
  SwfFont font;
  font.version = version;
  font.glyphs = {Square(version == 3 ? 20 : 1), SwfGlyph{}};
  font.codes = {'A', ' '};
  return font;
}

void Place(SwfMovieBuilder& movie, uint16_t character, SwfMatrix matrix,
           std::optional<tools::SwfColorTransform> cx = std::nullopt) {
  SwfPlace place;
  place.character = character;
  place.matrix = matrix;
  place.colorTransform = cx;
  movie.Place(place);
}

TEST(FlashText, GlyphsFollowThePenAcrossRecordsInEachFontVersion) {
  struct Case {
    int fontVersion;
    int textVersion;
  };
  for (const Case c : {Case{1, 1}, Case{2, 2}, Case{3, 1}, Case{3, 2}}) {
    SwfMovieBuilder movie;
    const uint16_t font = movie.DefineFont(SquareAndSpace(c.fontVersion));
    SwfFont device;  // a DefineFont2 without outlines: the system would draw its text
    device.version = 2;
    const uint16_t deviceFont = movie.DefineFont(device);
    SwfText text;
    text.version = c.textVersion;
    text.matrix = SwfMatrix::Translate(1, 2);
    SwfTextRecord first;
    first.font = font;
    first.height = 2048;  // twice the EM square: the square is 1024 twips wide
    first.color = SwfRgba{10, 20, 30, 40};
    first.x = 100;
    first.y = 2000;
    first.glyphs = {{0, 1200}, {1, 300}, {0, 500}};  // the space draws nothing but advances
    SwfTextRecord second;  // a new baseline; x carries on from the record before
    second.y = 3000;
    second.glyphs = {{0, 0}};
    SwfTextRecord third;  // a glyph the font does not have is skipped, its advance kept
    third.x = 50;
    third.color = SwfRgba{200, 100, 0, 255};
    third.glyphs = {{7, 100}, {0, 0}};
    SwfTextRecord inDevice;  // skipped
    inDevice.font = deviceFont;
    inDevice.glyphs = {{0, 100}};
    text.records = {first, second, third, inDevice};
    const uint16_t id = movie.DefineText(text);
    tools::SwfColorTransform cx;
    cx.addB = 50;
    Place(movie, id, SwfMatrix::Translate(1000, 0), cx);
    movie.ShowFrame();
    auto player = LoadMovie(movie);
    ASSERT_TRUE(player);
    RecordingCanvas canvas;
    player->Render(canvas, {});
    ASSERT_EQ(canvas.Script(), "FFFF") << c.fontVersion;
    // Each glyph's top-left corner lands at the pen, one EM-half square (1024 twips) up.
    const Point pens[] = {{100, 2000}, {1600, 2000}, {2100, 3000}, {150, 3000}};
    const uint8_t alpha = c.textVersion == 2 ? 40 : 255;
    const Rgba colors[] = {{10, 20, 30, alpha}, {10, 20, 30, alpha}, {10, 20, 30, alpha}, {200, 100, 0, 255}};
    const Point corner{0, -512.0 * (c.fontVersion == 3 ? 20 : 1)};
    for (size_t i = 0; i < 4; ++i) {
      const CanvasCall& call = canvas.calls[i];
      const Point at = call.matrix.Apply(call.path.Points().front());
      EXPECT_EQ(call.path.Points().front(), corner);
      EXPECT_NEAR(at.x, 1000 + 1 + pens[i].x, 1e-9) << c.fontVersion << " glyph " << i;
      EXPECT_NEAR(at.y, 2 + pens[i].y - 1024, 1e-9) << c.fontVersion << " glyph " << i;
      EXPECT_NEAR(call.matrix.a, c.fontVersion == 3 ? 0.1 : 2, 1e-12);
      EXPECT_EQ(std::get<Rgba>(call.paint), colors[i]);
      EXPECT_EQ(call.colorTransform.addB, 50);
    }
  }
}

TEST(FlashText, DrawnThroughTheTextMatrixWithTheColorTransform) {
  SwfMovieBuilder movie;
  const uint16_t font = movie.DefineFont(SquareAndSpace(3));
  SwfText text;
  text.matrix = SwfMatrix{1, 0, 0, 2, 200, 600};  // twice as tall
  SwfTextRecord record;
  record.font = font;
  record.height = 400;  // a square of 200 x 200 twips, 400 tall through the matrix
  record.color = SwfRgba{0, 0, 255, 255};
  record.glyphs = {{0, 400}, {0, 0}};
  text.records = {record};
  tools::SwfColorTransform red;
  red.addR = 255;
  Place(movie, movie.DefineText(text), SwfMatrix::Translate(0, 0), red);
  movie.ShowFrame();
  tools::SwfOptions options;
  options.widthPixels = 60;
  options.heightPixels = 40;
  auto player = testing::LoadBytes(movie.Finish(options));
  ASSERT_TRUE(player);
  const testing::StagePixels stage = testing::DrawLow(*player);
  // Glyph squares at x 10..20 and 30..40 px, y 10..30 px (the baseline at 30 px).
  const uint32_t magenta = testing::Opaque(255, 0, 255), white = testing::Opaque(255, 255, 255);
  for (const auto& [x, y, color] : {std::tuple{11, 11, magenta}, {19, 29, magenta}, {31, 20, magenta},
                                    {39, 12, magenta}, {25, 20, white}, {15, 8, white}, {15, 31, white},
                                    {45, 20, white}}) {
    EXPECT_EQ(stage.At(x, y), color) << x << "," << y;
  }
}

TEST(FlashTextDecoding, GlyphsAndOffsetsStayWithinTheirBounds) {
  SwfText text;  // 300 full records: more glyphs than one text keeps
  for (int i = 0; i < 300; ++i) {
    SwfTextRecord record;
    record.glyphs.assign(255, {1, 2});
    text.records.push_back(record);
  }
  SwfMovieBuilder movie;
  movie.DefineText(text);
  const auto decoded = format::DecodeText(testing::FirstTagBody(movie, 11), 1);
  ASSERT_TRUE(decoded);
  size_t glyphs = 0;
  for (const format::TextRecord& record : decoded->records) glyphs += record.glyphs.size();
  EXPECT_EQ(glyphs, format::kMaxTextGlyphs);
  EXPECT_TRUE(decoded->truncated);
  EXPECT_EQ(decoded->records.front().glyphs.front(), (format::GlyphEntry{1, 2}));

  SwfFont font = SquareAndSpace(2);  // two squares, with 32-bit offsets
  font.glyphs[1] = Square(1);
  font.wideOffsets = true;
  SwfMovieBuilder fonts;
  fonts.DefineFont(font);
  std::vector<uint8_t> lying = testing::FirstTagBody(fonts, 48);
  lying[2 + 1 + 1 + 1 + font.name.size() + 2 + 4 + 3] = 0xFF;  // glyph 1's offset far past the tag
  const auto damaged = format::DecodeFont(lying, 2);
  ASSERT_TRUE(damaged);
  EXPECT_TRUE(damaged->glyphs[1].empty());
  EXPECT_TRUE(damaged->truncated);
  EXPECT_EQ(damaged->glyphs[0].size(), 5u);  // a style change and four edges
}

}  // namespace
}  // namespace swfplayer::player
