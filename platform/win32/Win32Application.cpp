#include "platform/win32/Win32Application.h"

#include <objbase.h>

#include <algorithm>

#include "platform/win32/Text.h"
#include "platform/win32/Win32WindowClass.h"
#include "platform/win32/Win32SaverWindow.h"
#include "platform/win32/Win32SettingsDialog.h"

namespace swfsaver::win32 {
namespace {

Win32Application* currentApplication = nullptr;

constexpr wchar_t kOwnerWindowClass[] = L"SwfSaverApplication";

platform::Message ToMessage(const MSG& message) {
  return {reinterpret_cast<std::uintptr_t>(message.hwnd), message.message, message.wParam,
          message.lParam};
}

// The owner window never closes on its own: a close from its taskbar button goes to the
// program's window, whose close ends the application as usual.
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    HWND popup = GetLastActivePopup(window);
    if (popup != nullptr && popup != window) PostMessageW(popup, WM_CLOSE, 0, 0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

Win32Application::Win32Application() { currentApplication = this; }

Win32Application::~Win32Application() {
  if (owner_ != nullptr) DestroyWindow(owner_);
  if (comInitialized_) CoUninitialize();
  if (currentApplication == this) currentApplication = nullptr;
}

Win32Application& Win32Application::Current() { return *currentApplication; }

void Win32Application::Initialize(const std::string& title) {
  title_ = title;
  if (!comInitialized_) comInitialized_ = SUCCEEDED(CoInitialize(nullptr));
  OwnerWindow();
}

void Win32Application::ShowOwnerWindow() {
  // Without extent it shows nothing but the program's taskbar button. It appears when the loop
  // starts for the program's window, so a run that makes none (the preview) shows no button,
  // and one that hid it before (the saver) never shows it: hiding a window that was shown costs
  // a visible delay on some window systems (2 s under Wine without a window manager).
  if (!ownerButtonPending_) return;
  ownerButtonPending_ = false;
  ShowWindow(OwnerWindow(), SW_SHOWNA);
}

void Win32Application::HideOwnerWindow() {
  ownerButtonPending_ = false;
  if (IsWindowVisible(OwnerWindow())) ShowWindow(OwnerWindow(), SW_HIDE);
}

HWND Win32Application::OwnerWindow() {
  if (owner_ != nullptr) return owner_;
  RegisterWindowClass(kOwnerWindowClass, OwnerWindowProc);
  owner_ = CreateWindowExW(0, kOwnerWindowClass, AnsiToWide(title_).c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                           0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return owner_;
}

void Win32Application::AddMessageFilter(MessageFilter* filter) {
  if (std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) {
    filters_.push_back(filter);
  }
}

void Win32Application::RemoveMessageFilter(MessageFilter* filter) {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void Win32Application::Run() {
  ShowOwnerWindow();
  MSG message;
  for (;;) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      // The queue is empty: the idle step runs once, then the thread sleeps until the next
      // message and takes it in the same call (one trip to the system instead of two).
      if (!Idle()) continue;
      if (GetMessageW(&message, nullptr, 0, 0) == -1) continue;
    }
    if (!ProcessMessage(message)) return;
  }
}

bool Win32Application::ProcessMessage(MSG& message) {
  if (message.message == WM_QUIT) return false;
  try {
    bool handled = false;
    if (handler_ != nullptr) handler_->OnMessage(ToMessage(message), handled);
    if (handled) return true;
    // A filter may remove itself or another (its window closed) while the list is walked.
    const std::vector<MessageFilter*> filters = filters_;
    for (MessageFilter* filter : filters) {
      if (std::find(filters_.begin(), filters_.end(), filter) == filters_.end()) continue;
      if (filter->PreTranslateMessage(message)) return true;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  } catch (const std::exception& error) {
    // As in the framework, a message whose handling raised is not handled any further.
    HandleException(error);
  }
  return true;
}

bool Win32Application::Idle() {
  bool done = true;
  if (handler_ != nullptr) {
    try {
      handler_->OnIdle(done);
    } catch (const std::exception& error) {
      HandleException(error);
    }
  }
  return done;
}

void Win32Application::Terminate() { PostQuitMessage(0); }

void Win32Application::ShowMessageBox(const std::string& caption, const std::string& text,
                                      platform::MessageBoxKind kind) {
  UINT style = MB_OK;
  HWND owner = GetActiveWindow();
  switch (kind) {
    case platform::MessageBoxKind::Information:
      style |= MB_APPLMODAL;
      break;
    case platform::MessageBoxKind::Error:
      style |= MB_ICONSTOP | MB_APPLMODAL;
      break;
    case platform::MessageBoxKind::TaskModalError:
      // Task-modal boxes have no owner; the system disables every window of the thread.
      style |= MB_ICONSTOP | MB_TASKMODAL;
      owner = nullptr;
      break;
  }
  // The system centres a message box on the screen of its owner (the primary display when it
  // has none).
  MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(), style);
}

void Win32Application::HandleException(const std::exception& error) {
  if (handler_ != nullptr) {
    handler_->OnException(error);
    return;
  }
  ShowMessageBox("", error.what(), platform::MessageBoxKind::Error);
}

std::unique_ptr<platform::SaverWindow> Win32Application::CreateSaverWindow(
    platform::SaverWindowEvents& events, bool withFlashControl) {
  ownerButtonPending_ = true;
  return CreateWin32SaverWindow(*this, events, withFlashControl);
}

std::unique_ptr<platform::SettingsDialog> Win32Application::CreateSettingsDialog(
    platform::SettingsDialogEvents& events) {
  ownerButtonPending_ = true;
  return CreateWin32SettingsDialog(*this, events);
}

}  // namespace swfsaver::win32
