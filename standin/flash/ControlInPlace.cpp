// In-place activation through the host's IOleInPlaceSite, and the in-place object's side of
// it: moving, reporting and destroying the control's child window.
#include <string>

#include "standin/flash/StandinControl.h"

namespace swfsaver::flash {

// Asks the site for permission, its window and the control's rectangle, then puts the control's
// own window there. Activating an active control only shows its window again.
HRESULT StandinControl::ActivateInPlace(IOleClientSite* activeSite, HWND, LPCRECT position) {
  if (window_) {
    ShowWindow(window_, SW_SHOWNA);
    return S_OK;
  }
  IOleClientSite* site = activeSite ? activeSite : clientSite_;
  if (!site) return E_UNEXPECTED;
  IOleInPlaceSite* inPlaceSite = nullptr;
  if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite)))) {
    return E_NOINTERFACE;
  }
  HRESULT hr = inPlaceSite->CanInPlaceActivate();
  if (hr != S_OK) {
    inPlaceSite->Release();
    return FAILED(hr) ? hr : E_FAIL;
  }
  hr = inPlaceSite->OnInPlaceActivate();
  HWND parent = nullptr;
  if (SUCCEEDED(hr)) hr = inPlaceSite->GetWindow(&parent);
  RECT positionRect{}, clipRect{};
  IOleInPlaceFrame* frame = nullptr;
  IOleInPlaceUIWindow* document = nullptr;
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof(frameInfo);
  if (SUCCEEDED(hr)) {
    hr = inPlaceSite->GetWindowContext(&frame, &document, &positionRect, &clipRect, &frameInfo);
  }
  // The control has no menus or toolbars to merge, so it needs neither frame nor document.
  if (frame) frame->Release();
  if (document) document->Release();
  if (SUCCEEDED(hr) && position) positionRect = *position;
  if (SUCCEEDED(hr) && !CreateControlWindow(parent, positionRect)) {
    hr = HRESULT_FROM_WIN32(GetLastError());
    if (SUCCEEDED(hr)) hr = E_FAIL;
  }
  if (FAILED(hr)) {
    inPlaceSite->OnInPlaceDeactivate();
    inPlaceSite->Release();
    return hr;
  }
  inPlaceSite_ = inPlaceSite;
  TraceBounds(positionRect);
  return S_OK;
}

void StandinControl::TraceBounds(const RECT& position) {
  trace_.Line(L"Bounds", std::to_wstring(position.left) + L" " + std::to_wstring(position.top) +
                             L" " + std::to_wstring(position.right - position.left) + L" " +
                             std::to_wstring(position.bottom - position.top));
}

HRESULT STDMETHODCALLTYPE StandinControl::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return window_ ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE StandinControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE StandinControl::InPlaceDeactivate() {
  if (!inPlaceSite_ && !window_) return S_OK;
  trace_.Line(L"Deactivate");
  audio_.Play(nullptr);  // no sound outlasts the control's window
  DestroyControlWindow();
  if (inPlaceSite_) {
    IOleInPlaceSite* site = inPlaceSite_;
    inPlaceSite_ = nullptr;
    site->OnInPlaceDeactivate();
    site->Release();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::UIDeactivate() { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  TraceBounds(*position);
  if (window_) {
    MoveWindow(window_, position->left, position->top, position->right - position->left,
               position->bottom - position->top, TRUE);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

// The control claims no key: every key goes on to the host's window (and its exit rules).
HRESULT STDMETHODCALLTYPE StandinControl::TranslateAccelerator(LPMSG) { return S_FALSE; }

HRESULT STDMETHODCALLTYPE StandinControl::OnFrameWindowActivate(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::OnDocWindowActivate(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE StandinControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::EnableModeless(BOOL) { return S_OK; }

}  // namespace swfsaver::flash
