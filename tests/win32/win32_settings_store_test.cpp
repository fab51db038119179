// The settings store against the real registry: every test works under its own throwaway key
// HKCU\Software\Ostrevanlab\<test name>, reached by giving the program that module name.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "settings/Settings.h"

namespace swfsaver {
namespace {

// The real kernel, but the program file is named after the running test.
class NamedProgramKernel : public win32::Win32Kernel {
 public:
  explicit NamedProgramKernel(std::string moduleFileName) : moduleFileName_(moduleFileName) {}
  std::string ModuleFileName() override { return moduleFileName_; }

 private:
  std::string moduleFileName_;
};

class Holder : public SettingsHolder {
 public:
  bool Expansion() override { return expansion; }
  void SetExpansion(bool value) override { expansion = value; }
  int32_t MovieCount() override { return static_cast<int32_t>(movies.size()); }
  std::string Movie(int32_t index) override { return movies.at(static_cast<size_t>(index)); }
  void ClearMovies() override { movies.clear(); }
  void AppendMovie(const std::string& path) override { movies.push_back(path); }

  bool expansion = false;
  std::vector<std::string> movies;
};

struct RawValue {
  DWORD type = 0;
  std::string data;  // every byte the registry holds, terminating zero included
};

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = std::string("SwfSaverTest_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
            std::to_string(GetCurrentProcessId());
    keyPath_ = "Software\\Ostrevanlab\\" + name_;
    RegDeleteTreeA(HKEY_CURRENT_USER, keyPath_.c_str());
    kernel_ = std::make_unique<NamedProgramKernel>("C:\\Program Files\\Test\\" + name_ + ".scr");
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, keyPath_.c_str()); }

  platform::Platform Platform() {
    return platform::Platform{registry_, *kernel_, codePage_, system_, application_};
  }
  void Save(bool expansion, std::vector<std::string> movies) {
    Holder holder;
    holder.expansion = expansion;
    holder.movies = std::move(movies);
    platform::Platform platform = Platform();
    SaveSettings(platform, holder);
  }
  Holder Load() {
    Holder holder;
    platform::Platform platform = Platform();
    LoadSettings(platform, holder);
    return holder;
  }

  bool KeyExists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }
  // Names of the values and subkeys directly in a key.
  std::vector<std::string> ValueNames(const std::string& path) { return Names(path, true); }
  std::vector<std::string> SubkeyNames(const std::string& path) { return Names(path, false); }
  RawValue Value(const std::string& name) {
    RawValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (keyPath_ + "\\OPTION").c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      ADD_FAILURE() << "no OPTION key";
      return value;
    }
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size),
              ERROR_SUCCESS)
        << name;
    value.data.resize(size);
    RegQueryValueExA(key, name.c_str(), nullptr, &value.type,
                     reinterpret_cast<BYTE*>(value.data.data()), &size);
    value.data.resize(size);
    RegCloseKey(key);
    return value;
  }
  void SetRawValue(const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (keyPath_ + "\\OPTION").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  std::string name_;
  std::string keyPath_;

 private:
  std::vector<std::string> Names(const std::string& path, bool values) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return names;
    }
    for (DWORD index = 0;; ++index) {
      char name[256];
      DWORD length = sizeof(name);
      const LONG status = values ? RegEnumValueA(key, index, name, &length, nullptr, nullptr,
                                                 nullptr, nullptr)
                                 : RegEnumKeyExA(key, index, name, &length, nullptr, nullptr,
                                                 nullptr, nullptr);
      if (status != ERROR_SUCCESS) break;
      names.emplace_back(name, length);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
  }

  win32::Win32Registry registry_;
  std::unique_ptr<NamedProgramKernel> kernel_;
  win32::Win32CodePage codePage_;
  win32::Win32SystemState system_;
  win32::Win32Application application_;
};

