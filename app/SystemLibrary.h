// Libraries of the system are loaded from the system directory by full path, never by bare
// name, so a DLL planted in the program's folder or the current folder is never run.
#pragma once

#include <string>

#include "platform/Kernel.h"

namespace swfsaver {

// The system directory (cut to the length the system reports, "\" appended only when missing)
// followed by name; name alone when the directory cannot be had.
std::string SystemLibraryPath(platform::Kernel& kernel, const std::string& name);

inline constexpr const char* kPasswordLibrary = "MPR.DLL";
inline constexpr const char* kPasswordRoutine = "PwdChangePasswordA";
inline constexpr const char* kPasswordProvider = "SCRSAVE";

}  // namespace swfsaver
