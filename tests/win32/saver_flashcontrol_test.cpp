// The host's side of the conversation with the control, against a control that records each
// call and fails the one the test names: the order of creation and teardown, the stored data,
// how each property and method is called, and every failure raised with its HRESULT and with
// nothing left behind.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "platform/Exceptions.h"
#include "platform/win32/Win32FlashControl.h"
#include "tests/win32/saver_host_windows.h"
#include "tests/win32/saver_scripted_control.h"

namespace swfsaver::win32 {
namespace {

using testing::ControlScript;
using testing::kScriptedControlClass;
using testing::ScriptedControlClass;
using Calls = std::vector<std::string>;

class FlashControlTest : public testing::HostWindowsTest {
 protected:
  void SetUp() override {
    HostWindowsTest::SetUp();
    registration_ = std::make_unique<ScriptedControlClass>(script_);
  }
  void TearDown() override {
    registration_.reset();
    HostWindowsTest::TearDown();
  }

  std::unique_ptr<Win32FlashControl> Host() {
    return std::make_unique<Win32FlashControl>(panel_, frame_, kScriptedControlClass);
  }

  // Creating the control fails with the HRESULT the script gives the named call, and leaves
  // no control, no window and no reference behind.
  void ExpectCreationFails(const std::string& call, HRESULT failure) {
    script_.failures = {{call, failure}};
    script_.calls.clear();
    try {
      Host();
      ADD_FAILURE() << "creation went through although " << call << " failed";
    } catch (const EOleSysError& error) {
      EXPECT_EQ(error.ErrorCode(), static_cast<int32_t>(failure)) << call;
    }
    EXPECT_EQ(script_.liveControls, 0) << call;
    EXPECT_EQ(GetWindow(panel_, GW_CHILD), nullptr) << call;
    if (call == "CreateInstance") {
      EXPECT_TRUE(script_.calls.empty());
    } else {
      ASSERT_FALSE(script_.calls.empty()) << call;
      EXPECT_EQ(script_.calls.back(), "Released") << call;
    }
  }

  ControlScript script_;
  std::unique_ptr<ScriptedControlClass> registration_;
};

TEST_F(FlashControlTest, CreatesLoadsActivatesAndTearsDownInOrder) {
  auto flash = Host();
  EXPECT_EQ(script_.calls, (Calls{"Load 194", "SetClientSite site", "DoVerb -5 24,8,217,177"}));
  EXPECT_TRUE(std::equal(script_.loadedBytes.begin(), script_.loadedBytes.end(),
                         flashapi::kStoredControlData.begin(), flashapi::kStoredControlData.end()));
  script_.calls.clear();
  flash.reset();
  EXPECT_EQ(script_.calls,
            (Calls{"InPlaceDeactivate", "Close 1", "SetClientSite null", "Released"}));
  EXPECT_EQ(script_.liveControls, 0);
}

// A control that asks for its site before it loads gets it first, and only once.
TEST_F(FlashControlTest, ControlAskingForItsSiteFirstGetsItBeforeTheData) {
  script_.miscStatus = OLEMISC_SETCLIENTSITEFIRST;
  auto flash = Host();
  EXPECT_EQ(script_.calls, (Calls{"SetClientSite site", "Load 194", "DoVerb -5 24,8,217,177"}));
}

TEST_F(FlashControlTest, EachFailingCreationStepRaisesItsHresultAndLeavesNothing) {
  ExpectCreationFails("CreateInstance", E_OUTOFMEMORY);
  ExpectCreationFails("Load", static_cast<HRESULT>(0x80030008));  // STG_E_INSUFFICIENTMEMORY
  ExpectCreationFails("SetClientSite", E_UNEXPECTED);
  ExpectCreationFails("QueryInterface flashapi::IShockwaveFlash", E_NOINTERFACE);
  ExpectCreationFails("QueryInterface IPersistStreamInit", E_NOINTERFACE);
  ExpectCreationFails("DoVerb", static_cast<HRESULT>(0x80040003));  // OLEOBJ_E_INVALIDVERB
  ExpectCreationFails("QueryInterface IOleInPlaceObject", E_NOINTERFACE);
}

// Once activation went through, a later failure still deactivates before closing.
TEST_F(FlashControlTest, FailureAfterActivationStillTearsDownInOrder) {
  script_.failures["QueryInterface IOleInPlaceObject"] = E_NOINTERFACE;
  EXPECT_THROW(Host(), EOleSysError);
  const Calls tail(script_.calls.end() - 3, script_.calls.end());
  EXPECT_EQ(tail, (Calls{"Close 1", "SetClientSite null", "Released"}));
}

TEST_F(FlashControlTest, PropertiesGoThroughDispatchAndMethodsThroughTheVtable) {
  auto flash = Host();
  script_.calls.clear();
  flash->SetBackgroundColor(0);
  flash->SetMovie("C:\\movies\\a b.swf");
  flash->Play();
  EXPECT_EQ(flash->TotalFrames(), 7);
  EXPECT_EQ(flash->CurrentFrame(), 3);
  EXPECT_EQ(script_.calls, (Calls{"Invoke 123 put 0", "Invoke 102 put C:\\movies\\a b.swf",
                                  "Play", "Invoke 124 get", "CurrentFrame"}));
}

// A control may answer a property in another integer type; the host converts it.
TEST_F(FlashControlTest, TotalFramesInAnotherTypeIsConverted) {
  auto flash = Host();
  script_.totalFrames.vt = VT_I2;
  script_.totalFrames.iVal = 60;
  EXPECT_EQ(flash->TotalFrames(), 60);
  script_.totalFrames.vt = VT_BSTR;
  script_.totalFrames.bstrVal = SysAllocString(L"many");
  try {
    flash->TotalFrames();
    ADD_FAILURE() << "a text frame count was taken";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), static_cast<int32_t>(DISP_E_TYPEMISMATCH));
  }
  VariantClear(&script_.totalFrames);
}

