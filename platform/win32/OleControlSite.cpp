#include "platform/win32/OleControlSite.h"

#include <olectl.h>

namespace swfsaver::win32 {

// The one QueryInterface table. IOleWindow is the in-place site's: a control asking its site
// for a window wants the container it sits in, not the frame.
struct OleControlSite::InterfaceEntry {
  const IID* iid;
  IUnknown* (*part)(OleControlSite& site);
};

const OleControlSite::InterfaceEntry OleControlSite::kInterfaces[] = {
    {&IID_IUnknown, [](OleControlSite& s) -> IUnknown* { return &s.clientSite_; }},
    {&IID_IOleClientSite, [](OleControlSite& s) -> IUnknown* { return &s.clientSite_; }},
    {&IID_IOleWindow, [](OleControlSite& s) -> IUnknown* { return &s.inPlaceSite_; }},
    {&IID_IOleInPlaceSite, [](OleControlSite& s) -> IUnknown* { return &s.inPlaceSite_; }},
    {&IID_IOleInPlaceUIWindow, [](OleControlSite& s) -> IUnknown* { return &s.framePart_; }},
    {&IID_IOleInPlaceFrame, [](OleControlSite& s) -> IUnknown* { return &s.framePart_; }},
    {&IID_IDispatch, [](OleControlSite& s) -> IUnknown* { return &s.ambient_; }},
};

OleControlSite* OleControlSite::Create(HWND container, HWND frame) {
  return new OleControlSite(container, frame);
}

OleControlSite::OleControlSite(HWND container, HWND frame) : container_(container), frame_(frame) {}

HRESULT OleControlSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
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

ULONG OleControlSite::Release() {
  const ULONG remaining = --references_;
  if (remaining == 0) delete this;
  return remaining;
}

// --- IOleClientSite: the site of a control that is never saved, linked or embedded ---

HRESULT OleControlSite::ClientSitePart::SaveObject() { return E_NOTIMPL; }

HRESULT OleControlSite::ClientSitePart::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT OleControlSite::ClientSitePart::GetContainer(IOleContainer** container) {
  if (container != nullptr) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT OleControlSite::ClientSitePart::ShowObject() { return S_OK; }
HRESULT OleControlSite::ClientSitePart::OnShowWindow(BOOL) { return S_OK; }
HRESULT OleControlSite::ClientSitePart::RequestNewObjectLayout() { return E_NOTIMPL; }

// --- IDispatch: ambient properties ---

HRESULT OleControlSite::AmbientPart::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT OleControlSite::AmbientPart::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info != nullptr) *info = nullptr;
  return E_NOTIMPL;
}

HRESULT OleControlSite::AmbientPart::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT OleControlSite::AmbientPart::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                            VARIANT* result, EXCEPINFO*, UINT*) {
  if ((flags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
  bool value = false;
  switch (id) {
    case DISPID_AMBIENT_USERMODE:  // running, not in a designer
      value = true;
      break;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
      value = false;
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
  if (result == nullptr) return E_POINTER;
  VariantInit(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace swfsaver::win32
