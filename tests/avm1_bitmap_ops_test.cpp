// BitmapData's pixel operations driven as a script calls them: exact pixels for colorTransform,
// scroll, floodFill and threshold; ranges, channels and repeatability for noise and
// perlinNoise; arguments off the bitmap, NaN and huge; and every change reaching the shared
// bitmap's generation, which is what makes the display draw it again.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "swfplayer/avm1/Native.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "tests/avm1_fakes.h"

namespace swfplayer::avm1 {
namespace {

using testing::FakeClip;
using testing::FakeHost;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class BitmapOps : public ::testing::Test {
 protected:
  void SetUp() override {
    host.root = &root;
    vm = std::make_unique<VmImpl>(host, 8, Limits{});
  }
  Value Class(const char* package, const char* name) {
    Value flash = vm->Global()->Get(*vm, vm->Str("flash"));
    Value group = flash.AsObject()->Get(*vm, vm->Str(package));
    return group.AsObject()->Get(*vm, vm->Str(name));
  }
  Value Bitmap(int width, int height, bool transparent, uint32_t fill) {
    return vm->Construct(Class("display", "BitmapData"),
                         std::vector<Value>{Value(width), Value(height), Value(transparent), Value(static_cast<double>(fill))});
  }
  Value Rect(double x, double y, double width, double height) {
    return vm->Construct(Class("geom", "Rectangle"), std::vector<Value>{Value(x), Value(y), Value(width), Value(height)});
  }
  Value Point(double x, double y) { return vm->Construct(Class("geom", "Point"), std::vector<Value>{Value(x), Value(y)}); }
  Value Call(const Value& object, const char* method, std::vector<Value> args = {}) {
    return vm->CallMethod(object, vm->Str(method), args);
  }
  uint32_t Pixel(const Value& bitmap, int x, int y) {
    return static_cast<uint32_t>(vm->ToInt32(Call(bitmap, "getPixel32", {Value(x), Value(y)})));
  }
  void SetPixel(const Value& bitmap, int x, int y, uint32_t argb) {
    Call(bitmap, "setPixel32", {Value(x), Value(y), Value(static_cast<double>(argb))});
  }
  static uint64_t Generation(const Value& bitmap) {
    return static_cast<BitmapDataObject*>(bitmap.AsObject())->bitmap->generation;
  }
  // Calls the method and tells whether the display was told the pixels changed.
  bool Changes(const Value& bitmap, const char* method, std::vector<Value> args) {
    const uint64_t before = Generation(bitmap);
    Call(bitmap, method, std::move(args));
    return Generation(bitmap) != before;
  }

  FakeHost host;
  FakeClip root;
  std::unique_ptr<VmImpl> vm;
};

// Multipliers and offsets on the unpremultiplied channels, truncated and held within 0..255,
// only inside the rectangle; an opaque bitmap keeps its alpha; a field that is not a number
// leaves its channel alone; a rectangle far off the bitmap changes nothing.
TEST_F(BitmapOps, ColorTransformWorksOnUnpremultipliedChannelsWithinTheRectangle) {
  const Value opaque = Bitmap(3, 1, false, 0xFF102030);
  const Value transform = vm->Construct(Class("geom", "ColorTransform"),
                                        std::vector<Value>{Value(2), Value(1), Value(0.5), Value(0.5), Value(0), Value(300), Value(-1), Value(0)});
  EXPECT_TRUE(Changes(opaque, "colorTransform", {Rect(1, -5, 100, 100), transform}));
  EXPECT_EQ(Pixel(opaque, 0, 0), 0xFF102030u);
  EXPECT_EQ(Pixel(opaque, 1, 0), 0xFF20FF17u);  // 0x30 * 0.5 - 1 = 23
  EXPECT_EQ(Pixel(opaque, 2, 0), 0xFF20FF17u);

  const Value translucent = Bitmap(1, 1, true, 0xFF808080);
  Object* halfAlpha = vm->NewObject();
  halfAlpha->Set(*vm, vm->Str("alphaMultiplier"), Value(0.5));
  halfAlpha->Set(*vm, vm->Str("redMultiplier"), Value(kNaN));
  Call(translucent, "colorTransform", {Rect(0, 0, 1, 1), Value(halfAlpha)});
  EXPECT_EQ(Pixel(translucent, 0, 0), 0x7F808080u);

  EXPECT_FALSE(Changes(opaque, "colorTransform", {Rect(-2147483648.0, 0, 2147483647.0, 1), transform}));
  EXPECT_FALSE(Changes(opaque, "colorTransform", {Rect(kNaN, kNaN, 1e300, 1e300), Value()}));
  EXPECT_EQ(Pixel(opaque, 0, 0), 0xFF102030u);
}

// The picture moves by (x, y) and what nothing moves onto keeps its old pixels; a scroll of
// the bitmap's size or more (or NaN, which is 0) changes nothing.
TEST_F(BitmapOps, ScrollMovesThePictureAndLeavesTheUncoveredPixels) {
  const Value bitmap = Bitmap(4, 3, false, 0);
  const auto original = [](int x, int y) { return 0xFF000000u | static_cast<uint32_t>(y * 16 + x); };
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) SetPixel(bitmap, x, y, original(x, y));
  }
  EXPECT_TRUE(Changes(bitmap, "scroll", {Value(1), Value(-1)}));
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 4; ++x) {
      const bool covered = x >= 1 && y <= 1;
      EXPECT_EQ(Pixel(bitmap, x, y), covered ? original(x - 1, y + 1) : original(x, y)) << x << "," << y;
    }
  }
  const Value down = Bitmap(2, 3, false, 0);
  for (int y = 0; y < 3; ++y) SetPixel(down, 0, y, original(0, y));
  Call(down, "scroll", {Value(0), Value(2)});
  EXPECT_EQ(Pixel(down, 0, 2), original(0, 0));
  EXPECT_EQ(Pixel(down, 0, 1), original(0, 1));

  EXPECT_FALSE(Changes(bitmap, "scroll", {Value(4), Value(0)}));
  EXPECT_FALSE(Changes(bitmap, "scroll", {Value(kNaN), Value(kNaN)}));
  EXPECT_FALSE(Changes(bitmap, "scroll", {Value(-2147483648.0), Value(1e300)}));
}

