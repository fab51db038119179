// Sparks: a fountain of a few hundred glowing sparks. The spark sprite is exported as "spark"
// and registered to the class Spark, whose prototype's onEnterFrame moves each instance under
// gravity, bounces it off the floor and fades it; a spark whose life is over is born again at
// the emitter, which wanders over the stage, in the emitter's colour of the moment (Color).
#include <string>

#include "tools/SampleGeometry.h"
#include "tools/ScriptedSamples.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

constexpr int kSparks = 300;

// Registers: in step() r1 is this and r2 the life left; in respawn() r1 the spark, r2 and r3
// its direction and speed; in drift() r1 the colour phase.
constexpr const char* kSparksScript = R"(
push "started"
getVariable
if done
push "started", true
setVariable
push "t", 0
setVariable
push "hue", 16777215
setVariable
function2 "respawn", 4, suppressThis, suppressArguments, suppressSuper, "p"=r1
  push r1, "_x", "emitterX"
  getVariable
  setMember
  push r1, "_y", "emitterY"
  getVariable
  setMember
  push 0, "Math"
  getVariable
  push "random"
  callMethod
  push 3.1416
  multiply
  storeRegister 2
  pop
  push 0, "Math"
  getVariable
  push "random"
  callMethod
  push 4
  multiply
  push 1.5
  add2
  storeRegister 3
  pop
  push r1, "vx", r2, 1, "Math"
  getVariable
  push "cos"
  callMethod
  push r3
  multiply
  setMember
  push r1, "vy", r2, 1, "Math"
  getVariable
  push "sin"
  callMethod
  push r3
  multiply
  push 5
  add2
  push -1
  multiply
  setMember
  push r1, "life", 0, "Math"
  getVariable
  push "random"
  callMethod
  push 50
  multiply
  push 40
  add2
  setMember
  push "hue"
  getVariable
  push 1, r1, "tint"
  getMember
  push "setRGB"
  callMethod
  pop
  push r1, "_xscale", 0, "Math"
  getVariable
  push "random"
  callMethod
  push 90
  multiply
  push 40
  add2
  storeRegister 2
  setMember
  push r1, "_yscale", r2
  setMember
end
function "Spark"
end
push "Spark"
getVariable
push "prototype", 0, "MovieClip"
newObject
setMember
push "Spark"
getVariable
push "prototype"
getMember
push "onEnterFrame"
function2 "", 3, preloadThis, suppressArguments, suppressSuper
  push r1, "vy", r1, "vy"
  getMember
  push 0.22
  add2
  setMember
  push r1, "_x", r1, "_x"
  getMember
  push r1, "vx"
  getMember
  add2
  setMember
  push r1, "_y", r1, "_y"
  getMember
  push r1, "vy"
  getMember
  add2
  setMember
  push r1, "_y"
  getMember
  push "floor"
  getVariable
  greater
  not
  if aloft
  push r1, "_y", "floor"
  getVariable
  setMember
  push r1, "vy", r1, "vy"
  getMember
  push -0.55
  multiply
  setMember
aloft:
  push r1, "life", r1, "life"
  getMember
  decrement
  storeRegister 2
  setMember
  push r1, "_alpha", r2, 1.8
  multiply
  setMember
  push r2, 0
  greater
  if alive
  push r1, 1, "respawn"
  callFunction
  pop
alive:
end
setMember
push "Spark"
getVariable
push "spark", 2, "Object"
getVariable
push "registerClass"
callMethod
pop
function2 "drift", 2, suppressThis, suppressArguments, suppressSuper
  push "t", "t"
  getVariable
  increment
  setVariable
  push "emitterX", "t"
  getVariable
  push 0.019
  multiply
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push "middle"
  getVariable
  push 0.6
  multiply
  multiply
  push "middle"
  getVariable
  add2
  setVariable
  push "emitterY", "t"
  getVariable
  push 0.031
  multiply
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push 50
  multiply
  push "floor"
  getVariable
  push 150
  subtract
  add2
  setVariable
  push "t"
  getVariable
  push 0.05
  multiply
  storeRegister 1
  pop
  push "hue", r1, 1, "Math"
  getVariable
  push "sin"
  callMethod
  push 95
  multiply
  push 160
  add2
  push 16
  bitLShift
  push r1, 2.1
  add2
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push 95
  multiply
  push 160
  add2
  push 8
  bitLShift
  bitOr
  push r1, 4.2
  add2
  push 1, "Math"
  getVariable
  push "sin"
  callMethod
  push 95
  multiply
  push 160
  add2
  bitOr
  setVariable
end
push 0, "drift"
callFunction
pop
push "i", 0
setVariable
make:
  push "p", "i"
  getVariable
  push 10
  add2
  push "p", "i"
  getVariable
  add2
  push "spark", 3, "_root"
  getVariable
  push "attachMovie"
  callMethod
  setVariable
  push "p"
  getVariable
  push "tint", "p"
  getVariable
  push 1, "Color"
  newObject
  setMember
  push "p"
  getVariable
  push 1, "respawn"
  callFunction
  pop
  push "p"
  getVariable
  push "life", "i"
  getVariable
  push 90
  modulo
  increment
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
push "onEnterFrame", "drift"
getVariable
setVariable
done:
)";

}  // namespace

std::vector<uint8_t> WriteSparks(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const double width = options.widthPixels * kPx, height = options.heightPixels * kPx;

  const uint16_t floor = DefineFigure(
      movie,
      SwfFill::Gradient(SwfFill::Kind::kLinear, GradientBox(width / 2, 0.94 * height, width, 0.12 * height, kTwoPi / 4),
                        {{0, {30, 26, 60, 255}}, {255, {6, 6, 14, 255}}}),
      std::nullopt, [&](ShapePen& pen) { Box(pen, 0, 0.88 * height, width, 0.12 * height); });
  // White at the core so that Color's tint colours the whole spark; the glow fades out.
  SwfTags sparkContent;
  SwfPlace glow;
  glow.character = DefineFigure(
      movie,
      Radial(0, 0, 9 * kPx,
             {{0, {255, 255, 255, 255}}, {70, {255, 255, 255, 200}}, {255, {255, 255, 255, 0}}}),
      std::nullopt, [](ShapePen& pen) { Circle(pen, 9 * kPx); });
  sparkContent.Place(glow);
  sparkContent.ShowFrame();
  const uint16_t spark = movie.DefineSprite(sparkContent);
  movie.ExportName(spark, "spark");

  SwfPlace place;
  place.character = floor;
  movie.Place(place);
  SwfActions script;
  script.SetVariable("count", kSparks)
      .SetVariable("middle", static_cast<int32_t>(options.widthPixels / 2))
      .SetVariable("floor", static_cast<int32_t>(options.heightPixels * 0.9))
      .Assemble(kSparksScript);
  movie.DoAction(script);
  for (uint16_t frame = 0; frame < options.frameCount; ++frame) movie.ShowFrame();
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
