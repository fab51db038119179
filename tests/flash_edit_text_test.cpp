// Edit text on the display list: a DefineEditText placed by a timeline is laid out in the
// movie's font once a DefineFontInfo has given a DefineFont its codes, drawn inside the 2-pixel
// gutter after its background and before its border, and its text is what scripts will see.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include "tools/SwfFields.h"

namespace swfplayer::player {
namespace {

using testing::CanvasCall;
using testing::LoadMovie;
using testing::RecordingCanvas;
using tools::SwfFont;
using tools::SwfGlyph;
using tools::SwfMovieBuilder;
using tools::SwfPlace;

constexpr uint16_t kField = 900;

SwfGlyph Square() {
  SwfGlyph glyph;
  glyph.Style(0, 1, std::nullopt, std::pair{0, -512}).LineBy(512, 0).LineBy(0, 512).LineBy(-512, 0).LineBy(0, -512);
  return glyph;
}

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// A field 100 x 20 pixels at the origin with a border, in the font at 20 pixels, black.
std::vector<uint8_t> EditText(uint16_t font, const std::string& text) {
  std::vector<uint8_t> body;
  PutU16(body, kField);
  swfsaver::tools::detail::PutRect(body, 0, 2000, 0, 400);
  body.push_back(0x80 | 0x04 | 0x01);  // has text, has colour, has font
  body.push_back(0x08 | 0x01);         // border, use outlines
  PutU16(body, font);
  PutU16(body, 400);
  swfsaver::tools::detail::PutColor(body, tools::SwfRgba{0, 0, 0, 255}, true);
  swfsaver::tools::detail::PutString(body, "");  // no variable
  swfsaver::tools::detail::PutString(body, text);
  return body;
}

// A DefineFont (outlines only) and, when given, its DefineFontInfo naming it and its codes.
std::unique_ptr<Player> Movie(bool withInfo, const std::string& text) {
  SwfMovieBuilder movie;
  SwfFont font;
  font.version = 1;
  font.glyphs = {Square(), SwfGlyph{}};
  const uint16_t id = movie.DefineFont(font);
  if (withInfo) {
    std::vector<uint8_t> info;
    PutU16(info, id);
    info.push_back(4);
    for (char c : std::string("Face")) info.push_back(static_cast<uint8_t>(c));
    info.push_back(0);  // byte codes
    info.push_back('A');
    info.push_back(' ');
    movie.Tag(13, info);
  }
  movie.Tag(37, EditText(id, text));
  SwfPlace place;
  place.character = kField;
  movie.Place(place);
  movie.ShowFrame();
  return LoadMovie(movie);
}

TEST(FlashEditText, AFieldDrawsItsTextInTheFontItsInfoCompleted) {
  auto player = Movie(true, "A A");
  ASSERT_TRUE(player);
  RecordingCanvas canvas;
  player->Render(canvas, {});
  // Background, the two squares (the space draws nothing), then the border.
  ASSERT_EQ(canvas.Script(), "FFFF");
  const std::vector<Rgba> colors = canvas.Colors();
  EXPECT_EQ(colors[0], (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(colors[3], (Rgba{0, 0, 0, 255}));
  for (size_t i : {1u, 2u}) {
    const CanvasCall& call = canvas.calls[i];
    EXPECT_EQ(std::get<Rgba>(call.paint), (Rgba{0, 0, 0, 255}));
    // A DefineFont has no advances: both squares stand 2 pixels (40 twips) in, half an EM
    // (10 pixels at 20) wide.
    const Point corner = call.matrix.Apply(call.path.Points().front());
    const Point across = call.matrix.Apply({512, -512});
    EXPECT_NEAR(corner.x, 40, 1e-6);
    EXPECT_NEAR(across.x - corner.x, 200, 1e-6);
  }
}

TEST(FlashEditText, WithoutItsInfoAFontDrawsNothingInAField) {
  auto player = Movie(false, "A");
  ASSERT_TRUE(player);
  RecordingCanvas canvas;
  player->Render(canvas, {});
  // The background and the border only.
  EXPECT_EQ(canvas.Script(), "FF");
}

}  // namespace
}  // namespace swfplayer::player