// Only the 4-connected area of exactly the start pixel's colour: a diagonal gap stops it.
TEST_F(BitmapOps, FloodFillFillsTheFourConnectedAreaOfTheSameColour) {
  const char* picture[] = {"..#..", ".#...", "#....", "...##", "..#.."};
  const Value bitmap = Bitmap(5, 5, true, 0xFFFFFFFF);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      if (picture[y][x] == '#') SetPixel(bitmap, x, y, 0xFF000000);
    }
  }
  EXPECT_TRUE(Changes(bitmap, "floodFill", {Value(0), Value(0), Value(static_cast<double>(0xFFFF0000u))}));
  Call(bitmap, "floodFill", {Value(4), Value(4), Value(static_cast<double>(0x800000FFu))});
  const char* expected[] = {"rr#..", "r#...", "#....", "...##", "..#bb"};
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) {
      const char c = expected[y][x];
      const uint32_t want = c == 'r' ? 0xFFFF0000u : c == 'b' ? 0x800000FFu : c == '#' ? 0xFF000000u : 0xFFFFFFFFu;
      EXPECT_EQ(Pixel(bitmap, x, y), want) << x << "," << y;
    }
  }
  EXPECT_FALSE(Changes(bitmap, "floodFill", {Value(0), Value(0), Value(static_cast<double>(0xFFFF0000u))}));
  EXPECT_FALSE(Changes(bitmap, "floodFill", {Value(5), Value(kNaN), Value(0)}));
  EXPECT_FALSE(Changes(bitmap, "floodFill", {Value(-1), Value(0), Value(0)}));
}

// A comb of one-pixel teeth makes a single winding area of half the bitmap: all of it fills.
TEST_F(BitmapOps, FloodFillReachesAWindingAreaOfALargeBitmap) {
  const int side = 400;
  const Value bitmap = Bitmap(side, side, false, 0xFFFFFFFF);
  for (int x = 1; x < side; x += 2) {
    const double top = (x / 2) % 2 == 0 ? 0 : 1;
    Call(bitmap, "fillRect", {Rect(x, top, 1, side - 1), Value(0)});
  }
  Call(bitmap, "floodFill", {Value(0), Value(0), Value(static_cast<double>(0xFF00FF00u))});
  const auto* object = static_cast<BitmapDataObject*>(bitmap.AsObject());
  size_t white = 0;
  for (uint32_t pixel : object->bitmap->pixels) white += pixel == 0xFFFFFFFFu;
  EXPECT_EQ(white, 0u);
  EXPECT_EQ(Pixel(bitmap, 0, side - 1), 0xFF00FF00u);
  EXPECT_EQ(Pixel(bitmap, side - 2, 0), 0xFF00FF00u);
}

