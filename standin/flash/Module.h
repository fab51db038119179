// The DLL's own state: its instance handle and the count of live objects and server locks
// that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

namespace swfsaver::flash {

HINSTANCE ModuleInstance();
void LockModule();
void UnlockModule();

}  // namespace swfsaver::flash
