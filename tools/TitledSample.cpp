// The titled sample: a star that tweens into a disc and back while turning, under a title in
// static text that fades in; the root stops on its last frame, and a sparkle sprite circling
// the star, which goes on playing, sends the root back to its first frame a second later.
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

#include "tools/SampleMovies.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

constexpr int kRootFrames = 96;     // 4 s at 24 fps
constexpr int kSparkleFrames = 120; // 5 s: the root holds its last frame for one more second
constexpr int32_t kUnit = 20;       // DefineFont3 units per 1/1024 EM
constexpr double kTau = 2 * std::numbers::pi;

using Points = std::initializer_list<std::pair<int32_t, int32_t>>;

// A closed outline through points, in 1/1024 EM (y down, the baseline at 0).
void Outline(SwfGlyph& glyph, Points points) {
  const auto first = *points.begin();
  auto at = first;
  glyph.Style(0, 1, std::nullopt, std::pair{first.first * kUnit, first.second * kUnit});
  for (auto it = points.begin() + 1; it != points.end(); ++it) {
    glyph.LineBy((it->first - at.first) * kUnit, (it->second - at.second) * kUnit);
    at = *it;
  }
  glyph.LineBy((first.first - at.first) * kUnit, (first.second - at.second) * kUnit);
}

SwfGlyph Glyph(std::initializer_list<Points> contours) {
  SwfGlyph glyph;
  for (const Points& contour : contours) Outline(glyph, contour);
  return glyph;
}

// A geometric face for the title's letters: strokes 120 units thick, caps 700 high.
SwfFont TitleFont() {
  SwfFont font;
  font.name = "Titling";
  font.glyphs = {
      Glyph({{{520, -700}, {520, -580}, {120, -580}, {120, -410}, {520, -410}, {520, 0}, {0, 0},
              {0, -120}, {400, -120}, {400, -290}, {0, -290}, {0, -700}}}),                       // S
      Glyph({{{0, -700}, {110, -700}, {195, -210}, {285, -600}, {375, -600}, {465, -210},
              {550, -700}, {660, -700}, {520, 0}, {420, 0}, {330, -400}, {240, 0}, {140, 0}}}),  // W
      Glyph({{{0, -700}, {520, -700}, {520, -580}, {120, -580}, {120, -410}, {440, -410},
              {440, -290}, {120, -290}, {120, 0}, {0, 0}}}),                                        // F
      Glyph({{{0, 0}, {230, -700}, {350, -700}, {580, 0}, {460, 0}, {410, -160}, {170, -160}, {120, 0}},
             {{205, -270}, {375, -270}, {290, -540}}}),                                            // A
      Glyph({{{0, -700}, {125, -700}, {290, -170}, {455, -700}, {580, -700}, {350, 0}, {230, 0}}}), // V
      Glyph({{{0, -700}, {520, -700}, {520, -580}, {120, -580}, {120, -410}, {440, -410},
              {440, -290}, {120, -290}, {120, -120}, {520, -120}, {520, 0}, {0, 0}}}),              // E
      Glyph({{{0, 0}, {0, -700}, {440, -700}, {560, -600}, {560, -440}, {440, -340}, {580, 0},
              {450, 0}, {320, -340}, {120, -340}, {120, 0}},
             {{120, -580}, {400, -580}, {440, -540}, {440, -500}, {400, -460}, {120, -460}}}),      // R
      SwfGlyph{},                                                                                  // space
  };
  font.codes = {'S', 'W', 'F', 'A', 'V', 'E', 'R', ' '};
  return font;
}

