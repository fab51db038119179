#include "tools/render/StageRender.h"

#include <algorithm>
#include <fstream>

#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/player/Stage.h"
#include "tools/avm1/FixedHost.h"

namespace swfsaver::tools {

std::unique_ptr<swfplayer::player::Player> LoadMovie(const std::string& path, std::string& error,
                                                     NativeText& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return nullptr;
  }
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  file.seekg(0);
  // A compressed movie is never larger than the body it inflates to.
  if (size < 0 || size > std::streamoff{swfplayer::kMaxMovieBytes}) {
    error = path + ": larger than a movie the player plays";
    return nullptr;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!file.read(reinterpret_cast<char*>(bytes.data()), size)) {
    error = "cannot read " + path;
    return nullptr;
  }
  swfplayer::image::NativeImageDecoder decoder;
  // Scripts run under the fixed conditions the test suites assume; their trace lines are
  // dropped.
  swfplayer::player::PlayerOptions options;
  auto host = std::make_shared<FixedHost>();
  host->onTrace = [](std::string_view) {};
  options.host = host;
  options.ansi = &text.ansi;
  options.fonts = &text.fonts;
  swfplayer::player::PlayerLoad load = swfplayer::player::Player::Load(bytes, decoder, options);
  if (!load.ok()) {
    error = path + ": " + std::string(swfplayer::MovieErrorName(load.error));
    return nullptr;
  }
  return std::move(load.player);
}

int StageWidth(const swfplayer::player::Player& player) {
  const swfplayer::TwipsRect& frame = player.Header().frameSize;
  return static_cast<int>(std::max<int64_t>(0, (int64_t{frame.xMax} - frame.xMin) / 20));
}

int StageHeight(const swfplayer::player::Player& player) {
  const swfplayer::TwipsRect& frame = player.Header().frameSize;
  return static_cast<int>(std::max<int64_t>(0, (int64_t{frame.yMax} - frame.yMin) / 20));
}

StageRenderer::StageRenderer(int width, int height, swfplayer::render::Quality quality,
                             int threads)
    : image_{width, height, std::vector<uint32_t>(size_t(width) * height)},
      canvas_(image_.pixels.data(), width, height, width, quality) {
  canvas_.SetThreads(threads);
}

const StageImage& StageRenderer::Render(const swfplayer::player::Player& player, bool whole) {
  if (whole) canvas_.InvalidateFrame();
  canvas_.BeginFrame();
  // Everywhere the movie's own colour, as the Flash Player shows a stage that fills its window.
  swfplayer::player::DrawStage(
      &player, canvas_,
      player.Header().backgroundColor.value_or(swfplayer::player::kDefaultStageColor));
  damage_ = canvas_.EndFrame();
  return image_;
}

}  // namespace swfsaver::tools
