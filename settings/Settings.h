// The settings record in the registry: HKEY_CURRENT_USER\Software\Ostrevanlab\<base name>\OPTION
// with the REG_SZ values Expansion, ListCount and List0, List1, ..., and Mute, which the
// saver reads and nothing writes (the dialog leaves it as the user set it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace swfsaver {

// Whoever holds the settings: the saver window (FitToScreen, MovieList) or the dialog
// (CheckBoxExpansion, ListBoxMovie).
class SettingsHolder {
 public:
  virtual ~SettingsHolder() = default;
  virtual bool Expansion() = 0;
  virtual void SetExpansion(bool expansion) = 0;
  virtual int32_t MovieCount() = 0;
  virtual std::string Movie(int32_t index) = 0;
  virtual void ClearMovies() = 0;
  virtual void AppendMovie(const std::string& path) = 0;
};

// "Software\Ostrevanlab\" followed by the program file's base name.
std::string SettingsKeyPath(std::string_view moduleFileName, const platform::CodePage& codePage);

// Fills the holder from the store; store errors (ERegistryException) reach the caller, and
// what was done before the failing step stays done.
void LoadSettings(platform::Platform& platform, SettingsHolder& holder);
// The Mute value: "1" (any non-zero number) silences every movie; missing or 0, sound plays.
// Store errors (ERegistryException) reach the caller.
bool LoadMuteSetting(platform::Platform& platform);
// Writes the holder to the store; values written before a failing step stay written.
void SaveSettings(platform::Platform& platform, SettingsHolder& holder);

}  // namespace swfsaver
