// The container side of one hosted ActiveX control, without ATL. One site object owns the
// reference count; each interface the control may ask the container for is a small part that
// forwards IUnknown to the site, and one table maps interface ids to parts, so every part
// answers QueryInterface alike and all of them share one identity.
#pragma once

#include <windows.h>
#include <ole2.h>

namespace swfsaver::win32 {

class OleControlSite {
 public:
  // container: the window the control is placed in; frame: the top-level window around it.
  // The new site holds one reference, the caller's.
  static OleControlSite* Create(HWND container, HWND frame);

  HRESULT QueryInterface(REFIID iid, void** object);
  ULONG AddRef() { return ++references_; }
  ULONG Release();

  // Where the control sits in the container's client coordinates; the control asks for it
  // while it activates (GetWindowContext).
  void SetPosition(const RECT& position) { position_ = position; }
  const RECT& Position() const { return position_; }
  HWND Container() const { return container_; }
  HWND FrameWindow() const { return frame_; }

  // The parts, for the host and its tests; none of them adds a reference.
  IOleClientSite* ClientSite() { return &clientSite_; }
  IOleInPlaceSite* InPlaceSite() { return &inPlaceSite_; }
  IOleInPlaceFrame* Frame() { return &framePart_; }
  IDispatch* Ambient() { return &ambient_; }

 private:
  OleControlSite(HWND container, HWND frame);
  ~OleControlSite() = default;

  // IUnknown of every part goes to the site.
  template <typename Interface>
  class Part : public Interface {
   public:
    explicit Part(OleControlSite& site) : site_(site) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
      return site_.QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return site_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return site_.Release(); }

   protected:
    OleControlSite& site_;
  };

  class ClientSitePart : public Part<IOleClientSite> {
   public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
  };

  class InPlaceSitePart : public Part<IOleInPlaceSite> {
   public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) override;
  };

  class FramePart : public Part<IOleInPlaceFrame> {
   public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override;
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(const BORDERWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(const BORDERWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object,
                                              LPCOLESTR name) override;
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, OLEMENUGROUPWIDTHS* widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU descriptor,
                                      HWND activeObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, WORD id) override;
  };

  // Ambient properties: the control asks whether it runs in user mode rather than in a
  // designer.
  class AmbientPart : public Part<IDispatch> {
   public:
    using Part::Part;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                            LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override;
  };

  struct InterfaceEntry;
  static const InterfaceEntry kInterfaces[];

  ULONG references_ = 1;
  HWND container_;
  HWND frame_;
  RECT position_{};
  ClientSitePart clientSite_{*this};
  InPlaceSitePart inPlaceSite_{*this};
  FramePart framePart_{*this};
  AmbientPart ambient_{*this};
};

}  // namespace swfsaver::win32
