// The cursor, the screen-saver-running flag, the owner window, the display's size and scale,
// and DPI awareness (Win32Dpi.cpp).
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
  int32_t DisplayDpi() override;
  void DeclareDpiAware() override;
};

}  // namespace swfsaver::win32
