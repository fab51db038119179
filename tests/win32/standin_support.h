// Shared pieces of the stand-in control's Wine tests: the DLL's path and its registration,
// COM for the test thread, a small OLE site that records what the control asks of it, movies
// written on the fly, a message pump with a deadline, and IDispatch calls by identifier.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flashapi/ShockwaveFlash.h"
#include "standin/flash/Registration.h"
#include "tools/SwfWriter.h"

namespace swfsaver::standin_test {

// build/win64/tests/win32/<test>.exe -> build/win64/FlashStandin.dll
inline std::wstring StandinDllPath() {
  wchar_t exe[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  std::wstring path = exe;
  path.resize(path.find_last_of(L'\\') + 1);
  path += L"..\\..\\FlashStandin.dll";
  wchar_t full[MAX_PATH * 2] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  return full;
}

inline std::wstring TempPath(const std::wstring& name) {
  wchar_t directory[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, directory);
  return std::wstring(directory) + L"standin_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name;
}

inline std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out.push_back(static_cast<char>(c));  // test paths are ASCII
  return out;
}

// Writes a movie to a temporary file that is deleted with this object.
class TempMovie {
 public:
  TempMovie(const std::wstring& name, const tools::SwfOptions& options) : path_(TempPath(name)) {
    EXPECT_TRUE(tools::WriteFileBytes(Narrow(path_), tools::WriteSwf(options)));
  }
  TempMovie(const std::wstring& name, const std::vector<uint8_t>& bytes) : path_(TempPath(name)) {
    EXPECT_TRUE(tools::WriteFileBytes(Narrow(path_), bytes));
  }
  ~TempMovie() { DeleteFileW(path_.c_str()); }
  const std::wstring& Path() const { return path_; }

 private:
  std::wstring path_;
};

inline tools::SwfOptions MovieOptions(uint32_t width, uint32_t height, unsigned fps, uint16_t frames,
                           bool compressed = false) {
  tools::SwfOptions options;
  options.widthPixels = width;
  options.heightPixels = height;
  options.frameRate = tools::FrameRate(fps);
  options.frameCount = frames;
  options.compressed = compressed;
  return options;
}

// COM on the test thread, and the stand-in registered machine-wide (as Wine needs it), which
// is also how the test leaves the prefix for the tests that follow.
class StandinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_EQ(flash::RegisterFlashStandin(StandinDllPath().c_str()), S_OK);
  }
  void TearDown() override { OleUninitialize(); }

  template <typename Interface>
  Interface* Create(REFIID iid) {
    Interface* object = nullptr;
    const HRESULT hr = CoCreateInstance(flashapi::kClsidShockwaveFlash, nullptr, CLSCTX_INPROC_SERVER,
                                        iid, reinterpret_cast<void**>(&object));
    EXPECT_EQ(hr, S_OK);
    return object;
  }
};

// Runs the thread's messages until ms have passed or until done() holds, asking done() after
// every message (so no frame step goes unseen); sleeps in MsgWaitForMultipleObjects between
// messages, so it never spins.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
  const ULONGLONG deadline = GetTickCount64() + ms;
  if (done()) return true;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
      if (done()) return true;
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

inline void Pump(DWORD ms) {
  PumpUntil(ms, [] { return false; });
}

// IDispatch by identifier, as the saver calls the control's properties.
inline HRESULT PutProperty(IDispatch* dispatch, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                          nullptr, nullptr, nullptr);
}

inline HRESULT PutMovie(IDispatch* dispatch, const std::wstring& path) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = SysAllocString(path.c_str());
  const HRESULT hr = PutProperty(dispatch, flashapi::kDispidMovie, value);
  VariantClear(&value);
  return hr;
}

inline HRESULT PutLong(IDispatch* dispatch, DISPID id, long number) {
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_I4;
  V_I4(&value) = number;
  return PutProperty(dispatch, id, value);
}

inline long GetLong(IDispatch* dispatch, DISPID id, WORD flags = DISPATCH_PROPERTYGET) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, &result,
                                      nullptr, nullptr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(V_VT(&result), VT_I4);
  return V_I4(&result);
}

inline HRESULT CallMethod(IDispatch* dispatch, DISPID id) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                          nullptr, nullptr);
}

// A minimal host: a top-level window and one site object (IOleClientSite + IOleInPlaceSite)
// that counts what the control calls. Lives on the stack of a test; the control's references
// to it are balanced by the time the test ends.
//
// Wine without a window manager waits about 2 s when a visible top-level window goes away, so
// the host window is shown only for the tests that look at pixels.
class TestSite final : public IOleClientSite, public IOleInPlaceSite {
 public:
  explicit TestSite(bool visible = false) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"StandinTestHost";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, L"StandinTestHost", L"host", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 400,
                              300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~TestSite() {
    DestroyWindow(window_);
    EXPECT_EQ(references_, 1u) << "the control kept a reference to its site";
  }

  HWND Window() const { return window_; }
  RECT rect{10, 20, 210, 170};  // what GetWindowContext reports
  HRESULT canActivate = S_OK;
  int activated = 0;
  int deactivated = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }

  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return canActivate; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
    ++activated;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *document = nullptr;
    *position = rect;
    *clip = rect;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
    ++deactivated;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  HWND window_ = nullptr;
  ULONG references_ = 1;
};

// The control's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

inline COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return color;
}

// A control created and attached to a TestSite, not yet activated; released on tear-down.
class StandinInPlace : public StandinTest {
 protected:
  explicit StandinInPlace(bool visibleHost = false) : site_(visibleHost) {}

  void SetUp() override {
    StandinTest::SetUp();
    object_ = Create<IOleObject>(IID_IOleObject);
    ASSERT_NE(object_, nullptr);
    ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_)),
              S_OK);
    ASSERT_EQ(object_->SetClientSite(&site_), S_OK);
  }
  void TearDown() override {
    if (inPlace_) inPlace_->Release();
    if (object_) {
      object_->Close(OLECLOSE_NOSAVE);
      object_->SetClientSite(nullptr);
      EXPECT_EQ(object_->Release(), 0u);
    }
    StandinTest::TearDown();
  }

  HWND ControlWindow() {
    HWND window = nullptr;
    return inPlace_->GetWindow(&window) == S_OK ? window : nullptr;
  }

  TestSite site_;
  IOleObject* object_ = nullptr;
  IOleInPlaceObject* inPlace_ = nullptr;
};

}  // namespace swfsaver::standin_test
