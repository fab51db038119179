// The whole settings dialog under Wine: TForm2 on the real window, driven by its controls,
// with the real file-open dialog answered as a user would answer it, storing to the real
// registry under this test program's own key (HKCU\Software\Ostrevanlab\<program name>).
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialog/Unit2.h"
#include "framework/Application.h"
#include "platform/win32/Win32SettingsDialogLayout.h"
#include "settings/Settings.h"

namespace swfsaver {
namespace {

namespace layout = win32::settings_layout;
using Strings = std::vector<std::string>;

// Answers to the system's dialogs, as a user would give them. A message box is answered when
// it is about to be activated; the file dialog once its modal loop first waits for the user
// (it tells its owner with WM_ENTERIDLE), when it has been filled in completely.
std::function<void(HWND)> answerMessageBox;
std::function<void(HWND)> answerFileDialog;
HHOOK activationHook = nullptr;
HHOOK idleHook = nullptr;

bool IsDialogClass(HWND window) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  return std::wstring(className) == L"#32770";
}

void Answer(std::function<void(HWND)>& answer, HWND window) {
  auto run = std::move(answer);
  answer = nullptr;
  run(window);
}

LRESULT CALLBACK OnActivate(int code, WPARAM wParam, LPARAM lParam) {
  auto window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && answerMessageBox && IsDialogClass(window)) {
    Answer(answerMessageBox, window);
  }
  return CallNextHookEx(activationHook, code, wParam, lParam);
}

LRESULT CALLBACK OnSentMessage(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_ENTERIDLE && sent->wParam == MSGF_DIALOGBOX &&
      answerFileDialog) {
    Answer(answerFileDialog, reinterpret_cast<HWND>(sent->lParam));
  }
  return CallNextHookEx(idleHook, code, wParam, lParam);
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// The file name box of the file-open dialog: the combo box of the explorer-style dialog, or
// the plain edit box.
HWND FileNameBox(HWND fileDialog) {
  HWND box = GetDlgItem(fileDialog, 0x47C);  // cmb13
  return box != nullptr ? box : GetDlgItem(fileDialog, 0x480);  // edt1
}

struct RawValue {
  std::string name;
  DWORD type = 0;
  std::string data;
  bool operator==(const RawValue&) const = default;
};

class DialogRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    keyPath_ = SettingsKeyPath(system_.kernel.ModuleFileName(), system_.codePage);
    optionPath_ = keyPath_ + "\\OPTION";
    RegDeleteTreeA(HKEY_CURRENT_USER, keyPath_.c_str());
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "swfsaver dialog " + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* name : {"one.swf", "two.swf", "three.swf"}) {
      HANDLE file = CreateFileA(Movie(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      CloseHandle(file);
    }
    activationHook = SetWindowsHookExW(WH_CBT, OnActivate, nullptr, GetCurrentThreadId());
    idleHook = SetWindowsHookExW(WH_CALLWNDPROC, OnSentMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(activationHook, nullptr);
    ASSERT_NE(idleHook, nullptr);
  }

  void TearDown() override {
    if (form_ != nullptr) Cancel();
    UnhookWindowsHookEx(activationHook);
    UnhookWindowsHookEx(idleHook);
    answerMessageBox = nullptr;
    answerFileDialog = nullptr;
    RegDeleteTreeA(HKEY_CURRENT_USER, keyPath_.c_str());
    for (const char* name : {"one.swf", "two.swf", "three.swf"}) DeleteFileA(Movie(name).c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::string Movie(const char* name) const { return folder_ + "\\" + name; }

  // Configure mode: the application object, then the dialog, which shows itself.
  void Open() {
    application_ = std::make_unique<TApplication>(system_.platform);
    application_->Initialize();
    form_ = std::make_unique<TForm2>(system_.platform, *application_);
    window_ = FindWindowW(layout::kWindowClass, layout::kCaption);
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(IsWindowVisible(window_));
  }
  // The dialog closes the way configure mode ends: its close ends the loop, then it goes.
  void RunUntilClosed() {
    application_->Run();
    form_.reset();
    application_.reset();
  }
  void Cancel() {
    Click(layout::kButtonCancel);
    RunUntilClosed();
  }

  HWND Control(int id) { return GetDlgItem(window_, id); }
  void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
  void ChooseMenuItem(int id) { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  // The user makes an entry current: the list changes, and it tells the dialog so.
  void Select(int index) {
    HWND list = Control(layout::kListBoxMovie);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(layout::kListBoxMovie, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
  }
  // Clicks the add button; the file dialog that opens gets path typed and Open pressed.
  void Add(const std::string& path) {
    answerFileDialog = [path](HWND fileDialog) {
      SetWindowTextA(FileNameBox(fileDialog), path.c_str());
      PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDOK)));
    };
    Click(layout::kButtonAdd);
    EXPECT_FALSE(answerFileDialog) << "no file dialog opened";
  }

  Strings Items() {
    Strings items;
    HWND list = Control(layout::kListBoxMovie);
    for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
      char text[1024] = {};
      SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
      items.push_back(text);
    }
    return items;
  }
  std::wstring Label() { return WindowText(Control(layout::kLabelFileName)); }

  void PutText(const std::string& name, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, optionPath_.c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
  }
  // Every value under OPTION, bytes and type, in the registry's order.
  std::vector<RawValue> Stored() {
    std::vector<RawValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, optionPath_.c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      return values;
    }
    for (DWORD i = 0;; ++i) {
      char name[256];
      DWORD nameSize = sizeof name;
      BYTE data[2048];
      DWORD dataSize = sizeof data;
      RawValue value;
      if (RegEnumValueA(key, i, name, &nameSize, nullptr, &value.type, data, &dataSize) !=
          ERROR_SUCCESS) {
        break;
      }
      value.name = name;
      value.data.assign(reinterpret_cast<char*>(data), dataSize);
      values.push_back(value);
    }
    RegCloseKey(key);
    return values;
  }
  std::string StoredText(const std::string& name) {
    for (const RawValue& value : Stored()) {
      if (_stricmp(value.name.c_str(), name.c_str()) == 0) {
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
        return value.data.substr(0, value.data.find('\0'));
      }
    }
    return "<absent>";
  }

  win32::Win32Platform system_;
  std::string keyPath_;
  std::string optionPath_;
  std::string folder_;
  std::unique_ptr<TApplication> application_;
  std::unique_ptr<TForm2> form_;
  HWND window_ = nullptr;
};

