// The settings dialog's window under Wine, driven by its controls with a recorder in place of
// the dialog logic: where each control stands, the form's frame and font, the tab order, Enter
// and Escape pressing nothing, the list's context menu, and which user actions raise which
// event.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/win32/Win32SettingsDialog.h"
#include "platform/win32/Win32SettingsDialogLayout.h"

namespace swfsaver {
namespace {

namespace layout = win32::settings_layout;
using Strings = std::vector<std::string>;

class Recorder : public platform::SettingsDialogEvents {
 public:
  void FormShow() override { events.push_back("FormShow"); }
  void ListBoxMovieClick() override { events.push_back("ListBoxMovieClick"); }
  void ButtonUpClick() override { events.push_back("ButtonUpClick"); }
  void ButtonDownClick() override { events.push_back("ButtonDownClick"); }
  void ButtonDeleteClick() override { events.push_back("ButtonDeleteClick"); }
  void ButtonAllDeleteClick() override { events.push_back("ButtonAllDeleteClick"); }
  void ButtonAddClick() override { events.push_back("ButtonAddClick"); }
  void ButtonCancelClick() override { events.push_back("ButtonCancelClick"); }
  void ButtonOKClick() override { events.push_back("ButtonOKClick"); }
  void U1Click() override { events.push_back("U1Click"); }
  void sita1Click() override { events.push_back("sita1Click"); }
  void Delete1Click() override { events.push_back("Delete1Click"); }
  void A1Click() override { events.push_back("A1Click"); }
  Strings events;
};

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

class DialogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = win32::CreateWin32SettingsDialog(system_.application, recorder_);
    dialog_->Show();
    form_ = FindWindowW(layout::kWindowClass, layout::kCaption);
    ASSERT_NE(form_, nullptr);
    list_ = Control(layout::kListBoxMovie);
  }

  HWND Control(int id) {
    HWND control = GetDlgItem(form_, id);
    return control != nullptr ? control : GetDlgItem(GetDlgItem(form_, layout::kGroupBox1), id);
  }
  int FocusedId() { return GetDlgCtrlID(GetFocus()); }
  // Lets the application's loop handle what has been posted, then stop it.
  void Pump() {
    PostQuitMessage(0);
    system_.application.Run();
  }
  bool TakeQuit() {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  }
  void PressKey(WPARAM key, bool shift = false) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB) {
      PostMessageW(GetFocus(), WM_CHAR, key, 1);
    }
    Pump();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  void AddItems(const Strings& items) {
    for (const std::string& item : items) dialog_->ListBoxMovie().Add(item);
  }
  POINT ItemCentre(int index) {
    RECT item{};
    SendMessageW(list_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    return POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  }

  win32::Win32Platform system_;
  Recorder recorder_;
  std::unique_ptr<platform::SettingsDialog> dialog_;
  HWND form_ = nullptr;
  HWND list_ = nullptr;
};

