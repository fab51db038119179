// The cursor, the screen-saver-running flag, the owner window and the display size.
#pragma once

#include "platform/SystemState.h"

namespace swfsaver::win32 {

class Win32SystemState : public platform::SystemState {
 public:
  int ShowCursor(bool show) override;
  void SetScreenSaverRunning(bool running) override;
  void HideOwnerWindow() override;
  int32_t ScreenWidth() override;
  int32_t ScreenHeight() override;
};

}  // namespace swfsaver::win32
