// The settings dialog TForm2: the user builds the playlist and sets the fit-to-screen option.
// The dialog keeps no model of its own: while it is open, the items of ListBoxMovie and the
// state of CheckBoxExpansion are the settings. They are loaded when the dialog is shown and
// written back only by OK.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "framework/MainForm.h"
#include "platform/Platform.h"
#include "platform/SettingsDialog.h"

namespace swfsaver {

class TApplication;

// The file dialog's filter, set again on every click of the add button.
inline constexpr const char* kMovieFileFilter = "swf files (*.swf)|*.SWF";

class TForm2 : public MainForm, public platform::SettingsDialogEvents {
 public:
  // Creates the dialog with its controls and shows it; showing loads the settings.
  TForm2(platform::Platform& platform, TApplication& application);
  ~TForm2() override;
  TForm2(const TForm2&) = delete;
  TForm2& operator=(const TForm2&) = delete;

  // --- operations ---
  void LoadSettings();
  void SaveSettings();
  void AddMovieFile(const std::string& path);  // the ANSI path, as the list stores it
  void DeleteSelectedMovie();
  void ClearMovieList();
  void MoveSelectedUp();
  void MoveSelectedDown();

  // --- event handlers ---
  void FormShow() override;
  void ListBoxMovieClick() override;
  void ButtonUpClick() override;
  void ButtonDownClick() override;
  void ButtonDeleteClick() override;
  void ButtonAllDeleteClick() override;
  void ButtonAddClick() override;
  void ButtonCancelClick() override;
  void ButtonOKClick() override;
  void U1Click() override;
  void sita1Click() override;
  void Delete1Click() override;
  void A1Click() override;

 private:
  // Makes an entry current, gives the list the focus and names the entry in LabelFileName.
  void SelectEntry(int32_t index);
  void ShowFileName(int32_t index);

  platform::Platform& platform_;
  TApplication& application_;
  std::unique_ptr<platform::SettingsDialog> dialog_;
};

}  // namespace swfsaver
