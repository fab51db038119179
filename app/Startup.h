// The program entry: reads the command line, fixes the run mode and does what the mode asks.
#pragma once

#include <memory>

#include "framework/Application.h"
#include "framework/MainForm.h"
#include "platform/Platform.h"

namespace swfsaver {

inline constexpr const char* kInstanceMutexName = "Maldrevonix for ostrevanworks";

// Creates the window of a mode. The program entry creates the real windows; tests their own.
class MainFormFactory {
 public:
  virtual ~MainFormFactory() = default;
  // The settings dialog TForm2 (configure mode).
  virtual std::unique_ptr<MainForm> CreateForm2(platform::Platform& platform,
                                                TApplication& application) = 0;
  // The saver window TForm1 (saver mode).
  virtual std::unique_ptr<MainForm> CreateForm1(platform::Platform& platform,
                                                TApplication& application) = 0;
};

// The start-up sequence; errors raised before the message loop runs escape it. Returns the
// exit code of every regular way out (0).
int RunProgram(platform::Platform& platform, MainFormFactory& forms);

// RunProgram behind the last-chance handler: an escaping error is reported in a task-modal
// box captioned "アプリケーション エラー" and gives exit code 1.
int ProgramMain(platform::Platform& platform, MainFormFactory& forms);

}  // namespace swfsaver
