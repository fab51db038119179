// The store object of the settings: a registry key below HKEY_CURRENT_USER read and written
// like an INI file, each value in a section (a subkey of the key). It lives for one load or
// save; every value access opens its section afresh and closes it before returning.
#pragma once

#include <cstdint>
#include <string>

#include "platform/CodePage.h"
#include "platform/Registry.h"

namespace swfsaver {

class TRegIniFile {
 public:
  // Opens fileName (a key path below HKEY_CURRENT_USER), creating it when it is missing, and
  // makes it the current key. A key that can be neither created nor opened is not reported
  // here: reads then give their defaults and writes raise.
  TRegIniFile(platform::Registry& registry, const platform::CodePage& codePage,
              std::string fileName);
  // Closes the current key.
  ~TRegIniFile();
  TRegIniFile(const TRegIniFile&) = delete;
  TRegIniFile& operator=(const TRegIniFile&) = delete;

  // The stored REG_SZ or REG_EXPAND_SZ text (environment references left unexpanded), or the
  // default when the section or the value is missing or the section refuses full access.
  // Raises ERegistryException when the data cannot be read or has another type.
  std::string ReadString(const std::string& section, const std::string& ident,
                         const std::string& defaultValue);
  // The text as a number (decimal, or hexadecimal after "$", "x" or "0x"); the default for
  // any text that is not one.
  int32_t ReadInteger(const std::string& section, const std::string& ident,
                      int32_t defaultValue);
  bool ReadBool(const std::string& section, const std::string& ident, bool defaultValue);

  // Creates the section when missing, then stores the text as REG_SZ with its terminating
  // zero. Raises ERegistryException when the section cannot be created or the value set.
  void WriteString(const std::string& section, const std::string& ident,
                   const std::string& value);
  void WriteInteger(const std::string& section, const std::string& ident, int32_t value);
  void WriteBool(const std::string& section, const std::string& ident, bool value);

 private:
  std::string Utf8(const std::string& ansi) const { return codePage_.AnsiToUtf8(ansi); }

  platform::Registry& registry_;
  const platform::CodePage& codePage_;
  platform::RegKey currentKey_ = 0;  // 0 when the key could be neither created nor opened
  const std::string fileName_;
};

}  // namespace swfsaver
