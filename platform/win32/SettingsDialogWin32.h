// Creates the settings dialog on Win32 with its controls, menu and file dialog.
#pragma once

#include <memory>

#include "platform/SettingsDialog.h"

namespace swfsaver::win32 {

class Win32Application;

std::unique_ptr<platform::SettingsDialog> CreateWin32SettingsDialog(
    Win32Application& application, platform::SettingsDialogEvents& events);

}  // namespace swfsaver::win32
