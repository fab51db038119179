// The input that ends the saver: the application-wide message hook, the window's and the
// panel's mouse and key handlers, and the two private window messages.
#include <cstdint>
#include <cstdlib>

#include "saver/SaverState.h"
#include "saver/Unit1.h"

namespace swfsaver {

namespace {
// A move counts only when it is at least this far plus one from the anchor on both axes.
inline constexpr int64_t kMouseJitter = 2;

bool FarFromAnchor(int32_t position, int32_t anchor) {
  return std::llabs(static_cast<int64_t>(position) - anchor) > kMouseJitter;
}
}  // namespace

void TForm1::ApplicationEvents1Message(const platform::Message& message, bool& handled) {
  // The right button ends the saver at any time, and never reaches the movie under it.
  if (message.message == platform::kWmRButtonDown) {
    handled = true;
    RequestClose();
    return;
  }
  // While a movie plays, mouse moves reach no window at all: the first ones are tolerated
  // (a bumped desk), every one after the budget ends the saver.
  if (message.message == platform::kWmMouseMove && MoviePlaying) {
    handled = true;
    if (MouseMessageBudget > 0) {
      --MouseMessageBudget;
    } else {
      RequestClose();
    }
  }
}

void TForm1::MouseMoved(int32_t x, int32_t y) {
  if (MouseMoveGrace > 0) {
    --MouseMoveGrace;
    return;
  }
  // Only the pair (-1, -1) means that no reference point is set yet.
  if (MouseAnchorX == -1 && MouseAnchorY == -1) {
    MouseAnchorX = x;
    MouseAnchorY = y;
    return;
  }
  // Distance is measured from the anchor, which stays put until a move counts, so slow
  // movement adds up; a purely horizontal or vertical move never counts.
  if (!FarFromAnchor(x, MouseAnchorX) || !FarFromAnchor(y, MouseAnchorY)) return;
  MouseAnchorX = x;
  MouseAnchorY = y;
  RequestClose();
}

void TForm1::FormMouseMove(uint32_t /*shift*/, int32_t x, int32_t y) { MouseMoved(x, y); }

void TForm1::Panel1MouseMove(uint32_t /*shift*/, int32_t x, int32_t y) { MouseMoved(x, y); }

void TForm1::FormMouseDown(platform::MouseButton /*button*/, uint32_t /*shift*/, int32_t /*x*/,
                           int32_t /*y*/) {
  RequestClose();
}

void TForm1::Panel1MouseDown(platform::MouseButton /*button*/, uint32_t /*shift*/, int32_t /*x*/,
                             int32_t /*y*/) {
  RequestClose();
}

void TForm1::FormKeyDown(uint16_t /*key*/, uint32_t /*shift*/) { RequestClose(); }

// The hidden button closes without the password step; the user cannot reach it.
void TForm1::ButtonCloseClick() { window_->Close(); }

void TForm1::WMUser1() {}

void TForm1::WMUser2() { RequestClose(); }

}  // namespace swfsaver
