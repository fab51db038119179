// Playing the playlist: laying out and starting one movie, the idle step that moves on when
// the current movie shows its last frame, and passing over the entries that cannot be played.
#include <cstdint>
#include <exception>

#include "platform/Exceptions.h"
#include "saver/PlaybackRules.h"
#include "saver/SaverState.h"
#include "saver/Unit1.h"
#include "swf/UnitGlobal.h"

namespace swfsaver {

namespace {
inline constexpr uint32_t kPauseBeforeNextMovieMs = 500;
// After a round in which no entry could be played: long enough that a list on a drive that
// went away costs next to nothing, short enough that the movies come back soon after it.
inline constexpr uint32_t kRetryIntervalMs = 5000;
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
    // The process draws at the display's real pixels (saver mode is DPI aware): the movie
    // keeps the size on screen it has at 100 %.
    const int32_t dpi = platform_.system.DisplayDpi();
    const int32_t width = ToDisplayPixels(SwfFrameWidth(header), dpi);
    const int32_t height = ToDisplayPixels(SwfFrameHeight(header), dpi);
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

bool TForm1::TryPlayMovie(const std::string& path) {
  try {
    PlayMovie(path, FitToScreen);
    return true;
  } catch (const EStreamError&) {
    // The frame size cannot be read (the file cannot be opened, is too short, or its
    // compressed header is damaged): passed over without a word, like a missing file.
  } catch (const std::exception& error) {
    application_.ShowException(error);  // the control's own failure
  }
  return false;
}

void TForm1::PlayEntry() {
  // A copy: the control may run messages while it loads, and a close releases the list.
  const std::string path = (*MovieList)[CurrentIndex];
  if (TryPlayMovie(path)) {
    entriesFailedInARow_ = 0;
    advancePending_ = false;
    if (panelHidden_) {
      panelHidden_ = false;
      window_->SetPanelVisible(true);
    }
    return;
  }
  if (!HasMovies()) return;  // closed meanwhile
  advancePending_ = true;
  ++entriesFailedInARow_;
  if (entriesFailedInARow_ >= static_cast<int32_t>(MovieList->size())) WaitForRetry();
}

// No entry of the list could be played for a whole round: the screen goes black (a movie
// played before may still be loaded) and the list is tried again once the timer fires. Until
// then the idle step does nothing and the thread sleeps in the message loop.
void TForm1::WaitForRetry() {
  entriesFailedInARow_ = 0;
  advancePending_ = false;
  waitingForRetry_ = true;
  if (!panelHidden_) {
    panelHidden_ = true;
    window_->SetPanelVisible(false);
  }
  window_->SetRetryTimer(kRetryIntervalMs);
}

void TForm1::TimerRetryTimer() {
  window_->SetRetryTimer(0);
  if (!waitingForRetry_ || !CanPlay()) return;
  waitingForRetry_ = false;
  advancePending_ = true;  // the idle step after this message tries the next entry
}

void TForm1::ApplicationEvents1Idle(bool& done) {
  // Runs after every burst of messages: until the last frame it reads one property and calls
  // one method, and nothing else.
  if (!CanPlay() || waitingForRetry_) return;
  if (!advancePending_) {
    platform::FlashControl& flash = window_->ShockwaveFlash1();
    const int32_t total = flash.TotalFrames();
    const int32_t frame = flash.CurrentFrame();
    // 32-bit arithmetic that wraps, as the control's own numbers would.
    const auto lastFrame = static_cast<int32_t>(static_cast<uint32_t>(total) - 1u);
    if (lastFrame != frame) return;
  }
  platform_.kernel.Sleep(kPauseBeforeNextMovieMs);
  CurrentIndex = NextMovieIndex(CurrentIndex, static_cast<int32_t>(MovieList->size()));
  PlayEntry();
  // The entry was passed over: the next one is tried at once, after whatever input came
  // during the pause (the loop takes the waiting messages before it runs this step again).
  if (advancePending_) done = false;
}

}  // namespace swfsaver
