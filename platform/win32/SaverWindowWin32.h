// Creates the saver window on Win32 (window, Panel1, ButtonClose, the hosted Flash control).
#pragma once

#include <memory>

#include "platform/SaverWindow.h"

namespace swfsaver::win32 {

class Win32Application;

std::unique_ptr<platform::SaverWindow> CreateWin32SaverWindow(Win32Application& application,
                                                              platform::SaverWindowEvents& events);

}  // namespace swfsaver::win32
