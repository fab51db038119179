#include "platform/win32/Win32SettingsDialog.h"

#include "platform/win32/WindowsApi.h"
#include <windowsx.h>

#include "platform/Exceptions.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32SettingsDialogPaint.h"
#include "platform/win32/Win32WindowClass.h"

namespace swfsaver::win32 {

namespace {

// A single fixed border, only the system menu and its close box.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = 0;
constexpr const char* kCannotCreateWindow = "ウィンドウを作成できません";

}  // namespace

Win32SettingsDialog::Win32SettingsDialog(Win32Application& application,
                                         platform::SettingsDialogEvents& events)
    : application_(application), events_(events) {
  RegisterWindowClass(layout::kWindowClass, &WindowProc,
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  RECT frame{0, 0, layout::kClientWidth, layout::kClientHeight};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
  CreateWindowExW(kFormExStyle, layout::kWindowClass, layout::kCaption, kFormStyle,
                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                  frame.bottom - frame.top, application.OwnerWindow(), nullptr,
                  GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) throw Exception(kCannotCreateWindow);
  font_ = CreateFontW(-layout::kFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                      SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, layout::kFontFace);
  try {
    CreateControls();
  } catch (...) {
    DestroyWindow(window_);
    DeleteObject(font_);
    throw;
  }
  CreatePopupMenu1();
  openDialog_.SetOwner(window_);
  application_.AddMessageFilter(this);
}

Win32SettingsDialog::~Win32SettingsDialog() {
  application_.RemoveMessageFilter(this);
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);  // no handler runs while the window goes
  DestroyWindow(window_);
  DestroyMenu(popupMenu1_);
  DeleteObject(font_);
}

void Win32SettingsDialog::CreateControls() {
  HWND groupBox = nullptr;
  for (const layout::Place& place : layout::kPlaces) {
    HWND control = CreateControl(place, place.inGroupBox ? groupBox : window_);
    switch (place.id) {
      case layout::kGroupBox1: groupBox = control; break;
      case layout::kListBoxMovie: listWindow_ = control; listBox_.Attach(control); break;
      case layout::kCheckBoxExpansion: checkBox_.Attach(control); break;
      case layout::kLabelFileName: labelFileName_.Attach(control); break;
      default: break;
    }
  }
}

HWND Win32SettingsDialog::CreateControl(const layout::Place& place, HWND parent) {
  const wchar_t* windowClass = L"STATIC";
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (place.kind) {
    // Labels keep to one line, clipped at their edges; a file name shows as it is, "&" too.
    case layout::Kind::Label: style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX; break;
    case layout::Kind::RightLabel: style |= SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX; break;
    case layout::Kind::Bevel: style |= SS_OWNERDRAW; break;
    case layout::Kind::Button: windowClass = L"BUTTON"; style |= WS_TABSTOP | BS_PUSHBUTTON; break;
    case layout::Kind::CheckBox:
      windowClass = L"BUTTON";
      style |= WS_TABSTOP | BS_AUTOCHECKBOX;
      break;
    case layout::Kind::GroupBox:
      windowClass = L"BUTTON";
      style |= BS_GROUPBOX | WS_CLIPCHILDREN;
      break;
    case layout::Kind::ListBox: break;
  }
  HWND control;
  if (place.kind == layout::Kind::ListBox) {
    // An ANSI window, so the A messages keep the paths as bytes. Not sorted, one selection,
    // exactly its given height (no integral rows), the selection changes notified.
    control = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              style | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY |
                                  LBS_NOINTEGRALHEIGHT,
                              place.left, place.top, place.width, place.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                              GetModuleHandleW(nullptr), nullptr);
  } else {
    control = CreateWindowExW(0, windowClass, place.caption, style, place.left, place.top,
                              place.width, place.height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)),
                              GetModuleHandleW(nullptr), nullptr);
  }
  if (control == nullptr) throw Exception(kCannotCreateWindow);
  if (place.kind == layout::Kind::GroupBox) PaintGroupBoxFace(control);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // After the font, which would otherwise set the rows to the font's height.
  if (place.kind == layout::Kind::ListBox) {
    SendMessageW(control, LB_SETITEMHEIGHT, 0, layout::kListItemHeight);
  }
  if (place.kind == layout::Kind::Label) FitLabelToCaption(control, place);
  return control;
}

