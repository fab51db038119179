// Japanese text in an SWF 5 movie, as Japanese movies of that time carried it: every string in
// the system's ANSI code page (Shift-JIS), shown in device fonts. The title is a field's own
// text; the greeting and the date ("2026年12月9日 水曜日") are variables the frame script sets.
// Blossoms drift across the stage behind them, in colours of their own, so that a screenshot
// tells the text's pixels from theirs.
#include <cmath>
#include <string>

#include "tools/SampleGeometry.h"
#include "tools/ScriptedSamples.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

// スクリーンセーバー
const char* const kTitle = "\x83\x58\x83\x4E\x83\x8A\x81\x5B\x83\x93\x83\x5A\x81\x5B\x83\x6F\x81\x5B";

// greeting: こんにちは、世界; today: the year, 年, the month, 月, the day, 日, a space, the
// weekday's character from days (日月火水木金土, pushed last first) and 曜日.
constexpr const char* kJapaneseScript = R"(
push "greeting", "\x82\xB1\x82\xF1\x82\xC9\x82\xBF\x82\xCD\x81\x41\x90\xA2\x8A\x45"
setVariable
push "now", 0, "Date"
newObject
setVariable
push "days", "\x93\x79", "\x8B\xE0", "\x96\xD8", "\x90\x85", "\x89\xCE", "\x8C\x8E", "\x93\xFA", 7
initArray
setVariable
push "today", 0, "now"
getVariable
push "getFullYear"
callMethod
push "\x94\x4E"
add2
push 0, "now"
getVariable
push "getMonth"
callMethod
increment
add2
push "\x8C\x8E"
add2
push 0, "now"
getVariable
push "getDate"
callMethod
add2
push "\x93\xFA "
add2
push "days"
getVariable
push 0, "now"
getVariable
push "getDay"
callMethod
getMember
add2
push "\x97\x6A\x93\xFA"
add2
setVariable
)";

}  // namespace

std::vector<uint8_t> WriteJapaneseText(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const double width = options.widthPixels * kPx, height = options.heightPixels * kPx;

  const uint16_t backdrop = DefineFigure(
      movie,
      SwfFill::Gradient(SwfFill::Kind::kLinear, GradientBox(width / 2, height / 2, width, height, kTwoPi / 4),
                        {{0, {40, 14, 44, 255}}, {255, {12, 8, 30, 255}}}),
      std::nullopt, [&](ShapePen& pen) { Box(pen, 0, 0, width, height); });
  const uint16_t blossom = DefineFigure(
      movie,
      Radial(0, 0, 30 * kPx,
             {{0, {255, 215, 230, 255}}, {80, {255, 190, 215, 230}}, {255, {230, 120, 170, 200}}}),
      std::nullopt, [](ShapePen& pen) {
        const double tip = 30 * kPx;
        RadialLoop(
            pen, 10, [tip](int i) { return i % 2 ? tip : 8 * kPx; },
            [tip](int i) { return i % 2 ? tip * 1.05 : tip * 0.75; });
      });
  SwfFont sans, gothic;
  sans.version = gothic.version = 2;
  sans.name = "_sans";
  gothic.name = "MS Gothic";  // a named face; where it is missing, the Japanese fallback
  const uint16_t sansId = movie.DefineFont(sans);
  const uint16_t gothicId = movie.DefineFont(gothic);
  const uint16_t title =
      CentredField(movie, sansId, 0.22 * height, width, 44 * kPx, {255, 255, 255, 255}, "", kTitle);
  const uint16_t greeting =
      CentredField(movie, gothicId, 0.45 * height, width, 32 * kPx, {255, 230, 120, 255}, "greeting");
  const uint16_t today =
      CentredField(movie, sansId, 0.62 * height, width, 22 * kPx, {170, 220, 255, 255}, "today");

  SwfPlace place;
  place.character = backdrop;
  movie.Place(place);
  uint16_t depth = 20;
  for (uint16_t field : {title, greeting, today}) {
    place.depth = depth++;
    place.character = field;
    movie.Place(place);
  }
  movie.DoAction(SwfActions().Assemble(kJapaneseScript));
  // Five blossoms falling and turning, each over whole periods of the loop.
  std::vector<Actor> actors;
  for (int i = 0; i < 5; ++i) {
    const double lane = (i + 0.5) / 5, scale = 0.6 + 0.15 * (i % 3);
    actors.emplace_back(blossom, [=](double t) {
      const double y = std::fmod(t * (1 + i % 2) + i * 0.37, 1.0);
      return Placement(width * (lane + 0.06 * Wave(t, 2, i * 0.2)), height * (1.2 * y - 0.1),
                       kTwoPi * (t * (i % 2 ? 1 : -1) + i * 0.1), scale, scale);
    });
  }
  Animate(movie, actors, options.frameCount, 2);
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
