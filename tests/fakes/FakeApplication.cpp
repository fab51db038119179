#include "tests/fakes/FakeApplication.h"

#include <stdexcept>

#include "platform/SaverWindow.h"
#include "platform/SettingsDialog.h"

namespace swfsaver::fakes {

using platform::Message;

template <typename F>
void FakeApplication::Guarded(F&& call) {
  try {
    call();
  } catch (const std::exception& error) {
    if (handler_ == nullptr) throw;
    handler_->OnException(error);
  }
}

void FakeApplication::ShowMessageBox(const std::string& caption, const std::string& text,
                                     platform::MessageBoxKind kind) {
  messageBoxes.push_back({caption, text, kind});
  if (onMessageBox) onMessageBox(messageBoxes.back());
}

std::unique_ptr<platform::SaverWindow> FakeApplication::CreateSaverWindow(
    platform::SaverWindowEvents& events, bool withFlashControl) {
  if (!saverWindowFactory) throw std::logic_error("this test provides no saver window");
  return saverWindowFactory(events, withFlashControl);
}

std::unique_ptr<platform::SettingsDialog> FakeApplication::CreateSettingsDialog(
    platform::SettingsDialogEvents& events) {
  if (!settingsDialogFactory) throw std::logic_error("this test provides no settings dialog");
  return settingsDialogFactory(events);
}

std::uintptr_t FakeApplication::AddWindow(std::function<void(const Message&)> procedure) {
  std::uintptr_t window = nextWindow_++;
  windows_[window] = std::move(procedure);
  return window;
}

// The window procedure reports what its handler raises, as the real one does, and the sender
// goes on.
void FakeApplication::Send(const Message& message) {
  Guarded([&] { Dispatch(message); });
}

void FakeApplication::Dispatch(const Message& message) {
  auto it = windows_.find(message.window);
  if (it == windows_.end()) return;  // a window that is gone takes nothing
  dispatched.push_back(message);
  auto procedure = it->second;  // the procedure may remove its own window
  procedure(message);
}

bool FakeApplication::Step(bool& wouldSleep) {
  wouldSleep = false;
  if (!queue_.empty()) {
    Message message = queue_.front();
    queue_.pop_front();
    idleDone_ = false;
    hooked.push_back(message);
    bool handled = false;
    if (handler_ != nullptr) Guarded([&] { handler_->OnMessage(message, handled); });
    if (!handled) Guarded([&] { Dispatch(message); });
    return true;
  }
  if (quitPosted_) {
    quitPosted_ = false;
    return false;
  }
  if (!idleDone_) {
    idleDone_ = true;
    ++idleCount;
    bool done = true;
    if (handler_ != nullptr) Guarded([&] { handler_->OnIdle(done); });
    if (!done) idleDone_ = false;  // asked to be called again without sleeping
    return true;
  }
  wouldSleep = true;
  return true;
}

void FakeApplication::Run() {
  ++runCount;
  bool wouldSleep = false;
  while (Step(wouldSleep)) {
    if (!wouldSleep) continue;
    if (onWait) onWait();
    if (queue_.empty() && !quitPosted_) {
      throw std::logic_error("the message loop would sleep forever: nothing will arrive");
    }
  }
}

bool FakeApplication::RunUntilIdle() {
  bool wouldSleep = false;
  while (Step(wouldSleep)) {
    if (wouldSleep) return true;
  }
  return false;
}

}  // namespace swfsaver::fakes
