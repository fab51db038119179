// The saver window on Win32: the form resource's windows, what its properties change, the
// events each window message becomes, and the way keys pass the control's accelerators,
// focus navigation and key preview, also inside the real message loop.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "flashapi/ShockwaveFlash.h"
#include "platform/Exceptions.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32SaverWindow.h"
#include "standin/flash/Registration.h"
#include "tests/win32/saver_scripted_control.h"
#include "tests/win32/standin_support.h"

namespace swfsaver::win32 {
namespace {

using Events = std::vector<std::string>;
using platform::MouseButton;

const char* ButtonName(MouseButton button) {
  switch (button) {
    case MouseButton::Left: return "Left";
    case MouseButton::Right: return "Right";
    case MouseButton::Middle: return "Middle";
  }
  return "?";
}

// Every event as one line; a test may hook in behind any of them.
class RecordingEvents : public platform::SaverWindowEvents {
 public:
  void FormActivate() override { Add("FormActivate"); }
  void FormClose() override { Add("FormClose"); }
  void FormKeyDown(uint16_t key, uint32_t shift) override {
    Add("FormKeyDown " + std::to_string(key) + " " + std::to_string(shift));
  }
  void FormMouseDown(MouseButton button, uint32_t shift, int32_t x, int32_t y) override {
    Add(std::string("FormMouseDown ") + ButtonName(button) + Where(shift, x, y));
  }
  void FormMouseMove(uint32_t shift, int32_t x, int32_t y) override {
    Add("FormMouseMove" + Where(shift, x, y));
  }
  void Panel1MouseDown(MouseButton button, uint32_t shift, int32_t x, int32_t y) override {
    Add(std::string("Panel1MouseDown ") + ButtonName(button) + Where(shift, x, y));
  }
  void Panel1MouseMove(uint32_t shift, int32_t x, int32_t y) override {
    Add("Panel1MouseMove" + Where(shift, x, y));
  }
  void ButtonCloseClick() override { Add("ButtonCloseClick"); }
  void WMUser1() override { Add("WMUser1"); }
  void WMUser2() override { Add("WMUser2"); }
  void TimerRetryTimer() override { Add("TimerRetryTimer"); }

  Events events;
  std::function<void(const std::string&)> after;

 private:
  static std::string Where(uint32_t shift, int32_t x, int32_t y) {
    return " " + std::to_string(shift) + " " + std::to_string(x) + " " + std::to_string(y);
  }
  void Add(const std::string& event) {
    events.push_back(event);
    if (after) after(event);
  }
};

class RecordingHandler : public platform::ApplicationHandler {
 public:
  void OnMessage(const platform::Message& message, bool&) override {
    if (message.message == WM_KEYDOWN) hooked.push_back(message.message);
  }
  void OnIdle(bool&) override {}
  void OnException(const std::exception& error) override { errors.push_back(error.what()); }
  std::vector<uint32_t> hooked;
  std::vector<std::string> errors;
};

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  if (HWND parent = GetParent(window); parent != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  }
  return rect;
}

void ExpectRect(HWND window, LONG left, LONG top, LONG width, LONG height) {
  const RECT rect = RectInParent(window);
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

void SetKeysDown(std::initializer_list<int> keys) {
  BYTE state[256] = {};
  for (int key : keys) state[key] = 0x80;
  SetKeyboardState(state);
}

class SaverWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application_.Initialize("Swfsaver");
    application_.SetHandler(&handler_);
    SetKeysDown({});
  }
  void TearDown() override {
    window_.reset();
    scripted_.reset();
    SetKeysDown({});
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(handler_.errors.empty()) << handler_.errors.front();
  }

  // The window with the stand-in control, registered machine-wide as Wine needs it.
  void CreateWithStandin() {
    ASSERT_EQ(flash::RegisterFlashStandin(standin_test::StandinDllPath().c_str()), S_OK);
    window_ = CreateWin32SaverWindow(application_, events_);
  }
  // The window with the scripted control standing behind the Flash class id in this process.
  void CreateWithScriptedControl() {
    scripted_ = std::make_unique<testing::ScriptedControlClass>(script_, flashapi::kClsidShockwaveFlash);
    window_ = CreateWin32SaverWindow(application_, events_);
  }

  Win32SaverWindow& Form() { return dynamic_cast<Win32SaverWindow&>(*window_); }
  HWND FormWindow() { return reinterpret_cast<HWND>(window_->Handle()); }
  // The child windows, found as any program would find them.
  HWND Panel() { return FindWindowExW(FormWindow(), nullptr, L"TPanel", nullptr); }
  HWND Button() { return FindWindowExW(FormWindow(), nullptr, L"BUTTON", nullptr); }
  HWND Control() { return GetWindow(Panel(), GW_CHILD); }

