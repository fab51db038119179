// The program entry: reads the command line, fixes the run mode and does what the mode asks.
#pragma once

#include "app/MainForm.h"
#include "platform/Platform.h"

namespace swfsaver {

inline constexpr const char* kInstanceMutexName = "Maldrevonix for ostrevanworks";

// The start-up sequence; errors raised before the message loop runs escape it. Returns the
// exit code of every regular way out (0).
int RunProgram(platform::Platform& platform, MainFormFactory& forms);

// RunProgram behind the last-chance handler: an escaping error is reported in a task-modal
// box captioned "アプリケーション エラー" and gives exit code 1.
int ProgramMain(platform::Platform& platform, MainFormFactory& forms);

}  // namespace swfsaver
