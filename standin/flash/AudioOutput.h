// The control's sound output: a thread of its own pulls the mix of the movie playing and hands
// it to the system's shared output through waveOut (the Windows multimedia API, which on
// Vista and later plays through the system's shared-mode mixer, in the process's own audio
// session). The frame timer never waits for it: a device that is slow only delays the next
// buffer, and without a device (a server, Wine under Xvfb) the thread mixes on its own clock
// at the output rate and the sound goes nowhere. Stopping (another movie, the control's end)
// drops the buffers queued at once; the control never waits for the thread longer than
// kJoinMs, and the thread keeps the DLL loaded until it has ended.
//
// For tests, everything mixed while a movie plays can be appended to a WAV file (Trace.h:
// the value "WavFile").
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "standin/flash/Trace.h"
#include "swfplayer/audio/SoundEngine.h"

namespace swfsaver::flash {

class AudioOutput {
 public:
  // Milliseconds of sound in each buffer, and buffers queued to the device.
  static constexpr DWORD kBufferMs = 20;
  static constexpr int kBuffers = 4;
  static constexpr DWORD kJoinMs = 200;

  AudioOutput(const Trace& trace, std::wstring wavFile);
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  // Plays the engine's mix from now on (null: silence at once, the queued sound dropped).
  void Play(std::shared_ptr<swfplayer::audio::SoundEngine> engine);
  void SetMuted(bool muted);

  struct State;

 private:
  std::shared_ptr<State> state_;
  HANDLE thread_ = nullptr;
};

}  // namespace swfsaver::flash
