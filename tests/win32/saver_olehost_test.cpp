// The OLE host of the Flash control against the stand-in control registered in the prefix:
// the site's one QueryInterface table, hosting, the five operations, layout, teardown and the
// class that is not registered.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/win32/OleControlSite.h"
#include "platform/win32/Win32FlashControl.h"
#include "standin/flash/Registration.h"
#include "tests/win32/saver_host_windows.h"
#include "tests/win32/standin_support.h"
#include "tools/SwfWriter.h"

namespace swfsaver::win32 {
namespace {

std::string TempFile(const std::string& name) {
  char directory[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, directory);
  return std::string(directory) + "saver_olehost_" + std::to_string(GetCurrentProcessId()) + "_" +
         name;
}

// Runs the thread's messages for ms; sleeps between them.
void Pump(DWORD ms) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

// The control window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG width, LONG height) {
  EXPECT_EQ(rect.left, left);
  EXPECT_EQ(rect.top, top);
  EXPECT_EQ(rect.right - rect.left, width);
  EXPECT_EQ(rect.bottom - rect.top, height);
}

class OleHostTest : public testing::HostWindowsTest {
 protected:
  void TearDown() override {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    HostWindowsTest::TearDown();
  }

  // Hosts the stand-in, registering it machine-wide first (as Wine needs; writing it again is
  // harmless).
  std::unique_ptr<Win32FlashControl> HostStandin() {
    EXPECT_EQ(flash::RegisterFlashStandin(standin_test::StandinDllPath().c_str()), S_OK);
    return std::make_unique<Win32FlashControl>(panel_, frame_);
  }

  std::string Movie(const std::string& name, unsigned fps, uint16_t frames) {
    tools::SwfOptions options;
    options.frameRate = tools::FrameRate(fps);
    options.frameCount = frames;
    const std::string path = TempFile(name);
    EXPECT_TRUE(tools::WriteFileBytes(path, tools::WriteSwf(options)));
    files_.push_back(path);
    return path;
  }