// Masked source pixels against the masked threshold: those that pass take the colour and are
// counted, the others copy the source only when asked; the rectangle and point are clipped
// to both bitmaps; an unknown operation does nothing.
TEST_F(BitmapOps, ThresholdSetsAndCountsThePixelsThatPass) {
  const Value source = Bitmap(4, 1, true, 0);
  const uint32_t pixels[] = {0xFF000010u, 0xFF110020u, 0xFF220030u, 0xFF330040u};
  for (int x = 0; x < 4; ++x) SetPixel(source, x, 0, pixels[x]);
  const Value dest = Bitmap(4, 1, false, 0xFF00FF00);
  const Value whole = Rect(0, 0, 4, 1);
  const Value red = Value(static_cast<double>(0xFFFF0000u));
  EXPECT_EQ(vm->ToNumber(Call(dest, "threshold", {source, whole, Point(0, 0), Value(vm->Str("<")), Value(0x30), red, Value(0xFF)})), 2);
  EXPECT_EQ(Pixel(dest, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(dest, 1, 0), 0xFFFF0000u);
  EXPECT_EQ(Pixel(dest, 2, 0), 0xFF00FF00u);
  EXPECT_EQ(Pixel(dest, 3, 0), 0xFF00FF00u);

  const Value blue = Value(static_cast<double>(0x000000FFu));  // alpha 0 onto an opaque bitmap: opaque
  EXPECT_EQ(vm->ToNumber(Call(dest, "threshold", {source, whole, Point(0, 0), Value(vm->Str(">=")), Value(0x220000), blue,
                                                  Value(0x00FF0000), Value(true)})), 2);
  EXPECT_EQ(Pixel(dest, 0, 0), 0xFF000010u);
  EXPECT_EQ(Pixel(dest, 1, 0), 0xFF110020u);
  EXPECT_EQ(Pixel(dest, 2, 0), 0xFF0000FFu);
  EXPECT_EQ(Pixel(dest, 3, 0), 0xFF0000FFu);

  // Onto itself, two to the right: only the first two source pixels land, read before written.
  EXPECT_EQ(vm->ToNumber(Call(source, "threshold", {source, whole, Point(2, 0), Value(vm->Str("!=")), Value(0), red, Value(0),
                                                    Value(true)})), 0);
  EXPECT_EQ(Pixel(source, 2, 0), 0xFF000010u);
  EXPECT_EQ(Pixel(source, 3, 0), 0xFF110020u);

  EXPECT_EQ(vm->ToNumber(Call(dest, "threshold", {source, whole, Point(0, 0), Value(vm->Str("=<")), Value(0), red})), 0);
  EXPECT_EQ(Pixel(dest, 0, 0), 0xFF000010u);
  EXPECT_EQ(vm->ToNumber(Call(dest, "threshold", {source, Rect(kNaN, -2147483648.0, 1e300, 2147483647.0), Point(1e300, kNaN),
                                                  Value(vm->Str("==")), Value(0), red})), 0);
  EXPECT_EQ(vm->ToNumber(Call(dest, "threshold", {Value(), whole, Point(0, 0), Value(vm->Str("==")), Value(0), red})), 0);
}

// noise: values from low to high in the chosen channels, 0 in the others, alpha 255 unless
// chosen on a transparent bitmap; grey scale gives one value to the three colours; the same
// seed gives the same picture, another seed another.
TEST_F(BitmapOps, NoiseStaysWithinItsRangeAndChannelsAndRepeatsForASeed) {
  const Value bitmap = Bitmap(16, 16, true, 0);
  EXPECT_TRUE(Changes(bitmap, "noise", {Value(42), Value(100), Value(150), Value(1 | 4), Value(false)}));
  std::set<uint32_t> reds;
  std::vector<uint32_t> first;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint32_t p = Pixel(bitmap, x, y);
      first.push_back(p);
      ASSERT_EQ(p >> 24, 255u);
      ASSERT_EQ((p >> 8) & 0xFF, 0u);
      ASSERT_GE((p >> 16) & 0xFF, 100u);
      ASSERT_LE((p >> 16) & 0xFF, 150u);
      ASSERT_GE(p & 0xFF, 100u);
      ASSERT_LE(p & 0xFF, 150u);
      reds.insert((p >> 16) & 0xFF);
    }
  }
  EXPECT_GT(reds.size(), 30u);
  const auto picture = [&] {
    std::vector<uint32_t> out;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) out.push_back(Pixel(bitmap, x, y));
    }
    return out;
  };
  Call(bitmap, "noise", {Value(42), Value(100), Value(150), Value(1 | 4), Value(false)});
  EXPECT_EQ(picture(), first);
  Call(bitmap, "noise", {Value(43), Value(100), Value(150), Value(1 | 4), Value(false)});
  EXPECT_NE(picture(), first);

  Call(bitmap, "noise", {Value(-7), Value(0), Value(255), Value(8), Value(true)});
  std::set<uint32_t> alphas;
  for (uint32_t p : picture()) {
    alphas.insert(p >> 24);
    if (p >> 24 != 0) {
      EXPECT_TRUE(((p >> 16) & 0xFF) == ((p >> 8) & 0xFF) && ((p >> 8) & 0xFF) == (p & 0xFF)) << std::hex << p;
    }
  }
  EXPECT_GT(alphas.size(), 30u);

  const Value opaque = Bitmap(8, 8, false, 0);
  Call(opaque, "noise", {Value(1), Value(200), Value(10), Value(15)});  // high below low: low
  EXPECT_EQ(Pixel(opaque, 3, 5), 0xFFC8C8C8u);
  Call(opaque, "noise", {Value(kNaN), Value(-1e300), Value(1e300), Value(kNaN)});
  EXPECT_EQ(Pixel(opaque, 0, 0), 0xFF000000u);  // no channel chosen
}

