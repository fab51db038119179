#include "platform/win32/FlashControlWin32.h"

#include <string>

#include "platform/win32/OleError.h"
#include "platform/win32/Text.h"
#include "standin/flash/movie/StoredControlData.h"

namespace swfsaver::win32 {
namespace {

// Dispatch identifiers of the properties the saver uses.
constexpr DISPID kMovieId = 0x66;
constexpr DISPID kBackgroundColorId = 0x7B;
constexpr DISPID kTotalFramesId = 0x7C;

// Vtable slots of IShockwaveFlash: 0-2 IUnknown, 3-6 IDispatch, 7 get_ReadyState, ...
constexpr int kPlaySlot = 28;
constexpr int kCurrentFrameSlot = 35;

using PlayMethod = HRESULT(STDMETHODCALLTYPE*)(IDispatch* self);
using CurrentFrameMethod = HRESULT(STDMETHODCALLTYPE*)(IDispatch* self, long* frame);

template <typename Method>
Method VtableSlot(IDispatch* object, int slot) {
  void** vtable = *reinterpret_cast<void***>(object);
  return reinterpret_cast<Method>(vtable[slot]);
}

// A VARIANT that is cleared whichever way the call goes.
struct OwnedVariant {
  OwnedVariant() { VariantInit(&value); }
  ~OwnedVariant() { VariantClear(&value); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  VARIANT value;
};

// An Invoke that failed with DISP_E_EXCEPTION reports the control's own code and text in the
// exception record; the HRESULT the error carries is that code.
void CheckInvoke(HRESULT result, EXCEPINFO& exception) {
  if (result != DISP_E_EXCEPTION) {
    OleCheck(result);
    return;
  }
  if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  const HRESULT code = FAILED(exception.scode) ? exception.scode : result;
  std::string message;
  if (exception.bstrDescription != nullptr) {
    message = WideToUtf8(std::wstring_view(exception.bstrDescription,
                                           SysStringLen(exception.bstrDescription)));
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  ThrowOleError(code, std::move(message));
}

}  // namespace

FlashControlWin32::FlashControlWin32(HWND panel, HWND frame, const CLSID& controlClass)
    : panel_(panel), site_(OleRef<OleControlSite>::Adopt(OleControlSite::Create(panel, frame))) {
  site_->SetPosition(bounds_);
  try {
    Create(controlClass);
  } catch (...) {
    Teardown();
    throw;
  }
}

FlashControlWin32::~FlashControlWin32() { Teardown(); }

void FlashControlWin32::Create(const CLSID& controlClass) {
  OleCheck(CoCreateInstance(controlClass, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                            object_.ReceiveVoid()));
  // A control that needs its ambient properties while it loads asks for its site first.
  DWORD status = 0;
  if (FAILED(object_->GetMiscStatus(DVASPECT_CONTENT, &status))) status = 0;
  const bool siteFirst = (status & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (siteFirst) OleCheck(object_->SetClientSite(site_->ClientSite()));
  LoadStoredData();
  if (!siteFirst) OleCheck(object_->SetClientSite(site_->ClientSite()));

  OleCheck(object_->QueryInterface(IID_IDispatch, dispatch_.ReceiveVoid()));
  OleCheck(object_->QueryInterface(kShockwaveFlashInterface, shockwaveFlash_.ReceiveVoid()));

  RECT position = bounds_;
  OleCheck(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_->ClientSite(), 0, panel_,
                           &position));
  OleCheck(object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.ReceiveVoid()));
  // A control without an active object simply claims no keys.
  if (FAILED(object_->QueryInterface(IID_IOleInPlaceActiveObject, activeObject_.ReceiveVoid()))) {
    activeObject_.Reset();
  }
}

void FlashControlWin32::LoadStoredData() {
  OleRef<IPersistStreamInit> persist;
  OleCheck(object_->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()));
  OleRef<IStream> stream;
  OleCheck(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()));
  const auto& data = flash::kStoredControlData;
  OleCheck(stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr));
  OleCheck(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
  OleCheck(persist->Load(stream.Get()));
}

