#include "swfplayer/player/Stage.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::player {

StageLayout ShowAll(const TwipsRect& frame, int width, int height) {
  const double frameWidth = double(frame.xMax) - frame.xMin;
  const double frameHeight = double(frame.yMax) - frame.yMin;
  if (frameWidth <= 0 || frameHeight <= 0 || width <= 0 || height <= 0) return {};
  const double scale = std::min(width / frameWidth, height / frameHeight);
  StageLayout layout;
  layout.width = std::clamp(int(std::lround(frameWidth * scale)), 0, width);
  layout.height = std::clamp(int(std::lround(frameHeight * scale)), 0, height);
  // Whole-pixel offsets keep a stage shown at its own size on the pixel grid.
  layout.left = (width - layout.width) / 2;
  layout.top = (height - layout.height) / 2;
  layout.stageToDevice = Matrix{scale, 0, 0, scale, layout.left - frame.xMin * scale,
                                        layout.top - frame.yMin * scale};
  return layout;
}

void DrawStage(const Player* movie, render::Canvas& canvas,
               std::optional<Rgba> background) {
  constexpr Rgba kBlack{0, 0, 0, 255};
  canvas.Clear(background.value_or(kBlack));
  if (!movie) return;
  const StageLayout layout = ShowAll(movie->Header().frameSize, canvas.Width(), canvas.Height());
  if (!background && layout.width > 0 && layout.height > 0) {
    Path stage;
    const double l = layout.left, t = layout.top;
    const double r = l + layout.width, b = t + layout.height;
    stage.MoveTo({l, t});
    stage.LineTo({r, t});
    stage.LineTo({r, b});
    stage.LineTo({l, b});
    canvas.FillPath(stage, Matrix{}, FillRule::kNonZero,
                    movie->Header().backgroundColor.value_or(kDefaultStageColor),
                    ColorTransform{});
  }
  movie->Render(canvas, layout.stageToDevice);
}

}  // namespace swfplayer::player