// perlinNoise: the same arguments give the same picture; an octave's offset moves it exactly;
// grey scale and channels as for noise; fractal noise sits around mid-grey and turbulence
// lower; absurd arguments finish quickly and leave valid pixels.
TEST_F(BitmapOps, PerlinNoiseRepeatsForASeedAndFollowsItsChannelsAndOffsets) {
  const Value bitmap = Bitmap(32, 32, true, 0);
  const auto picture = [&] {
    std::vector<uint32_t> out;
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) out.push_back(Pixel(bitmap, x, y));
    }
    return out;
  };
  const auto mean = [](const std::vector<uint32_t>& pixels) {
    double sum = 0;
    for (uint32_t p : pixels) sum += p & 0xFF;
    return sum / static_cast<double>(pixels.size());
  };
  EXPECT_TRUE(Changes(bitmap, "perlinNoise", {Value(16), Value(16), Value(4), Value(7), Value(false), Value(true), Value(7), Value(true)}));
  const std::vector<uint32_t> fractal = picture();
  std::set<uint32_t> levels;
  for (uint32_t p : fractal) {
    ASSERT_EQ(p >> 24, 255u);
    ASSERT_TRUE(((p >> 16) & 0xFF) == ((p >> 8) & 0xFF) && ((p >> 8) & 0xFF) == (p & 0xFF)) << std::hex << p;
    levels.insert(p & 0xFF);
  }
  EXPECT_GT(levels.size(), 40u);
  EXPECT_NEAR(mean(fractal), 128, 48);
  Call(bitmap, "perlinNoise", {Value(16), Value(16), Value(4), Value(7), Value(false), Value(true), Value(7), Value(true)});
  EXPECT_EQ(picture(), fractal);
  Call(bitmap, "perlinNoise", {Value(16), Value(16), Value(4), Value(7), Value(false), Value(false), Value(7), Value(true)});
  EXPECT_LT(mean(picture()), mean(fractal));

  // One octave moved 5 pixels right shows what was 5 pixels further on.
  Call(bitmap, "perlinNoise", {Value(10), Value(10), Value(1), Value(3), Value(false), Value(true), Value(2)});
  const std::vector<uint32_t> still = picture();
  Object* offsets = vm->NewObject();
  offsets->Set(*vm, vm->Str("0"), Point(5, 0));
  Call(bitmap, "perlinNoise", {Value(10), Value(10), Value(1), Value(3), Value(false), Value(true), Value(2), Value(false), Value(offsets)});
  const std::vector<uint32_t> moved = picture();
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x + 5 < 32; ++x) ASSERT_EQ(moved[y * 32 + x], still[y * 32 + x + 5]) << x << "," << y;
  }
  for (uint32_t p : moved) ASSERT_EQ(p & 0xFFFF00FFu, 0xFF000000u);  // green only, opaque

  Call(bitmap, "perlinNoise", {Value(8), Value(8), Value(2), Value(5), Value(true), Value(true), Value(8)});
  std::set<uint32_t> alphas;
  for (uint32_t p : picture()) alphas.insert(p >> 24);
  EXPECT_GT(alphas.size(), 10u);

  offsets->Set(*vm, vm->Str("0"), Point(std::numeric_limits<double>::infinity(), kNaN));
  EXPECT_TRUE(Changes(bitmap, "perlinNoise", {Value(kNaN), Value(1e-300), Value(1e9), Value(kNaN), Value(true), Value(true), Value(7),
                                              Value(false), Value(offsets)}));
  EXPECT_TRUE(Changes(bitmap, "perlinNoise", {Value(-1e300), Value(0), Value(-3), Value(0)}));
}

// A disposed bitmap, or a call on something else, changes nothing and does not fail.
TEST_F(BitmapOps, OperationsOnADisposedBitmapDoNothing) {
  const Value bitmap = Bitmap(2, 2, true, 0xFFFFFFFF);
  Call(bitmap, "dispose");
  for (const char* method : {"colorTransform", "scroll", "floodFill", "threshold", "noise", "perlinNoise"}) {
    EXPECT_FALSE(Changes(bitmap, method, {Rect(0, 0, 1, 1), Value(1), Value(1), Value(1)})) << method;
  }
  EXPECT_TRUE(Call(Value(vm->NewObject()), "scroll", {Value(1), Value(1)}).IsUndefined());
}

}  // namespace
}  // namespace swfplayer::avm1
