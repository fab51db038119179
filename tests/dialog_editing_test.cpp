// Editing the playlist in the settings dialog: which entry is current, where the focus goes
// and what LabelFileName names after each operation, reached through the buttons and the
// context menu as the user reaches them.
#include "tests/dialog_fixture.h"

namespace swfsaver {
namespace {

using fakes::DialogControl;
using fakes::PopupItem;
using Strings = std::vector<std::string>;

const Strings kThree{"C:\\movies\\a.swf", "C:\\movies\\b.swf", "C:\\movies\\c.swf"};

TEST_F(DialogTest, OpensWithTheStoredSettingsAndNoCurrentEntry) {
  Store(kThree, true);
  Open();
  EXPECT_EQ(Items(), kThree);
  EXPECT_TRUE(dialog->checkBox.checked);
  EXPECT_EQ(dialog->list.ItemIndex(), -1);
  EXPECT_EQ(dialog->label.text, "");
  EXPECT_TRUE(dialog->visible);
  EXPECT_EQ(dialog->showCount, 1);
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(DialogTest, DeletingTheMiddleEntryMakesItsSuccessorCurrent) {
  Store(kThree);
  Open();
  dialog->UserSelect(1);
  dialog->Click(DialogControl::ButtonDelete);
  EXPECT_EQ(Items(), (Strings{kThree[0], kThree[2]}));
  EXPECT_EQ(dialog->list.ItemIndex(), 1);
  EXPECT_EQ(dialog->label.text, "c.swf");
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);
}

TEST_F(DialogTest, DeletingTheLastEntryMakesTheNewLastCurrent) {
  Store(kThree);
  Open();
  dialog->UserSelect(2);
  dialog->ChooseMenuItem(PopupItem::Delete1);
  EXPECT_EQ(Items(), (Strings{kThree[0], kThree[1]}));
  EXPECT_EQ(dialog->list.ItemIndex(), 1);
  EXPECT_EQ(dialog->label.text, "b.swf");
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);
}

TEST_F(DialogTest, DeletingTheOnlyEntryEmptiesTheLabelAndLeavesTheFocus) {
  Store({"C:\\movies\\only.swf"});
  Open();
  dialog->UserSelect(0);
  EXPECT_EQ(dialog->label.text, "only.swf");
  dialog->Click(DialogControl::ButtonDelete);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(dialog->list.ItemIndex(), -1);
  EXPECT_EQ(dialog->label.text, "");
  EXPECT_EQ(dialog->focus, DialogControl::ButtonDelete);
}

TEST_F(DialogTest, OperationsRightAfterOpeningDoNothingAndLeaveTheFocus) {
  Store(kThree);
  Open();
  dialog->FocusControl(DialogControl::CheckBoxExpansion);
  for (PopupItem item : {PopupItem::Delete1, PopupItem::U1, PopupItem::sita1}) {
    dialog->ChooseMenuItem(item);
    EXPECT_EQ(dialog->focus, DialogControl::CheckBoxExpansion);
  }
  for (DialogControl button :
       {DialogControl::ButtonDelete, DialogControl::ButtonUp, DialogControl::ButtonDown}) {
    dialog->Click(button);
    EXPECT_EQ(dialog->focus, button);  // where the click put it, not moved to the list
  }
  EXPECT_EQ(Items(), kThree);
  EXPECT_EQ(dialog->list.ItemIndex(), -1);
  EXPECT_EQ(dialog->label.text, "");
}

TEST_F(DialogTest, DeleteAllKeepsTheLabelAndThenDeleteDoesNothing) {
  Store(kThree);
  Open();
  dialog->UserSelect(1);
  dialog->ChooseMenuItem(PopupItem::A1);
  EXPECT_TRUE(Items().empty());
  EXPECT_EQ(dialog->list.ItemIndex(), -1);
  EXPECT_EQ(dialog->label.text, "b.swf");
  dialog->Click(DialogControl::ButtonDelete);
  EXPECT_EQ(dialog->label.text, "b.swf");
  dialog->Click(DialogControl::ButtonAllDelete);  // on an empty list
  EXPECT_TRUE(Items().empty());
}

TEST_F(DialogTest, MovingCarriesTheCurrentEntryAndLeavesTheLabel) {
  Store(kThree);
  Open();
  dialog->UserSelect(2);
  dialog->FocusControl(DialogControl::ButtonOK);
  dialog->ChooseMenuItem(PopupItem::U1);
  EXPECT_EQ(Items(), (Strings{kThree[0], kThree[2], kThree[1]}));
  EXPECT_EQ(dialog->list.ItemIndex(), 1);
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);
  EXPECT_EQ(dialog->label.text, "c.swf");

  dialog->Click(DialogControl::ButtonUp);
  EXPECT_EQ(Items(), (Strings{kThree[2], kThree[0], kThree[1]}));
  EXPECT_EQ(dialog->list.ItemIndex(), 0);
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);

  dialog->Click(DialogControl::ButtonDown);
  dialog->ChooseMenuItem(PopupItem::sita1);
  EXPECT_EQ(Items(), (Strings{kThree[0], kThree[1], kThree[2]}));
  EXPECT_EQ(dialog->list.ItemIndex(), 2);
  EXPECT_EQ(dialog->label.text, "c.swf");
}

