// The renderer's fast paths against their references: bitmap spans sampled four at a time
// against one pixel at a time, the colour transform of premultiplied pixels in SIMD against
// the scalar one, parts of a paint run against the whole run, and masked paint whose hidden
// ends are skipped against the same paint unmasked.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "swfplayer/render/BitmapPainter.h"
#include "swfplayer/render/GradientPainter.h"
#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

// Pixels of every kind: opaque, translucent, transparent, and colour above alpha (which a
// decoder may hand over and sampling must clamp).
std::shared_ptr<Bitmap> Speckled(int width, int height) {
  auto bitmap = std::make_shared<Bitmap>(Bitmap{width, height, {}});
  uint32_t state = 2463534242u;
  for (int i = 0; i < width * height; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    const uint32_t kind = state % 4, alpha = kind == 0 ? 255 : kind == 1 ? 0 : (state >> 8) & 255;
    const uint32_t limit = kind == 3 ? 255 : alpha;
    auto channel = [&](int shift) { return ((state >> shift) & 255) * limit / 255; };
    bitmap->pixels.push_back(alpha << 24 | channel(16) << 16 | channel(9) << 8 | channel(2));
  }
  return bitmap;
}

TEST(RenderFastPaths, BitmapSpansMatchSamplingEachPixelOnItsOwn) {
  const double turn = 0.4;
  const Matrix matrices[] = {
      Matrix::Scale(6.4, 6.4) * Matrix::Translate(-3, 1),  // enlarged, rows stay put
      {0.75, 0, 0, 0.75, 2.25, 0},                         // centres on pixel edges
      Matrix::Scale(0.3, 0.45),                            // reduced: tiles repeat often
      {-2.5, 0, 0, 3, 40, -7},                             // mirrored
      {3 * std::cos(turn), 3 * std::sin(turn), -2 * std::sin(turn), 2 * std::cos(turn), 9, -4},
      {1.7, 0.6, 1.1, 2.3, -30, 12},  // skewed
  };
  const ColorTransform tints[] = {{}, {0.6f, 0.9f, 1.2f, 0.8f, 10, -5, 0, 20}};
  // Small: runs cross edges and wrap; larger: whole 64-pixel chunks stay inside.
  const std::shared_ptr<Bitmap> bitmaps[] = {Speckled(7, 5), Speckled(61, 37)};
  std::vector<uint32_t> fast(160), reference(160);
  int spans = 0;
  for (const auto& bitmap : bitmaps) {
    for (const Matrix& m : matrices) {
      for (int variant = 0; variant < 8; ++variant) {
        const bool repeat = variant & 1, smooth = variant & 2;
        const ColorTransform& tint = tints[variant >> 2];
        BitmapFill fill{bitmap, m, repeat, smooth};
        BitmapPainter painter, slow;
        ASSERT_TRUE(painter.Setup(fill, m, tint, Quality::kHigh));
        ASSERT_TRUE(slow.Setup(fill, m, tint, Quality::kHigh));
        slow.SetReferenceOnlyForTesting(true);
        // Lengths around the four-pixel groups and the 64-pixel chunks; parts of runs.
        const struct {
          int x, y, skip, len;
        } runs[] = {
            {-20, -3, 0, 150}, {5, 2, 0, 1}, {0, 7, 0, 67}, {-9, 11, 3, 5}, {-40, 4, 61, 70}};
        for (const auto& [x, y, skip, len] : runs) {
          slow.Generate(x, y, skip + len, reference.data());
          painter.GeneratePart(x, skip, y, len, fast.data());
          for (int i = 0; i < len; ++i) {
            ASSERT_EQ(fast[i], reference[skip + i])
                << bitmap->width << " wide, matrix " << (&m - matrices) << " variant " << variant
                << " at " << x << "," << y << " pixel " << skip + i;
          }
          ++spans;
        }
      }
    }
  }
  EXPECT_EQ(spans, 2 * 6 * 8 * 5);
}

// Spans reaching positions beyond the fast path's range (2^30) take the reference path whole;
// a span that crosses the limit must not reach the fast path with its far end.
TEST(RenderFastPaths, BitmapSpansFarOutFallBackToTheReference) {
  const auto bitmap = Speckled(5, 3);
  const Matrix shrunk = Matrix::Scale(1e-3, 1e-3);  // device x to bitmap u: times 1000
  std::vector<uint32_t> fast(100), reference(100);
  for (const bool repeat : {false, true}) {
    BitmapFill fill{bitmap, shrunk, repeat, true};
    BitmapPainter painter, slow;
    ASSERT_TRUE(painter.Setup(fill, shrunk, {}, Quality::kHigh));
    ASSERT_TRUE(slow.Setup(fill, shrunk, {}, Quality::kHigh));
    slow.SetReferenceOnlyForTesting(true);
    for (const int x : {1073700, -1073800, -50, 2000000000}) {
      painter.Generate(x, 3, 100, fast.data());
      slow.Generate(x, 3, 100, reference.data());
      EXPECT_EQ(fast, reference) << repeat << " " << x;
    }
  }
}

