// The registry through the ANSI functions, every key opened and created with KEY_ALL_ACCESS
// and created non-volatile. Thin: each call is one Win32 call, its result passed on.
#pragma once

#include "platform/Registry.h"

namespace swfsaver::win32 {

class Win32Registry : public platform::Registry {
 public:
  long CreateKey(platform::RegKey parent, const std::string& subKey,
                 platform::RegKey* result) override;
  long OpenKey(platform::RegKey parent, const std::string& subKey,
               platform::RegKey* result) override;
  long QueryValue(platform::RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  long SetValue(platform::RegKey key, const std::string& name, uint32_t type,
                const uint8_t* data, uint32_t size) override;
  long CloseKey(platform::RegKey key) override;
};

}  // namespace swfsaver::win32
