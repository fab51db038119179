// The five members the saver relies on, and the getters that pair with them.
#include <string>

#include "standin/flash/MovieFile.h"
#include "standin/flash/StandinControl.h"

namespace swfsaver::flash {

HRESULT STDMETHODCALLTYPE StandinControl::get_TotalFrames(long* frames) {
  if (!frames) return E_POINTER;
  *frames = playback_.TotalFrames();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::get_BackgroundColor(long* color) {
  if (!color) return E_POINTER;
  *color = backgroundColor_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::put_BackgroundColor(long color) {
  trace_.Line(L"BackgroundColor", std::to_wstring(color));
  backgroundColor_ = color;
  Redraw();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::get_Movie(BSTR* path) {
  if (!path) return E_POINTER;
  *path = SysAllocStringLen(moviePath_.data(), static_cast<UINT>(moviePath_.size()));
  return *path ? S_OK : E_OUTOFMEMORY;
}

// Always drops what was shown and starts the new movie at its first frame, also when the path
// is the one already loaded. A path that cannot be loaded leaves the control empty and is not
// an error, as with the real control, which loads asynchronously and reports nothing here.
HRESULT STDMETHODCALLTYPE StandinControl::put_Movie(BSTR path) {
  moviePath_.assign(path ? path : L"", path ? SysStringLen(path) : 0);
  trace_.Line(L"Movie", moviePath_);
  StopFrameTimer();
  audio_.Play(nullptr);
  playback_.Load(LoadMovieFile(moviePath_));
  trace_.Line(L"MovieFrames", std::to_wstring(playback_.TotalFrames()));
  Redraw();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::Play() {
  trace_.Line(L"Play");
  playback_.Play();
  if (playback_.Movie()) audio_.Play(playback_.Movie()->Sound());
  StartFrameTimer();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::CurrentFrame(long* frame) {
  if (!frame) return E_POINTER;
  *frame = playback_.CurrentFrame();
  return S_OK;
}

}  // namespace swfsaver::flash

namespace swfsaver::flash {

HRESULT STDMETHODCALLTYPE StandinControl::SetMuted(BOOL muted) {
  trace_.Line(L"Muted", muted ? L"1" : L"0");
  audio_.SetMuted(muted != FALSE);
  return S_OK;
}

}  // namespace swfsaver::flash
