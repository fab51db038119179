// What the control shows in its rectangle: the movie's stage, its frame rectangle scaled into
// the rectangle with its proportions kept and centred (the stored control data's scale mode,
// "ShowAll"), on the colours the Flash control paints. The COM control and the native tools
// draw the same way.
#pragma once

#include <optional>

#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/render/Canvas.h"

namespace swfplayer::player {

struct StageLayout {
  Matrix stageToDevice;  // twips of the stage to device pixels
  // The stage's rectangle in device pixels, whole pixels; empty for an empty frame or target.
  int left = 0, top = 0, width = 0, height = 0;
};

StageLayout ShowAll(const TwipsRect& frame, int width, int height);

// The Flash Player's stage colour for a movie that sets none.
inline constexpr Rgba kDefaultStageColor{255, 255, 255, 255};

// Draws the whole canvas: `background` (the control's BackgroundColor, when set) everywhere
// the movie draws nothing; while it is unset, black around the stage and the movie's own
// background colour on it. Then the movie's frame on screen, shown all. Without a movie the
// canvas gets the background, or black.
void DrawStage(const Player* movie, render::Canvas& canvas,
               std::optional<Rgba> background);

}  // namespace swfplayer::player
