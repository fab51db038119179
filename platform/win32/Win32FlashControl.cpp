#include "platform/win32/Win32FlashControl.h"

#include <string>

#include "flashapi/StandinSound.h"
#include "flashapi/StoredControlData.h"
#include "platform/win32/OleError.h"
#include "platform/win32/ProcessAudio.h"
#include "platform/win32/Text.h"

namespace swfsaver::win32 {
namespace {

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

Win32FlashControl::Win32FlashControl(HWND panel, HWND frame, const CLSID& controlClass)
    : panel_(panel), site_(OleRef<OleControlSite>::Adopt(OleControlSite::Create(panel, frame))) {
  site_->SetPosition(bounds_);
  try {
    Create(controlClass);
  } catch (...) {
    Teardown();
    throw;
  }
}

Win32FlashControl::~Win32FlashControl() {
  Teardown();
  if (sessionMuted_) SetProcessAudioMuted(false);
}

void Win32FlashControl::MuteSound() {
  sessionMuted_ = SetProcessAudioMuted(true);
  OleRef<flashapi::IStandinSound> standin;
  if (object_ && SUCCEEDED(object_->QueryInterface(flashapi::kIidStandinSound, standin.ReceiveVoid()))) {
    standin->SetMuted(TRUE);
  }
}

void Win32FlashControl::Create(const CLSID& controlClass) {
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
  OleCheck(object_->QueryInterface(flashapi::kIidShockwaveFlash, shockwaveFlash_.ReceiveVoid()));

  RECT position = bounds_;
  OleCheck(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_->ClientSite(), 0, panel_,
                           &position));
  OleCheck(object_->QueryInterface(IID_IOleInPlaceObject, inPlace_.ReceiveVoid()));
  // A control without an active object simply claims no keys.
  if (FAILED(object_->QueryInterface(IID_IOleInPlaceActiveObject, activeObject_.ReceiveVoid()))) {
    activeObject_.Reset();
  }
}

void Win32FlashControl::LoadStoredData() {
  OleRef<IPersistStreamInit> persist;
  OleCheck(object_->QueryInterface(IID_IPersistStreamInit, persist.ReceiveVoid()));
  OleRef<IStream> stream;
  OleCheck(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()));
  const auto& data = flashapi::kStoredControlData;
  OleCheck(stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr));
  OleCheck(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
  OleCheck(persist->Load(stream.Get()));
}

// The control gives back the site's references only once it is deactivated, closed and
// detached, in this order; then the host lets go of its own.
void Win32FlashControl::Teardown() {
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

void Win32FlashControl::SetBackgroundColor(int32_t color) {
  OwnedVariant value;
  value.value.vt = VT_I4;
  value.value.lVal = color;
  PutProperty(flashapi::kDispidBackgroundColor, value.value);
}

void Win32FlashControl::SetMovie(const std::string& ansiPath) {
  const std::wstring path = AnsiToWide(ansiPath);
  OwnedVariant value;
  value.value.vt = VT_BSTR;
  value.value.bstrVal = SysAllocStringLen(path.data(), static_cast<UINT>(path.size()));
  if (value.value.bstrVal == nullptr) ThrowOleError(E_OUTOFMEMORY);
  PutProperty(flashapi::kDispidMovie, value.value);
}

void Win32FlashControl::Play() {
  OleCheck(shockwaveFlash_->Play());
}

int32_t Win32FlashControl::TotalFrames() { return GetIntegerProperty(flashapi::kDispidTotalFrames); }

int32_t Win32FlashControl::CurrentFrame() {
  long frame = 0;
  OleCheck(shockwaveFlash_->CurrentFrame(&frame));
  return frame;
}

void Win32FlashControl::PutProperty(DISPID id, VARIANT& value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{&value, &named, 1, 1};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  CheckInvoke(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                &parameters, nullptr, &exception, &argumentError),
              exception);
}

int32_t Win32FlashControl::GetIntegerProperty(DISPID id) {
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

void Win32FlashControl::SetLeft(int32_t left) {
  const LONG width = bounds_.right - bounds_.left;
  bounds_.left = left;
  bounds_.right = left + width;
  ApplyBounds();
}

void Win32FlashControl::SetTop(int32_t top) {
  const LONG height = bounds_.bottom - bounds_.top;
  bounds_.top = top;
  bounds_.bottom = top + height;
  ApplyBounds();
}

void Win32FlashControl::SetWidth(int32_t width) {
  bounds_.right = bounds_.left + width;
  ApplyBounds();
}

void Win32FlashControl::SetHeight(int32_t height) {
  bounds_.bottom = bounds_.top + height;
  ApplyBounds();
}

void Win32FlashControl::AlignToClient() {
  alignedToClient_ = true;
  ApplyBounds();
}

void Win32FlashControl::PanelResized() {
  if (alignedToClient_) ApplyBounds();
}

RECT Win32FlashControl::Bounds() const {
  if (!alignedToClient_) return bounds_;
  RECT client{};
  GetClientRect(panel_, &client);
  return client;
}

void Win32FlashControl::ApplyBounds() {
  RECT position = Bounds();
  site_->SetPosition(position);
  if (inPlace_) OleCheck(inPlace_->SetObjectRects(&position, &position));
}

bool Win32FlashControl::TranslateAccelerator(MSG& message) {
  return activeObject_ && activeObject_->TranslateAccelerator(&message) == S_OK;
}

HWND Win32FlashControl::Window() {
  HWND window = nullptr;
  if (inPlace_ && SUCCEEDED(inPlace_->GetWindow(&window))) return window;
  return nullptr;
}

}  // namespace swfsaver::win32
