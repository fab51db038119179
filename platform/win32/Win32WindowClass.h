// Every window class of the program is registered the same way: once per process, by name,
// with the arrow cursor. A class already registered (by an earlier window of the same kind, or
// by another application object in the same process) is left as it is.
#pragma once

#include "platform/win32/WindowsApi.h"

namespace swfsaver::win32 {

// background: the brush WM_ERASEBKGND paints with, or null when the window paints itself.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background = nullptr);

}  // namespace swfsaver::win32