SwfText Title(uint16_t font) {
  // Glyph indices and advances of "SWF SAVER" in 1/1024 EM.
  const std::pair<uint32_t, int32_t> letters[] = {{0, 640}, {1, 760}, {2, 600}, {7, 300}, {0, 640},
                                                  {3, 660}, {4, 660}, {5, 620}, {6, 620}};
  constexpr uint16_t kHeight = 1600;  // twips to the EM: capitals 55 px high
  SwfTextRecord record;
  record.font = font;
  record.height = kHeight;
  record.color = SwfRgba{255, 240, 205, 255};
  record.x = 0;
  record.y = 0;
  int32_t width = 0;
  for (const auto& [glyph, advance] : letters) {
    const int32_t twips = advance * kHeight / 1024;
    record.glyphs.push_back({glyph, twips});
    width += twips;
  }
  SwfText text;
  text.version = 2;
  text.xMax = width;
  text.yMin = -1100;
  text.matrix = SwfMatrix::Translate(-width / 2, 0);  // centred on the placement's origin
  text.records = {record};
  return text;
}

std::pair<int32_t, int32_t> Polar(double radius, double angle) {
  return {static_cast<int32_t>(std::lround(radius * std::cos(angle))),
          static_cast<int32_t>(std::lround(radius * std::sin(angle)))};
}

// An eight-pointed star that becomes a disc: 16 straight edges paired with 16 curves.
SwfMorphShape StarToDisc() {
  SwfMorphShape morph;
  morph.version = 2;
  morph.xMin = morph.yMin = -1900;
  morph.xMax = morph.yMax = 1900;
  morph.fills = {{SwfFill::Gradient(SwfFill::Kind::kRadial, SwfMatrix{0.11, 0, 0, 0.11, 0, 0},
                                    {{0, {255, 214, 90}}, {150, {255, 140, 40}}, {255, {190, 40, 90}}}),
                  SwfFill::Gradient(SwfFill::Kind::kRadial, SwfMatrix{0.09, 0, 0, 0.09, -300, -300},
                                    {{0, {200, 255, 240}}, {110, {60, 210, 200}}, {255, {30, 60, 160}}})}};
  morph.lines = {{60, 20, {255, 255, 255, 200}, {255, 255, 255, 90}, std::nullopt, 0, 0, 0}};
  auto previous = Polar(1800, 0);
  auto previousEnd = Polar(1400, 0);
  morph.start.Style(0, 1, 1, previous);
  morph.end.MoveTo(previousEnd.first, previousEnd.second);
  for (int i = 1; i <= 16; ++i) {
    const double angle = kTau * i / 16;
    const auto point = Polar(i % 2 == 0 ? 1800 : 750, angle);
    morph.start.LineBy(point.first - previous.first, point.second - previous.second);
    previous = point;
    // The disc: a quadratic arc per sixteenth, its control on the tangents' meeting point.
    const auto control = Polar(1400 / std::cos(kTau / 32), angle - kTau / 32);
    const auto end = Polar(1400, angle);
    morph.end.CurveBy(control.first - previousEnd.first, control.second - previousEnd.second,
                      end.first - control.first, end.second - control.second);
    previousEnd = end;
  }
  return morph;
}

SwfShape Sparkle() {
  SwfShape shape;
  shape.xMin = shape.yMin = -400;
  shape.xMax = shape.yMax = 400;
  shape.fills = {SwfFill::Gradient(SwfFill::Kind::kRadial, SwfMatrix{0.026, 0, 0, 0.026, 0, 0},
                                   {{0, {255, 255, 255, 255}}, {90, {255, 245, 190, 240}},
                                    {255, {255, 200, 80, 0}}})};
  // Four points with hollow sides: each control point sits near the centre.
  shape.Style(0, 1, std::nullopt, std::pair{0, -400})
      .CurveBy(0, 320, 400, 80).CurveBy(-320, 0, -80, 400)
      .CurveBy(0, -320, -400, -80).CurveBy(320, 0, 80, -400);
  return shape;
}

SwfMatrix Turned(double angle, double scale, int32_t x, int32_t y) {
  return {scale * std::cos(angle), scale * std::sin(angle), -scale * std::sin(angle),
          scale * std::cos(angle), x, y};
}

SwfShape Glow() {
  SwfShape shape;
  shape.xMin = shape.yMin = -4000;
  shape.xMax = shape.yMax = 4000;
  shape.fills = {SwfFill::Gradient(SwfFill::Kind::kRadial, SwfMatrix{0.25, 0, 0, 0.18, 0, 0},
                                   {{0, {70, 90, 170, 150}}, {255, {12, 16, 42, 0}}})};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(-4000, -3000, 8000, 6000);
  return shape;
}

}  // namespace

