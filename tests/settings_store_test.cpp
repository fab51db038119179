// The settings store against the fake registry: the layout a save writes, what a load makes
// of every kind of stored value, and what stays done when a step fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "settings/Settings.h"
#include "tests/error_message.h"
#include "tests/fakes/FakePlatform.h"

namespace swfsaver {
namespace {

using fakes::FakeCodePage;
using fakes::RegValue;
using fakes::ShiftJis;
using Strings = std::vector<std::string>;

const std::string kKey = "Software\\Ostrevanlab\\SwfSaver";
const std::string kOption = kKey + "\\OPTION";

struct TestHolder : SettingsHolder {
  bool expansion = false;
  Strings movies;
  bool Expansion() override { return expansion; }
  void SetExpansion(bool value) override { expansion = value; }
  int32_t MovieCount() override { return static_cast<int32_t>(movies.size()); }
  std::string Movie(int32_t index) override { return movies.at(static_cast<size_t>(index)); }
  void ClearMovies() override { movies.clear(); }
  void AppendMovie(const std::string& path) override { movies.push_back(path); }
};

RegValue Bytes(uint32_t type, const std::string& bytes) {
  return RegValue{type, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

class SettingsStore : public ::testing::Test {
 protected:
  TestHolder Load() {
    TestHolder holder;
    LoadSettings(fake.platform, holder);
    return holder;
  }
  void Save(bool expansion, Strings movies) {
    TestHolder holder;
    holder.expansion = expansion;
    holder.movies = std::move(movies);
    SaveSettings(fake.platform, holder);
  }
  // Every registry call of an operation leaves no key open.
  void TearDown() override { EXPECT_EQ(fake.registry.OpenHandleCount(), 0); }

  fakes::FakePlatform fake;
};

TEST_F(SettingsStore, FirstLoadGivesDefaultsAndLeavesOnlyAnEmptySettingsKey) {
  TestHolder holder = Load();
  EXPECT_FALSE(holder.expansion);
  EXPECT_TRUE(holder.movies.empty());
  EXPECT_TRUE(fake.registry.KeyExists(kKey));
  EXPECT_TRUE(fake.registry.SubKeyNames(kKey).empty());
  EXPECT_TRUE(fake.registry.ValueNames(kKey).empty());
}

TEST_F(SettingsStore, SaveWritesZeroTerminatedTextsInOrderEachThroughItsOwnSectionKey) {
  Save(true, {"C:\\a.swf", "", "C:\\a.swf"});
  EXPECT_EQ(fake.registry.Value(kOption, "Expansion")->data, Bytes(1, {"1\0", 2}).data);
  const std::pair<const char*, const char*> expected[] = {
      {"ListCount", "3"}, {"List0", "C:\\a.swf"}, {"List1", ""}, {"List2", "C:\\a.swf"}};
  for (const auto& [name, text] : expected) {
    const RegValue value = *fake.registry.Value(kOption, name);
    EXPECT_EQ(value.type, platform::kRegSz) << name;
    EXPECT_EQ(value.data, Bytes(1, std::string(text) + '\0').data) << name;  // size len + 1
  }
  const Strings& calls = fake.registry.Calls();
  ASSERT_EQ(calls.size(), 2u + 5u * 5u);  // the settings key around five values
  EXPECT_EQ(calls.front(), "Create " + kKey);
  EXPECT_EQ(Strings(calls.begin() + 1, calls.begin() + 6),
            (Strings{"Create " + kOption, "Close " + kOption, "Open " + kOption,
                     "Set " + kOption + ":Expansion", "Close " + kOption}));
  Strings sets;
  for (const std::string& call : calls) {
    if (call.starts_with("Set ")) sets.push_back(call.substr(4 + kOption.size() + 1));
  }
  EXPECT_EQ(sets, (Strings{"Expansion", "ListCount", "List0", "List1", "List2"}));
  EXPECT_EQ(calls.back(), "Close " + kKey);
  EXPECT_EQ(Load().movies, (Strings{"C:\\a.swf", "", "C:\\a.swf"}));
}

TEST_F(SettingsStore, ShorterOrEmptySaveLeavesOlderListValuesThatAreNeverRead) {
  Save(false, {"a", "b", "c", "d", "e"});
  Save(false, {"x", "y"});
  EXPECT_EQ(*fake.registry.Text(kOption, "List4"), "e");
  EXPECT_EQ(Load().movies, (Strings{"x", "y"}));
  Save(false, {});
  EXPECT_EQ(*fake.registry.Text(kOption, "ListCount"), "0");
  EXPECT_TRUE(Load().movies.empty());
}

TEST_F(SettingsStore, StoredTextsAsLoaded) {
  struct Row {
    std::string expansion, listCount;
    bool wantExpansion;
    size_t wantCount;
  };
  fake.registry.PutText(kOption, "List0", "C:\\one.swf");
  for (const Row& row : {Row{"1", "3", true, 3}, Row{"2", "abc", true, 0},
                         Row{"", "-2", false, 0}, Row{"0", "0", false, 0},
                         Row{"  +1", "$2", true, 2}, Row{"1 ", " 0x1", false, 1}}) {
    fake.registry.PutText(kOption, "Expansion", row.expansion);
    fake.registry.PutText(kOption, "ListCount", row.listCount);
    TestHolder holder = Load();
    EXPECT_EQ(holder.expansion, row.wantExpansion) << '"' << row.expansion << '"';
    ASSERT_EQ(holder.movies.size(), row.wantCount) << '"' << row.listCount << '"';
    Strings expected(row.wantCount);  // List1, List2, ... are missing: empty entries
    if (row.wantCount > 0) expected[0] = "C:\\one.swf";
    EXPECT_EQ(holder.movies, expected);
  }
}

TEST_F(SettingsStore, ValueKindsAsLoaded) {
  fake.registry.PutText(kOption, "ListCount", "5");
  fake.registry.PutValue(kOption, "List0", Bytes(platform::kRegExpandSz, {"%TEMP%\\a.swf\0", 13}));
  fake.registry.PutValue(kOption, "List1", Bytes(platform::kRegSz, {"cut\0here\0", 9}));
  fake.registry.PutValue(kOption, "List2", Bytes(platform::kRegSz, "no terminator"));
  fake.registry.PutValue(kOption, "List3", Bytes(platform::kRegDword, ""));  // size 0: empty
  fake.registry.PutValue(kOption, "List4", Bytes(platform::kRegSz, ""));
  EXPECT_EQ(Load().movies, (Strings{"%TEMP%\\a.swf", "cut", "no terminator", "", ""}));
}

TEST_F(SettingsStore, WrongTypeAfterTheFlagKeepsTheFormerList) {
  fake.registry.PutText(kOption, "Expansion", "1");
  fake.registry.PutValue(kOption, "ListCount", Bytes(platform::kRegDword, {"\3\0\0\0", 4}));
  TestHolder holder;
  holder.movies = {"former"};
  EXPECT_EQ(MessageOf<ERegistryException>([&] { LoadSettings(fake.platform, holder); }),
            "'ListCount' のデータ型が不正です");
  EXPECT_TRUE(holder.expansion);
  EXPECT_EQ(holder.movies, Strings{"former"});
}

TEST_F(SettingsStore, FailingDataReadKeepsTheEntriesAppendedSoFar) {
  Save(false, {"a", "b", "c"});
  fake.registry.FailReadsOf("List1");
  TestHolder holder;
  holder.movies = {"former"};
  EXPECT_EQ(MessageOf<ERegistryException>([&] { LoadSettings(fake.platform, holder); }),
            "'List1' の取得に失敗しました");
  EXPECT_EQ(holder.movies, Strings{"a"});
}

TEST_F(SettingsStore, SectionKeyWithoutFullAccessLoadsTheDefaults) {
  Save(true, {"a"});
  fake.registry.RefuseFullAccess(kOption);
  TestHolder holder;
  holder.expansion = true;
  holder.movies = {"former"};
  LoadSettings(fake.platform, holder);
  EXPECT_FALSE(holder.expansion);
  EXPECT_TRUE(holder.movies.empty());
}

TEST_F(SettingsStore, SettingsKeyThatCannotBeHadLoadsDefaultsAndRefusesTheSave) {
  fake.registry.PutText("OPTION", "ListCount", "2");  // someone else's, directly under HKCU
  fake.registry.RefuseCreation(kKey);
  EXPECT_TRUE(Load().movies.empty());
  EXPECT_THROW(Save(true, {"a"}), ERegistryException);
  fake.registry.AddKey(kKey);
  fake.registry.RefuseFullAccess(kKey);
  EXPECT_TRUE(Load().movies.empty());
  fake.registry.ClearCalls();
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Save(true, {"a"}); }),
            "キー Software\\Ostrevanlab\\SwfSaver の作成に失敗しました");
  EXPECT_EQ(fake.registry.Calls(), Strings{"Create " + kKey});
  EXPECT_EQ(fake.registry.ValueNames("OPTION"), Strings{"ListCount"});
}

TEST_F(SettingsStore, SectionCreationAndValueWriteFailuresNameTheirKeyAndValue) {
  fake.registry.RefuseCreation(kOption);
  EXPECT_EQ(MessageOf<ERegistryException>([&] { Save(true, {"a"}); }),
            "キー OPTION の作成に失敗しました");
  fakes::FakePlatform other;
  other.registry.FailWritesOf("ListCount");
  TestHolder holder;
  EXPECT_EQ(MessageOf<ERegistryException>([&] { SaveSettings(other.platform, holder); }),
            "'ListCount' の設定に失敗しました");
  EXPECT_EQ(other.registry.OpenHandleCount(), 0);
}

TEST_F(SettingsStore, PartialSaveKeepsWhatWasWrittenAndTheCountMayNameOlderValues) {
  Save(false, {"old0", "old1", "old2", "old3", "old4"});
  fake.registry.FailWritesAfter(3);  // Expansion, ListCount and List0 get through
  EXPECT_THROW(Save(true, {"new0", "new1", "new2", "new3"}), ERegistryException);
  TestHolder holder = Load();
  EXPECT_TRUE(holder.expansion);
  EXPECT_EQ(holder.movies, (Strings{"new0", "old1", "old2", "old3"}));
}

TEST_F(SettingsStore, HugeListCountIsBoundedTo65536Entries) {
  fake.registry.SetRecordCalls(false);
  fake.registry.PutText(kOption, "ListCount", "2147483647");
  fake.registry.PutText(kOption, "List65535", "last");
  fake.registry.PutText(kOption, "List65536", "beyond");
  TestHolder holder = Load();
  ASSERT_EQ(holder.movies.size(), 65536u);
  EXPECT_EQ(holder.movies.back(), "last");
}

TEST_F(SettingsStore, AnotherProgramFileNameHasItsOwnKey) {
  Save(true, {"a"});
  fake.kernel.moduleFileName = "C:\\Windows\\Other.scr";
  TestHolder holder = Load();
  EXPECT_FALSE(holder.expansion);
  EXPECT_TRUE(fake.registry.KeyExists("Software\\Ostrevanlab\\Other"));
}

TEST(SettingsKeyPathRule, BaseNameAfterTheLastDelimiterUpToTheLastFullStop) {
  FakeCodePage western;
  EXPECT_EQ(SettingsKeyPath("C:\\Windows\\SwfSaver.scr", western), kKey);
  EXPECT_EQ(SettingsKeyPath("C:\\a.b\\Swf.Saver.SCR", western), "Software\\Ostrevanlab\\Swf.Saver");
  EXPECT_EQ(SettingsKeyPath("D:NoExtension", western), "Software\\Ostrevanlab\\NoExtension");
  FakeCodePage shiftJis(FakeCodePage::Kind::ShiftJis);
  // 表 is 0x95 0x5C: its trail byte has the value of "\" and is no delimiter.
  EXPECT_EQ(SettingsKeyPath(ShiftJis("C:\\保存\\表示表.scr"), shiftJis),
            "Software\\Ostrevanlab\\" + ShiftJis("表示表"));
  // Read byte by byte, the same name would be cut after the last trail byte, leaving nothing.
  EXPECT_EQ(SettingsKeyPath(ShiftJis("C:\\保存\\表示表.scr"), western), "Software\\Ostrevanlab\\");
}

}  // namespace
}  // namespace swfsaver
