// The real message loop and message boxes: the order in which a message meets the hook, the
// windows' filters and its window; the idle step once per emptied queue and then sleep; errors
// reported and the loop going on; the owner window; the three kinds of message box.
#include "platform/win32/Win32Platform.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/SettingsDialog.h"
#include "platform/win32/Text.h"

namespace swfsaver::win32 {
namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kOther = WM_APP + 2;
constexpr UINT kThird = WM_APP + 3;

// Records what happened, in order, as short words.
std::vector<std::string> events;

class RecordingHandler : public platform::ApplicationHandler {
 public:
  void OnMessage(const platform::Message& message, bool& handled) override {
    if (message.message < WM_APP) return;
    events.push_back("hook " + std::to_string(message.message - WM_APP));
    if (onMessage) onMessage(message, handled);
  }
  void OnIdle(bool& done) override {
    events.push_back("idle");
    if (onIdle) onIdle(done);
  }
  void OnException(const std::exception& error) override {
    events.push_back(std::string("error ") + error.what());
  }
  std::function<void(const platform::Message&, bool&)> onMessage;
  std::function<void(bool&)> onIdle;
};

class RecordingFilter : public MessageFilter {
 public:
  explicit RecordingFilter(std::string name) : name_(std::move(name)) {}
  bool PreTranslateMessage(MSG& message) override {
    if (message.message < WM_APP) return false;
    events.push_back("filter " + name_);
    return consume ? consume(message) : false;
  }
  std::function<bool(MSG&)> consume;

 private:
  std::string name_;
};

LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    events.push_back("window " + std::to_string(message - WM_APP));
    if (message == kOther) {
      Win32Application::Current().CallHandler([] { throw std::runtime_error("in handler"); });
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    application_.SetHandler(&handler_);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecordingWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SwfSaverLoopTest";
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"SwfSaverLoopTest", L"loop test", WS_POPUP, 0, 0, 10, 10,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    application_.SetHandler(nullptr);
  }
  void Post(UINT message) { PostMessageW(window_, message, 0, 0); }
  // Ends the loop at the n-th idle step.
  void QuitAtIdle(int n) {
    handler_.onIdle = [this, n, count = 0](bool&) mutable {
      if (++count == n) application_.Terminate();
    };
  }

  Win32Application application_;
  RecordingHandler handler_;
  HWND window_ = nullptr;
};

TEST_F(ApplicationTest, HookThenFiltersThenWindowAndOneIdleStepPerEmptiedQueue) {
  RecordingFilter first("a"), second("b");
  application_.AddMessageFilter(&first);
  application_.AddMessageFilter(&second);
  Post(kPing);
  Post(kPing);
  QuitAtIdle(1);

  application_.Run();

  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "filter a", "filter b", "window 1",
                                              "hook 1", "filter a", "filter b", "window 1",
                                              "idle"}));
}

TEST_F(ApplicationTest, MessageHandledByTheHookReachesNoFilterAndNoWindow) {
  RecordingFilter filter("a");
  application_.AddMessageFilter(&filter);
  handler_.onMessage = [](const platform::Message& message, bool& handled) {
    handled = message.message == kPing;
  };
  Post(kPing);
  Post(kThird);
  QuitAtIdle(1);

  application_.Run();

  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "hook 3", "filter a", "window 3", "idle"}));
}

TEST_F(ApplicationTest, MessageConsumedByAFilterGoesNoFurther) {
  RecordingFilter first("a"), second("b");
  first.consume = [](MSG&) { return true; };
  application_.AddMessageFilter(&first);
  application_.AddMessageFilter(&second);
  Post(kPing);
  QuitAtIdle(1);

  application_.Run();

  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "filter a", "idle"}));
}

TEST_F(ApplicationTest, FilterRemovedWhileTheListIsWalkedIsNotCalled) {
  RecordingFilter first("a"), second("b");
  first.consume = [&](MSG&) {
    application_.RemoveMessageFilter(&second);  // its window closed
    return false;
  };
  application_.AddMessageFilter(&first);
  application_.AddMessageFilter(&second);
  Post(kPing);
  QuitAtIdle(1);

  application_.Run();

  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "filter a", "window 1", "idle"}));
}

