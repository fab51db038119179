// System state the saver changes: the cursor, the screen-saver-running flag, the owner window
// that carries the taskbar button, the size and scale of the primary display, and the
// process's DPI awareness.
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
  // The primary display's pixels per logical inch: 96 at 100 %, 144 at 150 %, 192 at 200 %.
  virtual int32_t DisplayDpi() = 0;
  // Declares the process per-monitor DPI aware, so that its windows get the display's real
  // pixels instead of being stretched by the system: SetProcessDpiAwarenessContext
  // (per-monitor v2) where present, else SetProcessDpiAwareness, else SetProcessDPIAware.
  // Before any window is made.
  virtual void DeclareDpiAware() = 0;
};

}  // namespace swfsaver::platform
