// Frames as the control draws them (recorded, drawn in bands on several threads, and drawn
// again only where they changed, with the eight-pixel loops where the processor has them)
// against the same frames drawn whole, call by call, on one thread, with the four-pixel loops:
// every sample movie and every movie of the image oracle, frame by frame, byte for byte. And
// what the damage rule and the outline cache promise on their own.
#include <gtest/gtest.h>

#include <cmath>
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
  Path square = Rect(0, 0, 10, 10);
  const Path far = Rect(100, 60, 110, 70);
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
  // A small path is known by its points: made anew, it is the same; changed once drawn, not.
  square = Rect(0, 0, 10, 10);
  EXPECT_TRUE(frame(5).Empty());
  square.LineTo({0, 5});
  EXPECT_FALSE(frame(5).Empty());

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

TEST(RenderFrames, ShapesMovingFarApartAreDrawnAgainInTheirOwnRowsAndColumns) {
  // One square moves near the top left, one near the bottom right, past a still bar: each is
  // drawn again in the strip of rows it reaches, and there in its own columns. A pixel between
  // them keeps what the last frame left, and every frame is the one drawn whole.
  TestCanvas t(160, 120);
  std::vector<uint32_t> reference(t.pixels.size());
  RasterCanvas whole(reference.data(), 160, 120, 160, Quality::kHigh);
  const Path square = Rect(0, 0, 10, 10);
  for (int frame = 0; frame < 4; ++frame) {
    auto draw = [&](Canvas& canvas) {
      canvas.Clear({0, 0, 0, 255});
      canvas.FillPath(Rect(60, 0, 100, 120), {}, FillRule::kNonZero, Rgba{0, 0, 255, 128}, {});
      canvas.FillPath(square, Matrix::Translate(5 + frame * 2.5, 4.5), FillRule::kNonZero,
                      Rgba{255, 0, 0, 255}, {});
      canvas.FillPath(square, Matrix::Translate(140 - frame * 2.5, 100), FillRule::kNonZero,
                      Rgba{0, 255, 0, 200}, {});
    };
    const size_t between = 60 * 160 + 80, beside = 8 * 160 + 80;
    const uint32_t betweenWas = t.pixels[between], besideWas = t.pixels[beside];
    t.pixels[between] = t.pixels[beside] = 0x12345678;  // canaries: not to be drawn over
    t.canvas.BeginFrame();
    draw(t.canvas);
    const PixelBox around = t.canvas.EndFrame();
    if (frame > 0) {
      EXPECT_EQ(t.pixels[between], 0x12345678u) << frame;
      EXPECT_EQ(t.pixels[beside], 0x12345678u) << frame;
      t.pixels[between] = betweenWas;
      t.pixels[beside] = besideWas;
      EXPECT_LE(around.left, 10);
      EXPECT_GE(around.right, 140);
      const std::vector<PixelBox>& boxes = t.canvas.DamagedBoxes();
      ASSERT_EQ(boxes.size(), 2u) << frame;
      EXPECT_LT(boxes[0].right, 60);
      EXPECT_LE(boxes[0].bottom, 16);
      EXPECT_GE(boxes[1].top, 96);
      EXPECT_GT(boxes[1].left, 100);
    }
    draw(whole);
    ASSERT_EQ(t.pixels, reference) << "frame " << frame;
  }
}

