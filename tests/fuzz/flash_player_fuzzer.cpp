// libFuzzer target for the stand-in player: load a movie (every decoder behind it), play a few
// ticks with jumps, and render each frame twice: into a canvas that checks what the renderer
// relies on (paths begin with a move and hold the points their verbs need, bitmaps hold their
// pixels, gradients have 1 to 15 stops in order), and as the control does, the whole stage
// through the raster canvas, small, in both qualities. Run without a corpus directory it writes
// seeds made by the SWF writer next to itself. Suggested flags: -rss_limit_mb=2048 -timeout=10.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "standin/flash/image/NativeImageDecoder.h"
#include "standin/flash/player/Player.h"
#include "standin/flash/player/Stage.h"
#include "standin/flash/render/RasterCanvas.h"
#include "tools/SwfBuilder.h"

namespace {

using namespace swfsaver;

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

class CheckingCanvas : public flash::render::Canvas {
 public:
  int Width() const override { return 64; }
  int Height() const override { return 64; }
  void Clear(flash::render::Rgba) override {}
  void FillPath(const flash::render::Path& path, const flash::render::Matrix&, flash::render::FillRule,
                const flash::render::Paint& paint, const flash::render::ColorTransform&) override {
    CheckPath(path);
    CheckPaint(paint);
  }
  void StrokePath(const flash::render::Path& path, const flash::render::Matrix&,
                  const flash::render::StrokeStyle&, const flash::render::Paint& paint,
                  const flash::render::ColorTransform&) override {
    CheckPath(path);
    CheckPaint(paint);
  }
  void BeginMask() override { Check(!inMask_); inMask_ = true; }
  void EndMask() override { Check(inMask_); inMask_ = false; ++masks_; }
  void PopMask() override { Check(masks_ > 0); --masks_; }
  bool Balanced() const { return !inMask_ && masks_ == 0; }

 private:
  static void CheckPath(const flash::render::Path& path) {
    size_t points = 0;
    for (size_t i = 0; i < path.Verbs().size(); ++i) {
      const auto verb = path.Verbs()[i];
      Check(i > 0 || verb == flash::render::Path::Verb::kMove);
      points += verb == flash::render::Path::Verb::kQuad ? 2 : 1;
    }
    Check(points == path.Points().size());
  }
  static void CheckPaint(const flash::render::Paint& paint) {
    if (const auto* gradient = std::get_if<flash::render::Gradient>(&paint)) {
      Check(!gradient->stops.empty() && gradient->stops.size() <= 15);
      for (size_t i = 1; i < gradient->stops.size(); ++i) {
        Check(gradient->stops[i - 1].ratio <= gradient->stops[i].ratio);
      }
    } else if (const auto* fill = std::get_if<flash::render::BitmapFill>(&paint)) {
      Check(fill->bitmap && fill->bitmap->width > 0 && fill->bitmap->height > 0);
      Check(fill->bitmap->pixels.size() == size_t(fill->bitmap->width) * size_t(fill->bitmap->height));
    }
  }
  bool inMask_ = false;
  int masks_ = 0;
};

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
  return seeds;
}

bool HasCorpusArgument(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '-') return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (HasCorpusArgument(*argc, *argv)) return 0;
  const std::filesystem::path corpus =
      std::filesystem::path((*argv)[0]).parent_path() / "flash_player_corpus";
  std::error_code error;
  std::filesystem::create_directories(corpus, error);
  if (error) return 0;
  const auto seeds = Seeds();
  for (size_t i = 0; i < seeds.size(); ++i) {
    swfsaver::tools::WriteFileBytes((corpus / ("seed_" + std::to_string(i))).string(), seeds[i]);
  }
  static std::string corpusArgument = corpus.string();
  static std::vector<char*> arguments(*argv, *argv + *argc);
  arguments.push_back(corpusArgument.data());
  arguments.push_back(nullptr);
  *argc = static_cast<int>(arguments.size() - 1);
  *argv = arguments.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  flash::image::NativeImageDecoder decoder;
  auto load = flash::player::Player::Load(std::span<const uint8_t>(data, size), decoder);
  if (!load.ok()) return 0;
  flash::player::Player& player = *load.player;
  const flash::render::Matrix stage{0.05, 0, 0, 0.05, 0, 0};
  std::vector<uint32_t> pixels(48 * 32);
  flash::render::RasterCanvas raster(pixels.data(), 48, 32, 48, flash::render::Quality::kHigh);
  for (int tick = 0; tick < 4; ++tick) {
    CheckingCanvas canvas;
    player.Render(canvas, stage);
    Check(canvas.Balanced());
    raster.SetQuality(tick % 2 == 0 ? flash::render::Quality::kHigh : flash::render::Quality::kLow);
    flash::player::DrawStage(&player, raster, std::nullopt);
    player.Advance();
    Check(player.CurrentFrame() >= 0 && player.CurrentFrame() < std::max(1, player.TotalFrames()));
  }
  player.Root().GotoFrame(player.Root().FrameCount() - 1);
  player.Root().GotoFrame(1);
  CheckingCanvas canvas;
  player.Render(canvas, stage);
  Check(canvas.Balanced());
  return 0;
}
