// Hosting the stand-in control as the saver does: one interface table behind every interface,
// the stored control data through IPersistStreamInit, in-place activation on a site's window,
// moving and deactivating, and keys left to the host.
#include <array>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "tests/win32/standin_support.h"

namespace swfsaver::standin_test {
namespace {

IStream* StreamOf(const std::vector<uint8_t>& bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  void* data = GlobalLock(memory);
  if (!bytes.empty()) memcpy(data, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  EXPECT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
  return stream;
}

std::vector<uint8_t> StoredBytes() {
  return {flashapi::kStoredControlData.begin(), flashapi::kStoredControlData.end()};
}

HRESULT LoadInto(IPersistStreamInit* persist, const std::vector<uint8_t>& bytes,
                 ULONGLONG* position = nullptr) {
  IStream* stream = StreamOf(bytes);
  const HRESULT hr = persist->Load(stream);
  if (position) {
    ULARGE_INTEGER at{};
    stream->Seek({}, STREAM_SEEK_CUR, &at);
    *position = at.QuadPart;
  }
  stream->Release();
  return hr;
}

using StandinHosting = StandinTest;

TEST_F(StandinHosting, EveryInterfaceLeadsBackToOneObject) {
  IUnknown* control = Create<IUnknown>(IID_IUnknown);
  ASSERT_NE(control, nullptr);
  const IID supported[] = {IID_IDispatch,          flashapi::kIidShockwaveFlash,
                           IID_IOleObject,         IID_IOleWindow,
                           IID_IOleInPlaceObject,  IID_IOleInPlaceActiveObject,
                           IID_IPersist,           IID_IPersistStreamInit};
  for (const IID& iid : supported) {
    IUnknown* part = nullptr;
    ASSERT_EQ(control->QueryInterface(iid, reinterpret_cast<void**>(&part)), S_OK);
    IUnknown* identity = nullptr;
    ASSERT_EQ(part->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, control) << "QueryInterface table entry leads elsewhere";
    identity->Release();
    part->Release();
  }
  IUnknown* none = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&none)),
            E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(control->Release(), 0u);
}

TEST_F(StandinHosting, LoadsTheStoredControlDataAndReadsNoFurther) {
  IPersistStreamInit* persist = Create<IPersistStreamInit>(IID_IPersistStreamInit);
  ASSERT_NE(persist, nullptr);
  std::vector<uint8_t> bytes = StoredBytes();
  bytes.insert(bytes.end(), {0xAA, 0xBB});  // whatever the host keeps after it
  ULONGLONG position = 0;
  EXPECT_EQ(LoadInto(persist, bytes, &position), S_OK);
  EXPECT_EQ(position, 194u);

  IOleObject* object = nullptr;
  ASSERT_EQ(persist->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
  SIZEL extent{};
  EXPECT_EQ(object->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(extent.cx, 5106);
  EXPECT_EQ(extent.cy, 4471);
  object->Release();
  persist->Release();
}

TEST_F(StandinHosting, DamagedControlDataFailsAndLeavesTheControlUsable) {
  IPersistStreamInit* persist = Create<IPersistStreamInit>(IID_IPersistStreamInit);
  ASSERT_NE(persist, nullptr);
  struct Damage {
    const char* what;
    size_t offset;  // byte to change; SIZE_MAX: cut the data at `length`
    uint8_t value;
    size_t length;
  };
  const Damage damages[] = {
      {"empty stream", SIZE_MAX, 0, 0},
      {"cut inside the header", SIZE_MAX, 0, 10},
      {"cut inside a string", SIZE_MAX, 0, 100},
      {"one byte short", SIZE_MAX, 0, 193},
      {"magic", 1, 0x00, 194},
      {"version", 4, 0x01, 194},
      {"tag", 16, 11, 194},
      {"string length", 18, 0xFF, 194},
      {"boolean", 86, 0x7F, 194},
  };
  for (const Damage& damage : damages) {
    std::vector<uint8_t> bytes = StoredBytes();
    if (damage.offset == SIZE_MAX) {
      bytes.resize(damage.length);
    } else {
      bytes[damage.offset] = damage.value;
    }
    const HRESULT hr = LoadInto(persist, bytes);
    EXPECT_TRUE(FAILED(hr)) << damage.what << ": 0x" << std::hex << hr;
  }
  EXPECT_EQ(LoadInto(persist, StoredBytes()), S_OK) << "a good load still works afterwards";
  EXPECT_EQ(persist->InitNew(), S_OK);
  EXPECT_EQ(persist->Release(), 0u);
}

TEST_F(StandinHosting, SavedDataLoadsAgain) {
  IPersistStreamInit* persist = Create<IPersistStreamInit>(IID_IPersistStreamInit);
  ASSERT_NE(persist, nullptr);
  IStream* stream = StreamOf({});
  ASSERT_EQ(persist->Save(stream, TRUE), S_OK);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(persist->Load(stream), S_OK);
  stream->Release();
  persist->Release();
}

TEST_F(StandinInPlace, ActivatesInPlaceAsAChildOfTheSiteWindow) {
  DWORD status = 0;
  EXPECT_EQ(object_->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_TRUE(status & OLEMISC_SETCLIENTSITEFIRST);
  EXPECT_EQ(ControlWindow(), nullptr);

  ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(), &site_.rect),
            S_OK);
  HWND window = ControlWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(GetParent(window), site_.Window());
  EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);
  const RECT rect = ChildRect(window);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 210);
  EXPECT_EQ(rect.bottom, 170);
  EXPECT_EQ(site_.activated, 1);

