// Keys on their way through the loop, in the framework's order: the hosted control's
// accelerators, then focus navigation between the window's controls, then key preview, which
// gives FormKeyDown every key of the window and its controls and lets it go on to its window.
#include "platform/win32/Win32SaverWindow.h"

namespace swfsaver::win32 {

bool Win32SaverWindow::PreTranslateMessage(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (!IsOwnWindow(message.hwnd)) return false;
  if (flash_ && flash_->TranslateAccelerator(message)) return true;
  if (message.message == WM_KEYDOWN && NavigatesFocus(message)) return true;
  if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) PreviewKey(message);
  return false;
}

bool Win32SaverWindow::IsOwnWindow(HWND window) const {
  return window != nullptr && (window == form_ || IsChild(form_, window));
}

// Tab without Ctrl or Alt, and the arrow keys while a control (not the window itself) has the
// focus, move the focus, unless the focused window takes these keys itself.
bool Win32SaverWindow::NavigatesFocus(const MSG& message) {
  if (GetKeyState(VK_MENU) < 0) return false;
  const bool controlFocused = message.hwnd != form_;
  UINT wanted = 0;
  switch (message.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      wanted = DLGC_WANTTAB;
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (!controlFocused) return false;
      wanted = DLGC_WANTARROWS;
      break;
    default:
      return false;
  }
  const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                    reinterpret_cast<LPARAM>(&message));
  if ((code & wanted) != 0) return false;
  // The control is the window's only visible tab stop, so Tab either way lands on it; the
  // arrows move among the panel's children, where it is alone.
  if (message.wParam == VK_TAB) {
    if (HWND control = flash_ ? flash_->Window() : nullptr) SetFocus(control);
  }
  return true;
}

void Win32SaverWindow::PreviewKey(const MSG& message) {
  uint32_t shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= platform::kShiftKey;
  if (GetKeyState(VK_CONTROL) < 0) shift |= platform::kCtrlKey;
  if ((message.lParam & (1 << 29)) != 0) shift |= platform::kAltKey;  // the context code
  const auto key = static_cast<uint16_t>(message.wParam);
  application_.CallHandler([&] { events_.FormKeyDown(key, shift); });
}

}  // namespace swfsaver::win32
