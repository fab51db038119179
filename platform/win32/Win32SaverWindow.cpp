// The saver window's creation, its properties and the procedures of the window and its
// panel. Every event goes into the portable logic through CallHandler, so an error there is
// reported and never thrown through the system's frames.
#include "platform/win32/Win32SaverWindow.h"

#include <windowsx.h>

#include "platform/Exceptions.h"
#include "platform/win32/Text.h"
#include "platform/win32/Win32WindowClass.h"

namespace swfsaver::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"TForm1";
constexpr wchar_t kPanelClass[] = L"TPanel";
constexpr char kCaption[] = "メインのフォーム";
constexpr int kButtonCloseId = 100;
constexpr UINT_PTR kRetryTimerId = 1;

// The form resource's design bounds; FormCreate replaces the window's with the display's.
constexpr RECT kFormDesign = {505, 236, 505 + 499, 236 + 343};
constexpr RECT kPanelDesign = {0, 0, 281, 177};
constexpr RECT kButtonDesign = {304, 8, 304 + 81, 8 + 33};

constexpr UINT kWmUser1 = WM_USER + 1;
constexpr UINT kWmUser2 = WM_USER + 2;

uint32_t MouseShiftState(WPARAM keys) {
  uint32_t shift = 0;
  if ((keys & MK_SHIFT) != 0) shift |= platform::kShiftKey;
  if ((keys & MK_CONTROL) != 0) shift |= platform::kCtrlKey;
  if (GetKeyState(VK_MENU) < 0) shift |= platform::kAltKey;
  return shift;
}

// Handles the creation message of both classes: the window procedure finds its object here.
Win32SaverWindow* Attach(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<Win32SaverWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void FillWithBrush(HWND window, HDC context, HBRUSH brush) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(context, &client, brush);
}

[[noreturn]] void ThrowLastError(const char* what) {
  throw Exception(std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

}  // namespace

std::unique_ptr<platform::SaverWindow> CreateWin32SaverWindow(
    Win32Application& application, platform::SaverWindowEvents& events, bool withFlashControl) {
  return std::make_unique<Win32SaverWindow>(application, events, withFlashControl);
}

Win32SaverWindow::Win32SaverWindow(Win32Application& application, platform::SaverWindowEvents& events,
                                   bool withFlashControl)
    : application_(application), events_(events) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterWindowClass(kFormClass, FormProcedure);
  RegisterWindowClass(kPanelClass, PanelProcedure);
  panelBrush_ = CreateSolidBrush(RGB(0, 0, 0));
  try {
    form_ = CreateWindowExW(0, kFormClass, Utf8ToWide(kCaption).c_str(),
                            WS_POPUP | WS_CLIPCHILDREN, kFormDesign.left, kFormDesign.top,
                            kFormDesign.right - kFormDesign.left,
                            kFormDesign.bottom - kFormDesign.top, application.OwnerWindow(),
                            nullptr, instance, this);
    if (form_ == nullptr) ThrowLastError("The saver window cannot be created");
    panel_ = CreateWindowExW(0, kPanelClass, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             kPanelDesign.left, kPanelDesign.top, kPanelDesign.right,
                             kPanelDesign.bottom, form_, nullptr, instance, this);
    if (panel_ == nullptr) ThrowLastError("The saver window's panel cannot be created");
    button_ = CreateWindowExW(0, L"BUTTON", L"Close",
                              WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | BS_PUSHBUTTON,
                              kButtonDesign.left, kButtonDesign.top,
                              kButtonDesign.right - kButtonDesign.left,
                              kButtonDesign.bottom - kButtonDesign.top, form_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonCloseId)),
                              instance, nullptr);
    if (button_ == nullptr) ThrowLastError("The saver window's button cannot be created");
    if (withFlashControl) flash_ = std::make_unique<Win32FlashControl>(panel_, form_);
  } catch (...) {
    DestroyWindows();
    DeleteObject(panelBrush_);
    throw;
  }
  application_.AddMessageFilter(this);
}

Win32SaverWindow::~Win32SaverWindow() {
  application_.RemoveMessageFilter(this);
  flash_.reset();  // the control goes while its windows still exist
  DestroyWindows();
  if (formBrush_ != nullptr) DeleteObject(formBrush_);
  DeleteObject(panelBrush_);
}

