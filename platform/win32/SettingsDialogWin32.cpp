#include "platform/win32/SettingsDialogWin32.h"

#include <windows.h>

#include "platform/win32/SettingsControlsWin32.h"
#include "platform/win32/SettingsDialogLayout.h"
#include "platform/win32/Win32Application.h"

namespace swfsaver::win32 {

namespace layout = settings_layout;

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;

class Win32SettingsDialog final : public platform::SettingsDialog, public MessageFilter {
 public:
  Win32SettingsDialog(Win32Application& application, platform::SettingsDialogEvents& events);
  ~Win32SettingsDialog() override;
  Win32SettingsDialog(const Win32SettingsDialog&) = delete;
  Win32SettingsDialog& operator=(const Win32SettingsDialog&) = delete;

  platform::ListBox& ListBoxMovie() override { return listBox_; }
  platform::CheckBox& CheckBoxExpansion() override { return checkBox_; }
  platform::Label& LabelFileName() override { return labelFileName_; }
  platform::OpenDialog& OpenDialog1() override { return openDialog_; }
  void Show() override;
  void Close() override;

  bool PreTranslateMessage(MSG& message) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  Win32Application& application_;
  platform::SettingsDialogEvents& events_;
  HWND window_ = nullptr;
  Win32ListBox listBox_;
  Win32CheckBox checkBox_;
  Win32Label labelFileName_;
  Win32OpenDialog openDialog_;
};

void RegisterFormClass() {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), layout::kWindowClass, &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = layout::kWindowClass;
  RegisterClassExW(&windowClass);
}

Win32SettingsDialog::Win32SettingsDialog(Win32Application& application,
                                         platform::SettingsDialogEvents& events)
    : application_(application), events_(events) {
  RegisterFormClass();
  RECT frame{0, 0, layout::kClientWidth, layout::kClientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  window_ = CreateWindowExW(kFormExStyle, layout::kWindowClass, layout::kCaption, kFormStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, application.OwnerWindow(), nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  application_.AddMessageFilter(this);
}

Win32SettingsDialog::~Win32SettingsDialog() {
  application_.RemoveMessageFilter(this);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

void Win32SettingsDialog::Show() {
  application_.CallHandler([&] { events_.FormShow(); });
  ShowWindow(window_, SW_SHOW);
}

void Win32SettingsDialog::Close() { application_.Terminate(); }

bool Win32SettingsDialog::PreTranslateMessage(MSG&) { return false; }

LRESULT CALLBACK Win32SettingsDialog::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  auto* self = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    application_.CallHandler([&] { Close(); });
    return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace

std::unique_ptr<platform::SettingsDialog> CreateWin32SettingsDialog(
    Win32Application& application, platform::SettingsDialogEvents& events) {
  return std::make_unique<Win32SettingsDialog>(application, events);
}

}  // namespace swfsaver::win32
