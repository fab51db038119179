#include "platform/win32/Win32CheckBox.h"

namespace swfsaver::win32 {

bool Win32CheckBox::Checked() { return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32CheckBox::SetChecked(bool checked) {
  SendMessageW(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace swfsaver::win32