TEST_F(ApplicationTest, IdleStepRunsOnceThenTheThreadSleepsUntilTheNextMessage) {
  // Another thread posts after a while; had the loop not slept, the idle step would have run
  // many times meanwhile.
  std::thread poster;
  handler_.onIdle = [&, count = 0](bool&) mutable {
    ++count;
    if (count == 1) {
      poster = std::thread([this] {
        Sleep(300);
        Post(kPing);
      });
    } else {
      application_.Terminate();
    }
  };

  application_.Run();
  poster.join();

  EXPECT_EQ(events, (std::vector<std::string>{"idle", "hook 1", "window 1", "idle"}));
}

TEST_F(ApplicationTest, IdleStepThatIsNotDoneRunsAgainWithoutAMessage) {
  handler_.onIdle = [&, count = 0](bool& done) mutable {
    if (++count < 3) {
      done = false;
    } else {
      application_.Terminate();
    }
  };

  application_.Run();

  EXPECT_EQ(events, (std::vector<std::string>{"idle", "idle", "idle"}));
}

TEST_F(ApplicationTest, ErrorsOfHookIdleStepAndHandlersAreReportedAndTheLoopGoesOn) {
  RecordingFilter filter("a");
  application_.AddMessageFilter(&filter);
  handler_.onMessage = [](const platform::Message& message, bool&) {
    if (message.message == kPing) throw std::runtime_error("in hook");
  };
  handler_.onIdle = [&, count = 0](bool& done) mutable {
    if (++count == 1) {
      done = false;  // nothing would wake the loop otherwise: the recorder shows no box
      throw std::runtime_error("in idle");
    }
    application_.Terminate();
  };
  Post(kPing);
  Post(kOther);

  application_.Run();

  // The message whose hook raised is dropped, as the framework drops it.
  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "error in hook", "hook 2", "filter a",
                                              "window 2", "error in handler", "idle",
                                              "error in idle", "idle"}));
}

TEST_F(ApplicationTest, QuitRequestEndsTheLoopOnceThePostedMessagesAreHandled) {
  PostQuitMessage(0);
  Post(kPing);
  application_.Run();
  EXPECT_EQ(events, (std::vector<std::string>{"hook 1", "window 1"}));
}

// Takes the dialog's events and does nothing with them: only the owner window is looked at.
class IgnoredDialogEvents : public platform::SettingsDialogEvents {
 public:
  void FormShow() override {}
  void ListBoxMovieClick() override {}
  void ButtonUpClick() override {}
  void ButtonDownClick() override {}
  void ButtonDeleteClick() override {}
  void ButtonAllDeleteClick() override {}
  void ButtonAddClick() override {}
  void ButtonCancelClick() override {}
  void ButtonOKClick() override {}
  void U1Click() override {}
  void sita1Click() override {}
  void Delete1Click() override {}
  void A1Click() override {}
};

TEST(ApplicationInitializeTest, InitializesComAndMakesAnOwnerWindowShownWhenTheLoopRunsForAWindow) {
  Win32Application application;
  application.Initialize("Swfsaver");

  // COM is initialised for this thread as a single-threaded apartment.
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  CoUninitialize();

  HWND owner = application.OwnerWindow();
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(GetParent(owner), nullptr);
  EXPECT_EQ(GetWindow(owner, GW_OWNER), nullptr);
  RECT bounds;
  GetWindowRect(owner, &bounds);
  EXPECT_EQ(bounds.right - bounds.left, 0);
  EXPECT_EQ(bounds.bottom - bounds.top, 0);
  // A run without a window of its own (the preview) shows no taskbar button.
  EXPECT_FALSE(IsWindowVisible(owner));

  IgnoredDialogEvents events;
  std::unique_ptr<platform::SettingsDialog> dialog = application.CreateSettingsDialog(events);
  EXPECT_FALSE(IsWindowVisible(owner));  // not before the loop runs
  PostQuitMessage(0);
  application.Run();
  EXPECT_TRUE(IsWindowVisible(owner));

  Win32SystemState system;
  system.HideOwnerWindow();
  EXPECT_FALSE(IsWindowVisible(owner));
}