TEST(RenderFrames, ARedrawnBoxCutsTheShapesAcrossItsSides) {
  // Translucent dots that never change lie across every side of the box a moving square
  // damages: only their parts inside it are drawn again, whether painted from kept coverage or
  // rasterised again, so every frame is the one drawn whole.
  std::vector<Path> dots;
  for (int i = 0; i < 16 * 11; ++i) {
    Path dot;
    for (int k = 0; k <= 10; ++k) {
      const double a = 6.2831853 * k / 10;
      const Point at{4.3 + (i % 16) * 7.1 + 3.4 * std::cos(a), 3.7 + (i / 16) * 7.2 + 3.4 * std::sin(a)};
      k == 0 ? dot.MoveTo(at) : dot.LineTo(at);
    }
    dots.push_back(dot);
  }
  const Path square = Rect(40.5, 30.5, 60.5, 50.5);
  for (const bool keep : {true, false}) {
    TestCanvas t(120, 80);
    t.canvas.KeepCoverage(keep);
    std::vector<uint32_t> reference(t.pixels.size());
    RasterCanvas whole(reference.data(), 120, 80, 120, Quality::kHigh);
    for (int frame = 0; frame < 5; ++frame) {
      auto draw = [&](Canvas& canvas) {
        canvas.Clear({0, 0, 0, 255});
        canvas.FillPath(square, Matrix::Translate(frame * 3.3, frame * 1.7), FillRule::kNonZero,
                        Rgba{0, 200, 0, 255}, {});
        for (const Path& dot : dots) {
          canvas.FillPath(dot, {}, FillRule::kNonZero, Rgba{100, 0, 0, 100}, {});
        }
      };
      t.canvas.BeginFrame();
      draw(t.canvas);
      const PixelBox damaged = t.canvas.EndFrame();
      if (frame > 0) {
        EXPECT_LT(damaged.right - damaged.left, 40) << frame;
      }
      draw(whole);
      ASSERT_EQ(t.pixels, reference) << "frame " << frame << (keep ? ", kept" : "");
    }
  }
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

TEST(RenderFrames, KeptCoverageDrawsAsRasterisingAndStaysWithinItsBound) {
  // Small rings (rows of two far-apart parts), wobbly blobs, strokes and one wide shape, redrawn
  // whole every frame: in solid colours that change, in a gradient, under a mask and into it,
  // a few moving by fractions of a pixel, some cut by the canvas's sides, one changing its path,
  // at a new quality part-way. Every frame must be what drawing at once gives.
  auto ring = [](double x, double y, double r) {
    Path p;
    for (const double radius : {r, r * 0.6}) {
      for (int i = 0; i <= 12; ++i) {
        const double a = 6.2831853 * i / 12;
        const Point at{x + radius * std::cos(a), y + radius * std::sin(a)};
        i == 0 ? p.MoveTo(at) : p.LineTo(at);
      }
    }
    return p;
  };
  std::vector<Path> shapes;
  for (int i = 0; i < 60; ++i) shapes.push_back(ring(6 + (i % 10) * 12.3, 6 + (i / 10) * 12.7, 5));
  for (int i = 0; i < 20; ++i) {
    Path blob;
    for (int k = 0; k <= 24; ++k) {
      const double a = 6.2831853 * k / 24, r = 4 + 2.5 * std::sin(5 * a + i);
      const Point at{i * 6.1 - 3, 70 + r * std::sin(a) + (i % 3)};
      k == 0 ? blob.MoveTo(at) : blob.LineTo({at.x + r * std::cos(a), at.y});
    }
    shapes.push_back(blob);
  }
  const Path wide = Rect(3.3, 30.2, 116.6, 33.9);
  Gradient gradient;
  gradient.stops = {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 128}}};
  gradient.matrix = Matrix::Scale(0.004, 0.004);
  std::vector<uint32_t> reference(120 * 80);
  RasterCanvas immediate(reference.data(), 120, 80, 120, Quality::kHigh);
  TestCanvas t(120, 80);
  t.canvas.SetThreads(2);
  for (int frame = 0; frame < 12; ++frame) {
    if (frame == 8) {
      t.canvas.SetQuality(Quality::kLow);
      immediate.SetQuality(Quality::kLow);
    }
    if (frame == 5) shapes[3] = ring(30, 20, 7);
    auto draw = [&](Canvas& canvas) {
      canvas.Clear({10, 20, 30, 255});
      for (size_t i = 0; i < shapes.size(); ++i) {
        const Matrix at = Matrix::Translate(i % 7 == 0 ? frame * 0.37 : 0, 0);
        const Rgba color{static_cast<uint8_t>(40 * frame), static_cast<uint8_t>(i * 3), 200,
                         static_cast<uint8_t>(i % 2 ? 255 : 150)};
        if (i % 5 == 0) {
          canvas.FillPath(shapes[i], at, FillRule::kEvenOdd, gradient, {});
        } else {
          canvas.FillPath(shapes[i], at, FillRule::kNonZero, color, {});
        }
      }
      StrokeStyle pen;
      pen.width = 2.5;
      canvas.StrokePath(shapes[21], {}, pen, Rgba{0, 255, 0, 200}, {});
      pen.pixelHinting = true;
      pen.join = Join::kMiter;
      canvas.StrokePath(shapes[22], Matrix::Translate(frame * 0.25, 0), pen, gradient, {});
      canvas.BeginMask();
      canvas.FillPath(shapes[11], Matrix::Translate(0.5, 0), FillRule::kNonZero,
                      Rgba{0, 0, 0, 255}, {});
      canvas.FillPath(wide, {}, FillRule::kNonZero, Rgba{0, 0, 0, 255}, {});
      canvas.EndMask();
      canvas.FillPath(wide, {}, FillRule::kNonZero, gradient, {});
      canvas.FillPath(shapes[12], {}, FillRule::kNonZero, Rgba{255, 255, 0, 255}, {});
      canvas.PopMask();
    };
    t.canvas.BeginFrame();
    t.canvas.InvalidateFrame();
    draw(t.canvas);
    t.canvas.EndFrame();
    draw(immediate);
    for (size_t i = 0; i < reference.size(); ++i) {
      ASSERT_EQ(t.pixels[i], reference[i]) << "frame " << frame << " pixel (" << i % 120 << ", "
                                           << i / 120 << ")";
    }
    // From the second frame on (and after the new quality), every fill but the moving ones is
    // kept.
    if (frame != 0 && frame != 8) {
      EXPECT_GT(t.canvas.Coverage().Entries(), 60u) << frame;
    }
  }
  // Shapes that move every frame are not kept.
  const size_t entries = t.canvas.Coverage().Entries();
  for (int frame = 0; frame < 50; ++frame) {
    t.canvas.BeginFrame();
    for (const Path& shape : shapes) {
      t.canvas.FillPath(shape, Matrix::Translate(frame * 0.01, 0), FillRule::kNonZero,
                        Rgba{1, 2, 3, 255}, {});
    }
    t.canvas.EndFrame();
    ASSERT_LE(t.canvas.Coverage().Entries(), entries);
    ASSERT_LE(t.canvas.Coverage().Bytes(), CoverageCache::kMaxBytes);
  }
}

}  // namespace
}  // namespace swfplayer::render::test
