// A control that the host tests steer: it records every call the host makes, in order, and
// fails the call the test names with the HRESULT it names. It is made available in-process
// under any class id (CoRegisterClassObject), so the host creates it as it would the real
// control, through CoCreateInstance. Its IShockwaveFlash is a bare vtable with Play in slot 28
// and CurrentFrame in slot 35, as the real dual interface has them.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "flashapi/ShockwaveFlash.h"

namespace swfsaver::testing {

// {5A1C0D2E-6B7F-4E21-9C3D-0F1E2D3C4B5A}
inline constexpr CLSID kScriptedControlClass = {
    0x5A1C0D2E, 0x6B7F, 0x4E21, {0x9C, 0x3D, 0x0F, 0x1E, 0x2D, 0x3C, 0x4B, 0x5A}};

struct ControlScript {
  // Call name -> HRESULT it returns: "CreateInstance", "Load", "SetClientSite", "DoVerb",
  // "QueryInterface IShockwaveFlash", "QueryInterface IOleInPlaceObject", "Invoke 124",
  // "Play", "CurrentFrame", "SetObjectRects".
  std::map<std::string, HRESULT> failures;
  // When set, a failing Invoke reports DISP_E_EXCEPTION with this code and text.
  HRESULT exceptionCode = S_OK;
  std::wstring exceptionText;
  DWORD miscStatus = 0;
  std::set<WPARAM> acceleratorKeys;  // WM_KEYDOWN keys TranslateAccelerator claims
  VARIANT totalFrames{};             // what get TotalFrames answers; VT_I4 7 unless set
  long currentFrame = 3;

  std::vector<std::string> calls;
  std::vector<unsigned> loadedBytes;  // the stored data handed to Load
  int liveControls = 0;
  RECT lastRects{};