void Win32SaverWindow::DestroyWindows() {
  // No procedure may reach this object once it is going.
  for (HWND window : {form_, panel_}) {
    if (window != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  }
  if (form_ != nullptr) {
    KillTimer(form_, kRetryTimerId);
    DestroyWindow(form_);
  }
  form_ = panel_ = button_ = nullptr;
}

platform::FlashControl& Win32SaverWindow::ShockwaveFlash1() {
  if (!flash_) throw Exception("The saver window has no Flash control");
  return *flash_;
}

// The logic gives colours as 0xRRGGBB.
void Win32SaverWindow::SetColor(uint32_t rgb) {
  const HBRUSH brush = CreateSolidBrush(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
  if (formBrush_ != nullptr) DeleteObject(formBrush_);
  formBrush_ = brush;
  InvalidateRect(form_, nullptr, TRUE);
}

void Win32SaverWindow::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  SetWindowPos(form_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32SaverWindow::SetPanelVisible(bool visible) {
  ShowWindow(panel_, visible ? SW_SHOW : SW_HIDE);
}

void Win32SaverWindow::AlignPanelToClient() {
  panelAligned_ = true;
  FillPanel();
}

void Win32SaverWindow::FillPanel() {
  RECT client{};
  GetClientRect(form_, &client);
  SetWindowPos(panel_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Showing the window activates it; the activation, and FormActivate with it, runs inside.
void Win32SaverWindow::Show() {
  ShowWindow(form_, SW_SHOW);
  UpdateWindow(form_);
}

// The framework's close of the main window: FormClose, then the application terminates. The
// window stays until the loop has ended.
void Win32SaverWindow::Close() {
  events_.FormClose();
  application_.Terminate();
}

// Setting the timer again restarts its interval.
void Win32SaverWindow::SetRetryTimer(uint32_t intervalMs) {
  if (intervalMs == 0) {
    KillTimer(form_, kRetryTimerId);
  } else if (SetTimer(form_, kRetryTimerId, intervalMs, nullptr) == 0) {
    ThrowLastError("The saver window's timer cannot be set");
  }
}

LRESULT CALLBACK Win32SaverWindow::FormProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  Win32SaverWindow* self = Attach(window, message, lParam);
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) self->form_ = window;
  return self->OnFormMessage(message, wParam, lParam);
}

LRESULT CALLBACK Win32SaverWindow::PanelProcedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  Win32SaverWindow* self = Attach(window, message, lParam);
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCCREATE) self->panel_ = window;
  return self->OnPanelMessage(message, wParam, lParam);
}

LRESULT Win32SaverWindow::OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        const LRESULT result = DefWindowProcW(form_, message, wParam, lParam);
        application_.CallHandler([this] { events_.FormActivate(); });
        return result;
      }
      break;
    case WM_CLOSE:
      application_.CallHandler([this] { Close(); });
      return 0;
    case WM_ERASEBKGND: {
      const HBRUSH brush = formBrush_ != nullptr ? formBrush_ : GetSysColorBrush(COLOR_BTNFACE);
      FillWithBrush(form_, reinterpret_cast<HDC>(wParam), brush);
      return 1;
    }
    case WM_SIZE:
      if (panelAligned_) FillPanel();
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kButtonCloseId && HIWORD(wParam) == BN_CLICKED &&
          reinterpret_cast<HWND>(lParam) == button_) {
        application_.CallHandler([this] { events_.ButtonCloseClick(); });
        return 0;
      }
      break;
    case kWmUser1:
      application_.CallHandler([this] { events_.WMUser1(); });
      return 0;
    case kWmUser2:
      application_.CallHandler([this] { events_.WMUser2(); });
      return 0;
    case WM_TIMER:
      if (wParam == kRetryTimerId) {
        application_.CallHandler([this] { events_.TimerRetryTimer(); });
        return 0;
      }
      break;
    default:
      if (OnMouseMessage(message, wParam, lParam, false)) return 0;
      break;
  }
  return DefWindowProcW(form_, message, wParam, lParam);
}

LRESULT Win32SaverWindow::OnPanelMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      FillWithBrush(panel_, reinterpret_cast<HDC>(wParam), panelBrush_);
      return 1;
    case WM_SIZE:
      if (flash_) application_.CallHandler([this] { flash_->PanelResized(); });
      break;
    default:
      if (OnMouseMessage(message, wParam, lParam, true)) return 0;
      break;
  }
  return DefWindowProcW(panel_, message, wParam, lParam);
}

// Mouse input on the window's own surface or on the panel; input over the control's window
// goes to the control and never comes here.
bool Win32SaverWindow::OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, bool panel) {
  const int32_t x = GET_X_LPARAM(lParam);
  const int32_t y = GET_Y_LPARAM(lParam);
  const uint32_t shift = MouseShiftState(wParam);
  platform::MouseButton button;
  switch (message) {
    case WM_MOUSEMOVE:
      application_.CallHandler([&] {
        if (panel) {
          events_.Panel1MouseMove(shift, x, y);
        } else {
          events_.FormMouseMove(shift, x, y);
        }
      });
      return true;
    case WM_LBUTTONDOWN:
      button = platform::MouseButton::Left;
      break;
    case WM_RBUTTONDOWN:
      button = platform::MouseButton::Right;
      break;
    case WM_MBUTTONDOWN:
      button = platform::MouseButton::Middle;
      break;
    default:
      return false;
  }
  application_.CallHandler([&] {
    if (panel) {
      events_.Panel1MouseDown(button, shift, x, y);
    } else {
      events_.FormMouseDown(button, shift, x, y);
    }
  });
  return true;
}

}  // namespace swfsaver::win32
