// The DLL's own state: its instance handle and the count of live objects and server locks
// that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

namespace swfsaver::flash {

HINSTANCE ModuleInstance();
void LockModule();
void UnlockModule();
// Removes the control's window class, whose window procedure lives in this DLL: called when
// the DLL is unloaded, so that a later load does not find a class pointing at freed code.
void UnregisterControlWindowClass();

}  // namespace swfsaver::flash
