// Playing the playlist: laying out and starting one movie, and the idle step that moves on
// when the current movie shows its last frame.
#include <cstdint>

#include "saver/PlaybackRules.h"
#include "saver/SaverState.h"
#include "saver/Unit1.h"
#include "swf/UnitGlobal.h"

namespace swfsaver {

namespace {
inline constexpr uint32_t kPauseBeforeNextMovieMs = 500;
}  // namespace

void TForm1::PlayMovie(const std::string& path, bool fit) {
  platform::FlashControl& flash = window_->ShockwaveFlash1();
  flash.SetBackgroundColor(0);
  // Read in both layouts: a file that vanished or is too short fails here, before the
  // control is told to load it.
  std::string header;
  ReadSwfHeaderRect(platform_.kernel, platform_.codePage, path, header);
  if (fit) {
    flash.AlignToClient();
  } else {
    const int32_t width = SwfFrameWidth(header);
    const int32_t height = SwfFrameHeight(header);
    const ControlRect rect = CentredControlRect(platform_.system.ScreenWidth(),
                                                platform_.system.ScreenHeight(), width, height);
    flash.SetLeft(rect.left);
    flash.SetTop(rect.top);
    flash.SetWidth(rect.width);
    flash.SetHeight(rect.height);
  }
  flash.SetMovie(path);
  flash.Play();
  MoviePlaying = true;
}

void TForm1::ApplicationEvents1Idle(bool& /*done*/) {
  // Runs after every burst of messages: until the last frame it reads one property and calls
  // one method, and nothing else.
  if (!HasMovies()) return;
  platform::FlashControl& flash = window_->ShockwaveFlash1();
  const int32_t total = flash.TotalFrames();
  const int32_t frame = flash.CurrentFrame();
  // 32-bit arithmetic that wraps, as the control's own numbers would.
  const auto lastFrame = static_cast<int32_t>(static_cast<uint32_t>(total) - 1u);
  if (lastFrame != frame) return;
  platform_.kernel.Sleep(kPauseBeforeNextMovieMs);
  CurrentIndex = NextMovieIndex(CurrentIndex, static_cast<int32_t>(MovieList->size()));
  // A copy: the control may run messages while it loads, and a close releases the list.
  const std::string path = (*MovieList)[CurrentIndex];
  PlayMovie(path, FitToScreen);
}

}  // namespace swfsaver
