#include "standin/flash/StandinControl.h"

#include "flashapi/StoredControlData.h"
#include "standin/flash/Module.h"

namespace swfsaver::flash {

StandinControl::StandinControl()
    : extent_{flashapi::kStoredWidthHimetric, flashapi::kStoredHeightHimetric} {
  LockModule();
  trace_.Line(L"Create");
}

StandinControl::~StandinControl() {
  // A host that releases without Close still gets its window and site references back.
  DestroyControlWindow();
  if (inPlaceSite_) inPlaceSite_->Release();
  if (clientSite_) clientSite_->Release();
  UnlockModule();
}

// The one interface table. Each entry casts to the base that carries that interface's vtable;
// IUnknown and IDispatch come from IShockwaveFlash, IOleWindow from IOleInPlaceObject.
HRESULT STDMETHODCALLTYPE StandinControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
      IsEqualIID(iid, flashapi::kIidShockwaveFlash)) {
    *object = static_cast<flashapi::IShockwaveFlash*>(this);
  } else if (IsEqualIID(iid, IID_IOleObject)) {
    *object = static_cast<IOleObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject)) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (IsEqualIID(iid, IID_IOleInPlaceActiveObject)) {
    *object = static_cast<IOleInPlaceActiveObject*>(this);
  } else if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit)) {
    *object = static_cast<IPersistStreamInit*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE StandinControl::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE StandinControl::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}

}  // namespace swfsaver::flash
