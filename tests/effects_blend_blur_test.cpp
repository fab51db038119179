// Blend modes on premultiplied pixels against their formulas on straight colours, and box
// blurs: the box for each size, passes, edges, and what a blur keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "swfplayer/render/BlendModes.h"
#include "swfplayer/render/BoxBlur.h"
#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

struct Straight {
  double r, g, b, a;  // 0..1
};

Straight Unpack(uint32_t p) {
  const double a = (p >> 24) / 255.0;
  auto c = [&](int shift) { return a > 0 ? ((p >> shift) & 0xFF) / 255.0 / a : 0.0; };
  return {c(16), c(8), c(0), a};
}

// The mode's formula on straight colours.
double B(BlendMode mode, double s, double d) {
  switch (mode) {
    case BlendMode::kMultiply: return s * d;
    case BlendMode::kScreen: return s + d - s * d;
    case BlendMode::kLighten: return std::max(s, d);
    case BlendMode::kDarken: return std::min(s, d);
    case BlendMode::kDifference: return std::abs(s - d);
    case BlendMode::kHardLight: return s <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    case BlendMode::kOverlay: return d <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    default: return s;
  }
}

// Premultiplied channels (0..255) of the separable rule.
std::vector<double> Reference(BlendMode mode, uint32_t src, uint32_t dst) {
  const Straight s = Unpack(src), d = Unpack(dst);
  const double a = s.a + d.a - s.a * d.a;
  auto channel = [&](double cs, double cd) {
    return 255 * (cs * s.a * (1 - d.a) + cd * d.a * (1 - s.a) + s.a * d.a * B(mode, cs, cd));
  };
  return {channel(s.r, d.r), channel(s.g, d.g), channel(s.b, d.b), 255 * a};
}

uint32_t Pixel(int a, int r, int g, int b) {
  return Premultiply(Rgba{static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                          static_cast<uint8_t>(b), static_cast<uint8_t>(a)});
}

TEST(EffectsBlend, SeparableModesFollowTheirFormulasOnPremultipliedPixels) {
  std::vector<uint32_t> samples;
  for (int a : {0, 64, 128, 255}) {
    for (int v : {0, 40, 127, 128, 200, 255}) samples.push_back(Pixel(a, v, 255 - v, v / 2));
  }
  for (const BlendMode mode : {BlendMode::kMultiply, BlendMode::kScreen, BlendMode::kLighten,
                               BlendMode::kDarken, BlendMode::kDifference, BlendMode::kOverlay,
                               BlendMode::kHardLight}) {
    for (const uint32_t src : samples) {
      for (const uint32_t dst : samples) {
        const uint32_t got = BlendPixel(mode, src, dst);
        const std::vector<double> want = Reference(mode, src, dst);
        const int shifts[] = {16, 8, 0, 24};
        for (int c = 0; c < 4; ++c) {
          // Straight colours from premultiplied ones are rounded: a few units at low alpha.
          EXPECT_NEAR(double((got >> shifts[c]) & 0xFF), want[c], 3.0)
              << int(mode) << " src " << std::hex << src << " dst " << dst << " channel " << c;
        }
        EXPECT_LE((got >> 16) & 0xFF, got >> 24);
      }
    }
  }
}

TEST(EffectsBlend, ArithmeticAndAlphaModes) {
  const uint32_t dst = Pixel(255, 200, 100, 50), src = Pixel(255, 100, 200, 10);
  EXPECT_EQ(BlendPixel(BlendMode::kAdd, src, dst), Pixel(255, 255, 255, 60));
  EXPECT_EQ(BlendPixel(BlendMode::kSubtract, src, dst), Pixel(255, 100, 0, 40));
  EXPECT_EQ(BlendPixel(BlendMode::kInvert, src, dst), Pixel(255, 55, 155, 205));
  // A half-transparent source inverts half way; alpha keeps the backdrop's.
  EXPECT_EQ(BlendPixel(BlendMode::kInvert, Pixel(128, 0, 0, 0), Pixel(255, 255, 0, 0)),
            Pixel(255, 127, 128, 128));
  // Alpha and erase keep the backdrop's colour under the source's alpha or its complement.
  EXPECT_EQ(BlendPixel(BlendMode::kAlpha, Pixel(255, 1, 2, 3), dst), dst);
  EXPECT_EQ(BlendPixel(BlendMode::kAlpha, Pixel(0, 0, 0, 0), dst), 0u);
  EXPECT_EQ(BlendPixel(BlendMode::kErase, Pixel(255, 1, 2, 3), dst), 0u);
  EXPECT_EQ(BlendPixel(BlendMode::kErase, 0, dst), dst);
  EXPECT_EQ(BlendPixel(BlendMode::kAlpha, Pixel(128, 0, 0, 0), Pixel(255, 255, 255, 255)) >> 24,
            128u);
  // Normal and layer are over; a transparent source leaves every separable mode's backdrop.
  EXPECT_EQ(BlendPixel(BlendMode::kLayer, src, dst), src);
  EXPECT_EQ(BlendPixel(BlendMode::kMultiply, 0, dst), dst);
  // A row with coverage: none leaves the backdrop, half is half the source.
  uint32_t row[3] = {dst, dst, dst};
  const uint32_t sources[3] = {src, src, src};
  const uint8_t covers[3] = {0, 128, 255};
  BlendRow(BlendMode::kAdd, row, sources, 3, covers, 0);
  EXPECT_EQ(row[0], dst);
  EXPECT_EQ(row[2], Pixel(255, 255, 255, 60));
  EXPECT_EQ((row[1] >> 8) & 0xFF, 200u);  // 100 + 200 * 128 / 256
}

