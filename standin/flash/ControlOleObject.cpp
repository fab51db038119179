// IOleObject: the site, the verbs that activate the control in place, its extent and status.
// Linking, advise sinks, monikers and data transfer are not part of an embedded control's
// life in the saver and answer as not supported.
#include "standin/flash/StandinControl.h"

namespace swfsaver::flash {

HRESULT STDMETHODCALLTYPE StandinControl::SetClientSite(IOleClientSite* site) {
  if (site) site->AddRef();
  if (clientSite_) clientSite_->Release();
  clientSite_ = site;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = clientSite_;
  if (clientSite_) clientSite_->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::Close(DWORD) {
  trace_.Line(L"Close");
  InPlaceDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE StandinControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandinControl::InitFromData(IDataObject*, BOOL, DWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

// Every activating verb activates in place: the control has no separate window to open and no
// user interface of its own (menus, toolbars) to show.
HRESULT STDMETHODCALLTYPE StandinControl::DoVerb(LONG verb, LPMSG, IOleClientSite* activeSite,
                                                 LONG, HWND parent, LPCRECT position) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
      return ActivateInPlace(activeSite, parent, position);
    case OLEIVERB_HIDE:
      if (window_) ShowWindow(window_, SW_HIDE);
      return S_OK;
    default:
      return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

HRESULT STDMETHODCALLTYPE StandinControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (verbs) *verbs = nullptr;
  return OLEOBJ_E_NOVERBS;
}

HRESULT STDMETHODCALLTYPE StandinControl::Update() { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::IsUpToDate() { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

HRESULT STDMETHODCALLTYPE StandinControl::GetUserType(DWORD, LPOLESTR* type) {
  if (type) *type = nullptr;
  return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE StandinControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
  extent_ = *size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::Advise(IAdviseSink*, DWORD* connection) {
  if (connection) *connection = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE StandinControl::Unadvise(DWORD) { return OLE_E_NOCONNECTION; }

HRESULT STDMETHODCALLTYPE StandinControl::EnumAdvise(IEnumSTATDATA** advise) {
  if (advise) *advise = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

// Tells the host to set the site before loading the data, to activate the control as soon as
// it is visible, and that it is an inside-out object with its own window.
HRESULT STDMETHODCALLTYPE StandinControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
            OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

}  // namespace swfsaver::flash
