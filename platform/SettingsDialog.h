// The settings dialog as the system builds it, with the controls the dialog logic uses.
// Events come back through SettingsDialogEvents.
#pragma once

#include <cstdint>
#include <string>

namespace swfsaver::platform {

// ListBoxMovie: items are 8-bit ANSI paths, byte for byte. The list is unsorted, single
// selection; -1 is no current item.
class ListBox {
 public:
  virtual ~ListBox() = default;
  virtual int32_t Count() = 0;
  virtual std::string Item(int32_t index) = 0;
  virtual void Add(const std::string& item) = 0;
  virtual void Insert(int32_t index, const std::string& item) = 0;
  virtual void Delete(int32_t index) = 0;
  virtual void Clear() = 0;
  virtual int32_t ItemIndex() = 0;
  // Setting the current item from code raises no selection-changed event.
  virtual void SetItemIndex(int32_t index) = 0;
  virtual void SetTopIndex(int32_t index) = 0;  // LB_SETTOPINDEX
  virtual void SetFocus() = 0;
};

class CheckBox {
 public:
  virtual ~CheckBox() = default;
  virtual bool Checked() = 0;
  virtual void SetChecked(bool checked) = 0;
};

class Label {
 public:
  virtual ~Label() = default;
  virtual std::string Text() = 0;  // UTF-8
  virtual void SetText(const std::string& utf8) = 0;
};

// OpenDialog1: the standard file-open dialog.
class OpenDialog {
 public:
  virtual ~OpenDialog() = default;
  // The framework's filter form: "description|pattern" pairs separated by "|".
  virtual void SetFilter(const std::string& filter) = 0;
  // Runs the dialog; false when the user cancelled it.
  virtual bool Execute() = 0;
  // The chosen full path in UTF-8, as the user sees it in the dialog: it may hold characters
  // that the ANSI code page lacks.
  virtual std::string FileName() = 0;
};

class SettingsDialogEvents {
 public:
  virtual ~SettingsDialogEvents() = default;
  virtual void FormShow() = 0;
  virtual void ListBoxMovieClick() = 0;  // the user changed the current entry
  virtual void ButtonUpClick() = 0;
  virtual void ButtonDownClick() = 0;
  virtual void ButtonDeleteClick() = 0;
  virtual void ButtonAllDeleteClick() = 0;
  virtual void ButtonAddClick() = 0;
  virtual void ButtonCancelClick() = 0;
  virtual void ButtonOKClick() = 0;
  virtual void U1Click() = 0;
  virtual void sita1Click() = 0;
  virtual void Delete1Click() = 0;
  virtual void A1Click() = 0;
};

class SettingsDialog {
 public:
  virtual ~SettingsDialog() = default;
  virtual ListBox& ListBoxMovie() = 0;
  virtual CheckBox& CheckBoxExpansion() = 0;
  virtual Label& LabelFileName() = 0;
  virtual OpenDialog& OpenDialog1() = 0;
  // Shows the dialog centred on the screen; FormShow runs inside.
  virtual void Show() = 0;
  // The framework's close; the dialog being the main window, the application terminates.
  virtual void Close() = 0;
};

}  // namespace swfsaver::platform
