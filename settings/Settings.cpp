#include "settings/Settings.h"

#include <algorithm>

#include "framework/FileName.h"
#include "settings/RegIniFile.h"

namespace swfsaver {

namespace {
constexpr const char* kSettingsRoot = "Software\\Ostrevanlab\\";
constexpr const char* kSection = "OPTION";
constexpr const char* kExpansion = "Expansion";
constexpr const char* kListCount = "ListCount";
constexpr const char* kMute = "Mute";

// A stored ListCount is believed only up to this many entries. Each entry costs a registry
// access, and a missing List value still adds an empty entry, so a damaged or hostile count
// (2147483647, say) would otherwise take hours and gigabytes. 65,536 is far beyond any list a
// person builds in the dialog; a longer list is saved in full but loads only its first 65,536.
constexpr int32_t kMaxListCount = 65536;

std::string ListValueName(int32_t index) { return "List" + std::to_string(index); }

TRegIniFile OpenStore(platform::Platform& platform) {
  return TRegIniFile(platform.registry, platform.codePage,
                     SettingsKeyPath(platform.kernel.ModuleFileName(), platform.codePage));
}
}  // namespace

std::string SettingsKeyPath(std::string_view moduleFileName, const platform::CodePage& codePage) {
  const std::string_view name = ExtractFileName(moduleFileName, codePage);
  return kSettingsRoot + std::string(StripExtension(name, codePage));
}

void LoadSettings(platform::Platform& platform, SettingsHolder& holder) {
  TRegIniFile store = OpenStore(platform);
  // Each step takes effect at once: an error in a later one leaves the earlier done.
  holder.SetExpansion(store.ReadBool(kSection, kExpansion, false));
  const int32_t count = std::min(store.ReadInteger(kSection, kListCount, 0), kMaxListCount);
  holder.ClearMovies();
  for (int32_t i = 0; i < count; ++i) {
    holder.AppendMovie(store.ReadString(kSection, ListValueName(i), ""));
  }
}

bool LoadMuteSetting(platform::Platform& platform) {
  return OpenStore(platform).ReadBool(kSection, kMute, false);
}

void SaveSettings(platform::Platform& platform, SettingsHolder& holder) {
  TRegIniFile store = OpenStore(platform);
  store.WriteBool(kSection, kExpansion, holder.Expansion());
  const int32_t count = holder.MovieCount();
  store.WriteInteger(kSection, kListCount, count);
  // List values of an earlier, longer list stay; they lie beyond the count and are not read.
  for (int32_t i = 0; i < count; ++i) {
    store.WriteString(kSection, ListValueName(i), holder.Movie(i));
  }
}

}  // namespace swfsaver