TEST_F(DialogWindowTest, TheFormIsAFixedCentredWindowWithOnlyTheCloseBox) {
  RECT client{};
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, 313);
  EXPECT_EQ(client.bottom, 297);
  EXPECT_EQ(WindowText(form_), L"設定");
  LONG style = GetWindowLongW(form_, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  EXPECT_TRUE(IsWindowVisible(form_));
  RECT frame{};
  GetWindowRect(form_, &frame);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
  EXPECT_EQ(GetClassLongPtrW(form_, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  EXPECT_EQ(GetWindow(form_, GW_OWNER), system_.application.OwnerWindow());
  EXPECT_EQ(recorder_.events, Strings{"FormShow"});
}

struct Expected {
  int id;
  const wchar_t* caption;  // nullptr: not compared
  int left, top, width, height;
};

// Positions within the client area, or within GroupBox1 for Label3 and Label1.
constexpr Expected kExpected[] = {
    {layout::kLabel2, L"SWFファイルリスト", 8, 8, 97, 12},
    {layout::kLabelFileName, L"", 104, 8, 201, 12},
    {layout::kListBoxMovie, nullptr, 8, 24, 297, 137},
    {layout::kButtonUp, L"上へ", 8, 168, 49, 25},
    {layout::kButtonDown, L"下へ", 64, 168, 49, 25},
    {layout::kButtonDelete, L"削除", 120, 168, 49, 25},
    {layout::kButtonAllDelete, L"全削除", 176, 168, 49, 25},
    {layout::kButtonAdd, L"追加", 232, 168, 73, 25},
    {layout::kBevel1, nullptr, 8, 200, 297, 2},
    {layout::kCheckBoxExpansion, L"画面サイズにあわせる", 8, 208, 137, 17},
    {layout::kButtonCancel, L"Cancel", 152, 208, 73, 25},
    {layout::kButtonOK, L"OK", 232, 208, 73, 25},
    {layout::kGroupBox1, L"", 8, 240, 297, 49},
    {layout::kLabel3, L"Version 1.0 Build 2002.10.08", 8, 13, 143, 12},
    {layout::kLabel1, nullptr, 8, 29, 195, 12},
};

bool IsCaptionLabel(int id) {
  return id == layout::kLabel2 || id == layout::kLabel3 || id == layout::kLabel1;
}

// A caption label grows to its text where the font at hand sets it wider than on the target
// systems; every other control keeps its size.
int CaptionWidth(HWND control, const Expected& expected) {
  if (!IsCaptionLabel(expected.id)) return 0;
  wchar_t text[128] = {};
  int length = GetWindowTextW(control, text, 128);
  HDC dc = GetDC(control);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text, length, &extent);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return extent.cx;
}

TEST_F(DialogWindowTest, EveryControlStandsAtItsPlaceWithItsCaptionAndTheDialogFont) {
  HWND groupBox = Control(layout::kGroupBox1);
  for (const Expected& expected : kExpected) {
    SCOPED_TRACE(expected.id);
    HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    HWND parent = GetParent(control);
    bool inGroupBox = expected.id == layout::kLabel3 || expected.id == layout::kLabel1;
    EXPECT_EQ(parent, inGroupBox ? groupBox : form_);
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right - r.left, std::max(expected.width, CaptionWidth(control, expected)));
    EXPECT_EQ(r.bottom - r.top, expected.height);
    if (expected.caption != nullptr) {
      EXPECT_EQ(WindowText(control), expected.caption);
    }
    if (expected.id == layout::kBevel1) continue;
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_NE(handle, nullptr);
    GetObjectW(handle, sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック");
  }
  EXPECT_TRUE(WindowText(Control(layout::kLabel1)).starts_with(L"SwfSaver"));
  // The file name is right-aligned, its right edge flush with the list's.
  EXPECT_TRUE(GetWindowLongW(Control(layout::kLabelFileName), GWL_STYLE) & SS_RIGHT);
  // No control answers to IDOK or IDCANCEL, which Enter and Escape would reach.
  EXPECT_EQ(GetDlgItem(form_, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(form_, IDCANCEL), nullptr);
}

TEST_F(DialogWindowTest, TheListIsUnsortedSingleSelectionWithTwelvePixelRows) {
  LONG style = GetWindowLongW(list_, GWL_STYLE);
  EXPECT_TRUE(style & LBS_NOTIFY);
  EXPECT_FALSE(style & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL));
  EXPECT_EQ(SendMessageW(list_, LB_GETITEMHEIGHT, 0, 0), 12);
  AddItems({"C:\\z.swf", "C:\\a.swf", "C:\\M\xFCsik\\\xE9t\xE9.swf"});
  platform::ListBox& list = dialog_->ListBoxMovie();
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(0), "C:\\z.swf");
  EXPECT_EQ(list.Item(2), "C:\\M\xFCsik\\\xE9t\xE9.swf");  // the ANSI bytes come back
  EXPECT_THROW(list.Item(3), std::out_of_range);
  EXPECT_THROW(list.Insert(5, "C:\\beyond.swf"), Exception);  // LB_INSERTSTRING refuses it
  EXPECT_EQ(list.Count(), 3);

  // Eleven rows fit; the vertical scroll bar comes with the twelfth entry.
  for (int i = 0; i < 8; ++i) list.Add("C:\\more.swf");
  EXPECT_FALSE(GetWindowLongW(list_, GWL_STYLE) & WS_VSCROLL);
  list.Add("C:\\twelfth.swf");
  EXPECT_TRUE(GetWindowLongW(list_, GWL_STYLE) & WS_VSCROLL);
  list.SetTopIndex(11);
  EXPECT_EQ(SendMessageW(list_, LB_GETTOPINDEX, 0, 0), 1);  // as far as the list scrolls
}

