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
namespace {

struct InterfaceEntry {
  const IID* iid;
  IUnknown* (*part)(StandinControl& control);
};

template <typename Base>
IUnknown* As(StandinControl& control) {
  return static_cast<Base*>(&control);
}

const InterfaceEntry kInterfaces[] = {
    {&IID_IUnknown, As<flashapi::IShockwaveFlash>},
    {&IID_IDispatch, As<flashapi::IShockwaveFlash>},
    {&flashapi::kIidShockwaveFlash, As<flashapi::IShockwaveFlash>},
    {&IID_IOleObject, As<IOleObject>},
    {&IID_IOleWindow, As<IOleInPlaceObject>},
    {&IID_IOleInPlaceObject, As<IOleInPlaceObject>},
    {&IID_IOleInPlaceActiveObject, As<IOleInPlaceActiveObject>},
    {&IID_IPersist, As<IPersistStreamInit>},
    {&IID_IPersistStreamInit, As<IPersistStreamInit>},
    {&flashapi::kIidStandinSound, As<flashapi::IStandinSound>},
};

}  // namespace

HRESULT STDMETHODCALLTYPE StandinControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  for (const InterfaceEntry& entry : kInterfaces) {
    if (IsEqualIID(iid, *entry.iid)) {
      IUnknown* part = entry.part(*this);
      part->AddRef();
      *object = part;
      return S_OK;
    }
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE StandinControl::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE StandinControl::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}

}  // namespace swfsaver::flash