  // Offers a key message to the window's filter as the loop would; true when consumed.
  bool Key(HWND target, UINT message, WPARAM key, LPARAM lParam = 1) {
    MSG msg{target, message, key, lParam, 0, {}};
    return Form().PreTranslateMessage(msg);
  }

  Win32Application application_;
  RecordingHandler handler_;
  RecordingEvents events_;
  testing::ControlScript script_;
  std::unique_ptr<testing::ScriptedControlClass> scripted_;
  std::unique_ptr<platform::SaverWindow> window_;
};

TEST_F(SaverWindowTest, CreatesTheWindowsOfTheFormResource) {
  CreateWithStandin();
  HWND form = FormWindow();
  wchar_t caption[64] = {};
  GetWindowTextW(form, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"メインのフォーム");
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER | WS_VISIBLE));
  EXPECT_FALSE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindow(form, GW_OWNER), application_.OwnerWindow());
  ExpectRect(form, 505, 236, 499, 343);

  HWND panel = Panel();
  EXPECT_EQ(GetParent(panel), form);
  EXPECT_TRUE(GetWindowLongW(panel, GWL_STYLE) & WS_VISIBLE);
  ExpectRect(panel, 0, 0, 281, 177);

  HWND button = Button();
  wchar_t text[16] = {};
  GetWindowTextW(button, text, 16);
  EXPECT_EQ(std::wstring(text), L"Close");
  EXPECT_FALSE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE);
  ExpectRect(button, 304, 8, 81, 33);

  HWND control = Control();
  ASSERT_NE(control, nullptr);
  EXPECT_EQ(GetParent(control), panel);
  ExpectRect(control, 24, 8, 193, 169);
  EXPECT_TRUE(events_.events.empty());
}

