// Libraries of the system are loaded from the system directory by full path, never by bare
// name, so a DLL planted in the program's folder or the current folder is never run.
#pragma once

#include <string>

#include "platform/Kernel.h"

namespace swfsaver {

// The system directory (cut to the length the system reports, "\" appended only when missing)
// followed by name; name alone when the directory cannot be had.
std::string SystemLibraryPath(platform::Kernel& kernel, const std::string& name);

// A library loaded for the length of a scope and released on every way out of it, also when
// something raises while it is loaded.
class LoadedLibrary {
 public:
  LoadedLibrary(platform::Kernel& kernel, const std::string& path)
      : kernel_(kernel), module_(kernel.LoadLibrary(path)) {}
  ~LoadedLibrary() {
    if (module_ != 0) kernel_.FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  platform::Handle Module() const { return module_; }

 private:
  platform::Kernel& kernel_;
  platform::Handle module_;
};

}  // namespace swfsaver
