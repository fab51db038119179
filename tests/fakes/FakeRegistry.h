// An in-memory registry: keys with subkeys and typed values, open handles, and failures on
// demand (a key that refuses full access or creation, a failing write or read). Names are
// compared without regard to ASCII case, as the registry does.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace swfsaver::fakes {

struct RegValue {
  uint32_t type = platform::kRegNone;
  std::vector<uint8_t> data;
};

class FakeRegistry : public platform::Registry {
 public:
  FakeRegistry();

  long CreateKey(platform::RegKey parent, const std::string& subKey,
                 platform::RegKey* result) override;
  long OpenKey(platform::RegKey parent, const std::string& subKey,
               platform::RegKey* result) override;
  long QueryValue(platform::RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                  uint32_t* size) override;
  long SetValue(platform::RegKey key, const std::string& name, uint32_t type,
                const uint8_t* data, uint32_t size) override;
  long CloseKey(platform::RegKey key) override;

  // Paths are relative to HKEY_CURRENT_USER, "\"-separated.
  bool KeyExists(const std::string& path) const;
  void AddKey(const std::string& path);
  std::optional<RegValue> Value(const std::string& path, const std::string& name) const;
  // The REG_SZ text of a value (up to its first zero byte), or nothing.
  std::optional<std::string> Text(const std::string& path, const std::string& name) const;
  void PutValue(const std::string& path, const std::string& name, RegValue value);
  // A REG_SZ value with its terminating zero, as RegSetValueExA stores one.
  void PutText(const std::string& path, const std::string& name, const std::string& text);
  std::vector<std::string> SubKeyNames(const std::string& path) const;
  std::vector<std::string> ValueNames(const std::string& path) const;

  // Failures on demand.
  void RefuseFullAccess(const std::string& path) { refusedAccess_.insert(Fold(path)); }
  void RefuseCreation(const std::string& path) { refusedCreation_.insert(Fold(path)); }
  void FailWritesOf(const std::string& valueName) { failingWrites_.insert(Fold(valueName)); }
  // The write after `count` more successful writes fails, and every one after it.
  void FailWritesAfter(int count) { writesLeft_ = count; }
  void FailReadsOf(const std::string& valueName) { failingReads_.insert(Fold(valueName)); }

  int OpenHandleCount() const { return static_cast<int>(handles_.size()); }
  // Every call, in order: "Create <path>", "Open <path>", "Query <path>:<name>",
  // "Set <path>:<name>", "Close <path>".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  void SetRecordCalls(bool record) { recordCalls_ = record; }

 private:
  struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subKeys;  // by folded name
    std::map<std::string, std::pair<std::string, RegValue>> values;  // folded -> (name, value)
  };

  static std::string Fold(const std::string& text);
  static std::vector<std::string> SplitPath(const std::string& path);
  Key* Find(const std::string& path) const;
  Key* FindFrom(Key* start, const std::string& relative) const;
  std::string PathOf(platform::RegKey key) const;
  platform::RegKey NewHandle(const std::string& path);
  void Record(const std::string& call);

  std::unique_ptr<Key> root_;
  std::map<platform::RegKey, std::string> handles_;  // open handle -> path below HKCU
  platform::RegKey nextHandle_ = 0x1000;
  std::set<std::string> refusedAccess_;
  std::set<std::string> refusedCreation_;
  std::set<std::string> failingWrites_;
  std::set<std::string> failingReads_;
  int writesLeft_ = -1;
  std::vector<std::string> calls_;
  bool recordCalls_ = true;
};

}  // namespace swfsaver::fakes
