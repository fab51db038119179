// The stand-in control's call trace, for end-to-end tests that need to see which movie the
// saver loaded when, and where the control was placed. It is off unless a test prefix asks for
// it; the saver itself never writes this key and never reads the file.
//
// Switch:  HKEY_CURRENT_USER\Software\SwfSaverTest\FlashStandin
//          value "TraceFile" (REG_SZ): Windows path of the file to append to.
//          value "Drawing" (REG_SZ): "off" makes the control play without drawing frames.
//          value "WavFile" (REG_SZ): Windows path of a WAV file (16-bit stereo 44.1 kHz) the
//          control writes everything it mixes into while a movie plays (AudioOutput.h).
//          All are read once when a control object is created.
//
// Format:  one UTF-8 line per call the control receives, appended (the file is opened and
//          closed for every line, so several controls and processes can share it):
//
//            <ms> <Event>[ <arguments>]
//
//          <ms> is the wall-clock time in milliseconds since 1970-01-01 UTC (compare with
//          `date +%s%3N`). Events:
//            Create                          a control object was created
//            InitNew                         IPersistStreamInit::InitNew
//            Load ok | Load failed 0x<hr>    IPersistStreamInit::Load of the control data
//            BackgroundColor <n>             the BackgroundColor property was set (decimal)
//            Movie <path>                    the Movie property was set; the path runs to
//                                            the end of the line
//            MovieFrames <n>                 the frame count of the movie just loaded; 0 when
//                                            it could not be loaded
//            Play                            Play was called
//            Bounds <left> <top> <width> <height>
//                                            the control's rectangle in its parent window, at
//                                            in-place activation and at every SetObjectRects
//            Audio waveOut | Audio none      the sound output opened the system's device, or
//                                            found none and plays silently; Audio end: its
//                                            thread has ended (only while a WavFile is set)
//            Muted 1 | Muted 0               the saver set its Mute setting
//            Deactivate                      in-place deactivation (the window is destroyed)
//            Close                           IOleObject::Close
#pragma once

#include <string>
#include <string_view>

namespace swfsaver::flash {

inline constexpr wchar_t kTraceKeyPath[] = L"Software\\SwfSaverTest\\FlashStandin";
inline constexpr wchar_t kTraceFileValue[] = L"TraceFile";
// "off" there: the control plays without drawing a frame, so a benchmark can measure what the
// host costs alone.
inline constexpr wchar_t kDrawingValue[] = L"Drawing";
inline constexpr wchar_t kWavFileValue[] = L"WavFile";

// Read when a control object is made; true unless the value above says "off".
bool DrawingEnabled();
// A REG_SZ value of the test key; empty when it is missing.
std::wstring TestSetting(const wchar_t* value);
// A number 1 to 8 there: the threads that draw a frame's bands (benchmarks compare them);
// otherwise one per core.
inline constexpr wchar_t kThreadsValue[] = L"Threads";
int DrawingThreads();

class Trace {
 public:
  // Reads the switch from the current user's registry.
  Trace();

  bool Enabled() const { return !file_.empty(); }
  void Line(std::wstring_view event, std::wstring_view arguments = {}) const;

 private:
  std::wstring file_;
};

}  // namespace swfsaver::flash