// The window over the display, the panel aligned to it and the control to the panel: each
// follows when the one outside it changes size.
TEST_F(SaverWindowTest, BoundsAndAlignmentCarryThroughPanelAndControl) {
  CreateWithStandin();
  window_->SetColor(0);
  window_->SetBounds(0, 0, 1024, 768);
  ExpectRect(FormWindow(), 0, 0, 1024, 768);
  ExpectRect(Panel(), 0, 0, 281, 177);  // not aligned yet
  window_->AlignPanelToClient();
  ExpectRect(Panel(), 0, 0, 1024, 768);
  window_->ShockwaveFlash1().AlignToClient();
  ExpectRect(Control(), 0, 0, 1024, 768);
  window_->SetBounds(0, 0, 800, 600);
  ExpectRect(Panel(), 0, 0, 800, 600);
  ExpectRect(Control(), 0, 0, 800, 600);

  window_->SetPanelVisible(false);
  EXPECT_FALSE(GetWindowLongW(Panel(), GWL_STYLE) & WS_VISIBLE);
  window_->SetPanelVisible(true);
  EXPECT_TRUE(GetWindowLongW(Panel(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(SaverWindowTest, ShowActivatesTheWindowBeforeItReturns) {
  CreateWithStandin();
  window_->Show();
  EXPECT_EQ(events_.events, Events{"FormActivate"});
  EXPECT_TRUE(IsWindowVisible(FormWindow()));
  EXPECT_EQ(GetActiveWindow(), FormWindow());
}

// The framework's close: FormClose, then the quit request; the window stays until the loop
// ends.
TEST_F(SaverWindowTest, CloseRunsFormCloseAndPostsTheQuitRequest) {
  CreateWithStandin();
  SendMessageW(FormWindow(), WM_CLOSE, 0, 0);
  EXPECT_EQ(events_.events, Events{"FormClose"});
  EXPECT_TRUE(IsWindow(FormWindow()));
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);

  window_->Close();  // a second close is the logic's affair; the window takes it again
  EXPECT_EQ(events_.events, (Events{"FormClose", "FormClose"}));
}

TEST_F(SaverWindowTest, PrivateMessagesAndTheHiddenButton) {
  CreateWithStandin();
  EXPECT_EQ(SendMessageW(FormWindow(), WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(SendMessageW(FormWindow(), WM_USER + 2, 0, 0), 0);
  SendMessageW(FormWindow(), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED),
               reinterpret_cast<LPARAM>(Button()));
  // The same command from another window is not the button's click.
  SendMessageW(FormWindow(), WM_COMMAND, MAKEWPARAM(100, BN_CLICKED),
               reinterpret_cast<LPARAM>(Panel()));
  EXPECT_EQ(events_.events, (Events{"WMUser1", "WMUser2", "ButtonCloseClick"}));
}

TEST_F(SaverWindowTest, MouseInputOnTheWindowAndThePanel) {
  CreateWithStandin();
  HWND form = FormWindow();
  HWND panel = Panel();
  SendMessageW(form, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(600, 500));
  SendMessageW(panel, WM_MOUSEMOVE, 0, MAKELPARAM(-5, -7));
  SendMessageW(panel, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
  SendMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(300, 30));
  SendMessageW(panel, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(1, 2));
  SendMessageW(panel, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(1, 2));
  SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(1, 2));
  // Input over the control's own window is the control's.
  SendMessageW(Control(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
  SendMessageW(Control(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
  EXPECT_EQ(events_.events,
            (Events{"FormMouseMove 1 600 500", "Panel1MouseMove 0 -5 -7",
                    "Panel1MouseDown Right 0 10 20", "FormMouseDown Left 4 300 30",
                    "Panel1MouseDown Middle 0 1 2"}));
}

// An error in an event handler is reported; the window procedure returns as usual.
TEST_F(SaverWindowTest, HandlerErrorsAreReportedNotThrownThroughTheSystem) {
  CreateWithStandin();
  events_.after = [](const std::string& event) {
    if (event == "WMUser2") throw std::runtime_error("handler failed");
  };
  EXPECT_EQ(SendMessageW(FormWindow(), WM_USER + 2, 0, 0), 0);
  ASSERT_EQ(handler_.errors, (std::vector<std::string>{"handler failed"}));
  handler_.errors.clear();
}

TEST_F(SaverWindowTest, KeyPreviewSeesKeysOfTheWindowAndItsControls) {
  CreateWithStandin();
  window_->Show();
  events_.events.clear();
  HWND form = FormWindow();
  HWND control = Control();
  HWND elsewhere = application_.OwnerWindow();

  EXPECT_FALSE(Key(form, WM_KEYDOWN, 'A'));
  EXPECT_FALSE(Key(control, WM_KEYDOWN, VK_ESCAPE));
  EXPECT_FALSE(Key(form, WM_KEYDOWN, VK_RETURN));
  EXPECT_FALSE(Key(form, WM_SYSKEYDOWN, 'X', 1 | (1 << 29)));  // with Alt
  EXPECT_FALSE(Key(form, WM_KEYUP, 'A'));
  EXPECT_FALSE(Key(form, WM_CHAR, 'a'));
  EXPECT_FALSE(Key(elsewhere, WM_KEYDOWN, 'B'));  // not the saver's
  SetKeysDown({VK_SHIFT, VK_CONTROL});
  EXPECT_FALSE(Key(form, WM_KEYDOWN, 'C'));
  EXPECT_EQ(events_.events,
            (Events{"FormKeyDown 65 0", "FormKeyDown 27 0", "FormKeyDown 13 0",
                    "FormKeyDown 88 2", "FormKeyDown 67 5"}));
}

// Tab moves the focus (to the control, the one tab stop) and never reaches FormKeyDown; the
// arrows do so only while a control has the focus and does not take them itself.
TEST_F(SaverWindowTest, FocusNavigationConsumesTabAndTheArrowsOfAFocusedControl) {
  CreateWithStandin();
  window_->Show();
  events_.events.clear();
  HWND form = FormWindow();
  HWND control = Control();
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, form, nullptr, nullptr,
                              nullptr);
  SetFocus(form);

  EXPECT_TRUE(Key(form, WM_KEYDOWN, VK_TAB));
  EXPECT_EQ(GetFocus(), control);
  SetKeysDown({VK_SHIFT});
  EXPECT_TRUE(Key(control, WM_KEYDOWN, VK_TAB));
  SetKeysDown({});
  EXPECT_TRUE(Key(control, WM_KEYDOWN, VK_LEFT));
  EXPECT_TRUE(Key(control, WM_KEYDOWN, VK_DOWN));
  EXPECT_EQ(events_.events, Events{});

  EXPECT_FALSE(Key(form, WM_KEYDOWN, VK_UP));     // the window itself has the focus
  EXPECT_FALSE(Key(edit, WM_KEYDOWN, VK_RIGHT));  // an edit box takes its arrows
  SetKeysDown({VK_CONTROL});
  EXPECT_FALSE(Key(control, WM_KEYDOWN, VK_TAB));  // Ctrl+Tab is no navigation
  EXPECT_EQ(events_.events,
            (Events{"FormKeyDown 38 0", "FormKeyDown 39 0", "FormKeyDown 9 4"}));
  DestroyWindow(edit);
}

// A key the control claims as an accelerator goes no further, not even to key preview.
TEST_F(SaverWindowTest, ControlAcceleratorsComeFirst) {
  CreateWithScriptedControl();
  script_.acceleratorKeys = {VK_TAB, 'P'};
  HWND control = Control();
  EXPECT_TRUE(Key(control, WM_KEYDOWN, 'P'));
  EXPECT_TRUE(Key(FormWindow(), WM_KEYDOWN, VK_TAB));
  EXPECT_FALSE(Key(control, WM_KEYDOWN, 'Q'));
  EXPECT_EQ(events_.events, Events{"FormKeyDown 81 0"});
}

// Through the real loop: the hook first, then key preview once (the window procedure does
// not call FormKeyDown a second time), then the window.
TEST_F(SaverWindowTest, KeyInTheMessageLoopReachesFormKeyDownOnce) {
  CreateWithStandin();
  window_->Show();
  events_.events.clear();
  events_.after = [this](const std::string& event) {
    if (event.rfind("FormKeyDown", 0) == 0) application_.Terminate();
  };
  // Should nothing end the loop, the timer does, and the test fails instead of hanging.
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(1);
  });
  PostMessageW(FormWindow(), WM_KEYDOWN, 'K', 1);
  application_.Run();
  KillTimer(nullptr, guard);
  EXPECT_EQ(handler_.hooked, std::vector<uint32_t>{WM_KEYDOWN});
  EXPECT_EQ(events_.events, Events{"FormKeyDown 75 0"});
}

TEST_F(SaverWindowTest, ControlThatCannotBeCreatedLeavesNoWindow) {
  script_.failures["CreateInstance"] = REGDB_E_CLASSNOTREG;
  try {
    CreateWithScriptedControl();
    FAIL() << "the window was created without its control";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(static_cast<uint32_t>(error.ErrorCode()), 0x80040154u);
  }
  EXPECT_EQ(FindWindowW(L"TForm1", nullptr), nullptr);
}

// Without its control the window is the same black surface, and keys still reach key preview.
TEST_F(SaverWindowTest, AWindowMadeWithoutItsControlHasAnEmptyPanelAndTakesKeys) {
  window_ = CreateWin32SaverWindow(application_, events_, false);
  ASSERT_NE(Panel(), nullptr);
  EXPECT_EQ(Control(), nullptr);
  EXPECT_THROW(window_->ShockwaveFlash1(), Exception);
  window_->SetBounds(0, 0, 800, 600);
  window_->AlignPanelToClient();
  ExpectRect(Panel(), 0, 0, 800, 600);
  window_->Show();
  events_.events.clear();
  EXPECT_TRUE(Key(FormWindow(), WM_KEYDOWN, VK_TAB));  // still focus navigation
  EXPECT_FALSE(Key(FormWindow(), WM_KEYDOWN, 'A'));
  EXPECT_EQ(events_.events, Events{"FormKeyDown 65 0"});
}

// The retry timer comes through the loop as WM_TIMER after each interval until it is stopped.
TEST_F(SaverWindowTest, TheRetryTimerFiresThroughTheLoopUntilStopped) {
  CreateWithStandin();
  int fired = 0;
  events_.after = [&](const std::string& event) {
    if (event != "TimerRetryTimer" || ++fired < 2) return;
    window_->SetRetryTimer(0);
    application_.Terminate();
  };
  const UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
    PostQuitMessage(1);
  });
  const DWORD started = GetTickCount();
  window_->SetRetryTimer(100);
  application_.Run();
  const DWORD elapsed = GetTickCount() - started;
  KillTimer(nullptr, guard);
  EXPECT_EQ(fired, 2);
  EXPECT_GE(elapsed, 180u);
  Sleep(250);  // a running timer would have posted again by now
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  EXPECT_EQ(fired, 2);
}

// The window goes with its control torn down first, in the control's order.
TEST_F(SaverWindowTest, DestroyingTheWindowTearsTheControlDown) {
  CreateWithScriptedControl();
  HWND form = FormWindow();
  script_.calls.clear();
  window_.reset();
  EXPECT_FALSE(IsWindow(form));
  EXPECT_EQ(script_.calls,
            (std::vector<std::string>{"InPlaceDeactivate", "Close 1", "SetClientSite null",
                                      "Released"}));
}

}  // namespace
}  // namespace swfsaver::win32