TEST(ApplicationInitializeTest, AnOwnerWindowHiddenBeforeTheLoopIsNeverShown) {
  Win32Application application;
  application.Initialize("Swfsaver");
  IgnoredDialogEvents events;
  std::unique_ptr<platform::SettingsDialog> dialog = application.CreateSettingsDialog(events);
  Win32SystemState system;
  system.HideOwnerWindow();  // as the saver does while it is being created
  PostQuitMessage(0);
  application.Run();
  EXPECT_FALSE(IsWindowVisible(application.OwnerWindow()));
}


TEST(ApplicationInitializeTest, CloseOfTheOwnerWindowGoesToTheProgramsWindow) {
  Win32Application application;
  application.Initialize("Swfsaver");
  HWND owner = application.OwnerWindow();
  HWND form = CreateWindowExW(0, L"STATIC", L"form", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, owner,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(form, nullptr);
  SetActiveWindow(form);

  SendMessageW(owner, WM_CLOSE, 0, 0);

  EXPECT_TRUE(IsWindow(owner));
  MSG close;
  EXPECT_TRUE(PeekMessageW(&close, form, WM_CLOSE, WM_CLOSE, PM_REMOVE));
  DestroyWindow(form);
}

// --- message boxes ------------------------------------------------------------------------

struct BoxSeen {
  bool found = false;
  std::wstring caption;
  std::wstring text;
  bool hasIcon = false;
  RECT bounds = {};
  bool otherWindowEnabled = true;
};
BoxSeen seen;
HWND otherWindow = nullptr;

BOOL CALLBACK FindBox(HWND window, LPARAM) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  seen.found = true;
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  seen.caption = text;
  GetDlgItemTextW(window, 0xFFFF, text, 512);
  seen.text = text;
  // The icon control: 0x14 on Windows, 0x440 on Wine.
  for (int id : {0x14, 0x440}) {
    if (SendDlgItemMessageW(window, id, STM_GETICON, 0, 0) != 0) seen.hasIcon = true;
  }
  GetWindowRect(window, &seen.bounds);
  seen.otherWindowEnabled = otherWindow == nullptr || IsWindowEnabled(otherWindow);
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

// Runs inside the message box's own loop.
void CALLBACK InspectBox(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
  if (seen.found) KillTimer(nullptr, timer);
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen = {};
    otherWindow = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(otherWindow);
  }
  void TearDown() override {
    DestroyWindow(otherWindow);
    otherWindow = nullptr;
  }
  void Show(platform::MessageBoxKind kind) {
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, InspectBox);
    application_.ShowMessageBox("Swfsaver", "ERROR - 複数アプリケーションの起動は制限されています。",
                                kind);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, L"Swfsaver");
    EXPECT_EQ(seen.text, Utf8ToWide("ERROR - 複数アプリケーションの起動は制限されています。"));
  }

  Win32Application application_;
};

TEST_F(MessageBoxTest, InformationHasNoIconIsCentredAndModalToTheActiveWindow) {
  Show(platform::MessageBoxKind::Information);
  EXPECT_FALSE(seen.hasIcon);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((seen.bounds.left + seen.bounds.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((seen.bounds.top + seen.bounds.bottom) / 2, (work.top + work.bottom) / 2, 1);
  EXPECT_FALSE(seen.otherWindowEnabled);
  EXPECT_TRUE(IsWindowEnabled(otherWindow));
}

TEST_F(MessageBoxTest, ErrorReportHasTheStopIcon) {
  Show(platform::MessageBoxKind::Error);
  EXPECT_TRUE(seen.hasIcon);
}

TEST_F(MessageBoxTest, TaskModalErrorDisablesEveryWindowOfTheThread) {
  SetActiveWindow(nullptr);
  Show(platform::MessageBoxKind::TaskModalError);
  EXPECT_TRUE(seen.hasIcon);
  EXPECT_FALSE(seen.otherWindowEnabled);
  EXPECT_TRUE(IsWindowEnabled(otherWindow));
}

}  // namespace
}  // namespace swfsaver::win32
