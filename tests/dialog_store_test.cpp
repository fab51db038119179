// What the settings dialog exchanges with the store: OK saves and closes, every other way out
// closes without saving, a failing save keeps the dialog open, and a store error while the
// dialog is first shown is reported before the dialog opens with what was loaded.
#include "tests/dialog_fixture.h"

namespace swfsaver {
namespace {

using fakes::DialogControl;
using fakes::PopupItem;
using Strings = std::vector<std::string>;

// Every value under OPTION with its bytes, to tell whether the store was touched.
std::vector<std::pair<std::string, std::vector<uint8_t>>> Snapshot(const fakes::FakeRegistry& r) {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> values;
  for (const std::string& name : r.ValueNames(kOptionKey)) {
    values.emplace_back(name, r.Value(kOptionKey, name)->data);
  }
  return values;
}

TEST_F(DialogTest, OkStoresTheListAndTheOptionThenCloses) {
  Open();
  for (const char* path : {"C:\\m\\one.swf", "C:\\m\\two.swf", "C:\\m\\three.swf"}) {
    dialog->openDialog.AnswerWith(path);
    dialog->Click(DialogControl::ButtonAdd);
  }
  dialog->UserSelect(2);
  dialog->Click(DialogControl::ButtonUp);
  dialog->UserSelect(0);
  dialog->ChooseMenuItem(PopupItem::Delete1);
  dialog->Click(DialogControl::CheckBoxExpansion);
  dialog->Click(DialogControl::ButtonOK);

  EXPECT_EQ(StoredList(), (Strings{"C:\\m\\three.swf", "C:\\m\\two.swf"}));
  EXPECT_EQ(fake.registry.Text(kOptionKey, "Expansion"), "1");
  EXPECT_TRUE(Closed());
  EXPECT_EQ(fake.application.terminateCount, 1);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(DialogTest, OkWithAnEmptyListStoresACountOfZero) {
  Store({"C:\\m\\a.swf", "C:\\m\\b.swf"}, true);
  Open();
  dialog->Click(DialogControl::ButtonAllDelete);
  dialog->Click(DialogControl::ButtonOK);
  EXPECT_EQ(fake.registry.Text(kOptionKey, "ListCount"), "0");
  EXPECT_EQ(fake.registry.Text(kOptionKey, "Expansion"), "1");
  EXPECT_TRUE(StoredList().empty());
  EXPECT_TRUE(Closed());
}

TEST_F(DialogTest, CancelAndTheCloseBoxLeaveTheStoreAlone) {
  const Strings stored{"C:\\m\\a.swf", "C:\\m\\b.swf"};
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Cancel");
    Store(stored);
    auto before = Snapshot(fake.registry);
    Open();
    dialog->UserSelect(0);
    dialog->Click(DialogControl::ButtonDelete);
    dialog->openDialog.AnswerWith("C:\\m\\new.swf");
    dialog->Click(DialogControl::ButtonAdd);
    dialog->Click(DialogControl::CheckBoxExpansion);
    if (closeBox) {
      dialog->PressCloseBox();
    } else {
      dialog->Click(DialogControl::ButtonCancel);
    }
    EXPECT_TRUE(Closed());
    EXPECT_EQ(Snapshot(fake.registry), before);
    form.reset();

    Open();  // the next opening shows the stored list
    EXPECT_EQ(Items(), stored);
    EXPECT_FALSE(dialog->checkBox.checked);
    form.reset();
  }
}

TEST_F(DialogTest, FiveEntriesCutToTwoStoreTwoAndLeaveTheRestUnread) {
  Store({"C:\\0.swf", "C:\\1.swf", "C:\\2.swf", "C:\\3.swf", "C:\\4.swf"});
  Open();
  dialog->UserSelect(1);
  for (int i = 0; i < 3; ++i) dialog->Click(DialogControl::ButtonDelete);
  EXPECT_EQ(Items(), (Strings{"C:\\0.swf", "C:\\4.swf"}));
  dialog->Click(DialogControl::ButtonOK);

  EXPECT_EQ(fake.registry.Text(kOptionKey, "ListCount"), "2");
  EXPECT_EQ(fake.registry.Text(kOptionKey, "List1"), "C:\\4.swf");
  EXPECT_EQ(fake.registry.Text(kOptionKey, "List2"), "C:\\2.swf");
  EXPECT_EQ(fake.registry.Text(kOptionKey, "List4"), "C:\\4.swf");
  form.reset();
  Open();
  EXPECT_EQ(Items(), (Strings{"C:\\0.swf", "C:\\4.swf"}));
}

TEST_F(DialogTest, AFailingSaveIsReportedAndKeepsTheDialogOpenAsEdited) {
  Store({"C:\\m\\a.swf", "C:\\m\\b.swf", "C:\\m\\c.swf"});
  Open();
  dialog->UserSelect(0);
  dialog->Click(DialogControl::ButtonDelete);
  fake.registry.FailWritesOf("List1");
  dialog->Click(DialogControl::ButtonOK);

  ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
  const fakes::MessageBoxRecord& report = fake.application.messageBoxes[0];
  EXPECT_EQ(report.kind, platform::MessageBoxKind::Error);
  EXPECT_EQ(report.text, "'List1' の設定に失敗しました.");
  EXPECT_EQ(report.caption, "Swfsaver");
  EXPECT_FALSE(Closed());
  EXPECT_EQ(fake.application.terminateCount, 0);
  EXPECT_EQ(Items(), (Strings{"C:\\m\\b.swf", "C:\\m\\c.swf"}));
  EXPECT_EQ(dialog->list.ItemIndex(), 0);
  // What was written before the failure stays written.
  EXPECT_EQ(fake.registry.Text(kOptionKey, "ListCount"), "2");
  EXPECT_EQ(fake.registry.Text(kOptionKey, "List0"), "C:\\m\\b.swf");

  dialog->Click(DialogControl::ButtonCancel);  // the user can still leave
  EXPECT_TRUE(Closed());
}

TEST_F(DialogTest, ALoadErrorIsReportedThenTheDialogOpensWithWhatWasLoaded) {
  Store({"C:\\m\\a.swf"}, true);
  fake.registry.PutValue(kOptionKey, "ListCount", {platform::kRegDword, {1, 0, 0, 0}});
  bool visibleDuringReport = true;
  fake.application.onMessageBox = [&](const fakes::MessageBoxRecord&) {
    visibleDuringReport = dialog->visible;
  };
  Open();

  ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
  EXPECT_EQ(fake.application.messageBoxes[0].text, "'ListCount' のデータ型が不正です.");
  EXPECT_EQ(fake.application.messageBoxes[0].kind, platform::MessageBoxKind::Error);
  EXPECT_FALSE(visibleDuringReport);
  EXPECT_TRUE(dialog->visible);
  EXPECT_TRUE(dialog->checkBox.checked);  // read before the failing value
  EXPECT_TRUE(Items().empty());

  dialog->openDialog.AnswerWith("C:\\m\\b.swf");  // and it works as usual
  dialog->Click(DialogControl::ButtonAdd);
  dialog->Click(DialogControl::ButtonOK);
  EXPECT_EQ(StoredList(), (Strings{"C:\\m\\b.swf"}));
}

TEST_F(DialogTest, AnUnreadableEntryStopsTheLoadAfterTheEntriesBeforeIt) {
  Store({"C:\\m\\a.swf", "C:\\m\\b.swf", "C:\\m\\c.swf"});
  fake.registry.FailReadsOf("List1");
  Open();
  ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
  EXPECT_EQ(fake.application.messageBoxes[0].text, "'List1' の取得に失敗しました.");
  EXPECT_EQ(Items(), (Strings{"C:\\m\\a.swf"}));
  EXPECT_TRUE(dialog->visible);
}

}  // namespace
}  // namespace swfsaver
