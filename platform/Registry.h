// The registry, as the settings store and the saver's password gate use it: the ANSI
// functions, every key opened and created with full access (KEY_ALL_ACCESS) and created
// non-volatile. Each call returns ERROR_SUCCESS (0) on success and a Win32 error code otherwise.
#pragma once

#include <cstdint>
#include <string>

namespace swfsaver::platform {

using RegKey = std::uintptr_t;  // an open key; 0 is no key
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorMoreData = 234;

inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

class Registry {
 public:
  virtual ~Registry() = default;

  // RegCreateKeyExA: opens the subkey, creating it (and missing parents) when it is absent.
  virtual long CreateKey(RegKey parent, const std::string& subKey, RegKey* result) = 0;
  // RegOpenKeyExA: opens an existing subkey; never creates one.
  virtual long OpenKey(RegKey parent, const std::string& subKey, RegKey* result) = 0;
  // RegQueryValueExA: with data null only type and size are reported; otherwise *size is the
  // buffer size on entry and the number of bytes stored on return.
  virtual long QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                          uint32_t* size) = 0;
  // RegSetValueExA.
  virtual long SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                        uint32_t size) = 0;
  // RegCloseKey.
  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace swfsaver::platform
