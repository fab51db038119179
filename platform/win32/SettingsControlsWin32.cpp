#include "platform/win32/SettingsControlsWin32.h"

#include <commdlg.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/Exceptions.h"
#include "platform/win32/Text.h"

namespace swfsaver::win32 {

namespace {

// A list index the list does not hold: the framework's string list reports it.
[[noreturn]] void ThrowIndexError(int32_t index) {
  throw std::out_of_range("リストのインデックスが範囲を超えています (" + std::to_string(index) +
                          ")");
}

void CheckInserted(LRESULT result) {
  if (result == LB_ERR || result == LB_ERRSPACE) throw Exception("行を挿入できません");
}

// Big enough for any path the dialog can return for one file.
constexpr DWORD kFileNameBufferSize = 32 * 1024;

}  // namespace

// --- ListBoxMovie ---

int32_t Win32ListBox::Count() {
  return static_cast<int32_t>(SendMessageA(window_, LB_GETCOUNT, 0, 0));
}

std::string Win32ListBox::Item(int32_t index) {
  LRESULT length = SendMessageA(window_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == LB_ERR) ThrowIndexError(index);
  // The A length may exceed the bytes stored; the text ends at its zero byte.
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  if (SendMessageA(window_, LB_GETTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(buffer.data())) == LB_ERR) {
    ThrowIndexError(index);
  }
  return std::string(buffer.data());
}

void Win32ListBox::Add(const std::string& item) {
  CheckInserted(SendMessageA(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void Win32ListBox::Insert(int32_t index, const std::string& item) {
  CheckInserted(SendMessageA(window_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(item.c_str())));
}

void Win32ListBox::Delete(int32_t index) {
  SendMessageA(window_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32ListBox::Clear() { SendMessageA(window_, LB_RESETCONTENT, 0, 0); }

int32_t Win32ListBox::ItemIndex() {
  return static_cast<int32_t>(SendMessageA(window_, LB_GETCURSEL, 0, 0));
}

void Win32ListBox::SetItemIndex(int32_t index) {
  // LB_SETCURSEL sends no LBN_SELCHANGE: only the user's changes raise ListBoxMovieClick.
  SendMessageA(window_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32ListBox::SetTopIndex(int32_t index) {
  SendMessageA(window_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void Win32ListBox::SetFocus() { ::SetFocus(window_); }

// --- CheckBoxExpansion ---

bool Win32CheckBox::Checked() { return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32CheckBox::SetChecked(bool checked) {
  SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- LabelFileName ---

std::string Win32Label::Text() {
  int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window_, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return WideToUtf8(text);
}

void Win32Label::SetText(const std::string& utf8) {
  SetWindowTextW(window_, Utf8ToWide(utf8).c_str());
}

// --- OpenDialog1 ---

std::string FileDialogFilter(const std::string& filter) {
  if (filter.empty()) return {};
  // Split in UTF-8, where the byte of "|" is never part of another character.
  std::string parts = filter;
  std::replace(parts.begin(), parts.end(), '|', '\0');
  std::string ansi = WideToAnsi(Utf8ToWide(parts));
  ansi.push_back('\0');
  ansi.push_back('\0');
  return ansi;
}

bool Win32OpenDialog::Execute() {
  std::string filter = FileDialogFilter(filter_);
  std::vector<char> file(kFileNameBufferSize, '\0');
  // The dialog starts on the file chosen last, as the framework's dialog does.
  fileName_.copy(file.data(), std::min<size_t>(fileName_.size(), file.size() - 1));

  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner_;
  request.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file.data();
  request.nMaxFile = kFileNameBufferSize;
  request.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  // A failure of the dialog itself (CommDlgExtendedError) is taken as a cancel, as the
  // framework's dialog does: no path, nothing added.
  if (!GetOpenFileNameA(&request)) return false;
  fileName_ = file.data();
  return true;
}

}  // namespace swfsaver::win32