std::vector<uint8_t> WriteTitledTween(const SwfOptions& options) {
  const int32_t centreX = static_cast<int32_t>(options.widthPixels) * 10;
  const int32_t starY = static_cast<int32_t>(options.heightPixels) * 20 * 3 / 8;
  const int32_t baseline = static_cast<int32_t>(options.heightPixels) * 20 * 33 / 40;
  SwfMovieBuilder movie;
  const uint16_t glow = movie.DefineShape(Glow());
  const uint16_t tween = movie.DefineMorphShape(StarToDisc());
  const uint16_t title = movie.DefineText(Title(movie.DefineFont(TitleFont())));

  // The sparkle circles the star once per 120 frames, twinkling; on its last frame it sends
  // the root, stopped since its own last frame, back to the first.
  const SwfShape sparkleShape = Sparkle();
  const uint16_t sparkleId = movie.DefineShape(sparkleShape);
  SwfTags sparkle;
  for (int frame = 0; frame < kSparkleFrames; ++frame) {
    const double turn = kTau * frame / kSparkleFrames;
    const auto [x, ignored] = Polar(2700, turn - kTau / 4);
    const auto [unused, y] = Polar(1900, turn - kTau / 4);  // an ellipse that clears the title
    SwfPlace place;
    place.character = frame == 0 ? std::optional<uint16_t>(sparkleId) : std::nullopt;
    place.move = frame > 0;
    place.matrix = Turned(turn * 3, 0.8 + 0.5 * std::sin(turn * 8), x, y);
    sparkle.Place(place);
    if (frame == kSparkleFrames - 1) {
      sparkle.DoAction(SwfActions().SetTarget("/").PushInteger(1).GotoFrame2(true).SetTarget(""));
    }
    sparkle.ShowFrame();
  }
  const uint16_t sparkleSprite = movie.DefineSprite(sparkle);

  for (int frame = 0; frame < kRootFrames; ++frame) {
    const double phase = kTau * frame / kRootFrames;
    SwfPlace star;
    star.depth = 2;
    if (frame == 0) {
      SwfPlace backdrop;
      backdrop.character = glow;
      backdrop.matrix = SwfMatrix::Translate(centreX, starY);
      movie.Place(backdrop);
      star.character = tween;
    } else {
      star.move = true;
    }
    star.matrix = Turned(phase / 2, 1, centreX, starY);
    star.ratio = static_cast<uint16_t>(std::lround(65535 * (1 - std::cos(phase)) / 2));
    movie.Place(star);
    if (frame <= 24) {  // the title fades in over the first second
      SwfPlace text;
      text.depth = 3;
      text.character = frame == 0 ? std::optional<uint16_t>(title) : std::nullopt;
      text.move = frame > 0;
      text.matrix = SwfMatrix::Translate(centreX, baseline);
      text.colorTransform = SwfColorTransform{256, 256, 256, static_cast<int16_t>(frame * 256 / 24), 0, 0, 0, 0};
      movie.Place(text);
    }
    if (frame == 0) {
      SwfPlace place;
      place.depth = 4;
      place.character = sparkleSprite;
      place.matrix = SwfMatrix::Translate(centreX, starY);
      place.name = "sparkle";
      movie.Place(place);
    }
    if (frame == kRootFrames - 1) movie.DoAction(SwfActions().Stop());
    movie.ShowFrame();
  }
  return movie.Finish(options);
}

SampleMovie TitledTweenSample() {
  SampleMovie sample;
  sample.name = "titled_tween_550x400_24fps_96f.swf";
  sample.options.widthPixels = 550;
  sample.options.heightPixels = 400;
  sample.options.frameRate = FrameRate(24);
  sample.options.frameCount = kRootFrames;
  sample.options.background = SwfColor{0x0C, 0x10, 0x2A};
  sample.options.version = 8;  // DefineFont3, DefineMorphShape2
  sample.write = WriteTitledTween;
  return sample;
}

}  // namespace swfsaver::tools