TEST(EffectsBlur, TheBoxForEachSize) {
  EXPECT_TRUE(MakeBlurKernel(0).Identity());
  EXPECT_TRUE(MakeBlurKernel(1).Identity());
  EXPECT_TRUE(MakeBlurKernel(-5).Identity());
  EXPECT_TRUE(MakeBlurKernel(std::nan("")).Identity());
  const BlurKernel three = MakeBlurKernel(3);
  EXPECT_EQ(three.inner, 1);
  EXPECT_EQ(three.edge, 0u);
  EXPECT_EQ(three.total, 3u * 256);
  const BlurKernel four = MakeBlurKernel(4);  // 3 whole pixels and half of one either side
  EXPECT_EQ(four.inner, 1);
  EXPECT_EQ(four.edge, 128u);
  EXPECT_EQ(four.total, 4u * 256);
  EXPECT_EQ(four.Reach(), 2);
  EXPECT_EQ(MakeBlurKernel(1000).total, MakeBlurKernel(kMaxBlur).total);  // bounded
  EXPECT_EQ(BlurReach(kMaxBlur, 3), 3 * 127);
  EXPECT_EQ(BlurReach(16, 2), 2 * 8);
}

TEST(EffectsBlur, PassesSpreadAnImpulseAndKeepItsSum) {
  BlurScratch scratch;
  std::vector<uint8_t> line(21, 0);
  line[10] = 255;
  BlurPlane(line.data(), 21, 1, 21, 3, 0, 1, scratch);
  EXPECT_EQ(std::vector<uint8_t>(line.begin() + 8, line.begin() + 13),
            (std::vector<uint8_t>{0, 85, 85, 85, 0}));
  BlurPlane(line.data(), 21, 1, 21, 3, 0, 1, scratch);  // a second pass: a triangle
  EXPECT_EQ(std::vector<uint8_t>(line.begin() + 8, line.begin() + 13),
            (std::vector<uint8_t>{28, 57, 85, 57, 28}));
  // Three passes at once equal three passes one after the other, and keep the sum (within
  // rounding); the blur is symmetric.
  std::vector<uint8_t> a(41, 0), b(41, 0);
  a[20] = b[20] = 200;
  BlurPlane(a.data(), 41, 1, 41, 5.5, 0, 3, scratch);
  for (int i = 0; i < 3; ++i) BlurPlane(b.data(), 41, 1, 41, 5.5, 0, 1, scratch);
  EXPECT_EQ(a, b);
  EXPECT_NEAR(std::accumulate(a.begin(), a.end(), 0), 200, 10);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(a[i], a[40 - i]) << i;
  // Nothing beyond the reach of three passes; more than two passes reach (the outermost
  // pixels themselves round to nothing).
  EXPECT_EQ(a[20 - BlurReach(5.5, 3) - 1], 0);
  EXPECT_GT(a[20 - BlurReach(5.5, 2)], 0);
}

TEST(EffectsBlur, EdgesLoseToTheOutsideAndColumnsBlurLikeRows) {
  BlurScratch scratch;
  // A full row: the middle stays, the ends lose what their box takes from outside.
  std::vector<uint8_t> row(10, 255);
  BlurPlane(row.data(), 10, 1, 10, 3, 0, 1, scratch);
  EXPECT_EQ(row[5], 255);
  EXPECT_EQ(row[0], 170);
  EXPECT_EQ(row[9], 170);
  // A column blurs as the same row would, whatever the stride.
  std::vector<uint8_t> column(10 * 3, 0), asRow(10, 0);
  for (int y = 0; y < 10; ++y) column[y * 3 + 1] = asRow[y] = static_cast<uint8_t>(y * 25);
  BlurPlane(column.data(), 3, 10, 3, 0, 4, 2, scratch);
  BlurPlane(asRow.data(), 10, 1, 10, 4, 0, 2, scratch);
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(column[y * 3 + 1], asRow[y]);
    EXPECT_EQ(column[y * 3], 0);
  }
  // Premultiplied pixels blur channel by channel and stay premultiplied.
  std::vector<uint32_t> pixels(9, 0);
  pixels[4] = 0xFF804020u;
  BlurPixels(pixels.data(), 9, 1, 9, 3, 0, 1, scratch);
  EXPECT_EQ(pixels[3], 0x552B150Bu);
  EXPECT_EQ(pixels[4], pixels[5]);
  EXPECT_EQ(pixels[2], 0u);
}

}  // namespace
}  // namespace swfplayer::render