  std::vector<std::string> files_;
};

// Every part answers every interface id with the same part, so a control gets the same
// pointer whichever part it asks; IUnknown is one identity; each answer adds one reference.
TEST_F(OleHostTest, SiteQueryInterfaceTableMapsEachInterfaceToItsPart) {
  OleControlSite* site = OleControlSite::Create(panel_, frame_);
  IUnknown* client = site->ClientSite();
  IUnknown* inPlace = site->InPlaceSite();
  IUnknown* frame = site->Frame();
  IUnknown* ambient = site->Ambient();
  const std::vector<std::pair<const IID*, IUnknown*>> table = {
      {&IID_IUnknown, client},         {&IID_IOleClientSite, client},
      {&IID_IOleWindow, inPlace},      {&IID_IOleInPlaceSite, inPlace},
      {&IID_IOleInPlaceUIWindow, frame}, {&IID_IOleInPlaceFrame, frame},
      {&IID_IDispatch, ambient},
  };
  ULONG expectedReferences = 1;
  for (IUnknown* asked : {client, inPlace, frame, ambient}) {
    for (const auto& [iid, part] : table) {
      void* answer = nullptr;
      ASSERT_EQ(asked->QueryInterface(*iid, &answer), S_OK);
      EXPECT_EQ(answer, part);
      ++expectedReferences;
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(asked->QueryInterface(IID_IOleObject, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(asked->QueryInterface(IID_IOleContainer, &none), E_NOINTERFACE);
  }
  EXPECT_EQ(client->AddRef(), expectedReferences + 1);
  // Every part's Release counts down the one site count, whichever part took the reference.
  IUnknown* const parts[] = {client, inPlace, frame, ambient};
  for (ULONG remaining = expectedReferences; remaining >= 1; --remaining) {
    EXPECT_EQ(parts[remaining % 4]->Release(), remaining);
  }
  EXPECT_EQ(site->Release(), 0u);
}

// The in-place site speaks for the panel, the frame for the top-level window; the context the
// control activates in is the host's rectangle, clipped by nothing else.
TEST_F(OleHostTest, SiteReportsContainerFrameAndPosition) {
  OleControlSite* site = OleControlSite::Create(panel_, frame_);
  site->SetPosition(RECT{-38, -16, 1063, 784});
  HWND window = nullptr;
  ASSERT_EQ(site->InPlaceSite()->GetWindow(&window), S_OK);
  EXPECT_EQ(window, panel_);
  ASSERT_EQ(site->Frame()->GetWindow(&window), S_OK);
  EXPECT_EQ(window, frame_);

  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
  RECT position{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  ASSERT_EQ(site->InPlaceSite()->GetWindowContext(&frame, &document, &position, &clip, &info),
            S_OK);
  EXPECT_EQ(frame, site->Frame());
  EXPECT_EQ(document, nullptr);
  ExpectRect(position, -38, -16, 1101, 800);
  ExpectRect(clip, -38, -16, 1101, 800);
  EXPECT_EQ(info.hwndFrame, frame_);
  EXPECT_EQ(info.cAccelEntries, 0u);
  EXPECT_EQ(frame->Release(), 1u);  // GetWindowContext handed over a reference

  VARIANT value;
  VariantInit(&value);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ASSERT_EQ(site->Ambient()->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET,
                                    &none, &value, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(value.vt, VT_BOOL);
  EXPECT_EQ(value.boolVal, VARIANT_TRUE);
  EXPECT_EQ(site->Ambient()->Invoke(DISPID_AMBIENT_BACKCOLOR, IID_NULL, 0, DISPATCH_PROPERTYGET,
                                    &none, &value, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(site->Release(), 0u);
}

// The stand-in, hosted by class id: the movie loads, reports its frame count, and plays on
// the control's timer once Play was called through the vtable.
TEST_F(OleHostTest, HostsTheControlAndDrivesItsFiveOperations) {
  const std::string path = Movie("twelve.swf", 30, 12);
  auto flash = HostStandin();
  ASSERT_NE(flash->Window(), nullptr);
  EXPECT_TRUE(IsChild(panel_, flash->Window()));

  flash->SetBackgroundColor(0);
  flash->SetMovie(path);
  EXPECT_EQ(flash->TotalFrames(), 12);
  EXPECT_EQ(flash->CurrentFrame(), 0);
  Pump(150);
  EXPECT_EQ(flash->CurrentFrame(), 0) << "the movie ran before Play";

  flash->Play();
  Pump(200);
  const int32_t frame = flash->CurrentFrame();
  EXPECT_GT(frame, 0);
  EXPECT_LT(frame, 12);

  // Setting the same movie again starts it over from its first frame.
  flash->SetMovie(path);
  EXPECT_EQ(flash->CurrentFrame(), 0);
  flash->SetMovie(TempFile("missing.swf"));
  EXPECT_EQ(flash->TotalFrames(), 0);
}

// Each layout property moves the control's window on its own; aligned, it fills the panel
// and follows it.
TEST_F(OleHostTest, LayoutMovesTheControlWindow) {
  auto flash = HostStandin();
  HWND window = flash->Window();
  ASSERT_NE(window, nullptr);
  ExpectRect(RectInParent(window), 24, 8, 193, 169);

  flash->SetLeft(-38);
  ExpectRect(RectInParent(window), -38, 8, 193, 169);
  flash->SetTop(-16);
  flash->SetWidth(1101);
  flash->SetHeight(800);
  ExpectRect(RectInParent(window), -38, -16, 1101, 800);
  ExpectRect(flash->Bounds(), -38, -16, 1101, 800);
  ExpectRect(flash->Site().Position(), -38, -16, 1101, 800);

  flash->PanelResized();  // not aligned: stays where it was put
  ExpectRect(RectInParent(window), -38, -16, 1101, 800);

  flash->AlignToClient();
  ExpectRect(RectInParent(window), 0, 0, 640, 480);
  MoveWindow(panel_, 0, 0, 300, 200, TRUE);
  flash->PanelResized();
  ExpectRect(RectInParent(window), 0, 0, 300, 200);
}

// After teardown the control holds no reference to the site: the host's own is the last.
TEST_F(OleHostTest, TeardownGivesBackEveryReferenceOfTheSite) {
  const std::string path = Movie("one.swf", 12, 1);
  auto flash = HostStandin();
  flash->SetMovie(path);
  flash->Play();
  HWND window = flash->Window();
  OleControlSite& site = flash->Site();
  site.AddRef();
  flash.reset();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(site.Release(), 0u);
}

TEST_F(OleHostTest, ClassNotRegisteredRaisesWithItsHresult) {
  // {0D5C1F7A-2B6E-4C3D-8E9F-A0B1C2D3E4F5}: registered nowhere.
  constexpr CLSID kNowhere = {
      0x0D5C1F7A, 0x2B6E, 0x4C3D, {0x8E, 0x9F, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4, 0xF5}};
  try {
    Win32FlashControl flash(panel_, frame_, kNowhere);
    FAIL() << "a control of an unregistered class was created";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(static_cast<uint32_t>(error.ErrorCode()), 0x80040154u);
    EXPECT_FALSE(error.Message().empty());
    EXPECT_STREQ(error.ClassName(), "EOleSysError");
  }
  EXPECT_EQ(GetWindow(panel_, GW_CHILD), nullptr);
}

}  // namespace
}  // namespace swfsaver::win32
