// The process's own audio session on the default output device (Vista and later; Wine has
// it too): muting it silences whatever plays sound in this process, the Flash control
// whichever it is. Any control's waveOut, DirectSound or WASAPI streams play in it.
#pragma once

namespace swfsaver::win32 {

// True when the session could be reached and set; false without a device or session API.
bool SetProcessAudioMuted(bool muted);

}  // namespace swfsaver::win32
