// text_bench: the time to draw a 1024x768 frame holding 2,000 characters of device text
// (`_sans`, FreeType over Debian's fonts), as the stand-in draws the stage. Prints the first
// frame (fonts opened, glyphs loaded, outlines flattened), then the median of later frames:
// drawn whole with nothing changed (the cost of the text's outlines at their sizes, cached),
// and with every field's text changed each frame (laid out again, as a clock's read-out is).
// Measure it in the release preset: build/release/tests/bench/text_bench [frames] [threads]
// [PNG] (the last frame is written to PNG when given, to see what was measured).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "swfplayer/avm1/TextField.h"
#include "swfplayer/player/DisplayObject.h"
#include "tools/SwfBuilder.h"
#include "tools/SwfFields.h"
#include "tools/render/PngFile.h"
#include "tools/render/StageRender.h"

namespace {

using swfsaver::tools::SwfFont;
using swfsaver::tools::SwfMovieBuilder;
using swfsaver::tools::SwfPlace;
namespace detail = swfsaver::tools::detail;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFields = 40;
constexpr int kCharactersPerField = 50;  // 2,000 in all

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// Words of ordinary text, cut to kCharactersPerField characters from an offset.
std::string Line(int offset) {
  static const std::string kText =
      "The quick brown fox jumps over the lazy dog while 0123456789 clocks tick; "
      "Sphinx of black quartz, judge my vow! Pack my box with five dozen liquor jugs. ";
  std::string line;
  for (int i = 0; line.size() < kCharactersPerField; ++i) line += kText[(offset + i) % kText.size()];
  return line;
}

// kFields single-line fields in `_sans` at 14 pixels, one under the other, each with a line.
std::vector<uint8_t> Movie() {
  SwfMovieBuilder movie;
  SwfFont sans;  // a DefineFont2 without outlines: the device's `_sans`
  sans.version = 2;
  sans.name = "_sans";
  const uint16_t font = movie.DefineFont(sans);
  for (int i = 0; i < kFields; ++i) {
    std::vector<uint8_t> body;
    const uint16_t id = static_cast<uint16_t>(1000 + i);
    PutU16(body, id);
    detail::PutRect(body, 0, 20 * 1000, 0, 20 * 18);
    body.push_back(0x80 | 0x04 | 0x01);  // has text, has colour, has font
    body.push_back(0x00);
    PutU16(body, font);
    PutU16(body, 20 * 14);
    detail::PutColor(body, swfsaver::tools::SwfRgba{20, 20, 60, 255}, true);
    detail::PutString(body, "");
    detail::PutString(body, Line(i * 7));
    movie.Tag(37, body);
    SwfPlace place;
    place.character = id;
    place.depth = static_cast<uint16_t>(i + 1);
    place.matrix = swfsaver::tools::SwfMatrix::Translate(20 * 12, 20 * (8 + 19 * i));
    movie.Place(place);
  }
  movie.ShowFrame();
  swfsaver::tools::SwfOptions options;
  options.widthPixels = kWidth;
  options.heightPixels = kHeight;
  options.version = 8;
  return movie.Finish(options);
}

double Milliseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int frames = argc > 1 ? std::max(3, std::atoi(argv[1])) : 200;
  const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  swfsaver::tools::NativeText text;
  swfplayer::image::NativeImageDecoder decoder;
  swfplayer::player::PlayerOptions options;
  options.ansi = &text.ansi;
  options.fonts = &text.fonts;
  const std::vector<uint8_t> bytes = Movie();
  swfsaver::tools::StageRenderer renderer(kWidth, kHeight, swfplayer::render::Quality::kHigh, threads);

  auto start = std::chrono::steady_clock::now();
  swfplayer::player::PlayerLoad load = swfplayer::player::Player::Load(bytes, decoder, options);
  if (!load.ok()) {
    std::fprintf(stderr, "text_bench: the movie did not load\n");
    return 1;
  }
  swfplayer::player::Player& player = *load.player;
  renderer.Render(player, true);
  const double first = Milliseconds(std::chrono::steady_clock::now() - start);

  std::vector<swfplayer::avm1::TextField*> fields;
  for (swfplayer::avm1::Clip* child : player.RootClip().Children()) {
    if (auto* field = child->AsTextField()) fields.push_back(field);
  }
  size_t characters = 0;
  for (auto* field : fields) characters += field->Text().size();

  std::vector<double> still, changing;
  const swfsaver::tools::StageImage* image = nullptr;
  for (int i = 0; i < frames; ++i) {
    start = std::chrono::steady_clock::now();
    image = &renderer.Render(player, true);
    still.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
  }
  std::vector<std::u16string> lines;
  for (int i = 0; i < 64; ++i) {
    const std::string line = Line(i * 13);
    lines.emplace_back(line.begin(), line.end());
  }
  for (int i = 0; i < frames; ++i) {
    start = std::chrono::steady_clock::now();
    for (size_t f = 0; f < fields.size(); ++f) fields[f]->SetText(lines[(i + f) % lines.size()], false);
    image = &renderer.Render(player, true);
    changing.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
  }
  std::printf("device text, %zu characters in %zu fields at %dx%d, %d thread(s), %d frames\n", characters,
              fields.size(), kWidth, kHeight, threads, frames);
  std::printf("first frame (load, fonts, layout, draw): %.2f ms\n", first);
  std::printf("later frames, drawn whole, text unchanged: median %.3f ms\n", Median(still));
  std::printf("later frames, drawn whole, every field's text new: median %.3f ms\n", Median(changing));
  if (argc > 3 && !swfsaver::tools::WritePng(argv[3], image->pixels.data(), image->width, image->height, image->width)) {
    std::fprintf(stderr, "text_bench: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