// The control gives back the site's references only once it is deactivated, closed and
// detached, in this order; then the host lets go of its own.
void FlashControlWin32::Teardown() {
  if (inPlace_) inPlace_->InPlaceDeactivate();
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  activeObject_.Reset();
  inPlace_.Reset();
  shockwaveFlash_.Reset();
  dispatch_.Reset();
  object_.Reset();
}

void FlashControlWin32::SetBackgroundColor(int32_t color) {
  OwnedVariant value;
  value.value.vt = VT_I4;
  value.value.lVal = color;
  PutProperty(kBackgroundColorId, value.value);
}

void FlashControlWin32::SetMovie(const std::string& ansiPath) {
  const std::wstring path = AnsiToWide(ansiPath);
  OwnedVariant value;
  value.value.vt = VT_BSTR;
  value.value.bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
  if (value.value.bstrVal == nullptr) ThrowOleError(E_OUTOFMEMORY);
  PutProperty(kMovieId, value.value);
}

void FlashControlWin32::Play() {
  OleCheck(VtableSlot<PlayMethod>(shockwaveFlash_.Get(), kPlaySlot)(shockwaveFlash_.Get()));
}

int32_t FlashControlWin32::TotalFrames() { return GetIntegerProperty(kTotalFramesId); }

int32_t FlashControlWin32::CurrentFrame() {
  long frame = 0;
  OleCheck(VtableSlot<CurrentFrameMethod>(shockwaveFlash_.Get(), kCurrentFrameSlot)(
      shockwaveFlash_.Get(), &frame));
  return frame;
}

void FlashControlWin32::PutProperty(DISPID id, VARIANT& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&value, &named, 1, 1};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  CheckInvoke(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                &parameters, nullptr, &exception, &argumentError),
              exception);
}

int32_t FlashControlWin32::GetIntegerProperty(DISPID id) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  OwnedVariant result;
  EXCEPINFO exception{};
  UINT argumentError = 0;
  CheckInvoke(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                &result.value, &exception, &argumentError),
              exception);
  if (result.value.vt == VT_I4) return result.value.lVal;
  OleCheck(VariantChangeType(&result.value, &result.value, 0, VT_I4));
  return result.value.lVal;
}

// --- layout: each property on its own, as a designer sets them ---

void FlashControlWin32::SetLeft(int32_t left) {
  const LONG width = bounds_.right - bounds_.left;
  bounds_.left = left;
  bounds_.right = left + width;
  ApplyBounds();
}

void FlashControlWin32::SetTop(int32_t top) {
  const LONG height = bounds_.bottom - bounds_.top;
  bounds_.top = top;
  bounds_.bottom = top + height;
  ApplyBounds();
}

void FlashControlWin32::SetWidth(int32_t width) {
  bounds_.right = bounds_.left + width;
  ApplyBounds();
}

void FlashControlWin32::SetHeight(int32_t height) {
  bounds_.bottom = bounds_.top + height;
  ApplyBounds();
}

void FlashControlWin32::AlignToClient() {
  alignedToClient_ = true;
  ApplyBounds();
}

void FlashControlWin32::PanelResized() {
  if (alignedToClient_) ApplyBounds();
}

RECT FlashControlWin32::Bounds() const {
  if (!alignedToClient_) return bounds_;
  RECT client{};
  GetClientRect(panel_, &client);
  return client;
}

void FlashControlWin32::ApplyBounds() {
  RECT position = Bounds();
  site_->SetPosition(position);
  if (inPlace_) OleCheck(inPlace_->SetObjectRects(&position, &position));
}

bool FlashControlWin32::TranslateAccelerator(MSG& message) {
  return activeObject_ && activeObject_->TranslateAccelerator(&message) == S_OK;
}

HWND FlashControlWin32::Window() {
  HWND window = nullptr;
  if (inPlace_ && SUCCEEDED(inPlace_->GetWindow(&window))) return window;
  return nullptr;
}

}  // namespace swfsaver::win32