TEST_F(SettingsStoreTest, SaveWritesEveryValueAsAnsiTextWithItsTerminatingZero) {
  // Bytes above 0x7F go through unchanged: "\x83\x65" is a katakana in Shift-JIS and two
  // letters in the Western code page, valid in either.
  const std::string accented = "C:\\Movies\\\x83\x65.swf";
  Save(true, {"C:\\Movies\\first.swf", accented, ""});

  EXPECT_TRUE(ValueNames(keyPath_).empty());
  EXPECT_EQ(SubkeyNames(keyPath_), std::vector<std::string>{"OPTION"});
  EXPECT_EQ(ValueNames(keyPath_ + "\\OPTION"),
            (std::vector<std::string>{"Expansion", "List0", "List1", "List2", "ListCount"}));

  const struct {
    const char* name;
    std::string data;
  } expected[] = {
      {"Expansion", std::string("1", 2)},
      {"ListCount", std::string("3", 2)},
      {"List0", std::string("C:\\Movies\\first.swf") + '\0'},
      {"List1", accented + '\0'},
      {"List2", std::string(1, '\0')},
  };
  for (const auto& value : expected) {
    const RawValue stored = Value(value.name);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ)) << value.name;
    EXPECT_EQ(stored.data, value.data) << value.name;
  }
}

TEST_F(SettingsStoreTest, SaveAndLoadRoundTripThroughTheRegistry) {
  Save(false, {"C:\\a.swf", "C:\\b.swf"});
  EXPECT_EQ(Value("Expansion").data, std::string("0", 2));

  const Holder loaded = Load();
  EXPECT_FALSE(loaded.expansion);
  EXPECT_EQ(loaded.movies, (std::vector<std::string>{"C:\\a.swf", "C:\\b.swf"}));
}

TEST_F(SettingsStoreTest, ShorterSaveLeavesOlderEntriesInPlaceButLoadsOnlyItsOwn) {
  Save(true, {"C:\\1.swf", "C:\\2.swf", "C:\\3.swf", "C:\\4.swf", "C:\\5.swf"});
  Save(true, {"C:\\new0.swf", "C:\\new1.swf"});

  EXPECT_EQ(Value("ListCount").data, std::string("2", 2));
  EXPECT_EQ(Value("List2").data, std::string("C:\\3.swf") + '\0');
  EXPECT_EQ(Value("List4").data, std::string("C:\\5.swf") + '\0');
  EXPECT_EQ(Load().movies, (std::vector<std::string>{"C:\\new0.swf", "C:\\new1.swf"}));
}

TEST_F(SettingsStoreTest, FirstLoadCreatesOnlyAnEmptySettingsKey) {
  ASSERT_FALSE(KeyExists(keyPath_));

  const Holder loaded = Load();

  EXPECT_FALSE(loaded.expansion);
  EXPECT_TRUE(loaded.movies.empty());
  EXPECT_TRUE(KeyExists(keyPath_));
  EXPECT_FALSE(KeyExists(keyPath_ + "\\OPTION"));
  EXPECT_TRUE(ValueNames(keyPath_).empty());
  EXPECT_TRUE(SubkeyNames(keyPath_).empty());
}

TEST_F(SettingsStoreTest, ListCountStoredAsDwordFailsAfterTheFlagWasTaken) {
  SetRawValue("Expansion", REG_SZ, "1", 2);
  const DWORD count = 3;
  SetRawValue("ListCount", REG_DWORD, &count, sizeof(count));

  Holder holder;
  holder.movies = {"C:\\kept.swf"};
  platform::Platform platform = Platform();
  try {
    LoadSettings(platform, holder);
    FAIL() << "the load raised nothing";
  } catch (const ERegistryException& error) {
    EXPECT_EQ(error.Message(), "'ListCount' のデータ型が不正です");
  }
  EXPECT_TRUE(holder.expansion);
  EXPECT_EQ(holder.movies, std::vector<std::string>{"C:\\kept.swf"});
}

TEST_F(SettingsStoreTest, ExpandableTextIsReadAsStoredAndEmptyValuesAsEmptyText) {
  SetRawValue("ListCount", REG_SZ, "2", 2);
  const char expandable[] = "%TEMP%\\movie.swf";
  SetRawValue("List0", REG_EXPAND_SZ, expandable, sizeof(expandable));
  SetRawValue("List1", REG_BINARY, "", 0);  // no data at all: empty, whatever the type

  EXPECT_EQ(Load().movies, (std::vector<std::string>{expandable, ""}));
}

}  // namespace
}  // namespace swfsaver
