// A movie that stops on its first frame: what a still picture, or a clock between two
// seconds, costs the saver. Its second frame is never reached, so the saver never moves on.
#include <cmath>

#include "tools/AnimatedSamples.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {

std::vector<uint8_t> WriteStoppedShapes(const SwfOptions& options) {
  SwfMovieBuilder movie;
  const int32_t width = static_cast<int32_t>(options.widthPixels) * 20;
  const int32_t height = static_cast<int32_t>(options.heightPixels) * 20;
  // Twelve tiles in a ring round a disc-like gradient square, each turned a little further.
  SwfShape tile;
  tile.xMin = tile.yMin = -900;
  tile.xMax = tile.yMax = 900;
  tile.fills = {SwfFill::Gradient(SwfFill::Kind::kRadial, {0.06, 0, 0, 0.06, 0, 0},
                                  {{0, {250, 220, 120, 255}}, {255, {200, 60, 40, 255}}})};
  tile.lines = {SwfLine::Solid(40, {255, 255, 255, 255})};
  tile.Style(0, 1, 1, std::pair<int32_t, int32_t>{-900, -900}).Rectangle(-900, -900, 1800, 1800);
  const uint16_t id = movie.DefineShape(tile);
  for (int i = 0; i < 12; ++i) {
    const double angle = i * 3.14159265358979 / 6, s = 0.6 + 0.05 * i;
    SwfPlace place;
    place.depth = static_cast<uint16_t>(i + 1);
    place.character = id;
    place.matrix = SwfMatrix{s * std::cos(angle), s * std::sin(angle), -s * std::sin(angle),
                             s * std::cos(angle),
                             static_cast<int32_t>(width / 2 + std::cos(angle) * width * 0.35),
                             static_cast<int32_t>(height / 2 + std::sin(angle) * height * 0.35)};
    movie.Place(place);
  }
  SwfActions stop;
  stop.Stop();
  movie.DoAction(stop);
  movie.ShowFrame();
  movie.ShowFrame();
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
