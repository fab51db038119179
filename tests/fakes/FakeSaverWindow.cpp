#include "tests/fakes/FakeSaverWindow.h"

#include <stdexcept>

#include "platform/Exceptions.h"

namespace swfsaver::fakes {

using platform::Message;
using platform::MouseButton;

std::intptr_t MouseLParam(int32_t x, int32_t y) {
  return static_cast<std::intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                    static_cast<uint32_t>(x & 0xFFFF));
}

namespace {

int32_t MouseX(const Message& m) { return static_cast<int16_t>(m.lParam & 0xFFFF); }
int32_t MouseY(const Message& m) { return static_cast<int16_t>((m.lParam >> 16) & 0xFFFF); }

uint32_t MouseShift(const Message& m) {
  uint32_t shift = 0;
  if (m.wParam & kMkShift) shift |= platform::kShiftKey;
  if (m.wParam & kMkControl) shift |= platform::kCtrlKey;
  return shift;
}

bool ButtonOf(uint32_t message, MouseButton* button) {
  switch (message) {
    case platform::kWmLButtonDown:
      *button = MouseButton::Left;
      return true;
    case platform::kWmRButtonDown:
      *button = MouseButton::Right;
      return true;
    case kWmMButtonDown:
      *button = MouseButton::Middle;
      return true;
    default:
      return false;
  }
}

}  // namespace

FakeSaverWindow::FakeSaverWindow(FakeApplication& application, platform::SaverWindowEvents& events)
    : application_(application), events_(events) {
  form_ = application_.AddWindow([this](const Message& m) { FormProcedure(m); });
  panel_ = application_.AddWindow([this](const Message& m) { PanelProcedure(m); });
  flash_ = application_.AddWindow([this](const Message& m) { FlashProcedure(m); });
  button_ = application_.AddWindow([this](const Message& m) { ButtonProcedure(m); });
}

FakeSaverWindow::~FakeSaverWindow() {
  application_.RemoveWindow(form_);
  application_.RemoveWindow(panel_);
  application_.RemoveWindow(flash_);
  application_.RemoveWindow(button_);
}

platform::FlashControl& FakeSaverWindow::ShockwaveFlash1() {
  if (!hasFlashControl) throw std::logic_error("the saver window was made without its control");
  return flash;
}

bool FakeSaverWindow::FireRetryTimer() {
  if (retryTimerMs == 0) return false;
  application_.Post({form_, kWmTimer, kRetryTimerId});
  return true;
}

void FakeSaverWindow::Show() {
  if (visible) return;  // already shown and active: no new activation
  visible = true;
  if (beforeShow) beforeShow();
  Activate();
}

void FakeSaverWindow::Activate() {
  ++activations;
  events_.FormActivate();
}

void FakeSaverWindow::Close() {
  ++closes;
  events_.FormClose();
  application_.Terminate();  // the main window's close ends the application
}

bool FakeSaverWindow::KeyPreview(const Message& m) {
  if (m.message != platform::kWmKeyDown) return false;
  events_.FormKeyDown(static_cast<uint16_t>(m.wParam), 0);
  return true;
}

void FakeSaverWindow::FormProcedure(const Message& m) {
  if (KeyPreview(m)) return;
  MouseButton button;
  if (m.message == platform::kWmMouseMove) {
    events_.FormMouseMove(MouseShift(m), MouseX(m), MouseY(m));
  } else if (ButtonOf(m.message, &button)) {
    events_.FormMouseDown(button, MouseShift(m), MouseX(m), MouseY(m));
  } else if (m.message == platform::kWmUser + 1) {
    events_.WMUser1();
  } else if (m.message == platform::kWmUser + 2) {
    events_.WMUser2();
  } else if (m.message == kWmClose) {
    Close();
  } else if (m.message == kWmTimer && m.wParam == kRetryTimerId && retryTimerMs != 0) {
    events_.TimerRetryTimer();
  }
}

void FakeSaverWindow::PanelProcedure(const Message& m) {
  if (KeyPreview(m)) return;
  MouseButton button;
  if (m.message == platform::kWmMouseMove) {
    events_.Panel1MouseMove(MouseShift(m), MouseX(m), MouseY(m));
  } else if (ButtonOf(m.message, &button)) {
    events_.Panel1MouseDown(button, MouseShift(m), MouseX(m), MouseY(m));
  }
}

void FakeSaverWindow::FlashProcedure(const Message& m) {
  if (m.message == kWmTimer) {
    flash.Advance(1);
    return;
  }
  // Keys are previewed by the window; mouse input over the movie belongs to the movie.
  if (KeyPreview(m)) return;
  MouseButton button;
  if (m.message == platform::kWmMouseMove || ButtonOf(m.message, &button)) ++flash.inputMessages;
}

void FakeSaverWindow::ButtonProcedure(const Message& m) {
  if (KeyPreview(m)) return;
  if (m.message == kBmClick) events_.ButtonCloseClick();
}

void InstallFakeSaverWindow(FakeApplication& application, FakeSaverWindow** window,
                            std::function<void(FakeSaverWindow&)> prepare,
                            int32_t controlFailure) {
  application.saverWindowFactory = [&application, window, prepare, controlFailure](
                                       platform::SaverWindowEvents& events, bool withControl) {
    if (withControl && controlFailure != 0) {
      throw EOleSysError("クラスが登録されていません", controlFailure);
    }
    auto created = std::make_unique<FakeSaverWindow>(application, events);
    created->hasFlashControl = withControl;
    *window = created.get();
    if (prepare) prepare(*created);
    return std::unique_ptr<platform::SaverWindow>(std::move(created));
  };
}

}  // namespace swfsaver::fakes