TEST(RenderFastPaths, TransformOfPremultipliedPixelsMatchesOnePixelAtATime) {
  const ColorTransform transforms[] = {
      {0.85f, 0.85f, 0.85f, 1, 0, 0, 0, 0},  // a darkening tint: opaque stays opaque
      {0.55f, 0.55f, 0.6f, 1, 0, 0, 0, 0},
      {1.5f, -0.5f, 0.2f, 0.7f, 30, 200, -12, 0},  // negative factors, offsets, alpha shrunk
      {1, 1, 1, 1, 0, 0, 0, 128},                  // shows transparent pixels
      {2, 1, 1, 0, 0, 0, 0, 300},                  // every pixel opaque, over the top
      {std::nanf(""), 1, 1, 1, 0, 0, 0, 0},
  };
  // Every alpha with every colour value, in all three channels at once.
  std::vector<uint32_t> pixels;
  for (uint32_t a = 0; a < 256; ++a) {
    for (uint32_t c = 0; c < 256; ++c) pixels.push_back(a << 24 | c << 16 | (255 - c) << 8 | c / 3);
  }
  for (const ColorTransform& t : transforms) {
    PremultipliedTransform transform;
    transform.Setup(t);
    std::vector<uint32_t> out = pixels;
    transform.Apply(out.data(), static_cast<int>(out.size()) - 3);  // and a scalar tail
    for (size_t i = 0; i + 3 < out.size(); ++i) {
      ASSERT_EQ(out[i], TransformPremultiplied(pixels[i], t))
          << std::hex << pixels[i] << " transform " << std::dec << (&t - transforms);
    }
  }
}

TEST(RenderFastPaths, PartsOfAGradientRunMatchTheWholeRun) {
  Gradient g;
  g.stops = {{0, {255, 0, 0, 255}}, {90, {0, 255, 0, 128}}, {255, {0, 0, 255, 255}}};
  std::vector<uint32_t> whole(300), part(300);
  for (const GradientKind kind :
       {GradientKind::kLinear, GradientKind::kRadial, GradientKind::kFocal}) {
    for (const Spread spread : {Spread::kPad, Spread::kReflect, Spread::kRepeat}) {
      g.kind = kind;
      g.spread = spread;
      g.focalPoint = 0.6f;
      GradientPainter painter;
      painter.Setup(g, {0.0071, 0.0023, -0.0019, 0.0083, 37.3, 21.9}, {});
      painter.Generate(-13, 17, 300, whole.data());
      const std::pair<int, int> parts[] = {{1, 3}, {63, 2}, {64, 70}, {5, 295}};
      for (const auto& [skip, len] : parts) {
        painter.GeneratePart(-13, skip, 17, len, part.data());
        for (int i = 0; i < len; ++i) ASSERT_EQ(part[i], whole[skip + i]) << skip + i;
      }
    }
  }
}

// Under a mask the paint of a row is worked out only where the mask shows it; what shows must
// be what the same fill paints unmasked, pixel for pixel. The matrix puts pixel centres on
// bitmap pixel edges every seventh pixel, where rounding decides and a run started elsewhere
// would pick the neighbour; the mask's box starts at 0, as the canvas does, so runs start alike.
TEST(RenderFastPaths, MaskedPaintMatchesThePaintUnmasked) {
  const Matrix turned{2.1, 0.7, -0.7, 2.1, 3, -2};
  const Paint paints[] = {BitmapFill{Speckled(9, 6), turned, true, true},
                          BitmapFill{Speckled(9, 6), turned, false, false}};
  auto shown = [](int x, int y) {
    return (x == 0 && y == 0) || (x >= 6 && x < 15 && y >= 2 && y < 20) ||
           (x >= 23 && x < 33 && y >= 4 && y < 22);
  };
  for (const Paint& paint : paints) {
    TestCanvas plain(40, 24), masked(40, 24);
    plain.canvas.FillPath(Rect(0, 0, 40, 24), {}, FillRule::kNonZero, paint, {});
    masked.canvas.BeginMask();
    // Rows with hidden pixels before, between and after what shows.
    for (const Path& window : {Rect(0, 0, 1, 1), Rect(6, 2, 15, 20), Rect(22.5, 4, 33, 22)}) {
      masked.canvas.FillPath(window, {}, FillRule::kNonZero, kWhite, {});
    }
    masked.canvas.EndMask();
    masked.canvas.FillPath(Rect(0, 0, 40, 24), {}, FillRule::kNonZero, paint, {});
    int compared = 0;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 40; ++x) {
        if (x == 22 && y >= 4 && y < 22) continue;  // half shown
        const uint32_t expected = shown(x, y) ? plain.At(x, y) : 0;
        ASSERT_EQ(masked.At(x, y), expected) << x << "," << y << " paint " << (&paint - paints);
        compared += shown(x, y);
      }
    }
    EXPECT_EQ(compared, 1 + 9 * 18 + 10 * 18);
  }
}

}  // namespace
}  // namespace swfplayer::render::test
