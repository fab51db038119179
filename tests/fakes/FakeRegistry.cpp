#include "tests/fakes/FakeRegistry.h"

#include <algorithm>
#include <cstring>

namespace swfsaver::fakes {

using platform::kErrorAccessDenied;
using platform::kErrorFileNotFound;
using platform::kErrorMoreData;
using platform::kErrorSuccess;
using platform::RegKey;

namespace {
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorWriteFault = 29;
constexpr long kErrorReadFault = 30;

std::string Join(const std::string& base, const std::string& relative) {
  if (base.empty()) return relative;
  if (relative.empty()) return base;
  return base + "\\" + relative;
}
}  // namespace

FakeRegistry::FakeRegistry() : root_(std::make_unique<Key>()) {}

std::string FakeRegistry::Fold(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::vector<std::string> FakeRegistry::SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

FakeRegistry::Key* FakeRegistry::FindFrom(Key* start, const std::string& relative) const {
  Key* key = start;
  for (const std::string& part : SplitPath(relative)) {
    auto it = key->subKeys.find(Fold(part));
    if (it == key->subKeys.end()) return nullptr;
    key = it->second.get();
  }
  return key;
}

FakeRegistry::Key* FakeRegistry::Find(const std::string& path) const {
  return FindFrom(root_.get(), path);
}

std::string FakeRegistry::PathOf(RegKey key) const {
  if (key == platform::kHkeyCurrentUser) return "";
  return handles_.at(key);
}

RegKey FakeRegistry::NewHandle(const std::string& path) {
  RegKey handle = nextHandle_++;
  handles_[handle] = path;
  return handle;
}

void FakeRegistry::Record(const std::string& call) {
  if (recordCalls_) calls_.push_back(call);
}

long FakeRegistry::CreateKey(RegKey parent, const std::string& subKey, RegKey* result) {
  *result = 0;
  if (parent != platform::kHkeyCurrentUser && !handles_.count(parent)) return kErrorInvalidHandle;
  std::string path = Join(PathOf(parent), subKey);
  Record("Create " + path);
  Key* key = Find(PathOf(parent));
  std::string walked = PathOf(parent);
  for (const std::string& part : SplitPath(subKey)) {
    walked = Join(walked, part);
    auto it = key->subKeys.find(Fold(part));
    if (it == key->subKeys.end()) {
      if (refusedCreation_.count(Fold(walked))) return kErrorAccessDenied;
      auto child = std::make_unique<Key>();
      child->name = part;
      it = key->subKeys.emplace(Fold(part), std::move(child)).first;
    }
    key = it->second.get();
  }
  if (refusedAccess_.count(Fold(path))) return kErrorAccessDenied;
  *result = NewHandle(path);
  return kErrorSuccess;
}

long FakeRegistry::OpenKey(RegKey parent, const std::string& subKey, RegKey* result) {
  *result = 0;
  if (parent != platform::kHkeyCurrentUser && !handles_.count(parent)) return kErrorInvalidHandle;
  std::string path = Join(PathOf(parent), subKey);
  Record("Open " + path);
  if (Find(path) == nullptr) return kErrorFileNotFound;
  if (refusedAccess_.count(Fold(path))) return kErrorAccessDenied;
  *result = NewHandle(path);
  return kErrorSuccess;
}

long FakeRegistry::QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                              uint32_t* size) {
  if (!handles_.count(key)) return kErrorInvalidHandle;
  Record("Query " + PathOf(key) + ":" + name);
  Key* node = Find(PathOf(key));
  if (node == nullptr) return kErrorFileNotFound;
  auto it = node->values.find(Fold(name));
  if (it == node->values.end()) return kErrorFileNotFound;
  const RegValue& value = it->second.second;
  if (type != nullptr) *type = value.type;
  uint32_t stored = static_cast<uint32_t>(value.data.size());
  if (data == nullptr) {
    if (size != nullptr) *size = stored;
    return kErrorSuccess;
  }
  if (failingReads_.count(Fold(name))) return kErrorReadFault;
  if (size == nullptr) return kErrorInvalidHandle;
  if (*size < stored) {
    *size = stored;
    return kErrorMoreData;
  }
  if (stored > 0) std::memcpy(data, value.data.data(), stored);
  *size = stored;
  return kErrorSuccess;
}

long FakeRegistry::SetValue(RegKey key, const std::string& name, uint32_t type,
                            const uint8_t* data, uint32_t size) {
  if (!handles_.count(key)) return kErrorInvalidHandle;
  Record("Set " + PathOf(key) + ":" + name);
  Key* node = Find(PathOf(key));
  if (node == nullptr) return kErrorFileNotFound;
  if (failingWrites_.count(Fold(name))) return kErrorWriteFault;
  if (writesLeft_ == 0) return kErrorWriteFault;
  if (writesLeft_ > 0) --writesLeft_;
  RegValue value{type, std::vector<uint8_t>(data, data + size)};
  node->values[Fold(name)] = {name, std::move(value)};
  return kErrorSuccess;
}

long FakeRegistry::CloseKey(RegKey key) {
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrorInvalidHandle;
  Record("Close " + it->second);
  handles_.erase(it);
  return kErrorSuccess;
}

bool FakeRegistry::KeyExists(const std::string& path) const { return Find(path) != nullptr; }

void FakeRegistry::AddKey(const std::string& path) {
  Key* key = root_.get();
  for (const std::string& part : SplitPath(path)) {
    auto& slot = key->subKeys[Fold(part)];
    if (!slot) {
      slot = std::make_unique<Key>();
      slot->name = part;
    }
    key = slot.get();
  }
}

std::optional<RegValue> FakeRegistry::Value(const std::string& path,
                                            const std::string& name) const {
  Key* key = Find(path);
  if (key == nullptr) return std::nullopt;
  auto it = key->values.find(Fold(name));
  if (it == key->values.end()) return std::nullopt;
  return it->second.second;
}

std::optional<std::string> FakeRegistry::Text(const std::string& path,
                                              const std::string& name) const {
  std::optional<RegValue> value = Value(path, name);
  if (!value || (value->type != platform::kRegSz && value->type != platform::kRegExpandSz)) {
    return std::nullopt;
  }
  auto end = std::find(value->data.begin(), value->data.end(), uint8_t{0});
  return std::string(value->data.begin(), end);
}

void FakeRegistry::PutValue(const std::string& path, const std::string& name, RegValue value) {
  AddKey(path);
  Find(path)->values[Fold(name)] = {name, std::move(value)};
}

void FakeRegistry::PutText(const std::string& path, const std::string& name,
                           const std::string& text) {
  RegValue value{platform::kRegSz, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  PutValue(path, name, std::move(value));
}

std::vector<std::string> FakeRegistry::SubKeyNames(const std::string& path) const {
  std::vector<std::string> names;
  if (Key* key = Find(path)) {
    for (const auto& [folded, child] : key->subKeys) names.push_back(child->name);
  }
  return names;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (Key* key = Find(path)) {
    for (const auto& [folded, entry] : key->values) names.push_back(entry.first);
  }
  return names;
}

}  // namespace swfsaver::fakes
