#include "settings/RegIniFile.h"

#include <algorithm>
#include <vector>

#include "framework/StrToInt.h"
#include "platform/Exceptions.h"

namespace swfsaver {

namespace {
// A section key open for one value access; closed on every way out.
class SectionKey {
 public:
  SectionKey(platform::Registry& registry, platform::RegKey key) : registry_(registry), key_(key) {}
  ~SectionKey() { registry_.CloseKey(key_); }
  SectionKey(const SectionKey&) = delete;
  SectionKey& operator=(const SectionKey&) = delete;
  platform::RegKey Get() const { return key_; }

 private:
  platform::Registry& registry_;
  platform::RegKey key_;
};
}  // namespace

TRegIniFile::TRegIniFile(platform::Registry& registry, const platform::CodePage& codePage,
                         std::string fileName)
    : registry_(registry), codePage_(codePage), fileName_(std::move(fileName)) {
  platform::RegKey key = 0;
  if (registry_.CreateKey(platform::kHkeyCurrentUser, fileName_, &key) == platform::kErrorSuccess) {
    currentKey_ = key;
  }
}

TRegIniFile::~TRegIniFile() {
  if (currentKey_ != 0) registry_.CloseKey(currentKey_);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident,
                                    const std::string& defaultValue) {
  // Without the settings key there is nothing of ours to read; a section of the same name
  // elsewhere (directly under HKEY_CURRENT_USER, say) is not ours.
  if (currentKey_ == 0) return defaultValue;
  platform::RegKey opened = 0;
  if (registry_.OpenKey(currentKey_, section, &opened) != platform::kErrorSuccess) {
    return defaultValue;
  }
  SectionKey key(registry_, opened);
  uint32_t type = platform::kRegNone;
  uint32_t size = 0;
  if (registry_.QueryValue(key.Get(), ident, &type, nullptr, &size) != platform::kErrorSuccess) {
    return defaultValue;
  }
  if (size == 0) return {};
  std::string text(size, '\0');
  if (registry_.QueryValue(key.Get(), ident, &type, reinterpret_cast<uint8_t*>(text.data()),
                           &size) != platform::kErrorSuccess) {
    throw ERegistryException("'" + Utf8(ident) + "' の取得に失敗しました");
  }
  if (type != platform::kRegSz && type != platform::kRegExpandSz) {
    throw ERegistryException("'" + Utf8(ident) + "' のデータ型が不正です");
  }
  // The text ends at its first zero byte, or with the data when it was stored without one.
  text.resize(std::min<size_t>(size, text.size()));
  text.resize(std::min(text.find('\0'), text.size()));
  return text;
}

int32_t TRegIniFile::ReadInteger(const std::string& section, const std::string& ident,
                                 int32_t defaultValue) {
  return TryStrToInt(ReadString(section, ident, "")).value_or(defaultValue);
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident,
                           bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident,
                              const std::string& value) {
  // Without the settings key the section would land somewhere else (directly under
  // HKEY_CURRENT_USER): refuse, naming the key that could not be had.
  if (currentKey_ == 0) {
    throw ERegistryException("キー " + Utf8(fileName_) + " の作成に失敗しました");
  }
  platform::RegKey created = 0;
  if (registry_.CreateKey(currentKey_, section, &created) != platform::kErrorSuccess) {
    throw ERegistryException("キー " + Utf8(section) + " の作成に失敗しました");
  }
  registry_.CloseKey(created);
  platform::RegKey opened = 0;
  if (registry_.OpenKey(currentKey_, section, &opened) != platform::kErrorSuccess) return;
  SectionKey key(registry_, opened);
  std::vector<uint8_t> data(value.begin(), value.end());
  data.push_back(0);
  if (registry_.SetValue(key.Get(), ident, platform::kRegSz, data.data(),
                         static_cast<uint32_t>(data.size())) != platform::kErrorSuccess) {
    throw ERegistryException("'" + Utf8(ident) + "' の設定に失敗しました");
  }
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident,
                               int32_t value) {
  WriteString(section, ident, std::to_string(value));
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

}  // namespace swfsaver