TEST_F(DialogWindowTest, TheLoweredBevelIsAShadowLineOverALightOne) {
  HDC dc = GetDC(form_);
  EXPECT_EQ(GetPixel(dc, 100, 199), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 100, 200), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(dc, 100, 201), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, 100, 202), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 7, 200), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(dc, 8, 200), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(GetPixel(dc, 304, 201), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(GetPixel(dc, 305, 201), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(form_, dc);
}

TEST_F(DialogWindowTest, TabWalksTheTabOrderAndEnterAndEscapePressNothing) {
  ASSERT_EQ(FocusedId(), layout::kListBoxMovie);  // the first in the tab order
  const std::vector<int> order{layout::kButtonUp,          layout::kButtonDown,
                               layout::kButtonDelete,      layout::kButtonAllDelete,
                               layout::kButtonAdd,         layout::kCheckBoxExpansion,
                               layout::kButtonCancel,      layout::kButtonOK,
                               layout::kListBoxMovie};
  for (int id : order) {
    PressKey(VK_TAB);
    EXPECT_EQ(FocusedId(), id);
  }
  PressKey(VK_TAB, true);
  EXPECT_EQ(FocusedId(), layout::kButtonOK);
  PressKey(VK_TAB, true);
  EXPECT_EQ(FocusedId(), layout::kButtonCancel);

  for (int id : {layout::kButtonCancel, layout::kButtonOK, layout::kListBoxMovie}) {
    SetFocus(Control(id));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(FocusedId(), id);
  }
  EXPECT_EQ(recorder_.events, Strings{"FormShow"});
  EXPECT_FALSE(TakeQuit());
}

// The messages of a switch to another window and back, sent as the system sends them (a real
// switch depends on the X server's focus events, which arrive in no fixed order without a
// window manager).
TEST_F(DialogWindowTest, FocusComesBackToItsControlWhenTheFormIsActivatedAgain) {
  SetFocus(Control(layout::kCheckBoxExpansion));
  SendMessageW(form_, WM_ACTIVATE, WA_INACTIVE, 0);
  SetFocus(form_);  // what a plain window's activation would leave
  SendMessageW(form_, WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(FocusedId(), layout::kCheckBoxExpansion);
}

// The menu's own loop tells its owner when it waits; the hook then reads the open menu and
// types an access key into it.
HHOOK menuHook = nullptr;
WPARAM menuKey = 0;
std::vector<std::wstring> menuItems;

LRESULT CALLBACK AnswerMenu(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_ENTERIDLE && sent->wParam == MSGF_MENU &&
      menuKey != 0) {
    auto menuWindow = reinterpret_cast<HWND>(sent->lParam);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    menuItems.clear();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE;
      GetMenuItemInfoW(menu, i, TRUE, &info);
      GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
      menuItems.push_back(info.fType & MFT_SEPARATOR ? L"-" : text);
    }
    PostMessageW(menuWindow, WM_CHAR, menuKey, 1);
    menuKey = 0;
  }
  return CallNextHookEx(menuHook, code, wParam, lParam);
}