TEST_F(DialogRegistryTest, AddThreeMoveOneDeleteOneAndOkStoresExactlyTheList) {
  Open();
  Add(Movie("one.swf"));
  Add(Movie("two.swf"));
  Add(Movie("three.swf"));
  ASSERT_EQ(Items(), (Strings{Movie("one.swf"), Movie("two.swf"), Movie("three.swf")}));
  EXPECT_EQ(SendMessageA(Control(layout::kListBoxMovie), LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(Label(), L"three.swf");
  EXPECT_EQ(GetFocus(), Control(layout::kListBoxMovie));

  Select(2);
  Click(layout::kButtonUp);
  Select(0);
  ChooseMenuItem(layout::kMenuDelete1);
  Click(layout::kCheckBoxExpansion);
  const Strings edited{Movie("three.swf"), Movie("two.swf")};
  ASSERT_EQ(Items(), edited);
  EXPECT_EQ(Label(), L"three.swf");

  Click(layout::kButtonOK);
  RunUntilClosed();
  EXPECT_EQ(StoredText("Expansion"), "1");
  EXPECT_EQ(StoredText("ListCount"), "2");
  EXPECT_EQ(StoredText("List0"), edited[0]);
  EXPECT_EQ(StoredText("List1"), edited[1]);
  EXPECT_EQ(Stored().size(), 4u);

  Open();  // and the next opening shows it
  EXPECT_EQ(Items(), edited);
  EXPECT_EQ(SendMessageW(Control(layout::kCheckBoxExpansion), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(DialogRegistryTest, CancelOrTheCloseBoxAfterEditsLeaveTheStoreAsItWas) {
  PutText("Expansion", "0");
  PutText("ListCount", "2");
  PutText("List0", Movie("one.swf"));
  PutText("List1", Movie("two.swf"));
  PutText("List2", Movie("stale.swf"));
  const std::vector<RawValue> before = Stored();
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Cancel");
    Open();
    ASSERT_EQ(Items(), (Strings{Movie("one.swf"), Movie("two.swf")}));
    Add(Movie("three.swf"));
    Select(0);
    Click(layout::kButtonDelete);
    Click(layout::kButtonDown);
    Click(layout::kCheckBoxExpansion);
    ASSERT_EQ(Items(), (Strings{Movie("three.swf"), Movie("two.swf")}));
    if (closeBox) {
      SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
      RunUntilClosed();
    } else {
      Cancel();
    }
    EXPECT_EQ(Stored(), before);
  }
}

TEST_F(DialogRegistryTest, TheFileDialogShowsTheSwfFilterAndCancellingItAddsNothing) {
  PutText("ListCount", "1");
  PutText("List0", Movie("one.swf"));
  Open();
  Select(0);
  std::wstring fileType;
  bool readOnlyBoxVisible = true;
  LONG fileDialogStyle = 0;
  answerFileDialog = [&](HWND fileDialog) {
    fileType = WindowText(GetDlgItem(fileDialog, 0x470));  // cmb1, the file type box
    readOnlyBoxVisible = IsWindowVisible(GetDlgItem(fileDialog, 0x410)) != FALSE;  // chx1
    fileDialogStyle = GetWindowLongW(fileDialog, GWL_STYLE);
    PostMessageW(fileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(fileDialog, IDCANCEL)));
  };
  Click(layout::kButtonAdd);
  EXPECT_FALSE(answerFileDialog) << "no file dialog opened";
  EXPECT_EQ(fileType, L"swf files (*.swf)");
  EXPECT_FALSE(readOnlyBoxVisible);
  EXPECT_TRUE(fileDialogStyle & WS_THICKFRAME);  // it can be resized
  EXPECT_EQ(Items(), Strings{Movie("one.swf")});
  EXPECT_EQ(Label(), L"one.swf");

  Add(Movie("typed but missing.swf"));  // no file must exist: the typed name comes back as is
  EXPECT_EQ(Items(), (Strings{Movie("one.swf"), Movie("typed but missing.swf")}));
}

TEST_F(DialogRegistryTest, ALoadErrorIsReportedBeforeTheDialogOpensWithWhatWasLoaded) {
  PutText("Expansion", "1");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, optionPath_.c_str(), 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  DWORD count = 1;
  RegSetValueExA(key, "ListCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                 sizeof count);
  RegCloseKey(key);

  std::wstring caption, text;
  bool formVisible = true;
  answerMessageBox = [&](HWND box) {
    caption = WindowText(box);
    text = WindowText(GetDlgItem(box, 0xFFFF));  // the message's static text
    HWND form = FindWindowW(layout::kWindowClass, layout::kCaption);
    formVisible = form != nullptr && IsWindowVisible(form);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  Open();
  EXPECT_FALSE(answerMessageBox) << "no report";
  EXPECT_EQ(text, L"'ListCount' のデータ型が不正です.");
  EXPECT_EQ(caption, L"dialog_registry_test");  // the program file name, cut at the "."
  EXPECT_FALSE(formVisible);
  EXPECT_EQ(SendMessageW(Control(layout::kCheckBoxExpansion), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(Items().empty());
}

}  // namespace
}  // namespace swfsaver
