// The system's screen-saver password-change routine, which change-password mode and the
// saver's close both run.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/Kernel.h"

namespace swfsaver {

inline constexpr const char* kPasswordLibrary = "MPR.DLL";
inline constexpr const char* kPasswordRoutine = "PwdChangePasswordA";
inline constexpr const char* kPasswordProvider = "SCRSAVE";

// Calls PwdChangePasswordA("SCRSAVE", owner(), 0, 0) from the MPR.DLL of the system
// directory (a planted MPR.DLL next to the program never runs), released again on every way
// out. owner is asked only once the routine has been found, so an owner that cannot be had
// is never reported when there is nothing to hand it to. Returns whether the routine ran.
bool ChangeScreenSaverPassword(platform::Kernel& kernel, const std::function<int32_t()>& owner);

}  // namespace swfsaver
