// The application framework on Win32: the message loop, the owner window that carries the
// taskbar button, message boxes, and the routing of errors that escape an event handler.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/Application.h"

namespace swfsaver::win32 {

// A window that takes part in the loop: it sees each message after the application's hook
// and before translate and dispatch (accelerators of a hosted control, focus navigation, key
// preview), and returns true when it consumed the message.
class MessageFilter {
 public:
  virtual ~MessageFilter() = default;
  virtual bool PreTranslateMessage(MSG& message) = 0;
};

class Win32Application : public platform::Application {
 public:
  Win32Application();
  ~Win32Application() override;

  // The one instance of the process, for window procedures.
  static Win32Application& Current();

  void Initialize(const std::string& title) override;
  void SetHandler(platform::ApplicationHandler* handler) override { handler_ = handler; }
  void Run() override;
  void Terminate() override;
  void ShowMessageBox(const std::string& caption, const std::string& text,
                      platform::MessageBoxKind kind) override;
  std::unique_ptr<platform::SaverWindow> CreateSaverWindow(platform::SaverWindowEvents& events,
                                                          bool withFlashControl) override;
  std::unique_ptr<platform::SettingsDialog> CreateSettingsDialog(
      platform::SettingsDialogEvents& events) override;

  // The owner of the program's windows: a top-level window without extent that carries the
  // taskbar button. Created by Initialize (or on first use), shown with the first window.
  HWND OwnerWindow();
  // ShowWindow(owner, SW_HIDE); a button not shown yet is never shown.
  void HideOwnerWindow();
  void AddMessageFilter(MessageFilter* filter);
  void RemoveMessageFilter(MessageFilter* filter);
  // Reports an error that escaped an event handler (the default error report); the loop and
  // the window procedure go on.
  void HandleException(const std::exception& error);

  // Runs an event handler of the portable logic from a window procedure: an escaping error is
  // reported, never thrown through the system's frames.
  template <typename F>
  void CallHandler(F&& handler) {
    try {
      handler();
    } catch (const std::exception& error) {
      HandleException(error);
    }
  }

 private:
  bool ProcessMessage(MSG& message);  // false when WM_QUIT was removed
  bool Idle();  // the idle step; false when it asks to run again without sleeping
  void ShowOwnerWindow();

  platform::ApplicationHandler* handler_ = nullptr;
  HWND owner_ = nullptr;
  std::vector<MessageFilter*> filters_;
  std::string title_;  // ANSI
  bool comInitialized_ = false;
  bool ownerButtonPending_ = false;  // a window was made; its taskbar button shows with the loop
};

}  // namespace swfsaver::win32