  ControlScript() {
    totalFrames.vt = VT_I4;
    totalFrames.lVal = 7;
  }
  HRESULT Result(const std::string& call) const {
    const auto found = failures.find(call);
    return found == failures.end() ? S_OK : found->second;
  }
};

class ScriptedControl final : public IOleObject,
                              public IOleInPlaceObject,
                              public IOleInPlaceActiveObject,
                              public IPersistStreamInit,
                              public IDispatch {
 public:
  explicit ScriptedControl(ControlScript& script) : script_(script) {
    ++script_.liveControls;
    flash_.vtable = FlashVtable();
    flash_.owner = this;
  }

  // --- IUnknown ---
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = nullptr;
    std::string name;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleObject)) {
      *object = static_cast<IOleObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceObject) || IsEqualIID(iid, IID_IOleWindow)) {
      name = "IOleInPlaceObject";
      *object = static_cast<IOleInPlaceObject*>(this);
    } else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
      *object = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (IsEqualIID(iid, IID_IPersistStreamInit)) {
      name = "IPersistStreamInit";
      *object = static_cast<IPersistStreamInit*>(this);
    } else if (IsEqualIID(iid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(iid, flashapi::kIidShockwaveFlash)) {
      name = "flashapi::IShockwaveFlash";
      *object = &flash_;
    }
    if (*object == nullptr) return E_NOINTERFACE;
    if (const HRESULT failure = script_.Result("QueryInterface " + name); FAILED(failure)) {
      *object = nullptr;
      return failure;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    if (--references_ != 0) return references_;
    script_.calls.push_back(site_ != nullptr ? "Released holding the site" : "Released");
    delete this;
    return 0;
  }

  // --- IOleObject ---
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    script_.calls.push_back(site != nullptr ? "SetClientSite site" : "SetClientSite null");
    if (const HRESULT failure = script_.Result("SetClientSite"); FAILED(failure)) return failure;
    if (site != nullptr) site->AddRef();
    if (site_ != nullptr) site_->Release();
    site_ = site;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD option) override {
    script_.calls.push_back("Close " + std::to_string(option));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                   LPCRECT position) override {
    script_.calls.push_back("DoVerb " + std::to_string(verb) + Rect(*position));
    if (const HRESULT failure = script_.Result("DoVerb"); FAILED(failure)) return failure;
    if (site != site_) return E_INVALIDARG;
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, position->left,
                              position->top, position->right - position->left,
                              position->bottom - position->top, parent, nullptr, nullptr, nullptr);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
    *status = script_.miscStatus;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // --- IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject ---
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    script_.calls.push_back("InPlaceDeactivate");
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override {
    script_.calls.push_back("SetObjectRects" + Rect(*position) + Rect(*clip));
    if (const HRESULT failure = script_.Result("SetObjectRects"); FAILED(failure)) return failure;
    script_.lastRects = *position;
    if (window_ != nullptr) {
      MoveWindow(window_, position->left, position->top, position->right - position->left,
                 position->bottom - position->top, TRUE);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override {
    const bool claimed = message->message == WM_KEYDOWN &&
                         script_.acceleratorKeys.count(message->wParam) != 0;
    if (claimed) script_.calls.push_back("Accelerator " + std::to_string(message->wParam));
    return claimed ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

  // --- IPersistStreamInit ---
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = kScriptedControlClass;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override {
    unsigned char buffer[512];
    ULONG read = 0;
    stream->Read(buffer, sizeof buffer, &read);
    script_.loadedBytes.assign(buffer, buffer + read);
    script_.calls.push_back("Load " + std::to_string(read));
    return script_.Result("Load");
  }
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitNew() override {
    script_.calls.push_back("InitNew");
    return S_OK;
  }

  // --- IDispatch ---
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                   VARIANT* result, EXCEPINFO* exception, UINT*) override {
    std::string call = "Invoke " + std::to_string(id);
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    if (put) {
      const VARIANT& value = parameters->rgvarg[0];
      const bool named = parameters->cNamedArgs == 1 &&
                         parameters->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
      call += named ? " put " : " put-unnamed ";
      if (value.vt == VT_BSTR) {
        for (const wchar_t* c = value.bstrVal; *c != 0; ++c) call += static_cast<char>(*c);
      } else if (value.vt == VT_I4) {
        call += std::to_string(value.lVal);
      } else {
        call += "vt" + std::to_string(value.vt);
      }
    } else {
      call += " get";
    }
    script_.calls.push_back(call);
    if (const HRESULT failure = script_.Result("Invoke " + std::to_string(id)); FAILED(failure)) {
      if (FAILED(script_.exceptionCode) && exception != nullptr) {
        exception->scode = script_.exceptionCode;
        exception->bstrDescription = SysAllocString(script_.exceptionText.c_str());
        exception->bstrSource = SysAllocString(L"ScriptedControl");
        return DISP_E_EXCEPTION;
      }
      return failure;
    }
    if (!put && result != nullptr) VariantCopy(result, &script_.totalFrames);
    return S_OK;
  }

 private:
  ~ScriptedControl() {
    if (window_ != nullptr) DestroyWindow(window_);
    if (site_ != nullptr) site_->Release();
    --script_.liveControls;
  }

  static std::string Rect(const RECT& rect) {
    return " " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom);
  }

  // IShockwaveFlash as a bare vtable: IUnknown and IDispatch forward to the control, slot 28
  // is Play, slot 35 CurrentFrame, every other member answers E_NOTIMPL.
  struct FlashPart {
    void* const* vtable;
    ScriptedControl* owner;
  };
  static HRESULT STDMETHODCALLTYPE FlashQueryInterface(FlashPart* self, REFIID iid, void** out) {
    return self->owner->QueryInterface(iid, out);
  }
  static ULONG STDMETHODCALLTYPE FlashAddRef(FlashPart* self) { return self->owner->AddRef(); }
  static ULONG STDMETHODCALLTYPE FlashRelease(FlashPart* self) { return self->owner->Release(); }
  static HRESULT STDMETHODCALLTYPE FlashNotImplemented(FlashPart*) { return E_NOTIMPL; }
  static HRESULT STDMETHODCALLTYPE FlashPlay(FlashPart* self) {
    self->owner->script_.calls.push_back("Play");
    return self->owner->script_.Result("Play");
  }
  static HRESULT STDMETHODCALLTYPE FlashCurrentFrame(FlashPart* self, long* frame) {
    self->owner->script_.calls.push_back("CurrentFrame");
    *frame = self->owner->script_.currentFrame;
    return self->owner->script_.Result("CurrentFrame");
  }
  static void* const* FlashVtable() {
    static void* table[73];
    if (table[0] == nullptr) {
      for (void*& slot : table) slot = reinterpret_cast<void*>(&FlashNotImplemented);
      table[0] = reinterpret_cast<void*>(&FlashQueryInterface);
      table[1] = reinterpret_cast<void*>(&FlashAddRef);
      table[2] = reinterpret_cast<void*>(&FlashRelease);
      table[28] = reinterpret_cast<void*>(&FlashPlay);
      table[35] = reinterpret_cast<void*>(&FlashCurrentFrame);
    }
    return table;
  }

  ControlScript& script_;
  ULONG references_ = 1;
  IOleClientSite* site_ = nullptr;
  HWND window_ = nullptr;
  FlashPart flash_{};
};

// Makes ScriptedControl the class behind a class id for this thread, while it lives.
class ScriptedControlClass final : public IClassFactory {
 public:
  ScriptedControlClass(ControlScript& script, const CLSID& controlClass = kScriptedControlClass)
      : script_(script) {
    CoRegisterClassObject(controlClass, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~ScriptedControlClass() { CoRevokeClassObject(cookie_); }
  ScriptedControlClass(const ScriptedControlClass&) = delete;
  ScriptedControlClass& operator=(const ScriptedControlClass&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the test's stack.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    if (const HRESULT failure = script_.Result("CreateInstance"); FAILED(failure)) return failure;
    auto* control = new ScriptedControl(script_);
    const HRESULT result = control->QueryInterface(iid, object);
    control->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ControlScript& script_;
  DWORD cookie_ = 0;
};

}  // namespace swfsaver::testing