TEST_F(DialogWindowTest, ARightClickOnTheListOpensPopupMenu1WhoseAccessKeysChoose) {
  AddItems({"C:\\a.swf", "C:\\b.swf", "C:\\c.swf"});
  dialog_->ListBoxMovie().SetItemIndex(0);
  menuHook = SetWindowsHookExW(WH_CALLWNDPROC, AnswerMenu, nullptr, GetCurrentThreadId());
  ASSERT_NE(menuHook, nullptr);
  const std::pair<wchar_t, const char*> keys[] = {
      {L'u', "U1Click"}, {L'd', "sita1Click"}, {L'x', "Delete1Click"}, {L'a', "A1Click"}};
  Strings expected{"FormShow"};
  for (const auto& [key, event] : keys) {
    menuKey = key;
    POINT at = ItemCentre(2);  // over another entry than the current one
    SendMessageW(list_, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(list_, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();  // the chosen item's command is posted
    expected.push_back(event);
    EXPECT_EQ(menuKey, 0) << "the menu did not open";
  }
  UnhookWindowsHookEx(menuHook);
  EXPECT_EQ(recorder_.events, expected);
  EXPECT_EQ(menuItems, (std::vector<std::wstring>{L"上へ(&U)", L"下へ(&D)", L"-", L"削除(&X)",
                                                  L"全削除(&A)"}));
  EXPECT_EQ(dialog_->ListBoxMovie().ItemIndex(), 0);  // the click did not select under it
}

TEST_F(DialogWindowTest, OnlyTheUsersChangesOfTheCurrentEntryRaiseListBoxMovieClick) {
  AddItems({"C:\\a.swf", "C:\\b.swf", "C:\\c.swf"});
  dialog_->ListBoxMovie().SetItemIndex(1);
  dialog_->ListBoxMovie().SetTopIndex(2);
  EXPECT_EQ(recorder_.events, Strings{"FormShow"});

  dialog_->ListBoxMovie().SetTopIndex(0);
  POINT at = ItemCentre(2);
  SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  SendMessageW(list_, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(dialog_->ListBoxMovie().ItemIndex(), 2);
  SetFocus(list_);
  PostMessageW(list_, WM_KEYDOWN, VK_UP, 1);
  Pump();
  EXPECT_EQ(dialog_->ListBoxMovie().ItemIndex(), 1);
  EXPECT_EQ(recorder_.events, (Strings{"FormShow", "ListBoxMovieClick", "ListBoxMovieClick"}));
}

TEST_F(DialogWindowTest, ButtonsRaiseTheirEventsAndTheCloseBoxOnlyCloses) {
  const std::pair<int, const char*> buttons[] = {
      {layout::kButtonUp, "ButtonUpClick"},
      {layout::kButtonDown, "ButtonDownClick"},
      {layout::kButtonDelete, "ButtonDeleteClick"},
      {layout::kButtonAllDelete, "ButtonAllDeleteClick"},
      {layout::kButtonAdd, "ButtonAddClick"},
      {layout::kButtonCancel, "ButtonCancelClick"},
      {layout::kButtonOK, "ButtonOKClick"}};
  Strings expected{"FormShow"};
  for (const auto& [id, event] : buttons) {
    SendMessageW(Control(id), BM_CLICK, 0, 0);
    expected.push_back(event);
  }
  SendMessageW(Control(layout::kCheckBoxExpansion), BM_CLICK, 0, 0);
  EXPECT_TRUE(dialog_->CheckBoxExpansion().Checked());
  EXPECT_EQ(recorder_.events, expected);
  EXPECT_FALSE(TakeQuit());

  // The close box, the system menu and Alt+F4 all come as WM_CLOSE: the application ends,
  // no handler runs, and the window stays until the dialog object goes.
  SendMessageW(form_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(TakeQuit());
  EXPECT_TRUE(IsWindow(form_));
  EXPECT_EQ(recorder_.events, expected);
  dialog_.reset();
  EXPECT_FALSE(IsWindow(form_));
}

TEST_F(DialogWindowTest, TheLabelShowsUtf8TextAndTheCheckBoxItsState) {
  dialog_->LabelFileName().SetText("表紙 & more.swf");
  EXPECT_EQ(WindowText(Control(layout::kLabelFileName)), L"表紙 & more.swf");
  EXPECT_EQ(dialog_->LabelFileName().Text(), "表紙 & more.swf");
  EXPECT_TRUE(GetWindowLongW(Control(layout::kLabelFileName), GWL_STYLE) & SS_NOPREFIX);
  dialog_->CheckBoxExpansion().SetChecked(true);
  EXPECT_EQ(SendMessageW(Control(layout::kCheckBoxExpansion), BM_GETCHECK, 0, 0), BST_CHECKED);
  dialog_->CheckBoxExpansion().SetChecked(false);
  EXPECT_FALSE(dialog_->CheckBoxExpansion().Checked());
}

}  // namespace
}  // namespace swfsaver
