// libFuzzer target for the stand-in player: load a movie (every decoder behind it), play a few
// ticks with jumps, and render each frame twice: into a canvas that checks what the renderer
// relies on (paths begin with a move and hold the points their verbs need, bitmaps hold their
// pixels, gradients have 1 to 15 stops in order), and as the control does, the whole stage
// through the raster canvas, small, in both qualities. Run without a corpus directory it writes
// seeds made by the SWF writer next to itself: shapes, bitmaps and sprites; fonts of every
// version, static texts, tweens, buttons and frame actions; the titled sample, also as ZWS
// (through liblzma, which only this harness links). Suggested flags: -rss_limit_mb=2048
// -timeout=10.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/player/Stage.h"
#include "swfplayer/player/Timeline.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tests/fuzz/SeedCorpus.h"
#include "tests/lzma_test_streams.h"
#include "tools/SampleMovies.h"
#include "tools/SwfBuilder.h"
#include "tools/avm1/FixedHost.h"

namespace {

using namespace swfsaver;
using namespace swfplayer;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class CheckingCanvas : public swfplayer::render::Canvas {
 public:
  int Width() const override { return 64; }
  int Height() const override { return 64; }
  void Clear(Rgba) override {}
  void FillPath(const Path& path, const Matrix&, FillRule,
                const Paint& paint, const ColorTransform&) override {
    CheckPath(path);
    CheckPaint(paint);
  }
  void StrokePath(const Path& path, const Matrix&,
                  const StrokeStyle&, const Paint& paint,
                  const ColorTransform&) override {
    CheckPath(path);
    CheckPaint(paint);
  }
  void BeginMask() override { Check(!inMask_); inMask_ = true; }
  void EndMask() override { Check(inMask_); inMask_ = false; ++masks_; }
  void PopMask() override { Check(masks_ > 0); --masks_; }
  bool Balanced() const { return !inMask_ && masks_ == 0; }

 private:
  static void CheckPath(const Path& path) {
    size_t points = 0;
    for (size_t i = 0; i < path.Verbs().size(); ++i) {
      const auto verb = path.Verbs()[i];
      Check(i > 0 || verb == Path::Verb::kMove);
      points += verb == Path::Verb::kQuad ? 2 : 1;
    }
    Check(points == path.Points().size());
  }
  static void CheckPaint(const Paint& paint) {
    if (const auto* gradient = std::get_if<Gradient>(&paint)) {
      Check(!gradient->stops.empty() && gradient->stops.size() <= 15);
      for (size_t i = 1; i < gradient->stops.size(); ++i) {
        Check(gradient->stops[i - 1].ratio <= gradient->stops[i].ratio);
      }
    } else if (const auto* fill = std::get_if<BitmapFill>(&paint)) {
      Check(fill->bitmap && fill->bitmap->width > 0 && fill->bitmap->height > 0);
      Check(fill->bitmap->pixels.size() == size_t(fill->bitmap->width) * size_t(fill->bitmap->height));
    }
  }
  bool inMask_ = false;
  int masks_ = 0;
};

// What the titled sample (also a seed) does not hold: DefineFont and DefineFont2 with wide
// offsets, DefineText, DefineMorphShape with a focal gradient and a bitmap fill, buttons of
// both versions holding a sprite, and the other actions, on the root and in a sprite.
std::vector<uint8_t> TextTweenButtonActionSeed() {
  using namespace swfsaver::tools;
  SwfMovieBuilder movie;
  const uint16_t bitmap = movie.DefineLossless(2, 5, 1, 1, {0x80, 0x40, 0x20, 0x10});
  SwfGlyph box;
  box.Style(0, 1, std::nullopt, std::pair{0, -500}).LineBy(400, 0).CurveBy(50, 250, -50, 250).LineBy(-400, 0).LineBy(0, -500);
  SwfText text;
  for (const int version : {1, 2}) {
    SwfTextRecord record;
    record.font = movie.DefineFont({version, "F", {box, SwfGlyph{}}, {}, version == 2});
    record.color = SwfRgba{200, 10, 10, 255};
    record.x = 20;
    record.y = static_cast<int16_t>(600 * version);
    record.glyphs = {{0, 500}, {1, 200}, {0, 0}};
    text.records.push_back(record);
  }
  const uint16_t textId = movie.DefineText(text);
  SwfMorphShape morph;
  morph.fills = {{SwfFill::Gradient(SwfFill::Kind::kFocal, {0.05, 0, 0, 0.05, 500, 500}, {{0, {1, 2, 3}}, {255, {4, 5, 6}}}),
                  SwfFill::Gradient(SwfFill::Kind::kFocal, {0.08, 0, 0, 0.08, 900, 900}, {{30, {7, 8, 9}}, {200, {9, 9, 9}}})},
                 {SwfFill::Bitmap(bitmap, {20, 0, 0, 20, 0, 0}, false, true), SwfFill::Bitmap(bitmap, {40, 0, 0, 40, 5, 5}, false, true)}};
  morph.lines = {{20, 80, {0, 0, 255, 255}, {255, 0, 0, 128}, std::nullopt, 0, 0, 0}};
  morph.start.Style(0, 1, 1, std::pair{0, 0}).LineBy(1000, 0).LineBy(0, 1000).Style(2, 1, std::nullopt, std::nullopt).LineBy(-1000, -1000);
  morph.end.MoveTo(500, 0).CurveBy(800, 0, 200, 800).LineBy(0, 500).LineBy(-1500, -1300);
  SwfTags inner;
  inner.DoAction(SwfActions().Stop().NextFrame().PrevFrame().SetTarget("/").PushString("b").GotoFrame2(true).SetTarget(""));
  SwfPlace place;
  place.character = movie.DefineMorphShape(morph);
  place.ratio = 30000;
  inner.Place(place);
  inner.ShowFrame();
  inner.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(inner);
  place = SwfPlace{};
  place.name = "a";
  for (const int version : {1, 2}) {
    place.character = movie.DefineButton({version, {{0x01, sprite, 1, SwfMatrix::Translate(10, 10), {128, 256, 256, 256, 0, 0, 0, 0}},
                                                    {0x0E, textId, 2, {}, {}}, {0x01, textId, 3, {}, {}}}});
    movie.Place(place);
    ++place.depth;
  }
  place.character = sprite;
  movie.Place(place);
  movie.DoAction(SwfActions().SetTarget("a").Play().SetTarget("/a/..").GotoLabel("b").Play());
  movie.ShowFrame();
  movie.Label("b");
  movie.DoAction(SwfActions().PushInteger(1).GotoFrame2(false, 1).PushDouble(3).GotoFrame2(true).GotoFrame(0).Play());
  SwfPlace ratio;
  ratio.depth = 3;
  ratio.move = true;
  ratio.ratio = 65535;
  movie.Place(ratio);
  movie.ShowFrame();
  movie.ShowFrame();
  return movie.Finish({});
}

std::vector<std::vector<uint8_t>> Seeds() {
  using namespace swfsaver::tools;
  std::vector<std::vector<uint8_t>> seeds;
  SwfMovieBuilder movie;
  const uint16_t bitmap = movie.DefineLossless(1, 3, 3, 2, {255, 0, 0, 0, 255, 0, 0, 1, 0, 0, 1, 1, 0, 0}, 2);
  const uint16_t argb = movie.DefineLossless(2, 5, 1, 1, {0x80, 0x40, 0x20, 0x10});
  SwfShape shape;
  shape.version = 4;
  shape.xMax = shape.yMax = 2000;
  shape.fills = {SwfFill::Solid({255, 0, 0}),
                 SwfFill::Gradient(SwfFill::Kind::kFocal, {0.05, 0, 0, 0.05, 1000, 1000},
                                   {{0, {0, 0, 0}}, {255, {255, 255, 255, 128}}}),
                 SwfFill::Bitmap(bitmap, {20, 0, 0, 20, 0, 0}, true, false)};
  SwfLine line = SwfLine::Solid(40, {0, 0, 255});
  line.join = 2;
  line.fill = SwfFill::Bitmap(argb, {}, false, true);
  shape.lines = {line};
  shape.Style(0, 1, 1, std::pair{0, 0}).Rectangle(0, 0, 1000, 1000);
  shape.Style(2, 3, std::nullopt, std::nullopt).CurveBy(300, 0, 300, 300).LineBy(-600, 0);
  shape.NewStyles({SwfFill::Solid({1, 2, 3})}, {}).Style(0, 1, 0, std::pair{5, 5}).LineBy(100, 100);
  const uint16_t drawn = movie.DefineShape(shape);
  SwfTags content;
  SwfPlace inner;
  inner.character = drawn;
  inner.matrix = SwfMatrix{0.5, 0.1, -0.1, 0.5, 20, 20};
  content.Place(inner);
  content.ShowFrame();
  inner.move = true;
  inner.character.reset();
  inner.colorTransform = SwfColorTransform{128, 256, 256, 200, 10, 0, 0, -20};
  content.Place(inner);
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  SwfPlace mask;
  mask.character = drawn;
  mask.clipDepth = 3;
  movie.Place(mask);
  SwfPlace clipped;
  clipped.version = 3;
  clipped.depth = 2;
  clipped.character = sprite;
  clipped.name = "s";
  clipped.blurAndGlowFilters = true;
  clipped.blendMode = 2;
  movie.Place(clipped);
  movie.Label("start");
  movie.ShowFrame();
  movie.PlaceV1(drawn, 4, SwfMatrix::Translate(100, 100), SwfColorTransform{});
  movie.Remove(1);
  movie.ShowFrame();
  movie.RemoveV1(drawn, 4);
  movie.ShowFrame();
  SwfOptions options;
  seeds.push_back(movie.Finish(options));
  options.compressed = true;
  seeds.push_back(movie.Finish(options));
  seeds.push_back(TextTweenButtonActionSeed());
  seeds.push_back(lzma::testing::ZwsFromFws(seeds.back()));
  const tools::SampleMovie titled = tools::TitledTweenSample();
  seeds.push_back(titled.Bytes());
  seeds.push_back(lzma::testing::ZwsFromFws(seeds.back()));
  return seeds;
}

// The scripts' time budget passes twenty times faster than the machine's clock: a script that
// runs away costs a fiftieth of a second a tick, so that an input stays within the fuzzer's
// time limit and the search goes on.
class FastBudgetHost final : public tools::FixedHost {
 public:
  double WallClockMs() override { return 20 * Host::WallClockMs(); }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzing::UseSeedCorpus(argc, argv, "flash_player_corpus", Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  swfplayer::image::NativeImageDecoder decoder;
  // The movie's scripts run too: the interpreter is fuzzed through the whole player.
  swfplayer::player::PlayerOptions options;
  auto host = std::make_shared<FastBudgetHost>();
  host->onTrace = [](std::string_view) {};
  options.host = host;
  auto load = swfplayer::player::Player::Load(std::span<const uint8_t>(data, size), decoder, options);
  if (!load.ok()) return 0;
  swfplayer::player::Player& player = *load.player;
  const Matrix stage{0.05, 0, 0, 0.05, 0, 0};
  std::vector<uint32_t> pixels(48 * 32);
  swfplayer::render::RasterCanvas raster(pixels.data(), 48, 32, 48, swfplayer::render::Quality::kHigh);
  for (int tick = 0; tick < 4; ++tick) {
    CheckingCanvas canvas;
    player.Render(canvas, stage);
    Check(canvas.Balanced());
    raster.SetQuality(tick % 2 == 0 ? swfplayer::render::Quality::kHigh : swfplayer::render::Quality::kLow);
    swfplayer::player::DrawStage(&player, raster, std::nullopt);
    player.Advance();
    Check(player.CurrentFrame() >= 0 && player.CurrentFrame() < std::max(1, player.TotalFrames()));
  }
  player.Root().Goto(player.Root().FrameCount() - 1);
  player.Root().Goto(1);
  CheckingCanvas canvas;
  player.Render(canvas, stage);
  Check(canvas.Balanced());
  return 0;
}
