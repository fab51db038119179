// System state the saver changes: the cursor, the screen-saver-running flag, the owner window
// that carries the taskbar button, and the size of the primary display.
#pragma once

#include <cstdint>

namespace swfsaver::platform {

class SystemState {
 public:
  virtual ~SystemState() = default;

  // ShowCursor: returns the new display count.
  virtual int ShowCursor(bool show) = 0;
  // SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running, &previous, 0).
  virtual void SetScreenSaverRunning(bool running) = 0;
  // ShowWindow(owner window, SW_HIDE): no taskbar button.
  virtual void HideOwnerWindow() = 0;
  // GetSystemMetrics(SM_CXSCREEN) and (SM_CYSCREEN).
  virtual int32_t ScreenWidth() = 0;
  virtual int32_t ScreenHeight() = 0;
};

}  // namespace swfsaver::platform
