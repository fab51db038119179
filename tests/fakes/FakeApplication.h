// The application framework in memory: a posted-message queue whose loop runs the hook, then
// dispatches to the window the message is for, and runs the idle step once each time the
// queue has been emptied; the quit request ends the loop once the queue holds nothing else.
// Where the real loop would sleep until the next message, the fake asks the test's onWait
// (standing for the user or another program) and fails loudly if nothing would ever come.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"

namespace swfsaver::fakes {

struct MessageBoxRecord {
  std::string caption;
  std::string text;
  platform::MessageBoxKind kind;
};

class FakeApplication : public platform::Application {
 public:
  void Initialize(const std::string& title) override {
    ++initializeCount;
    initializedTitle = title;
  }
  void SetHandler(platform::ApplicationHandler* handler) override { handler_ = handler; }
  void Run() override;
  void Terminate() override { quitPosted_ = true; ++terminateCount; }
  void ShowMessageBox(const std::string& caption, const std::string& text,
                      platform::MessageBoxKind kind) override;
  std::unique_ptr<platform::SaverWindow> CreateSaverWindow(platform::SaverWindowEvents& events,
                                                          bool withFlashControl) override;
  std::unique_ptr<platform::SettingsDialog> CreateSettingsDialog(
      platform::SettingsDialogEvents& events) override;

  // --- steering ---
  // A window of the fake desktop: gets a handle and the procedure its messages go to.
  std::uintptr_t AddWindow(std::function<void(const platform::Message&)> procedure);
  void RemoveWindow(std::uintptr_t window) { windows_.erase(window); }
  // PostMessage: queued, seen by the hook when the loop removes it.
  void Post(const platform::Message& message) { queue_.push_back(message); }
  // SendMessage: straight to the window's procedure; the hook never sees it. An error the
  // procedure raises is reported through the handler, as on the real loop.
  void Send(const platform::Message& message);
  // Runs the loop until it would sleep with nothing to wait for (true) or until it removed the
  // quit request (false). Does not consult onWait.
  bool RunUntilIdle();
  bool QuitPosted() const { return quitPosted_; }

  std::function<std::unique_ptr<platform::SaverWindow>(platform::SaverWindowEvents&,
                                                      bool withFlashControl)>
      saverWindowFactory;
  std::function<std::unique_ptr<platform::SettingsDialog>(platform::SettingsDialogEvents&)>
      settingsDialogFactory;
  // Called where the real loop would sleep; it should post a message or close a window.
  std::function<void()> onWait;
  // Called while a message box is up (it runs its own loop: no hook, no idle step).
  std::function<void(const MessageBoxRecord&)> onMessageBox;

  // --- inspection ---
  int initializeCount = 0;
  std::string initializedTitle;  // what the last Initialize named the taskbar button
  int terminateCount = 0;
  int idleCount = 0;
  int runCount = 0;
  std::vector<platform::Message> hooked;      // every message the hook saw
  std::vector<platform::Message> dispatched;  // every message that reached a window
  std::vector<MessageBoxRecord> messageBoxes;

 private:
  // One pass: a message, the quit request or an idle step. False once the quit was removed.
  bool Step(bool& wouldSleep);
  void Dispatch(const platform::Message& message);
  template <typename F>
  void Guarded(F&& call);

  platform::ApplicationHandler* handler_ = nullptr;
  std::deque<platform::Message> queue_;
  std::map<std::uintptr_t, std::function<void(const platform::Message&)>> windows_;
  std::uintptr_t nextWindow_ = 0x10000;
  bool quitPosted_ = false;
  bool idleDone_ = false;  // the idle step ran since the last message
};

}  // namespace swfsaver::fakes
