// Snow: a night sky, a moon and hills drawn once; one flake sprite, which the frame script
// copies with duplicateMovieClip into flakes of random size and depth in the scene (near ones
// larger, brighter and faster), each falling and swaying by its onEnterFrame in a wind that
// turns with getTimer.
#include "tools/SampleGeometry.h"
#include "tools/ScriptedSamples.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

// Flake f<i> at depth 1000 + i; `started` keeps the timeline's loop from making them again.
// r1 is `this` in fall(); the frame's own registers hold the flake's nearness (r0).
constexpr const char* kSnowScript = R"(
push "started"
getVariable
if done
push "started", true
setVariable
push "wind", 0
setVariable
function2 "fall", 2, preloadThis, suppressArguments, suppressSuper
  push r1, "_y", r1, "_y"
  getMember
  push r1, "speed"
  getMember
  add2
  setMember
  push r1, "phase", r1, "phase"
  getMember
  push 0.04
  add2
  setMember
  push r1, "_x", r1, "_x"
  getMember
  push r1, "phase"
  getMember
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push r1, "sway"
  getMember
  multiply
  push "wind"
  getVariable
  add2
  add2
  setMember
  push r1, "_y"
  getMember
  push "bottom"
  getVariable
  greater
  not
  if falling
  push r1, "_y", -10
  setMember
  push r1, "_x", 0, "Math"
  getVariable
  push "random"
  callMethod
  push "right"
  getVariable
  push 40
  add2
  multiply
  push 20
  subtract
  setMember
falling:
end
function2 "blow", 1, suppressThis, suppressArguments, suppressSuper
  push "wind"
  getTime
  push 3000
  divide
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push 0.7
  multiply
  setVariable
end
push "i", 0
setVariable
make:
  push "f", "i"
  getVariable
  push 1000
  add2
  push "f", "i"
  getVariable
  add2
  push 2, "flake"
  getVariable
  push "duplicateMovieClip"
  callMethod
  setVariable
  push 0, "Math"
  getVariable
  push "random"
  callMethod
  storeRegister 0
  pop
  push "f"
  getVariable
  push "speed", r0, 2.4
  multiply
  push 0.5
  add2
  setMember
  push "f"
  getVariable
  push "_xscale", r0, 110
  multiply
  push 30
  add2
  storeRegister 1
  setMember
  push "f"
  getVariable
  push "_yscale", r1
  setMember
  push "f"
  getVariable
  push "_alpha", r0, 65
  multiply
  push 35
  add2
  setMember
  push "f"
  getVariable
  push "sway", r0, 0.9
  multiply
  push 0.2
  add2
  setMember
  push "f"
  getVariable
  push "phase", 0, "Math"
  getVariable
  push "random"
  callMethod
  push 6.2832
  multiply
  setMember
  push "f"
  getVariable
  push "_x", 0, "Math"
  getVariable
  push "random"
  callMethod
  push "right"
  getVariable
  multiply
  setMember
  push "f"
  getVariable
  push "_y", 0, "Math"
  getVariable
  push "random"
  callMethod
  push "bottom"
  getVariable
  multiply
  setMember
  push "f"
  getVariable
  push "onEnterFrame", "fall"
  getVariable
  setMember
  push "i", "i"
  getVariable
  increment
  setVariable
  push "i"
  getVariable
  push "count"
  getVariable
  less2
  if make
push "onEnterFrame", "blow"
getVariable
setVariable
done:
)";

}  // namespace

std::vector<uint8_t> WriteSnow(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const double width = options.widthPixels * kPx, height = options.heightPixels * kPx;

  const uint16_t sky = DefineFigure(
      movie,
      SwfFill::Gradient(SwfFill::Kind::kLinear, GradientBox(width / 2, height / 2, width, height, kTwoPi / 4),
                        {{0, {4, 6, 22, 255}}, {170, {18, 24, 62, 255}}, {255, {46, 38, 86, 255}}}),
      std::nullopt, [&](ShapePen& pen) { Box(pen, 0, 0, width, height); });
  const uint16_t moon = DefineFigure(
      movie,
      Radial(0, 0, 70 * kPx,
             {{0, {255, 252, 225, 255}}, {120, {245, 238, 200, 255}}, {135, {200, 205, 255, 70}},
              {255, {120, 130, 220, 0}}}),
      std::nullopt, [](ShapePen& pen) { Circle(pen, 70 * kPx); });
  // Two ranges of hills, the nearer darker, as curves across the stage's foot.
  auto hills = [&](double base, double rise, double phase, SwfRgba color) {
    return DefineFigure(movie, SwfFill::Solid(color), std::nullopt, [&](ShapePen& pen) {
      const int humps = 4;
      const double step = width / humps;
      pen.MoveTo({0, height});
      pen.LineTo({0, base});
      for (int i = 0; i < humps; ++i) {
        const double x = i * step;
        pen.CurveTo({x + step / 2, base - rise * (1.4 + 0.6 * Wave(i / 4.0, 1, phase))},
                    {x + step, base});
      }
      pen.LineTo({width, height});
      pen.LineTo({0, height});
    });
  };
  const uint16_t far = hills(0.8 * height, 0.1 * height, 0.1, {30, 34, 70, 255});
  const uint16_t near = hills(0.9 * height, 0.08 * height, 0.6, {14, 16, 36, 255});
  SwfTags flakeContent;
  SwfPlace disc;
  disc.character = DefineFigure(
      movie, Radial(0, 0, 6 * kPx, {{0, {255, 255, 255, 255}}, {110, {240, 245, 255, 230}}, {255, {220, 230, 255, 0}}}),
      std::nullopt, [](ShapePen& pen) { Circle(pen, 6 * kPx); });
  flakeContent.Place(disc);
  flakeContent.ShowFrame();
  const uint16_t flake = movie.DefineSprite(flakeContent);

  SwfPlace place;
  place.character = sky;
  movie.Place(place);
  place.depth = 2;
  place.character = moon;
  place.matrix = Placement(0.78 * width, 0.2 * height);
  movie.Place(place);
  place.depth = 3;
  place.character = far;
  place.matrix.reset();
  movie.Place(place);
  place.depth = 4;
  place.character = near;
  movie.Place(place);
  // The flake every other copies, waiting above the stage.
  place.depth = 5;
  place.character = flake;
  place.matrix = Placement(-100 * kPx, -100 * kPx);
  place.name = "flake";
  movie.Place(place);
  SwfActions script;
  script.SetVariable("count", 180)
      .SetVariable("right", static_cast<int32_t>(options.widthPixels))
      .SetVariable("bottom", static_cast<int32_t>(options.heightPixels) + 10)
      .Assemble(kSnowScript);
  movie.DoAction(script);
  for (uint16_t frame = 0; frame < options.frameCount; ++frame) movie.ShowFrame();
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
