// <windows.h> for the program's Win32 code. The header maps CreateMutex, LoadLibrary and
// GetSystemDirectory to their A or W functions by macro; the platform interfaces use those
// words as method names, and a macro active in one translation unit and not in another would
// rename the methods in one only. Win32 code calls the A or W function by its full name.
#pragma once

#include <windows.h>

#undef CreateMutex
#undef LoadLibrary
#undef GetSystemDirectory
