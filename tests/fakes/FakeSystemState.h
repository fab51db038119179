// The cursor's display counter, the screen-saver-running flag, the owner window and the
// primary display, in memory.
#pragma once

#include <vector>

#include "platform/SystemState.h"

namespace swfsaver::fakes {

class FakeSystemState : public platform::SystemState {
 public:
  int ShowCursor(bool show) override {
    cursorCount += show ? 1 : -1;
    cursorCalls.push_back(show);
    return cursorCount;
  }
  void SetScreenSaverRunning(bool running) override {
    screenSaverRunning = running;
    screenSaverFlagCalls.push_back(running);
  }
  void HideOwnerWindow() override { ++ownerHidden; }
  int32_t ScreenWidth() override { return screenWidth; }
  int32_t ScreenHeight() override { return screenHeight; }
  int32_t DisplayDpi() override { return displayDpi; }
  void DeclareDpiAware() override { ++dpiAwareDeclared; }

  bool CursorVisible() const { return cursorCount >= 0; }

  int cursorCount = 0;  // the cursor shows while the count is 0 or more
  std::vector<bool> cursorCalls;
  bool screenSaverRunning = false;
  std::vector<bool> screenSaverFlagCalls;
  int ownerHidden = 0;
  int32_t screenWidth = 1024;
  int32_t screenHeight = 768;
  int32_t displayDpi = 96;
  int dpiAwareDeclared = 0;
};

}  // namespace swfsaver::fakes
