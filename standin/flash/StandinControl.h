// The stand-in Flash control: one COM object that a host creates by the control's class id,
// hands its stored control data, activates in place on its window, and drives through
// IDispatch and the IShockwaveFlash vtable. Single-threaded (apartment model): every call
// comes from the thread that created it.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <string>

#include "flashapi/ShockwaveFlash.h"
#include "flashapi/StandinSound.h"
#include "standin/flash/AudioOutput.h"
#include "standin/flash/Trace.h"
#include "standin/flash/FrameSurface.h"
#include "standin/flash/control/MoviePlayback.h"

namespace swfsaver::flash {

class StandinControl final : public flashapi::IShockwaveFlash,
                             public IOleObject,
                             public IOleInPlaceObject,
                             public IOleInPlaceActiveObject,
                             public IPersistStreamInit,
                             public flashapi::IStandinSound {
 public:
  StandinControl();
  StandinControl(const StandinControl&) = delete;
  StandinControl& operator=(const StandinControl&) = delete;

  // IUnknown: one reference count and one interface table for every part.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch (ControlDispatch.cpp)
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override;

  // IShockwaveFlash, the members the saver uses (ControlFlash.cpp)
  HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) override;
  HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* color) override;
  HRESULT STDMETHODCALLTYPE put_BackgroundColor(long color) override;
  HRESULT STDMETHODCALLTYPE get_Movie(BSTR* path) override;
  HRESULT STDMETHODCALLTYPE put_Movie(BSTR path) override;
  HRESULT STDMETHODCALLTYPE Play() override;
  HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) override;

  // IShockwaveFlash, the rest: E_NOTIMPL (ControlUnused.cpp)
  HRESULT STDMETHODCALLTYPE get_ReadyState(long*) override;
  HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL) override;
  HRESULT STDMETHODCALLTYPE get_Quality(int*) override;
  HRESULT STDMETHODCALLTYPE put_Quality(int) override;
  HRESULT STDMETHODCALLTYPE get_ScaleMode(int*) override;
  HRESULT STDMETHODCALLTYPE put_ScaleMode(int) override;
  HRESULT STDMETHODCALLTYPE get_AlignMode(int*) override;
  HRESULT STDMETHODCALLTYPE put_AlignMode(int) override;
  HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL) override;
  HRESULT STDMETHODCALLTYPE get_FrameNum(long*) override;
  HRESULT STDMETHODCALLTYPE put_FrameNum(long) override;
  HRESULT STDMETHODCALLTYPE SetZoomRect(long, long, long, long) override;
  HRESULT STDMETHODCALLTYPE Zoom(int) override;
  HRESULT STDMETHODCALLTYPE Pan(long, long, int) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE Back() override;
  HRESULT STDMETHODCALLTYPE Forward() override;
  HRESULT STDMETHODCALLTYPE Rewind() override;
  HRESULT STDMETHODCALLTYPE StopPlay() override;
  HRESULT STDMETHODCALLTYPE GotoFrame(long) override;
  HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE PercentLoaded(long*) override;
  HRESULT STDMETHODCALLTYPE FrameLoaded(long, VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE FlashVersion(long*) override;
  HRESULT STDMETHODCALLTYPE get_WMode(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_WMode(BSTR) override;
  HRESULT STDMETHODCALLTYPE get_SAlign(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_SAlign(BSTR) override;
  HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL) override;
  HRESULT STDMETHODCALLTYPE get_Base(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_Base(BSTR) override;
  HRESULT STDMETHODCALLTYPE get_Scale(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_Scale(BSTR) override;
  HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL) override;
  HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL*) override;
  HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL) override;
  HRESULT STDMETHODCALLTYPE get_BGColor(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_BGColor(BSTR) override;
  HRESULT STDMETHODCALLTYPE get_Quality2(BSTR*) override;
  HRESULT STDMETHODCALLTYPE put_Quality2(BSTR) override;
  HRESULT STDMETHODCALLTYPE LoadMovie(int, BSTR) override;
  HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR, long) override;
  HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR, BSTR) override;
  HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR, long*) override;
  HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR, BSTR*) override;
  HRESULT STDMETHODCALLTYPE TPlay(BSTR) override;
  HRESULT STDMETHODCALLTYPE TStopPlay(BSTR) override;
  HRESULT STDMETHODCALLTYPE SetVariable(BSTR, BSTR) override;
  HRESULT STDMETHODCALLTYPE GetVariable(BSTR, BSTR*) override;
  HRESULT STDMETHODCALLTYPE TSetProperty(BSTR, int, BSTR) override;
  HRESULT STDMETHODCALLTYPE TGetProperty(BSTR, int, BSTR*) override;
  HRESULT STDMETHODCALLTYPE TCallFrame(BSTR, int) override;
  HRESULT STDMETHODCALLTYPE TCallLabel(BSTR, BSTR) override;
  HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR, int, double) override;
  HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR, int, double*) override;

  // IOleObject (ControlOleObject.cpp)
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG message, IOleClientSite* activeSite,
                                   LONG index, HWND parent, LPCRECT position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject (ControlInPlace.cpp)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override;
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override;

  // IPersist, IPersistStreamInit (ControlPersist.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

  // IStandinSound (ControlFlash.cpp): the saver's Mute setting.
  HRESULT STDMETHODCALLTYPE SetMuted(BOOL muted) override;

  // The control's own window (ControlWindow.cpp).
  LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  ~StandinControl();

  HRESULT ActivateInPlace(IOleClientSite* activeSite, HWND parent, LPCRECT position);
  bool CreateControlWindow(HWND parent, const RECT& position);
  void DestroyControlWindow();
  void StartFrameTimer();
  void StopFrameTimer();
  // Draws the frame on screen into the surface, sized to the window, where it differs from
  // the one drawn before; returns that part (empty without a window or surface, or when
  // nothing visible changed).
  swfplayer::render::PixelBox DrawFrame();
  // The movie or the background changed: a new frame now, on screen with the next paint.
  void Redraw();
  void TraceBounds(const RECT& position);

  ULONG references_ = 1;
  Trace trace_;
  // Declared before the playback: a movie dropped is silent before it is freed.
  AudioOutput audio_{trace_, TestSetting(kWavFileValue)};
  MoviePlayback playback_;
  FrameSurface surface_;
  swfplayer::render::Quality quality_ = swfplayer::render::Quality::kHigh;  // the control data's "Quality"
  // Off only for benchmarks that measure the host without the control's drawing (Trace.h).
  const bool drawing_ = DrawingEnabled();
  std::wstring moviePath_;
  long backgroundColor_ = -1;  // -1: none set; otherwise 0xRRGGBB
  SIZEL extent_;               // HIMETRIC, from the control data or SetExtent
  IOleClientSite* clientSite_ = nullptr;
  IOleInPlaceSite* inPlaceSite_ = nullptr;  // held while active in place
  HWND window_ = nullptr;
};

}  // namespace swfsaver::flash
