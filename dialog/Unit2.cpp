#include "dialog/Unit2.h"

#include <exception>

#include "dialog/MoviePath.h"
#include "framework/Application.h"
#include "framework/FileName.h"
#include "settings/Settings.h"

namespace swfsaver {

namespace {

// The settings as the dialog holds them: the check box and the list box.
class DialogSettings : public SettingsHolder {
 public:
  explicit DialogSettings(platform::SettingsDialog& dialog) : dialog_(dialog) {}
  bool Expansion() override { return dialog_.CheckBoxExpansion().Checked(); }
  void SetExpansion(bool expansion) override { dialog_.CheckBoxExpansion().SetChecked(expansion); }
  int32_t MovieCount() override { return dialog_.ListBoxMovie().Count(); }
  std::string Movie(int32_t index) override { return dialog_.ListBoxMovie().Item(index); }
  void ClearMovies() override { dialog_.ListBoxMovie().Clear(); }
  void AppendMovie(const std::string& path) override { dialog_.ListBoxMovie().Add(path); }

 private:
  platform::SettingsDialog& dialog_;
};

}  // namespace

TForm2::TForm2(platform::Platform& platform, TApplication& application)
    : platform_(platform),
      application_(application),
      dialog_(platform.application.CreateSettingsDialog(*this)) {
  dialog_->Show();
}

TForm2::~TForm2() = default;

// --- operations ---

void TForm2::LoadSettings() {
  DialogSettings settings(*dialog_);
  swfsaver::LoadSettings(platform_, settings);
}

void TForm2::SaveSettings() {
  DialogSettings settings(*dialog_);
  swfsaver::SaveSettings(platform_, settings);
}

void TForm2::AddMovieFile(const std::string& path) {
  platform::ListBox& list = dialog_->ListBoxMovie();
  list.Add(path);
  int32_t last = list.Count() - 1;
  list.SetTopIndex(last);
  SelectEntry(last);
}

void TForm2::DeleteSelectedMovie() {
  platform::ListBox& list = dialog_->ListBoxMovie();
  int32_t index = list.ItemIndex();
  if (index < 0) return;
  list.Delete(index);
  if (index < list.Count()) {
    SelectEntry(index);  // the successor moved into the removed entry's place
  } else if (list.Count() > 0) {
    SelectEntry(list.Count() - 1);
  } else {
    dialog_->LabelFileName().SetText("");  // the focus stays where it was
  }
}

void TForm2::ClearMovieList() {
  // The label keeps naming the entry it showed; only Delete empties it.
  dialog_->ListBoxMovie().Clear();
}

void TForm2::MoveSelectedUp() {
  platform::ListBox& list = dialog_->ListBoxMovie();
  int32_t index = list.ItemIndex();
  if (index <= 0) return;  // no current entry, or already the first
  std::string entry = list.Item(index);
  list.Delete(index);
  list.Insert(index - 1, entry);
  list.SetItemIndex(index - 1);
  list.SetFocus();  // the label still names the same entry
}

void TForm2::MoveSelectedDown() {
  platform::ListBox& list = dialog_->ListBoxMovie();
  int32_t index = list.ItemIndex();
  if (index < 0 || index >= list.Count() - 1) return;  // no current entry, or the last
  std::string entry = list.Item(index);
  list.Delete(index);
  list.Insert(index + 1, entry);
  list.SetItemIndex(index + 1);
  list.SetFocus();
}

void TForm2::SelectEntry(int32_t index) {
  platform::ListBox& list = dialog_->ListBoxMovie();
  list.SetItemIndex(index);
  list.SetFocus();
  ShowFileName(index);
}

void TForm2::ShowFileName(int32_t index) {
  std::string path = dialog_->ListBoxMovie().Item(index);
  std::string_view name = ExtractFileName(path, platform_.codePage);
  dialog_->LabelFileName().SetText(platform_.codePage.AnsiToUtf8(name));
}

// --- event handlers ---

void TForm2::FormShow() {
  // The dialog is first shown before the message loop runs, where the loop's default error
  // report cannot catch a store error; it is reported the same way here, and the dialog then
  // opens with whatever was loaded before the error.
  try {
    LoadSettings();
  } catch (const std::exception& error) {
    application_.ShowException(error);
  }
}

void TForm2::ListBoxMovieClick() {
  int32_t index = dialog_->ListBoxMovie().ItemIndex();
  if (index >= 0) ShowFileName(index);
}

void TForm2::ButtonAddClick() {
  platform::OpenDialog& open = dialog_->OpenDialog1();
  open.SetFilter(kMovieFileFilter);
  if (!open.Execute()) return;
  // A name the list cannot hold raises here, before the list changes.
  AddMovieFile(MoviePathToStore(open.FileName(), platform_.codePage, platform_.kernel));
}

void TForm2::ButtonOKClick() {
  // A failing save leaves before the close: the dialog stays open with the list as edited.
  SaveSettings();
  dialog_->Close();
}

void TForm2::ButtonCancelClick() { dialog_->Close(); }

void TForm2::ButtonUpClick() { MoveSelectedUp(); }
void TForm2::ButtonDownClick() { MoveSelectedDown(); }
void TForm2::ButtonDeleteClick() { DeleteSelectedMovie(); }
void TForm2::ButtonAllDeleteClick() { ClearMovieList(); }
void TForm2::U1Click() { MoveSelectedUp(); }
void TForm2::sita1Click() { MoveSelectedDown(); }
void TForm2::Delete1Click() { DeleteSelectedMovie(); }
void TForm2::A1Click() { ClearMovieList(); }

}  // namespace swfsaver
