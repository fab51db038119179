// The Flash ActiveX control as its host and our stand-in both see it: its class identifier, its
// dual interface IShockwaveFlash, and the dispatch identifiers of the members in use. The
// interface is declared in the published member order: the vtable slot of each member is what a host calls through, so the
// order must not change (0-2 IUnknown, 3-6 IDispatch, 7 get_ReadyState, 8 get_TotalFrames,
// ..., 28 Play, ..., 35 CurrentFrame). Members after TGetPropertyNum (slot 72) differ between
// versions of the control and are not declared.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace swfsaver::flashapi {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kClsidShockwaveFlash = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {D27CDB6C-AE6D-11CF-96B8-444553540000}
inline constexpr IID kIidShockwaveFlash = {
    0xD27CDB6C, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr wchar_t kClsidShockwaveFlashText[] = L"{D27CDB6E-AE6D-11CF-96B8-444553540000}";

// Dispatch identifiers: the host sets and reads properties through IDispatch::Invoke by these.
inline constexpr DISPID kDispidMovie = 0x66;
inline constexpr DISPID kDispidPlay = 0x70;
inline constexpr DISPID kDispidBackgroundColor = 0x7B;
inline constexpr DISPID kDispidTotalFrames = 0x7C;
inline constexpr DISPID kDispidCurrentFrame = 0x80;

struct IShockwaveFlash : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_ReadyState(long* state) = 0;             // 7
  virtual HRESULT STDMETHODCALLTYPE get_TotalFrames(long* frames) = 0;           // 8
  virtual HRESULT STDMETHODCALLTYPE get_Playing(VARIANT_BOOL* playing) = 0;      // 9
  virtual HRESULT STDMETHODCALLTYPE put_Playing(VARIANT_BOOL playing) = 0;       // 10
  virtual HRESULT STDMETHODCALLTYPE get_Quality(int* quality) = 0;               // 11
  virtual HRESULT STDMETHODCALLTYPE put_Quality(int quality) = 0;                // 12
  virtual HRESULT STDMETHODCALLTYPE get_ScaleMode(int* mode) = 0;                // 13
  virtual HRESULT STDMETHODCALLTYPE put_ScaleMode(int mode) = 0;                 // 14
  virtual HRESULT STDMETHODCALLTYPE get_AlignMode(int* mode) = 0;                // 15
  virtual HRESULT STDMETHODCALLTYPE put_AlignMode(int mode) = 0;                 // 16
  virtual HRESULT STDMETHODCALLTYPE get_BackgroundColor(long* color) = 0;        // 17
  virtual HRESULT STDMETHODCALLTYPE put_BackgroundColor(long color) = 0;         // 18
  virtual HRESULT STDMETHODCALLTYPE get_Loop(VARIANT_BOOL* loop) = 0;            // 19
  virtual HRESULT STDMETHODCALLTYPE put_Loop(VARIANT_BOOL loop) = 0;             // 20
  virtual HRESULT STDMETHODCALLTYPE get_Movie(BSTR* path) = 0;                   // 21
  virtual HRESULT STDMETHODCALLTYPE put_Movie(BSTR path) = 0;                    // 22
  virtual HRESULT STDMETHODCALLTYPE get_FrameNum(long* frame) = 0;               // 23
  virtual HRESULT STDMETHODCALLTYPE put_FrameNum(long frame) = 0;                // 24
  virtual HRESULT STDMETHODCALLTYPE SetZoomRect(long left, long top, long right,
                                                long bottom) = 0;                // 25
  virtual HRESULT STDMETHODCALLTYPE Zoom(int factor) = 0;                        // 26
  virtual HRESULT STDMETHODCALLTYPE Pan(long x, long y, int mode) = 0;           // 27
  virtual HRESULT STDMETHODCALLTYPE Play() = 0;                                  // 28
  virtual HRESULT STDMETHODCALLTYPE Stop() = 0;                                  // 29
  virtual HRESULT STDMETHODCALLTYPE Back() = 0;                                  // 30
  virtual HRESULT STDMETHODCALLTYPE Forward() = 0;                               // 31
  virtual HRESULT STDMETHODCALLTYPE Rewind() = 0;                                // 32
  virtual HRESULT STDMETHODCALLTYPE StopPlay() = 0;                              // 33
  virtual HRESULT STDMETHODCALLTYPE GotoFrame(long frame) = 0;                   // 34
  virtual HRESULT STDMETHODCALLTYPE CurrentFrame(long* frame) = 0;               // 35
  virtual HRESULT STDMETHODCALLTYPE IsPlaying(VARIANT_BOOL* playing) = 0;        // 36
  virtual HRESULT STDMETHODCALLTYPE PercentLoaded(long* percent) = 0;            // 37
  virtual HRESULT STDMETHODCALLTYPE FrameLoaded(long frame, VARIANT_BOOL* loaded) = 0;  // 38
  virtual HRESULT STDMETHODCALLTYPE FlashVersion(long* version) = 0;             // 39
  virtual HRESULT STDMETHODCALLTYPE get_WMode(BSTR* value) = 0;                  // 40
  virtual HRESULT STDMETHODCALLTYPE put_WMode(BSTR value) = 0;                   // 41
  virtual HRESULT STDMETHODCALLTYPE get_SAlign(BSTR* value) = 0;                 // 42
  virtual HRESULT STDMETHODCALLTYPE put_SAlign(BSTR value) = 0;                  // 43
  virtual HRESULT STDMETHODCALLTYPE get_Menu(VARIANT_BOOL* value) = 0;           // 44
  virtual HRESULT STDMETHODCALLTYPE put_Menu(VARIANT_BOOL value) = 0;            // 45
  virtual HRESULT STDMETHODCALLTYPE get_Base(BSTR* value) = 0;                   // 46
  virtual HRESULT STDMETHODCALLTYPE put_Base(BSTR value) = 0;                    // 47
  virtual HRESULT STDMETHODCALLTYPE get_Scale(BSTR* value) = 0;                  // 48
  virtual HRESULT STDMETHODCALLTYPE put_Scale(BSTR value) = 0;                   // 49
  virtual HRESULT STDMETHODCALLTYPE get_DeviceFont(VARIANT_BOOL* value) = 0;     // 50
  virtual HRESULT STDMETHODCALLTYPE put_DeviceFont(VARIANT_BOOL value) = 0;      // 51
  virtual HRESULT STDMETHODCALLTYPE get_EmbedMovie(VARIANT_BOOL* value) = 0;     // 52
  virtual HRESULT STDMETHODCALLTYPE put_EmbedMovie(VARIANT_BOOL value) = 0;      // 53
  virtual HRESULT STDMETHODCALLTYPE get_BGColor(BSTR* value) = 0;                // 54
  virtual HRESULT STDMETHODCALLTYPE put_BGColor(BSTR value) = 0;                 // 55
  virtual HRESULT STDMETHODCALLTYPE get_Quality2(BSTR* value) = 0;               // 56
  virtual HRESULT STDMETHODCALLTYPE put_Quality2(BSTR value) = 0;                // 57
  virtual HRESULT STDMETHODCALLTYPE LoadMovie(int layer, BSTR url) = 0;          // 58
  virtual HRESULT STDMETHODCALLTYPE TGotoFrame(BSTR target, long frame) = 0;     // 59
  virtual HRESULT STDMETHODCALLTYPE TGotoLabel(BSTR target, BSTR label) = 0;     // 60
  virtual HRESULT STDMETHODCALLTYPE TCurrentFrame(BSTR target, long* frame) = 0; // 61
  virtual HRESULT STDMETHODCALLTYPE TCurrentLabel(BSTR target, BSTR* label) = 0; // 62
  virtual HRESULT STDMETHODCALLTYPE TPlay(BSTR target) = 0;                      // 63
  virtual HRESULT STDMETHODCALLTYPE TStopPlay(BSTR target) = 0;                  // 64
  virtual HRESULT STDMETHODCALLTYPE SetVariable(BSTR name, BSTR value) = 0;      // 65
  virtual HRESULT STDMETHODCALLTYPE GetVariable(BSTR name, BSTR* value) = 0;     // 66
  virtual HRESULT STDMETHODCALLTYPE TSetProperty(BSTR target, int property,
                                                 BSTR value) = 0;                // 67
  virtual HRESULT STDMETHODCALLTYPE TGetProperty(BSTR target, int property,
                                                 BSTR* value) = 0;               // 68
  virtual HRESULT STDMETHODCALLTYPE TCallFrame(BSTR target, int frame) = 0;      // 69
  virtual HRESULT STDMETHODCALLTYPE TCallLabel(BSTR target, BSTR label) = 0;     // 70
  virtual HRESULT STDMETHODCALLTYPE TSetPropertyNum(BSTR target, int property,
                                                    double value) = 0;           // 71
  virtual HRESULT STDMETHODCALLTYPE TGetPropertyNum(BSTR target, int property,
                                                    double* value) = 0;          // 72
};

}  // namespace swfsaver::flashapi
