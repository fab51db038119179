// Masks: clipping, nesting, unions of fills (not strokes) while a mask is built, unbalanced
// calls and the depth limit.
#include <gtest/gtest.h>

#include "swfplayer/render/MaskStack.h"
#include "tests/render_test_support.h"

namespace swfplayer::render::test {
namespace {

void Fill(Canvas& canvas, const Path& path, Rgba color = kRed) {
  canvas.FillPath(path, {}, FillRule::kNonZero, color, {});
}

void PushMask(Canvas& canvas, std::initializer_list<Path> shapes) {
  canvas.BeginMask();
  for (const Path& p : shapes) Fill(canvas, p, {0, 0, 0, 255});  // a mask's colour is ignored
  canvas.EndMask();
}

int Painted(const TestCanvas& c) {
  int n = 0;
  for (uint32_t p : c.pixels) n += p != 0;
  return n;
}

TEST(RenderMask, MasksClipAndNestAsIntersections) {
  TestCanvas c(16, 16);
  PushMask(c.canvas, {Rect(0, 0, 8, 16)});
  PushMask(c.canvas, {Rect(0, 0, 16, 4), Rect(0, 12, 16, 16)});  // a union of two bands
  Fill(c.canvas, Rect(0, 0, 16, 16));
  EXPECT_EQ(Painted(c), 8 * 8);
  EXPECT_EQ(c.At(7, 3), 0xFFFF0000u);
  EXPECT_EQ(c.At(7, 12), 0xFFFF0000u);
  EXPECT_EQ(c.At(8, 3), 0u);
  EXPECT_EQ(c.At(7, 8), 0u);

  c.canvas.PopMask();
  Fill(c.canvas, Rect(0, 0, 16, 16), kWhite);
  EXPECT_EQ(c.At(7, 8), 0xFFFFFFFFu);
  EXPECT_EQ(c.At(8, 8), 0u);
  c.canvas.PopMask();
  Fill(c.canvas, Rect(0, 0, 16, 16), kWhite);
  EXPECT_EQ(Painted(c), 256);
}

TEST(RenderMask, StrokesDoNotWidenAMask) {
  TestCanvas c(16, 16);
  c.canvas.BeginMask();
  Fill(c.canvas, Rect(4, 4, 12, 12));
  c.canvas.StrokePath(Rect(4, 4, 12, 12), {}, StrokeStyle{.width = 4}, kRed, {});
  c.canvas.EndMask();
  Fill(c.canvas, Rect(0, 0, 16, 16), kWhite);
  EXPECT_EQ(Painted(c), 8 * 8);
}

TEST(RenderMask, PartialCoverageScalesWhatIsDrawn) {
  TestCanvas c(8, 4);
  PushMask(c.canvas, {Rect(0, 0, 4.5, 4)});
  Fill(c.canvas, Rect(0, 0, 8, 4), kWhite);
  EXPECT_NEAR(AlphaOf(c.At(4, 2)), 128, 1);
  EXPECT_EQ(c.At(5, 2), 0u);
  c.canvas.Clear({0, 0, 255, 255});
  EXPECT_EQ(c.At(7, 2), 0xFF0000FFu) << "Clear ignores masks";
}

TEST(RenderMask, AMaskBuiltInsideAMaskIsNotClippedByIt) {
  // Mask content drawn while an outer mask is being built (a clip layer inside a mask sprite):
  // the inner mask clips that content; the outer mask, once done, clips what follows.
  TestCanvas c(16, 16);
  c.canvas.BeginMask();
  PushMask(c.canvas, {Rect(0, 0, 4, 16)});
  Fill(c.canvas, Rect(0, 0, 16, 8));  // into the outer mask, clipped to x < 4
  c.canvas.PopMask();
  Fill(c.canvas, Rect(12, 0, 16, 16));  // unclipped into the outer mask
  c.canvas.EndMask();
  Fill(c.canvas, Rect(0, 0, 16, 16), kWhite);
  EXPECT_EQ(Painted(c), 4 * 8 + 4 * 16);
  EXPECT_EQ(c.At(3, 7), 0xFFFFFFFFu);
  EXPECT_EQ(c.At(5, 7), 0u);
  EXPECT_EQ(c.At(13, 15), 0xFFFFFFFFu);
}

TEST(RenderMask, UnbalancedCallsAndDeepNestingAreHarmless) {
  TestCanvas c(8, 8);
  c.canvas.PopMask();
  c.canvas.EndMask();
  Fill(c.canvas, Rect(0, 0, 8, 8));
  EXPECT_EQ(Painted(c), 64);

  const int depth = MaskStack::kMaxDepth + 6;
  for (int i = 0; i < depth; ++i) PushMask(c.canvas, {Rect(0, 0, 8, 8)});
  Fill(c.canvas, Rect(0, 0, 8, 8), kWhite);
  EXPECT_EQ(c.At(3, 3), 0xFFFF0000u) << "past the limit nothing is drawn";
  for (int i = 0; i < depth - 1; ++i) c.canvas.PopMask();
  Fill(c.canvas, Rect(0, 0, 8, 8), kWhite);
  EXPECT_EQ(c.At(3, 3), 0xFFFFFFFFu);
}

TEST(RenderMask, InvalidCanvasDrawsNothing) {
  std::vector<uint32_t> pixels(16, 7);
  for (const auto& [w, h, stride] :
       {std::tuple{4, 4, 3}, {0, 4, 4}, {4, -1, 4}, {1 << 16, 1, 1 << 16}}) {
    RasterCanvas canvas(pixels.data(), w, h, stride, Quality::kHigh);
    EXPECT_EQ(canvas.Width() * canvas.Height(), 0);
    canvas.Clear(kWhite);
    Fill(canvas, Rect(0, 0, 4, 4));
    PushMask(canvas, {Rect(0, 0, 4, 4)});
  }
  for (uint32_t p : pixels) EXPECT_EQ(p, 7u);
}

}  // namespace
}  // namespace swfplayer::render::test
