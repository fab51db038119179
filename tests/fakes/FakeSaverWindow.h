// The saver window in memory. The window, Panel1, ButtonClose and the Flash control are each a
// window of the fake desktop (FakeApplication::AddWindow), so a test posts a message to the
// one under the pointer: the loop's hook sees it first, then the window's procedure turns it
// into the event that window raises. Show activates the window; Close runs FormClose and
// then terminates the application, as closing the main window does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/SaverWindow.h"
#include "tests/fakes/FakeApplication.h"
#include "tests/fakes/FakeFlashControl.h"

namespace swfsaver::fakes {

inline constexpr uint32_t kWmClose = 0x10;
inline constexpr uint32_t kWmTimer = 0x113;  // to the control: its frame timer, one frame on
inline constexpr std::uintptr_t kRetryTimerId = 1;  // the window's own timer (wParam)
inline constexpr uint32_t kWmMButtonDown = 0x207;
inline constexpr uint32_t kWmMouseWheel = 0x20A;
inline constexpr uint32_t kBmClick = 0xF5;
inline constexpr std::uintptr_t kMkShift = 0x4;
inline constexpr std::uintptr_t kMkControl = 0x8;

// The lParam of a mouse message: client coordinates as two signed 16-bit halves.
std::intptr_t MouseLParam(int32_t x, int32_t y);

struct Bounds {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Bounds&) const = default;
};

class FakeSaverWindow : public platform::SaverWindow {
 public:
  FakeSaverWindow(FakeApplication& application, platform::SaverWindowEvents& events);
  ~FakeSaverWindow() override;
  FakeSaverWindow(const FakeSaverWindow&) = delete;
  FakeSaverWindow& operator=(const FakeSaverWindow&) = delete;

  std::uintptr_t Handle() override { return form_; }
  void SetColor(uint32_t rgb) override { color = rgb; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override {
    bounds = {left, top, width, height};
  }
  void SetPanelVisible(bool visible) override { panelVisible = visible; }
  void AlignPanelToClient() override { panelAlignedToClient = true; }
  platform::FlashControl& ShockwaveFlash1() override;
  void Show() override;
  void Close() override;
  void SetRetryTimer(uint32_t intervalMs) override {
    retryTimerMs = intervalMs;
    retryTimerCalls.push_back(intervalMs);
  }

  // --- steering ---
  // Another activation, as after a dialog or switching windows.
  void Activate();
  // Runs when the window is first shown, just before it is activated: the world may change
  // between the window's creation and its first activation.
  std::function<void()> beforeShow;
  std::uintptr_t PanelHandle() const { return panel_; }
  std::uintptr_t FlashHandle() const { return flash_; }
  std::uintptr_t ButtonHandle() const { return button_; }
  // The retry timer's interval passes: its message is queued, as the system queues WM_TIMER.
  // False when the timer is not running.
  bool FireRetryTimer();

  // --- state the test reads --- (design values until the logic changes them)
  FakeFlashControl flash;
  bool hasFlashControl = true;  // false: made without it; ShockwaveFlash1 raises
  uint32_t retryTimerMs = 0;    // the running timer's interval, 0 when stopped
  std::vector<uint32_t> retryTimerCalls;
  uint32_t color = 0xF0F0F0;  // the system's button face
  Bounds bounds{505, 236, 499, 343};
  bool visible = false;
  bool panelVisible = true;
  bool panelAlignedToClient = false;
  int activations = 0;
  int closes = 0;

 private:
  void FormProcedure(const platform::Message& message);
  void PanelProcedure(const platform::Message& message);
  void FlashProcedure(const platform::Message& message);
  void ButtonProcedure(const platform::Message& message);
  // Every key pressed on the window or one of its controls reaches FormKeyDown first.
  bool KeyPreview(const platform::Message& message);

  FakeApplication& application_;
  platform::SaverWindowEvents& events_;
  std::uintptr_t form_ = 0, panel_ = 0, flash_ = 0, button_ = 0;
};

// Makes the fake application create a FakeSaverWindow for the saver, remembered in *window;
// prepare (when given) sets the new window up before the saver sees it. With
// controlFailure other than 0 a window with the control cannot be made: the creation raises
// EOleSysError with that HRESULT, as an unregistered control does.
void InstallFakeSaverWindow(FakeApplication& application, FakeSaverWindow** window,
                            std::function<void(FakeSaverWindow&)> prepare = {},
                            int32_t controlFailure = 0);

}  // namespace swfsaver::fakes