  // Showing an active control again makes no second window.
  EXPECT_EQ(object_->DoVerb(OLEIVERB_SHOW, nullptr, &site_, 0, site_.Window(), &site_.rect), S_OK);
  EXPECT_EQ(ControlWindow(), window);
  EXPECT_EQ(site_.activated, 1);
}

TEST_F(StandinInPlace, SetObjectRectsMovesAndDeactivationDestroysTheWindow) {
  ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(), nullptr),
            S_OK);
  HWND window = ControlWindow();
  ASSERT_NE(window, nullptr);
  const RECT moved{-38, -16, -38 + 1101, -16 + 800};
  EXPECT_EQ(inPlace_->SetObjectRects(&moved, &moved), S_OK);
  const RECT rect = ChildRect(window);
  EXPECT_EQ(rect.left, -38);
  EXPECT_EQ(rect.top, -16);
  EXPECT_EQ(rect.right - rect.left, 1101);
  EXPECT_EQ(rect.bottom - rect.top, 800);

  EXPECT_EQ(inPlace_->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(ControlWindow(), nullptr);
  EXPECT_EQ(site_.deactivated, 1);
  EXPECT_EQ(inPlace_->InPlaceDeactivate(), S_OK) << "a second deactivation is harmless";
  EXPECT_EQ(site_.deactivated, 1);
}

TEST_F(StandinInPlace, SiteThatRefusesActivationGetsNoWindow) {
  site_.canActivate = S_FALSE;
  EXPECT_TRUE(FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(),
                                     &site_.rect)));
  EXPECT_EQ(ControlWindow(), nullptr);
  EXPECT_EQ(site_.activated, 0);
}

TEST_F(StandinInPlace, ClaimsNoKey) {
  ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(), nullptr),
            S_OK);
  IOleInPlaceActiveObject* active = nullptr;
  ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active)),
            S_OK);
  for (UINT message : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_CHAR}) {
    for (WPARAM key : {WPARAM{VK_ESCAPE}, WPARAM{VK_SPACE}, WPARAM{'A'}, WPARAM{VK_F4}, WPARAM{VK_TAB}}) {
      MSG msg{ControlWindow(), message, key, 0, 0, {0, 0}};
      EXPECT_EQ(active->TranslateAccelerator(&msg), S_FALSE);
    }
  }
  active->Release();
}

// The DLL may go only when no control is alive, and when it goes it takes its window class
// along: a later load must not find a class whose window procedure points at freed code.
TEST_F(StandinHosting, DllUnloadsOnlyWhenIdleAndTakesItsWindowClass) {
  HMODULE dll = LoadLibraryW(StandinDllPath().c_str());
  ASSERT_NE(dll, nullptr);
  using CanUnload = HRESULT(STDAPICALLTYPE*)();
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  auto canUnload = reinterpret_cast<CanUnload>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  ASSERT_TRUE(canUnload && getClassObject);
  EXPECT_EQ(canUnload(), S_OK);

  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject(flashapi::kClsidShockwaveFlash, IID_IClassFactory,
                           reinterpret_cast<void**>(&factory)),
            S_OK);
  IOleObject* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object)), S_OK);
  factory->Release();
  {
    TestSite site;
    object->SetClientSite(&site);
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.Window(), nullptr), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  EXPECT_TRUE(GetClassInfoExW(dll, L"SwfSaverFlashStandin", &windowClass));
  EXPECT_EQ(object->Release(), 0u);
  EXPECT_EQ(canUnload(), S_OK);

  IClassFactory* other = nullptr;
  EXPECT_EQ(getClassObject(IID_IUnknown, IID_IClassFactory, reinterpret_cast<void**>(&other)),
            CLASS_E_CLASSNOTAVAILABLE);

  FreeLibrary(dll);
  if (GetModuleHandleW(L"FlashStandin.dll") == nullptr) {  // really unloaded
    EXPECT_FALSE(GetClassInfoExW(dll, L"SwfSaverFlashStandin", &windowClass));
  }
}

}  // namespace
}  // namespace swfsaver::standin_test
