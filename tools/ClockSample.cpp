// The clock: a face and its marks drawn once, three hands as named sprites that the frame
// script's onEnterFrame turns to the time of day, and two device-font fields bound to the
// variables the script writes (the time as 20:45:07 and the date as 2026-12-09).
#include "tools/SampleGeometry.h"
#include "tools/ScriptedSamples.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

// A hand pointing up from the origin (12 o'clock at rotation 0), with a short tail,
// clockwise on screen.
uint16_t Hand(SwfMovieBuilder& movie, double length, double width, SwfRgba color) {
  const uint16_t shape =
      DefineFigure(movie, SwfFill::Solid(color), Stroke(1, {20, 20, 30, 160}), [&](ShapePen& pen) {
        const double tail = 0.18 * length;
        pen.MoveTo({-width / 2, tail});
        pen.LineTo({-width / 5, -length});
        pen.LineTo({width / 5, -length});
        pen.LineTo({width / 2, tail});
        pen.LineTo({-width / 2, tail});
      });
  SwfTags content;
  SwfPlace place;
  place.character = shape;
  content.Place(place);
  content.ShowFrame();
  return movie.DefineSprite(content);
}

// Each frame: the hands from a new Date (the hour and minute hands creep between their marks),
// the read-out and the date through pad(), which gives two digits.
constexpr const char* kClockScript = R"(
function "pad", "n"
  push "n"
  getVariable
  push 10
  less2
  if single
  push "", "n"
  getVariable
  add2
  return
single:
  push "0", "n"
  getVariable
  add2
  return
end
function "tick"
  push "now", 0, "Date"
  newObject
  defineLocal
  push "h", 0, "now"
  getVariable
  push "getHours"
  callMethod
  defineLocal
  push "m", 0, "now"
  getVariable
  push "getMinutes"
  callMethod
  defineLocal
  push "s", 0, "now"
  getVariable
  push "getSeconds"
  callMethod
  defineLocal
  push "secondHand"
  getVariable
  push "_rotation", "s"
  getVariable
  push 6
  multiply
  setMember
  push "minuteHand"
  getVariable
  push "_rotation", "m"
  getVariable
  push "s"
  getVariable
  push 60
  divide
  add2
  push 6
  multiply
  setMember
  push "hourHand"
  getVariable
  push "_rotation", "h"
  getVariable
  push 12
  modulo
  push "m"
  getVariable
  push 60
  divide
  add2
  push 30
  multiply
  setMember
  push "readout", "h"
  getVariable
  push 1, "pad"
  callFunction
  push ":"
  add2
  push "m"
  getVariable
  push 1, "pad"
  callFunction
  add2
  push ":"
  add2
  push "s"
  getVariable
  push 1, "pad"
  callFunction
  add2
  setVariable
  push "dateLine", 0, "now"
  getVariable
  push "getFullYear"
  callMethod
  push "-"
  add2
  push 0, "now"
  getVariable
  push "getMonth"
  callMethod
  increment
  push 1, "pad"
  callFunction
  add2
  push "-"
  add2
  push 0, "now"
  getVariable
  push "getDate"
  callMethod
  push 1, "pad"
  callFunction
  add2
  setVariable
end
push "readout", ""
setVariable
push "dateLine", ""
setVariable
push 0, "tick"
callFunction
pop
push "onEnterFrame", "tick"
getVariable
setVariable
)";

}  // namespace

std::vector<uint8_t> WriteClock(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const double width = options.widthPixels * kPx, height = options.heightPixels * kPx;
  const double radius = 0.36 * height;
  const Point centre{width / 2, 0.44 * height};

  const uint16_t face = DefineFigure(
      movie,
      Radial(-0.3 * radius, -0.35 * radius, 1.6 * radius,
             {{0, {46, 62, 110, 255}}, {150, {22, 30, 64, 255}}, {255, {8, 10, 26, 255}}}),
      Stroke(5, {150, 170, 220, 255}), [&](ShapePen& pen) { Circle(pen, radius); });
  const uint16_t marks = DefineFigure(
      movie, SwfFill::Solid({205, 210, 225, 255}), std::nullopt, [&](ShapePen& pen) {
        for (int i = 0; i < 60; ++i) {
          const bool hour = i % 5 == 0;
          const double w = (hour ? 7 : 2.5) * kPx, l = (hour ? 0.14 : 0.05) * radius;
          pen.Place({0, 0}, i * kTwoPi / 60);
          Box(pen, -w / 2, -0.93 * radius, w, l);
        }
      });
  const uint16_t hourHand = Hand(movie, 0.52 * radius, 15 * kPx, {255, 196, 90, 255});
  const uint16_t minuteHand = Hand(movie, 0.8 * radius, 10 * kPx, {90, 200, 255, 255});
  const uint16_t secondHand = Hand(movie, 0.88 * radius, 4 * kPx, {255, 60, 60, 255});
  const uint16_t cap = DefineFigure(movie, SwfFill::Solid({255, 60, 60, 255}),
                                    Stroke(1.5, {40, 10, 10, 255}),
                                    [](ShapePen& pen) { Circle(pen, 7 * kPx); });
  SwfFont sans;
  sans.version = 2;
  sans.name = "_sans";  // a device font: no outlines
  const uint16_t font = movie.DefineFont(sans);
  const double readoutTop = centre.y + radius + 10 * kPx;
  const uint16_t time =
      CentredField(movie, font, readoutTop, width, 30 * kPx, {235, 240, 255, 255}, "readout");
  const uint16_t date = CentredField(movie, font, readoutTop + 44 * kPx, width, 16 * kPx,
                                     {150, 165, 200, 255}, "dateLine");

  uint16_t depth = 1;
  auto place = [&](uint16_t character, Point at, const char* name = nullptr) {
    SwfPlace p;
    p.depth = depth++;
    p.character = character;
    p.matrix = Placement(at.x, at.y);
    if (name) p.name = name;
    movie.Place(p);
  };
  place(face, centre);
  place(marks, centre);
  place(hourHand, centre, "hourHand");
  place(minuteHand, centre, "minuteHand");
  place(secondHand, centre, "secondHand");
  place(cap, centre);
  place(time, {0, 0});
  place(date, {0, 0});
  movie.DoAction(SwfActions().Assemble(kClockScript));
  for (uint16_t frame = 0; frame < options.frameCount; ++frame) movie.ShowFrame();
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
