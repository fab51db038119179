// Frames as the control draws them (recorded, drawn in bands on several threads, and drawn
// again only where they changed, with the eight-pixel loops where the processor has them)
// against the same frames drawn whole, call by call, on one thread, with the four-pixel loops:
// every sample movie and every movie of the image oracle, frame by frame, byte for byte. And
// what the damage rule and the outline cache promise on their own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "swfplayer/render/CpuFeatures.h"
#include "tests/flash_player_support.h"
#include "tests/render_test_support.h"
#include "tools/SampleMovies.h"

namespace swfplayer::render::test {
namespace {

constexpr Rgba kBackdrop{20, 30, 40, 255};

// Plays the movie for up to `frames` ticks both ways; fails at the first pixel that differs.
void ExpectBandsAndDamageMatchWholeFrames(const std::vector<uint8_t>& bytes, int width,
                                          int height, int frames, Quality quality,
                                          const std::string& label) {
  image::NativeImageDecoder decoder;
  player::PlayerLoad load = player::Player::Load(bytes, decoder);
  if (!load.ok()) return;  // the cut sample: nothing to draw
  const std::unique_ptr<player::Player>& player = load.player;
  std::vector<uint32_t> banded(static_cast<size_t>(width) * height);
  std::vector<uint32_t> whole(banded.size());
  RasterCanvas bands(banded.data(), width, height, width, quality);
  bands.SetThreads(3);  // more threads than this machine's cores: bands interleave anyhow
  RasterCanvas reference(whole.data(), width, height, width, quality);
  for (int frame = 0; frame < frames; ++frame) {
    bands.BeginFrame();
    player::DrawStage(player.get(), bands, kBackdrop);
    bands.EndFrame();
    AllowAvx2(false);
    player::DrawStage(player.get(), reference, kBackdrop);
    AllowAvx2(true);
    for (size_t i = 0; i < whole.size(); ++i) {
      ASSERT_EQ(banded[i], whole[i]) << label << " frame " << frame << " pixel ("
                                     << i % width << ", " << i / width << ")";
    }
    player->Advance();
  }
}

TEST(RenderFrames, EverySampleDrawsTheSameInBandsAndInPartsAsWhole) {
  for (const tools::SampleMovie& sample : tools::SampleMovies()) {
    // A size that is not the movie's own: stages are scaled and centred, bands uneven.
    ExpectBandsAndDamageMatchWholeFrames(sample.Bytes(), 331, 247, 40, Quality::kHigh,
                                         sample.name);
  }
  const tools::SampleMovie titled = tools::TitledTweenSample();
  ExpectBandsAndDamageMatchWholeFrames(titled.Bytes(), 331, 247, 100, Quality::kHigh, titled.name);
  ExpectBandsAndDamageMatchWholeFrames(tools::SampleMovies().back().Bytes(), 200, 150, 20,
                                       Quality::kLow, "low quality");
}

TEST(RenderFrames, EveryOracleMovieDrawsTheSameInBandsAndInPartsAsWhole) {
  const std::filesystem::path oracle =
      std::filesystem::path(SWFSAVER_SOURCE_DIR) / ".." / "shared" / "swf-oracle";
  if (!std::filesystem::is_directory(oracle)) GTEST_SKIP() << "no " << oracle;
  int movies = 0;
  for (const auto& entry : std::filesystem::directory_iterator(oracle)) {
    std::ifstream file(entry.path() / "test.swf", std::ios::binary);
    if (!file) continue;
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    const std::string name = entry.path().filename().string();
    ExpectBandsAndDamageMatchWholeFrames(bytes, 283, 211, 12, Quality::kHigh, name);
    ExpectBandsAndDamageMatchWholeFrames(bytes, 160, 120, 3, Quality::kLow, name + " low");
    ++movies;
  }
  EXPECT_GE(movies, 20);
}

struct Frame {
  Path path;
  Matrix matrix;
};

TEST(RenderFrames, AnUnchangedFrameDrawsNothingAndAMoveOnlyItsOldAndNewPlace) {
  TestCanvas t(120, 80);
  t.canvas.SetThreads(2);
  const Path square = Rect(0, 0, 10, 10), far = Rect(100, 60, 110, 70);
  auto frame = [&](double x, bool offCanvas = false) {
    t.canvas.BeginFrame();
    t.canvas.Clear({0, 0, 0, 255});
    // Touches no pixel: changes nothing, wherever it comes in the frame.
    if (offCanvas) t.canvas.FillPath(square, Matrix::Translate(-50, 5), FillRule::kNonZero,
                                     Rgba{255, 0, 0, 255}, {});
    t.canvas.FillPath(square, Matrix::Translate(x, 5), FillRule::kNonZero,
                      Rgba{255, 0, 0, 255}, {});
    t.canvas.FillPath(far, {}, FillRule::kNonZero, Rgba{0, 255, 0, 255}, {});
    return t.canvas.EndFrame();
  };
  const PixelBox first = frame(5);
  EXPECT_EQ(first.right - first.left, 120);  // the first frame is drawn whole
  t.pixels[0] = 0x12345678;                   // a canary: nothing may draw over it
  EXPECT_TRUE(frame(5).Empty());
  EXPECT_TRUE(frame(5, true).Empty());
  EXPECT_EQ(t.pixels[0], 0x12345678u);

  const PixelBox moved = frame(30);  // from x 5..15 to 30..40
  EXPECT_LE(moved.left, 5);
  EXPECT_GE(moved.right, 40);
  EXPECT_LE(moved.top, 5);
  EXPECT_GE(moved.bottom, 15);
  EXPECT_LT(moved.right, 100);  // the square that stayed is not drawn again
  EXPECT_EQ(t.pixels[0], 0x12345678u);
  EXPECT_EQ(t.At(7, 8), 0xFF000000u);  // its old place cleared
  EXPECT_EQ(t.At(33, 8), 0xFFFF0000u);

  // A new quality redraws everything, as does a clear of another colour.
  t.canvas.SetQuality(Quality::kLow);
  EXPECT_EQ(frame(30).right, 120);
}

TEST(RenderFrames, ARecordedBitmapFillOutlivesTheCallersBitmap) {
  // The frame is drawn at EndFrame, after the caller let go of the paint and its bitmap.
  TestCanvas t(16, 16);
  t.canvas.BeginFrame();
  {
    const BitmapFill fill{std::make_shared<Bitmap>(Bitmap{1, 1, {0xFF0000FFu}}), {}, true, false};
    t.canvas.FillPath(Rect(2, 2, 10, 10), {}, FillRule::kNonZero, fill, {});
  }
  t.canvas.EndFrame();
  EXPECT_EQ(t.At(5, 5), 0xFF0000FFu);
}

TEST(RenderFrames, AnUnchangedMovieTickDrawsNothing) {
  tools::SwfMovieBuilder movie;
  const uint16_t square = testing::SolidSquare(movie, {200, 10, 10}, 2000);
  tools::SwfPlace place;
  place.depth = 1;
  place.character = square;
  place.matrix = tools::SwfMatrix::Translate(400, 400);
  movie.Place(place);
  movie.ShowFrame();
  movie.ShowFrame();
  auto player = testing::LoadMovie(movie, {});
  ASSERT_TRUE(player);
  TestCanvas t(200, 150);
  auto tick = [&] {
    t.canvas.BeginFrame();
    player::DrawStage(player.get(), t.canvas, std::nullopt);
    const PixelBox drawn = t.canvas.EndFrame();
    player->Advance();
    return drawn;
  };
  EXPECT_FALSE(tick().Empty());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(tick().Empty()) << i;
}

TEST(RenderFrames, OutlinesKeptStayWithinTheirBoundWhenEveryFrameScalesAShape) {
  Path wiggle;  // 4,000 points
  wiggle.MoveTo({0, 0});
  for (int i = 1; i < 4000; ++i) wiggle.LineTo({i * 0.025, (i % 2) * 5.0});
  TestCanvas t(120, 80);
  for (int frame = 0; frame < 400; ++frame) {
    t.canvas.BeginFrame();
    const double scale = 1 - frame * 0.001;
    t.canvas.FillPath(wiggle, Matrix::Scale(scale, scale), FillRule::kNonZero,
                      Rgba{255, 255, 255, 255}, {});
    t.canvas.EndFrame();
    ASSERT_LE(t.canvas.Outlines().KeptPoints(), OutlineCache::kMaxPoints);
  }
  // Drawn again at one matrix, at any place, it is flattened once and then reused.
  t.canvas.BeginFrame();
  t.canvas.FillPath(wiggle, Matrix::Translate(3, 4), FillRule::kNonZero, Rgba{1, 2, 3, 255}, {});
  t.canvas.EndFrame();
  const size_t kept = t.canvas.Outlines().KeptOutlines();
  t.canvas.BeginFrame();
  t.canvas.FillPath(wiggle, Matrix::Translate(7.5, 1), FillRule::kNonZero, Rgba{1, 2, 3, 255}, {});
  t.canvas.EndFrame();
  EXPECT_EQ(t.canvas.Outlines().KeptOutlines(), kept);
}

}  // namespace
}  // namespace swfplayer::render::test
