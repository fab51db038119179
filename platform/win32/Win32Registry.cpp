#include <windows.h>

#include "platform/win32/Win32Registry.h"

namespace swfsaver::win32 {
namespace {

// The portable code names HKEY_CURRENT_USER by its 32-bit value; the system's constant is that
// value sign-extended to a pointer.
HKEY ToHkey(platform::RegKey key) {
  if (key == platform::kHkeyCurrentUser) return HKEY_CURRENT_USER;
  return reinterpret_cast<HKEY>(key);
}

platform::RegKey FromHkey(HKEY key) { return reinterpret_cast<platform::RegKey>(key); }

}  // namespace

long Win32Registry::CreateKey(platform::RegKey parent, const std::string& subKey,
                              platform::RegKey* result) {
  HKEY key = nullptr;
  const LONG status = RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                      nullptr);
  *result = status == ERROR_SUCCESS ? FromHkey(key) : 0;
  return status;
}

long Win32Registry::OpenKey(platform::RegKey parent, const std::string& subKey,
                            platform::RegKey* result) {
  HKEY key = nullptr;
  const LONG status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, KEY_ALL_ACCESS, &key);
  *result = status == ERROR_SUCCESS ? FromHkey(key) : 0;
  return status;
}

long Win32Registry::QueryValue(platform::RegKey key, const std::string& name, uint32_t* type,
                               uint8_t* data, uint32_t* size) {
  DWORD valueType = 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data,
                                       size != nullptr ? &valueSize : nullptr);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return status;
}

long Win32Registry::SetValue(platform::RegKey key, const std::string& name, uint32_t type,
                             const uint8_t* data, uint32_t size) {
  return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
}

long Win32Registry::CloseKey(platform::RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace swfsaver::win32
