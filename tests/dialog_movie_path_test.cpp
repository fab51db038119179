// What the list keeps for a chosen file whose name the ANSI code page (1252 here) cannot hold:
// its short 8.3 form, or, where there is none, nothing, with a message asking for a new name.
// Never a path with "?" in it, which would name no file.
#include "tests/dialog_fixture.h"

namespace swfsaver {
namespace {

using fakes::DialogControl;
using Strings = std::vector<std::string>;

const std::string kMovie = "C:\\movies\\映画テスト.swf";

TEST_F(DialogTest, APathTheCodePageHoldsIsStoredAsChosen) {
  Open();
  // En dash, é and ü are in code page 1252, at 0x96, 0xE9 and 0xFC.
  dialog->openDialog.AnswerWith("C:\\Musik\\Über – été.swf");
  dialog->Click(DialogControl::ButtonAdd);
  dialog->Click(DialogControl::ButtonOK);
  EXPECT_EQ(StoredList(), Strings{"C:\\Musik\\\xDC" "ber \x96 \xE9t\xE9.swf"});
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(DialogTest, APathTheCodePageLacksIsStoredAsItsShortForm) {
  // ā would come out of the system's best-fit conversion as a plain a, naming another file.
  const std::string macron = "C:\\movies\\Bhāratī.swf";
  fake.kernel.shortPathNames[kMovie] = "C:\\movies\\____~0BD.SWF";
  fake.kernel.shortPathNames[macron] = "C:\\movies\\BHRAT~1.SWF";
  Open();
  for (const std::string& path : {kMovie, macron}) {
    dialog->openDialog.AnswerWith(path);
    dialog->Click(DialogControl::ButtonAdd);
  }
  const Strings shortForms{"C:\\movies\\____~0BD.SWF", "C:\\movies\\BHRAT~1.SWF"};
  EXPECT_EQ(Items(), shortForms);
  EXPECT_EQ(dialog->label.text, "BHRAT~1.SWF");  // the label names what the list holds
  dialog->Click(DialogControl::ButtonOK);
  EXPECT_EQ(StoredList(), shortForms);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(DialogTest, APathTheCodePageLacksWithoutAShortFormIsRefusedWithAMessage) {
  const Strings stored{"C:\\movies\\a.swf", "C:\\movies\\b.swf"};
  // A volume that keeps no short names gives the long path back; a typed name of a missing
  // file has no short form at all.
  fake.kernel.shortPathNames[kMovie] = kMovie;
  for (const std::string& path : {kMovie, std::string("C:\\typed\\映画.swf")}) {
    SCOPED_TRACE(path);
    Store(stored);
    Open();
    dialog->UserSelect(1);
    dialog->openDialog.AnswerWith(path);
    dialog->Click(DialogControl::ButtonAdd);

    ASSERT_EQ(fake.application.messageBoxes.size(), 1u);
    const fakes::MessageBoxRecord& report = fake.application.messageBoxes[0];
    EXPECT_EQ(report.kind, platform::MessageBoxKind::Error);
    EXPECT_EQ(report.text, path +
                               " は、この Windows の文字コードにない文字を名前に含むため、"
                               "リストに保存できません。ファイルまたはフォルダーの名前を変更"
                               "してから追加してください.");
    EXPECT_EQ(Items(), stored);
    EXPECT_EQ(dialog->list.ItemIndex(), 1);
    EXPECT_EQ(dialog->label.text, "b.swf");
    dialog->Click(DialogControl::ButtonOK);
    EXPECT_EQ(StoredList(), stored);
    form.reset();
    application.reset();  // before the next one takes the loop's handler
    fake.application.messageBoxes.clear();
  }
}

}  // namespace
}  // namespace swfsaver