TEST_F(DialogTest, UpOnTheFirstAndDownOnTheLastDoNothing) {
  Store(kThree);
  Open();
  dialog->UserSelect(0);
  dialog->FocusControl(DialogControl::CheckBoxExpansion);
  dialog->ChooseMenuItem(PopupItem::U1);
  EXPECT_EQ(Items(), kThree);
  EXPECT_EQ(dialog->list.ItemIndex(), 0);
  EXPECT_EQ(dialog->focus, DialogControl::CheckBoxExpansion);

  dialog->UserSelect(2);
  dialog->Click(DialogControl::ButtonDown);
  EXPECT_EQ(Items(), kThree);
  EXPECT_EQ(dialog->list.ItemIndex(), 2);
  EXPECT_EQ(dialog->focus, DialogControl::ButtonDown);
  EXPECT_EQ(dialog->label.text, "c.swf");
}

TEST_F(DialogTest, AddingAppendsWithoutCheckingAndScrollsTheNewEntryToTheTop) {
  Open();
  // The same file twice, and a typed name of a file that does not exist.
  dialog->openDialog.AnswerWith("C:\\movies\\a.swf");
  dialog->openDialog.AnswerWith("C:\\movies\\a.swf");
  dialog->openDialog.AnswerWith("D:\\nowhere\\typed.swf");
  for (int i = 0; i < 3; ++i) dialog->Click(DialogControl::ButtonAdd);
  EXPECT_EQ(Items(), (Strings{"C:\\movies\\a.swf", "C:\\movies\\a.swf", "D:\\nowhere\\typed.swf"}));
  EXPECT_EQ(dialog->list.ItemIndex(), 2);
  EXPECT_EQ(dialog->label.text, "typed.swf");
  EXPECT_EQ(dialog->focus, DialogControl::ListBoxMovie);
  EXPECT_EQ(dialog->list.topIndexRequests, (std::vector<int32_t>{0, 1, 2}));

  // With more entries than rows, the list scrolls as far as it can.
  for (int i = 0; i < 12; ++i) {
    dialog->openDialog.AnswerWith("C:\\movies\\more" + std::to_string(i) + ".swf");
    dialog->Click(DialogControl::ButtonAdd);
  }
  EXPECT_EQ(dialog->list.Count(), 15);
  EXPECT_EQ(dialog->list.topIndexRequests.back(), 14);
  EXPECT_EQ(dialog->list.TopIndex(), 15 - fakes::FakeListBox::kVisibleRows);
  EXPECT_EQ(dialog->list.ItemIndex(), 14);
}

TEST_F(DialogTest, TheFilterIsSetAgainOnEveryAdd) {
  Open();
  dialog->openDialog.AnswerWith("C:\\a.swf");
  dialog->Click(DialogControl::ButtonAdd);
  dialog->openDialog.SetFilter("All files (*.*)|*.*");  // whatever changed it in between
  dialog->openDialog.AnswerCancel();
  dialog->Click(DialogControl::ButtonAdd);
  EXPECT_EQ(dialog->openDialog.filtersAtExecute,
            (Strings{"swf files (*.swf)|*.SWF", "swf files (*.swf)|*.SWF"}));
}

TEST_F(DialogTest, CancellingTheFileDialogChangesNothing) {
  Store(kThree);
  Open();
  dialog->UserSelect(1);
  dialog->openDialog.AnswerCancel();
  dialog->Click(DialogControl::ButtonAdd);
  EXPECT_EQ(Items(), kThree);
  EXPECT_EQ(dialog->list.ItemIndex(), 1);
  EXPECT_EQ(dialog->label.text, "b.swf");
  EXPECT_EQ(dialog->focus, DialogControl::ButtonAdd);
  EXPECT_TRUE(dialog->list.topIndexRequests.empty());
}

// 表 is 0x95 0x5C in Shift-JIS: its second byte has the code of "\".
TEST_F(DialogTest, AFileNameWithATrailByteLikeABackslashShowsWhole) {
  fake.codePage.Set(fakes::FakeCodePage::Kind::ShiftJis);
  const std::string path = fakes::ShiftJis("C:\\ムービー\\表紙.swf");
  ASSERT_NE(path.find("\x95\x5C"), std::string::npos);
  Store({path});
  Open();
  dialog->UserSelect(0);
  EXPECT_EQ(dialog->label.text, "表紙.swf");

  dialog->openDialog.AnswerWith("D:\\表.swf");  // the file dialog speaks UTF-8
  dialog->Click(DialogControl::ButtonAdd);
  EXPECT_EQ(dialog->label.text, "表.swf");
  EXPECT_EQ(Items().back(), fakes::ShiftJis("D:\\表.swf"));  // the list keeps Shift-JIS bytes
}

}  // namespace
}  // namespace swfsaver
