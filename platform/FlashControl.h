// The Shockwave Flash ActiveX control as the saver uses it: five operations, plus its place on
// the panel. Each failing call raises EOleSysError with the control's HRESULT.
#pragma once

#include <cstdint>
#include <string>

namespace swfsaver::platform {

class FlashControl {
 public:
  virtual ~FlashControl() = default;

  virtual void SetBackgroundColor(int32_t color) = 0;     // dispatch id 0x7B
  virtual void SetMovie(const std::string& ansiPath) = 0;  // dispatch id 0x66, as UTF-16
  virtual void Play() = 0;                                 // IShockwaveFlash::Play
  virtual int32_t TotalFrames() = 0;                       // dispatch id 0x7C
  virtual int32_t CurrentFrame() = 0;                      // IShockwaveFlash::CurrentFrame

  // Position and size relative to the panel, each set on its own, as a form designer's
  // properties are.
  virtual void SetLeft(int32_t left) = 0;
  virtual void SetTop(int32_t top) = 0;
  virtual void SetWidth(int32_t width) = 0;
  virtual void SetHeight(int32_t height) = 0;
  // Fill the panel (alignment alClient).
  virtual void AlignToClient() = 0;

  // Silences every movie the control plays from now on, whatever control it is: the
  // process's audio session is muted (for as long as the control lives), and a control that
  // has its own mute (the stand-in) is told too. Never raises: sound that cannot be muted
  // (no device, no session) is not there to be heard.
  virtual void MuteSound() = 0;
};

}  // namespace swfsaver::platform
