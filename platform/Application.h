// The application framework: message loop with an application-wide message hook and an idle
// notification, the quit request, modal message boxes and the creation of the two windows.
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>

namespace swfsaver::platform {

class SaverWindow;
class SaverWindowEvents;
class SettingsDialog;
class SettingsDialogEvents;

inline constexpr uint32_t kWmMouseMove = 0x200;
inline constexpr uint32_t kWmLButtonDown = 0x201;
inline constexpr uint32_t kWmRButtonDown = 0x204;
inline constexpr uint32_t kWmKeyDown = 0x100;
inline constexpr uint32_t kWmUser = 0x400;

// A message as the loop removes it from the thread's queue.
struct Message {
  std::uintptr_t window = 0;
  uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// What the loop calls back into; the portable application object implements it.
class ApplicationHandler {
 public:
  virtual ~ApplicationHandler() = default;
  // Sees every message the loop removes, before translate and dispatch; a message marked
  // handled is dropped.
  virtual void OnMessage(const Message& message, bool& handled) = 0;
  // Runs once each time the queue has been emptied; done stays true to let the thread sleep
  // until the next message.
  virtual void OnIdle(bool& done) = 0;
  // An exception escaped an event handler; the loop goes on afterwards.
  virtual void OnException(const std::exception& error) = 0;
};

enum class MessageBoxKind {
  Information,     // no icon, OK, application-modal, centred on the screen
  Error,           // stop icon, OK (the default error report)
  TaskModalError,  // stop icon, OK, task-modal (the last-chance report)
};

class Application {
 public:
  virtual ~Application() = default;

  // CoInitialize(nullptr) for the main thread; title (ANSI) names the program's taskbar button.
  virtual void Initialize(const std::string& title) = 0;
  virtual void SetHandler(ApplicationHandler* handler) = 0;
  // Runs the message loop until the quit request is removed from the queue.
  virtual void Run() = 0;
  // PostQuitMessage(0): the loop ends once it removes the request.
  virtual void Terminate() = 0;
  // A modal message box; caption and text are UTF-8. Returns when dismissed.
  virtual void ShowMessageBox(const std::string& caption, const std::string& text,
                              MessageBoxKind kind) = 0;

  // Creates the saver window with its child components (the Flash control among them, unless
  // withFlashControl is false: then the panel stays empty); raises when a component cannot be
  // created. The window is not yet visible.
  virtual std::unique_ptr<SaverWindow> CreateSaverWindow(SaverWindowEvents& events,
                                                         bool withFlashControl) = 0;
  // Creates the settings dialog with its controls; not yet visible.
  virtual std::unique_ptr<SettingsDialog> CreateSettingsDialog(SettingsDialogEvents& events) = 0;
};

}  // namespace swfsaver::platform
