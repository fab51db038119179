// The figures the animated samples are drawn from: placed anywhere (turned, scaled, off the
// origin), each closes on the very twip it started from, so fills need no implied closing
// edge, and the shape's bounds hold every point with the stroke's margin around it. And the
// timelines Animate writes play as described: moves every frame, tints kept while they hold,
// clip layers over the actors after them, the loop back to the first frame.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <variant>

#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/player/Timeline.h"
#include "tools/SampleGeometry.h"

namespace swfsaver::tools::sample {
namespace {

TEST(SampleGeometry, FiguresCloseExactlyWithinTheirBounds) {
  struct Case {
    std::string name;
    std::function<void(ShapePen&)> draw;
  };
  const Case cases[] = {
      {"circle", [](ShapePen& pen) { Circle(pen, 1234.5); }},
      {"reversed circle", [](ShapePen& pen) { Circle(pen, 777, true); }},
      {"star", [](ShapePen& pen) { Star(pen, 5, 1400, 600); }},
      {"blob",
       [](ShapePen& pen) {
         RadialLoop(
             pen, 7, [](int i) { return 900.0 + 37 * i; }, [](int i) { return 1300.0 - 11 * i; });
       }},
      {"blade", [](ShapePen& pen) { Blade(pen, 0.7, 1800, 1350); }},
      {"rounded rectangle", [](ShapePen& pen) { RoundedRect(pen, 2561, 1283, 333); }},
      {"box", [](ShapePen& pen) { Box(pen, -100.4, 50.6, 999.9, 333.3); }},
  };
  constexpr int32_t kMargin = 40;
  for (const Case& c : cases) {
    SwfShape shape;
    ShapePen pen(shape, kMargin);
    pen.Place({5000.3, -3000.7}, 0.913, 1.37);
    c.draw(pen);
    int32_t startX = 0, startY = 0, x = 0, y = 0;
    auto inside = [&](int32_t px, int32_t py) {
      EXPECT_TRUE(px - kMargin >= shape.xMin && px + kMargin <= shape.xMax &&
                  py - kMargin >= shape.yMin && py + kMargin <= shape.yMax)
          << c.name << " at " << px << "," << py;
    };
    for (const SwfShapeRecord& record : shape.records) {
      if (const auto* change = std::get_if<SwfStyleChange>(&record)) {
        ASSERT_TRUE(change->moveTo.has_value()) << c.name;
        std::tie(startX, startY) = *change->moveTo;
        x = startX;
        y = startY;
      } else if (const auto* line = std::get_if<SwfStraightEdge>(&record)) {
        x += line->dx;
        y += line->dy;
      } else {
        const auto& curve = std::get<SwfCurvedEdge>(record);
        inside(x + curve.controlDx, y + curve.controlDy);
        x += curve.controlDx + curve.anchorDx;
        y += curve.controlDy + curve.anchorDy;
      }
      inside(x, y);
    }
    EXPECT_EQ(x, startX) << c.name;
    EXPECT_EQ(y, startY) << c.name;
  }
}

TEST(SampleGeometry, AnimatedActorsPlayFrameByFrame) {
  SwfMovieBuilder movie;
  const uint16_t box = DefineFigure(movie, SwfFill::Solid({255, 255, 255, 255}), std::nullopt,
                                    [](ShapePen& pen) { Box(pen, 0, 0, 200, 200); });
  Actor window(box, [](double) { return Placement(0, 0); });
  window.clips = 1;
  window.still = true;
  const std::vector<Actor> actors = {
      window,
      Actor(
          box, [](double t) { return Placement(1000 * t, 0); },
          [](double) { return Tint(0.5, 1, 1); }),
      Actor(
          box, [](double) { return Placement(0, 500); }, [](double t) { return Fade(1 - t / 2); })};
  constexpr int kFrames = 4;
  Animate(movie, actors, kFrames, 3);
  swfplayer::image::NativeImageDecoder decoder;
  const auto load = swfplayer::player::Player::Load(movie.Finish({}), decoder);
  ASSERT_TRUE(load.ok());
  swfplayer::player::Player& player = *load.player;
  ASSERT_EQ(player.TotalFrames(), kFrames);
  for (int tick = 0; tick <= kFrames; ++tick) {
    const int frame = tick % kFrames;
    const auto& list = player.Root().DisplayList();
    ASSERT_EQ(list.size(), 3u) << tick;
    EXPECT_EQ(list.at(3)->ClipDepth(), 4) << tick;
    EXPECT_EQ(list.at(4)->LocalMatrix().tx, 250 * frame) << tick;
    EXPECT_EQ(list.at(4)->LocalColorTransform().mulR, 0.5f) << tick;
    EXPECT_NEAR(list.at(5)->LocalColorTransform().mulA, 1 - frame / 8.0, 1 / 256.0) << tick;
    player.Advance();
  }
}

TEST(SampleGeometry, HuesTurnThroughRedGreenAndBlue) {
  const struct {
    double hue;
    uint8_t r, g, b;
  } cases[] = {{0, 255, 0, 0}, {1.0 / 3, 0, 255, 0},    {2.0 / 3, 0, 0, 255},
               {1, 255, 0, 0}, {-1.0 / 6, 255, 0, 255}, {1.0 / 6, 255, 255, 0}};
  for (const auto& c : cases) {
    const SwfRgba color = Hsv(c.hue, 1, 1);
    EXPECT_EQ(color.r, c.r) << c.hue;
    EXPECT_EQ(color.g, c.g) << c.hue;
    EXPECT_EQ(color.b, c.b) << c.hue;
  }
}

}  // namespace
}  // namespace swfsaver::tools::sample
