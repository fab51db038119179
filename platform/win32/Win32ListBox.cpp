#include "platform/win32/Win32ListBox.h"

#include <stdexcept>
#include <vector>

#include "platform/Exceptions.h"

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

}  // namespace

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

}  // namespace swfsaver::win32
