#include "tests/fakes/FakeSettingsDialog.h"

#include <algorithm>
#include <stdexcept>

namespace swfsaver::fakes {

// --- ListBoxMovie ---

std::string FakeListBox::Item(int32_t index) {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
  }
  return items_[static_cast<size_t>(index)];
}

void FakeListBox::Add(const std::string& item) { items_.push_back(item); }

void FakeListBox::Insert(int32_t index, const std::string& item) {
  if (index == -1) index = Count();  // LB_INSERTSTRING with -1 appends
  if (index < 0 || index > Count()) {
    throw std::out_of_range("list index out of bounds (" + std::to_string(index) + ")");
  }
  items_.insert(items_.begin() + index, item);
  if (itemIndex_ >= index) ++itemIndex_;
}

void FakeListBox::Delete(int32_t index) {
  if (index < 0 || index >= Count()) return;  // LB_DELETESTRING answers LB_ERR
  items_.erase(items_.begin() + index);
  // The current item goes with it; one behind it moves up with its item.
  if (itemIndex_ == index) {
    itemIndex_ = -1;
  } else if (itemIndex_ > index) {
    --itemIndex_;
  }
  KeepTopInRange();
}

void FakeListBox::Clear() {
  items_.clear();
  itemIndex_ = -1;
  topIndex_ = 0;
}

void FakeListBox::SetItemIndex(int32_t index) {
  if (index < -1 || index >= Count()) return;  // LB_SETCURSEL answers LB_ERR, nothing changes
  itemIndex_ = index;
  if (index < 0) return;
  // The new current item is scrolled into view.
  if (index < topIndex_) topIndex_ = index;
  if (index >= topIndex_ + kVisibleRows) topIndex_ = index - kVisibleRows + 1;
}

void FakeListBox::SetTopIndex(int32_t index) {
  topIndexRequests.push_back(index);
  if (index < 0 || index >= Count()) return;
  topIndex_ = index;
  KeepTopInRange();
}

// The list scrolls no further than to show its last item on its bottom row.
void FakeListBox::KeepTopInRange() {
  topIndex_ = std::max(0, std::min(topIndex_, Count() - kVisibleRows));
}

// --- OpenDialog1 ---

bool FakeOpenDialog::Execute() {
  if (answers_.empty()) throw std::logic_error("the test scripted no answer for the file dialog");
  std::optional<std::string> answer = answers_.front();
  answers_.pop_front();
  filtersAtExecute.push_back(filter_);
  if (!answer) return false;  // cancelled: FileName keeps the previous choice
  fileName_ = *answer;
  return true;
}

// --- the dialog ---

FakeSettingsDialog::FakeSettingsDialog(FakeApplication& application,
                                       platform::SettingsDialogEvents& events)
    : application_(application), events_(events) {
  window_ = application_.AddWindow([this](const platform::Message& m) { Dispatch(m); });
}

FakeSettingsDialog::~FakeSettingsDialog() { application_.RemoveWindow(window_); }

void FakeSettingsDialog::Show() {
  ++showCount;
  events_.FormShow();
  visible = true;
  if (focus == DialogControl::None) focus = DialogControl::ListBoxMovie;  // first in tab order
}

void FakeSettingsDialog::Close() {
  ++closeCount;
  application_.Terminate();
}

void FakeSettingsDialog::Click(DialogControl control) {
  Deliver(kClick, static_cast<std::uintptr_t>(control));
}

void FakeSettingsDialog::UserSelect(int32_t index) {
  Deliver(kSelect, static_cast<std::uintptr_t>(index));
}

void FakeSettingsDialog::ChooseMenuItem(PopupItem item) {
  Deliver(kMenu, static_cast<std::uintptr_t>(item));
}

void FakeSettingsDialog::PressCloseBox() { Deliver(kCloseBox, 0); }

void FakeSettingsDialog::Deliver(UserMessage message, std::uintptr_t argument) {
  if (!visible) throw std::logic_error("the user cannot reach a dialog that is not shown");
  application_.Post({window_, message, argument, 0});
  application_.RunUntilIdle();
}

void FakeSettingsDialog::Dispatch(const platform::Message& message) {
  switch (message.message) {
    case kClick:
      RunClick(static_cast<DialogControl>(message.wParam));
      break;
    case kSelect: {
      auto index = static_cast<int32_t>(message.wParam);
      if (index < 0 || index >= list.Count()) throw std::logic_error("no such entry to select");
      focus = DialogControl::ListBoxMovie;  // a click or a key in the list focuses it
      list.SetItemIndex(index);
      events_.ListBoxMovieClick();
      break;
    }
    case kMenu:
      RunMenuItem(static_cast<PopupItem>(message.wParam));
      break;
    case kCloseBox:
      Close();
      break;
    default:
      break;
  }
}

void FakeSettingsDialog::RunClick(DialogControl control) {
  focus = control;  // a click focuses the button before it acts
  switch (control) {
    case DialogControl::ButtonUp: events_.ButtonUpClick(); break;
    case DialogControl::ButtonDown: events_.ButtonDownClick(); break;
    case DialogControl::ButtonDelete: events_.ButtonDeleteClick(); break;
    case DialogControl::ButtonAllDelete: events_.ButtonAllDeleteClick(); break;
    case DialogControl::ButtonAdd: events_.ButtonAddClick(); break;
    case DialogControl::ButtonCancel: events_.ButtonCancelClick(); break;
    case DialogControl::ButtonOK: events_.ButtonOKClick(); break;
    case DialogControl::CheckBoxExpansion: checkBox.checked = !checkBox.checked; break;
    case DialogControl::ListBoxMovie:
    case DialogControl::None: throw std::logic_error("not a control that can be clicked");
  }
}

void FakeSettingsDialog::RunMenuItem(PopupItem item) {
  switch (item) {
    case PopupItem::U1: events_.U1Click(); break;
    case PopupItem::sita1: events_.sita1Click(); break;
    case PopupItem::Delete1: events_.Delete1Click(); break;
    case PopupItem::A1: events_.A1Click(); break;
  }
}

void ProvideFakeSettingsDialogs(FakeApplication& application, FakeSettingsDialog*& created) {
  application.settingsDialogFactory = [&application, &created](platform::SettingsDialogEvents& e) {
    auto dialog = std::make_unique<FakeSettingsDialog>(application, e);
    created = dialog.get();
    return std::unique_ptr<platform::SettingsDialog>(std::move(dialog));
  };
}

}  // namespace swfsaver::fakes
