// The in-place parts of the control site: where the control is activated (the container
// window and the rectangle the host keeps), and the frame around it, which offers no menus,
// no tool space and no accelerators of its own.
#include "platform/win32/OleControlSite.h"

namespace swfsaver::win32 {

// --- IOleInPlaceSite ---

HRESULT OleControlSite::InPlaceSitePart::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = site_.Container();
  return S_OK;
}

HRESULT OleControlSite::InPlaceSitePart::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT OleControlSite::InPlaceSitePart::CanInPlaceActivate() { return S_OK; }
HRESULT OleControlSite::InPlaceSitePart::OnInPlaceActivate() { return S_OK; }
HRESULT OleControlSite::InPlaceSitePart::OnUIActivate() { return S_OK; }

HRESULT OleControlSite::InPlaceSitePart::GetWindowContext(IOleInPlaceFrame** frame,
                                                          IOleInPlaceUIWindow** document,
                                                          RECT* position, RECT* clip,
                                                          OLEINPLACEFRAMEINFO* info) {
  if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
      info == nullptr) {
    return E_POINTER;
  }
  *frame = site_.Frame();
  (*frame)->AddRef();
  *document = nullptr;  // the frame is the document window too
  // The control's window is clipped by the container window itself, so the clip rectangle is
  // the control's own: a movie larger than the display overhangs it on every side.
  *position = site_.Position();
  *clip = site_.Position();
  info->fMDIApp = FALSE;
  info->hwndFrame = site_.FrameWindow();
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT OleControlSite::InPlaceSitePart::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT OleControlSite::InPlaceSitePart::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT OleControlSite::InPlaceSitePart::OnInPlaceDeactivate() { return S_OK; }
HRESULT OleControlSite::InPlaceSitePart::DiscardUndoState() { return E_NOTIMPL; }
HRESULT OleControlSite::InPlaceSitePart::DeactivateAndUndo() { return E_NOTIMPL; }

// The host decides where the control sits; a control asking for another rectangle keeps the
// one it was given.
HRESULT OleControlSite::InPlaceSitePart::OnPosRectChange(const RECT*) { return S_OK; }

// --- IOleInPlaceFrame ---

HRESULT OleControlSite::FramePart::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = site_.FrameWindow();
  return S_OK;
}

HRESULT OleControlSite::FramePart::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT OleControlSite::FramePart::GetBorder(RECT*) { return INPLACE_E_NOTOOLSPACE; }
HRESULT OleControlSite::FramePart::RequestBorderSpace(const BORDERWIDTHS*) {
  return INPLACE_E_NOTOOLSPACE;
}
HRESULT OleControlSite::FramePart::SetBorderSpace(const BORDERWIDTHS*) {
  return INPLACE_E_NOTOOLSPACE;
}

// The host takes the active object from the control itself once it is in place; a control
// announcing it here needs no answer beyond success.
HRESULT OleControlSite::FramePart::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
  return S_OK;
}

HRESULT OleControlSite::FramePart::InsertMenus(HMENU, OLEMENUGROUPWIDTHS*) { return E_NOTIMPL; }
HRESULT OleControlSite::FramePart::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT OleControlSite::FramePart::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT OleControlSite::FramePart::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT OleControlSite::FramePart::EnableModeless(BOOL) { return S_OK; }
HRESULT OleControlSite::FramePart::TranslateAccelerator(MSG*, WORD) { return S_FALSE; }

}  // namespace swfsaver::win32
