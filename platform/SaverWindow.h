// The saver window as the system builds it: a borderless top-level window with the black
// panel Panel1, the hidden button ButtonClose and the Flash control ShockwaveFlash1 on the
// panel. Events come back through SaverWindowEvents.
#pragma once

#include <cstdint>

#include "platform/FlashControl.h"

namespace swfsaver::platform {

enum class MouseButton { Left, Right, Middle };

// Shift state bits, as the framework reports them with mouse and key events.
inline constexpr uint32_t kShiftKey = 1;
inline constexpr uint32_t kAltKey = 2;
inline constexpr uint32_t kCtrlKey = 4;

class SaverWindowEvents {
 public:
  virtual ~SaverWindowEvents() = default;
  virtual void FormActivate() = 0;
  virtual void FormClose() = 0;
  virtual void FormKeyDown(uint16_t key, uint32_t shift) = 0;
  virtual void FormMouseDown(MouseButton button, uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void FormMouseMove(uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void Panel1MouseDown(MouseButton button, uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void Panel1MouseMove(uint32_t shift, int32_t x, int32_t y) = 0;
  virtual void ButtonCloseClick() = 0;
  virtual void WMUser1() = 0;  // 0x401: accepted and ignored
  virtual void WMUser2() = 0;  // 0x402: requests the close
  virtual void TimerRetryTimer() = 0;  // the retry timer's interval has passed
};

class SaverWindow {
 public:
  virtual ~SaverWindow() = default;

  virtual std::uintptr_t Handle() = 0;
  virtual void SetColor(uint32_t rgb) = 0;
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void SetPanelVisible(bool visible) = 0;
  virtual void AlignPanelToClient() = 0;
  // Raises when the window was created without its Flash control.
  virtual FlashControl& ShockwaveFlash1() = 0;
  // Makes the window visible; showing it activates it, so FormActivate normally runs inside.
  virtual void Show() = 0;
  // The framework's close: FormClose runs and, the window being the main window, the
  // application is told to terminate. The window stays until the loop ends.
  virtual void Close() = 0;
  // A window timer (the component TimerRetry): TimerRetryTimer comes through the message queue
  // after every interval, until the timer is set to 0, which stops it.
  virtual void SetRetryTimer(uint32_t intervalMs) = 0;
};

}  // namespace swfsaver::platform
