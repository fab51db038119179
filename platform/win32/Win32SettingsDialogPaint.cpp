#include "platform/win32/Win32SettingsDialogPaint.h"

namespace swfsaver::win32 {

namespace {

constexpr const wchar_t* kOriginalProcProperty = L"SwfSaverOriginalProc";

LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetPropW(window, kOriginalProcProperty));
  switch (message) {
    case WM_ERASEBKGND: {
      RECT face;
      GetClientRect(window, &face);
      FillRect(reinterpret_cast<HDC>(wParam), &face, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropW(window, kOriginalProcProperty);
      break;
    default:
      break;
  }
  return CallWindowProcW(original, window, message, wParam, lParam);
}

}  // namespace

void DrawLoweredBevel(const DRAWITEMSTRUCT& item) {
  const RECT& r = item.rcItem;
  HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
  HBRUSH light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
  // Top and left edges in shadow, bottom and right edges in light.
  RECT top{r.left, r.top, r.right - 1, r.top + 1};
  RECT topEnd{r.right - 1, r.top, r.right, r.top + 1};
  RECT bottomStart{r.left, r.bottom - 1, r.left + 1, r.bottom};
  RECT bottom{r.left + 1, r.bottom - 1, r.right, r.bottom};
  FillRect(item.hDC, &top, shadow);
  FillRect(item.hDC, &topEnd, light);
  FillRect(item.hDC, &bottomStart, shadow);
  FillRect(item.hDC, &bottom, light);
}

void PaintGroupBoxFace(HWND groupBox) {
  SetPropW(groupBox, kOriginalProcProperty,
           reinterpret_cast<HANDLE>(GetWindowLongPtrW(groupBox, GWLP_WNDPROC)));
  SetWindowLongPtrW(groupBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GroupBoxProc));
}

}  // namespace swfsaver::win32