// A caption label is as wide as its text, as it measures in the dialog font on the target
// systems. Where a substitute font sets it wider, the label grows instead of cutting it off;
// it never shrinks below its place.
void Win32SettingsDialog::FitLabelToCaption(HWND label, const layout::Place& place) {
  HDC dc = GetDC(label);
  HGDIOBJ previous = SelectObject(dc, font_);
  SIZE extent{};
  GetTextExtentPoint32W(dc, place.caption, lstrlenW(place.caption), &extent);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  if (extent.cx > place.width) {
    SetWindowPos(label, nullptr, 0, 0, extent.cx, place.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void Win32SettingsDialog::CreatePopupMenu1() {
  popupMenu1_ = CreatePopupMenu();
  AppendMenuW(popupMenu1_, MF_STRING, layout::kMenuU1, L"上へ(&U)");
  AppendMenuW(popupMenu1_, MF_STRING, layout::kMenuSita1, L"下へ(&D)");
  AppendMenuW(popupMenu1_, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(popupMenu1_, MF_STRING, layout::kMenuDelete1, L"削除(&X)");
  AppendMenuW(popupMenu1_, MF_STRING, layout::kMenuA1, L"全削除(&A)");
}

void Win32SettingsDialog::Show() {
  RECT frame;
  GetWindowRect(window_, &frame);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // FormShow runs before the window appears, so it opens with the loaded settings.
  Raise(&platform::SettingsDialogEvents::FormShow);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

// The dialog is the main window: closing it ends the loop; the window itself stays until the
// dialog object goes, after the loop.
void Win32SettingsDialog::Close() { application_.Terminate(); }

void Win32SettingsDialog::Raise(Handler handler) {
  application_.CallHandler([&] { (events_.*handler)(); });
}

// Focus navigation as in a dialog, without its default and cancel buttons: Tab and Shift+Tab
// walk the tab order, arrows move on from controls that do not use them, and Enter and Escape
// press nothing.
bool Win32SettingsDialog::PreTranslateMessage(MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_CHAR) return false;
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
  if (GetKeyState(VK_MENU) < 0) return false;
  const bool keyDown = message.message == WM_KEYDOWN;
  switch (message.wParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      if (keyDown) MoveFocus(GetKeyState(VK_SHIFT) < 0);
      return true;
    case VK_RETURN:
    case VK_ESCAPE:
      return true;
    default:
      break;
  }
  if (!keyDown) return false;
  if (message.wParam != VK_LEFT && message.wParam != VK_RIGHT && message.wParam != VK_UP &&
      message.wParam != VK_DOWN) {
    return false;
  }
  LRESULT wants = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                               reinterpret_cast<LPARAM>(&message));
  if (wants & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) return false;
  MoveFocus(message.wParam == VK_LEFT || message.wParam == VK_UP);
  return true;
}

void Win32SettingsDialog::MoveFocus(bool backward) {
  HWND next = GetNextDlgTabItem(window_, GetFocus(), backward ? TRUE : FALSE);
  if (next != nullptr) SetFocus(next);
}

LRESULT CALLBACK Win32SettingsDialog::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32SettingsDialog*>(
        reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32SettingsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT Win32SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0) {
        OnControlCommand(LOWORD(wParam), HIWORD(wParam));
      } else if (HIWORD(wParam) == 0) {
        OnMenuCommand(LOWORD(wParam));
      }
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlID == static_cast<UINT>(layout::kBevel1)) {
        DrawLoweredBevel(item);
        return TRUE;
      }
      break;
    }
    case WM_CLOSE:
      // The close box, the system menu and Alt+F4 close without saving.
      application_.CallHandler([&] { Close(); });
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32SettingsDialog::OnControlCommand(int id, int code) {
  if (id == layout::kListBoxMovie) {
    // Sent for the user's changes only; LB_SETCURSEL from the logic sends nothing.
    if (code == LBN_SELCHANGE) Raise(&platform::SettingsDialogEvents::ListBoxMovieClick);
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case layout::kButtonUp: Raise(&platform::SettingsDialogEvents::ButtonUpClick); break;
    case layout::kButtonDown: Raise(&platform::SettingsDialogEvents::ButtonDownClick); break;
    case layout::kButtonDelete: Raise(&platform::SettingsDialogEvents::ButtonDeleteClick); break;
    case layout::kButtonAllDelete:
      Raise(&platform::SettingsDialogEvents::ButtonAllDeleteClick);
      break;
    case layout::kButtonAdd: Raise(&platform::SettingsDialogEvents::ButtonAddClick); break;
    case layout::kButtonCancel: Raise(&platform::SettingsDialogEvents::ButtonCancelClick); break;
    case layout::kButtonOK: Raise(&platform::SettingsDialogEvents::ButtonOKClick); break;
    default: break;
  }
}

void Win32SettingsDialog::OnMenuCommand(int id) {
  switch (id) {
    case layout::kMenuU1: Raise(&platform::SettingsDialogEvents::U1Click); break;
    case layout::kMenuSita1: Raise(&platform::SettingsDialogEvents::sita1Click); break;
    case layout::kMenuDelete1: Raise(&platform::SettingsDialogEvents::Delete1Click); break;
    case layout::kMenuA1: Raise(&platform::SettingsDialogEvents::A1Click); break;
    default: break;
  }
}

// PopupMenu1 belongs to the list. It acts on the current entry: the entry under the pointer is
// not made current when the menu opens.
void Win32SettingsDialog::OnContextMenu(HWND from, LPARAM position) {
  if (from != listWindow_) return;
  POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  if (position == -1) {  // from the keyboard: at the list's corner
    at = POINT{0, 0};
    ClientToScreen(listWindow_, &at);
  }
  TrackPopupMenu(popupMenu1_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                 window_, nullptr);
}

// A plain window gives the focus to itself when activated; the dialog gives it back to the
// control that had it, or to the first in the tab order.
void Win32SettingsDialog::OnActivate(bool active) {
  if (!active) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window_, focus)) focus_ = focus;
    return;
  }
  if (IsIconic(window_)) return;
  HWND target = focus_ != nullptr ? focus_ : GetNextDlgTabItem(window_, nullptr, FALSE);
  if (target != nullptr) SetFocus(target);
}

std::unique_ptr<platform::SettingsDialog> CreateWin32SettingsDialog(
    Win32Application& application, platform::SettingsDialogEvents& events) {
  return std::make_unique<Win32SettingsDialog>(application, events);
}

}  // namespace swfsaver::win32
