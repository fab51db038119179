// The stand-in control's one interface of its own: the saver mutes the stand-in through it
// (the real Flash control does not answer to it and is muted with the process's audio
// session instead; see platform/win32/Win32FlashControl.cpp).
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace swfsaver::flashapi {

// {6B1E4F1A-3C2D-4E7B-9A55-5357F5A0D001}
inline constexpr IID kIidStandinSound = {
    0x6B1E4F1A, 0x3C2D, 0x4E7B, {0x9A, 0x55, 0x53, 0x57, 0xF5, 0xA0, 0xD0, 0x01}};

struct IStandinSound : public IUnknown {
  // TRUE: every movie plays silent (time and frames go on as with sound).
  virtual HRESULT STDMETHODCALLTYPE SetMuted(BOOL muted) = 0;
};

}  // namespace swfsaver::flashapi
