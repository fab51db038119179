#include "framework/PasswordChange.h"

#include "framework/SystemLibrary.h"

namespace swfsaver {

bool ChangeScreenSaverPassword(platform::Kernel& kernel, const std::function<int32_t()>& owner) {
  LoadedLibrary library(kernel, SystemLibraryPath(kernel, kPasswordLibrary));
  if (library.Module() == 0) return false;
  const platform::ProcAddress routine = kernel.GetProcAddress(library.Module(), kPasswordRoutine);
  if (routine == 0) return false;
  kernel.CallPwdChangePassword(routine, kPasswordProvider, owner(), 0, 0);
  return true;
}

}  // namespace swfsaver