TEST_F(FlashControlTest, EachFailingOperationRaisesTheControlsHresult) {
  auto flash = Host();
  struct Case {
    const char* call;
    void (*run)(Win32FlashControl&);
  };
  const Case cases[] = {
      {"Invoke 123", [](Win32FlashControl& f) { f.SetBackgroundColor(0); }},
      {"Invoke 102", [](Win32FlashControl& f) { f.SetMovie("x.swf"); }},
      {"Invoke 124", [](Win32FlashControl& f) { f.TotalFrames(); }},
      {"Play", [](Win32FlashControl& f) { f.Play(); }},
      {"CurrentFrame", [](Win32FlashControl& f) { f.CurrentFrame(); }},
      {"SetObjectRects", [](Win32FlashControl& f) { f.SetLeft(5); }},
  };
  for (const Case& c : cases) {
    script_.failures = {{c.call, E_ACCESSDENIED}};
    try {
      c.run(*flash);
      ADD_FAILURE() << c.call << " failed without an error";
    } catch (const EOleSysError& error) {
      EXPECT_EQ(error.ErrorCode(), static_cast<int32_t>(E_ACCESSDENIED)) << c.call;
      EXPECT_FALSE(error.Message().empty()) << c.call;
    }
  }
}

// An Invoke that raises reports the control's own code and text, not DISP_E_EXCEPTION.
TEST_F(FlashControlTest, DispatchExceptionCarriesTheControlsCodeAndText) {
  auto flash = Host();
  script_.failures["Invoke 102"] = DISP_E_EXCEPTION;
  script_.exceptionCode = static_cast<HRESULT>(0x800A0035);
  script_.exceptionText = L"File not found";
  try {
    flash->SetMovie("gone.swf");
    FAIL() << "the raised Invoke was taken for success";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(static_cast<uint32_t>(error.ErrorCode()), 0x800A0035u);
    EXPECT_EQ(error.Message(), "File not found");
  }
}

TEST_F(FlashControlTest, LayoutIsHandedToTheControlEachTime) {
  auto flash = Host();
  script_.calls.clear();
  flash->SetLeft(237);
  flash->SetTop(184);
  flash->SetWidth(550);
  flash->SetHeight(400);
  EXPECT_EQ(script_.calls, (Calls{"SetObjectRects 237,8,430,177 237,8,430,177",
                                  "SetObjectRects 237,184,430,353 237,184,430,353",
                                  "SetObjectRects 237,184,787,353 237,184,787,353",
                                  "SetObjectRects 237,184,787,584 237,184,787,584"}));
  script_.calls.clear();
  flash->AlignToClient();
  EXPECT_EQ(script_.calls, (Calls{"SetObjectRects 0,0,640,480 0,0,640,480"}));
}

TEST_F(FlashControlTest, AcceleratorsTheControlClaimsAreReported) {
  auto flash = Host();
  script_.acceleratorKeys = {VK_F5};
  MSG claimed{flash->Window(), WM_KEYDOWN, VK_F5, 0, 0, {}};
  MSG other{flash->Window(), WM_KEYDOWN, 'A', 0, 0, {}};
  EXPECT_TRUE(flash->TranslateAccelerator(claimed));
  EXPECT_FALSE(flash->TranslateAccelerator(other));
}

}  // namespace
}  // namespace swfsaver::win32
