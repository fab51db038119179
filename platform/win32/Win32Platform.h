// The Win32 platform: the one place the program entry (and the Windows tests) pick the real
// implementations of the platform interfaces.
#pragma once

#include "platform/win32/Win32Kernel.h"  // first: its <windows.h> comes without the A/W macros

#include "platform/Platform.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32CodePage.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemState.h"

namespace swfsaver::win32 {

struct Win32Platform {
  Win32Registry registry;
  Win32Kernel kernel;
  Win32CodePage codePage;
  Win32SystemState system;
  Win32Application application;
  platform::Platform platform{registry, kernel, codePage, system, application};
};

}  // namespace swfsaver::win32
