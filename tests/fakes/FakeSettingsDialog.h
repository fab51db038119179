// The settings dialog in memory. Its controls keep their state as the real ones do: the list
// with its items, current item and top line, the focus moving between the dialog's controls,
// and a file dialog that answers as the test scripted it. What the user does (a click, a
// selection, a menu item, the close box) arrives as a message through the application's loop,
// as in the real program, so an error of a handler reaches the default error report.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SettingsDialog.h"
#include "tests/fakes/FakeApplication.h"

namespace swfsaver::fakes {

// The controls that can hold the focus, in tab order.
enum class DialogControl {
  None,
  ListBoxMovie,
  ButtonUp,
  ButtonDown,
  ButtonDelete,
  ButtonAllDelete,
  ButtonAdd,
  CheckBoxExpansion,
  ButtonCancel,
  ButtonOK,
};

enum class PopupItem { U1, sita1, Delete1, A1 };

class FakeListBox : public platform::ListBox {
 public:
  explicit FakeListBox(DialogControl& focus) : focus_(focus) {}

  int32_t Count() override { return static_cast<int32_t>(items_.size()); }
  // An index the list does not hold raises, as the framework's string list does.
  std::string Item(int32_t index) override;
  void Add(const std::string& item) override;
  void Insert(int32_t index, const std::string& item) override;
  void Delete(int32_t index) override;
  void Clear() override;
  int32_t ItemIndex() override { return itemIndex_; }
  void SetItemIndex(int32_t index) override;
  void SetTopIndex(int32_t index) override;
  void SetFocus() override { focus_ = DialogControl::ListBoxMovie; }

  const std::vector<std::string>& Items() const { return items_; }
  int32_t TopIndex() const { return topIndex_; }
  // Whole rows the list shows: 137 pixels less the border, 12 pixels a row.
  static constexpr int32_t kVisibleRows = 11;
  std::vector<int32_t> topIndexRequests;  // every LB_SETTOPINDEX, in order

 private:
  void KeepTopInRange();

  DialogControl& focus_;
  std::vector<std::string> items_;
  int32_t itemIndex_ = -1;
  int32_t topIndex_ = 0;
};

class FakeCheckBox : public platform::CheckBox {
 public:
  bool Checked() override { return checked; }
  void SetChecked(bool value) override { checked = value; }
  bool checked = false;
};

class FakeLabel : public platform::Label {
 public:
  std::string Text() override { return text; }
  void SetText(const std::string& utf8) override { text = utf8; }
  std::string text;
};

class FakeOpenDialog : public platform::OpenDialog {
 public:
  void SetFilter(const std::string& filter) override { filter_ = filter; }
  // Takes the next scripted answer; with none left the test forgot one, and this fails.
  bool Execute() override;
  std::string FileName() override { return fileName_; }

  // Scripts the next run: the user picks or types this path, or cancels.
  void AnswerWith(const std::string& path) { answers_.push_back(path); }
  void AnswerCancel() { answers_.push_back(std::nullopt); }
  const std::string& Filter() const { return filter_; }

  std::vector<std::string> filtersAtExecute;  // the filter each run was shown with

 private:
  std::string filter_;
  std::string fileName_;
  std::deque<std::optional<std::string>> answers_;
};

class FakeSettingsDialog : public platform::SettingsDialog {
 public:
  FakeSettingsDialog(FakeApplication& application, platform::SettingsDialogEvents& events);
  ~FakeSettingsDialog() override;
  FakeSettingsDialog(const FakeSettingsDialog&) = delete;
  FakeSettingsDialog& operator=(const FakeSettingsDialog&) = delete;

  platform::ListBox& ListBoxMovie() override { return list; }
  platform::CheckBox& CheckBoxExpansion() override { return checkBox; }
  platform::Label& LabelFileName() override { return label; }
  platform::OpenDialog& OpenDialog1() override { return openDialog; }
  // FormShow runs first; the dialog then appears with the focus on the first control.
  void Show() override;
  // The dialog is the main window: the application is told to terminate.
  void Close() override;

  // --- the user ---
  // Clicks a button or the check box: the control takes the focus, then its handler runs.
  void Click(DialogControl control);
  // Makes entry index current with the mouse or the keyboard: ListBoxMovieClick runs.
  void UserSelect(int32_t index);
  // Chooses an item of the list's context menu; the focus stays where it is.
  void ChooseMenuItem(PopupItem item);
  // The close box, the system menu's close or Alt+F4.
  void PressCloseBox();
  // Moves the focus with Tab or by a click on a control that runs no handler.
  void FocusControl(DialogControl control) { focus = control; }

  // --- inspection ---
  DialogControl focus = DialogControl::None;
  FakeListBox list{focus};
  FakeCheckBox checkBox;
  FakeLabel label;
  FakeOpenDialog openDialog;
  bool visible = false;
  int showCount = 0;
  int closeCount = 0;

 private:
  enum UserMessage : uint32_t { kClick = platform::kWmUser + 100, kSelect, kMenu, kCloseBox };
  // Posts what the user did and lets the loop run until it has been handled.
  void Deliver(UserMessage message, std::uintptr_t argument);
  void Dispatch(const platform::Message& message);
  void RunClick(DialogControl control);
  void RunMenuItem(PopupItem item);

  FakeApplication& application_;
  platform::SettingsDialogEvents& events_;
  std::uintptr_t window_;
};

// Makes the application create FakeSettingsDialogs; created names the last one.
void ProvideFakeSettingsDialogs(FakeApplication& application, FakeSettingsDialog*& created);

}  // namespace swfsaver::fakes
