// Prints what every message box on the desktop shows, for the tests that drive the program
// from outside: one block per box with its caption, its text (line breaks as \r and \n) and
// whether it shows an icon. UTF-8.
#include <windows.h>

#include <string>

#include "platform/win32/Text.h"

namespace {

std::string output;

std::string Escaped(const std::wstring& text) {
  std::string escaped;
  for (char c : swfsaver::win32::WideToUtf8(text)) {
    if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

BOOL CALLBACK Describe(HWND window, LPARAM) {
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (std::wstring(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  output += "caption: " + Escaped(text) + "\n";
  text[0] = L'\0';
  GetDlgItemTextW(window, 0xFFFF, text, 1024);
  output += "text: " + Escaped(text) + "\n";
  bool icon = false;
  for (int id : {0x14, 0x440}) {  // the icon control on Windows and on Wine
    if (SendDlgItemMessageW(window, id, STM_GETICON, 0, 0) != 0) icon = true;
  }
  output += std::string("icon: ") + (icon ? "yes" : "no") + "\n";
  return TRUE;
}

}  // namespace

int main() {
  EnumWindows(Describe, 0);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), output.data(), static_cast<DWORD>(output.size()),
            &written, nullptr);
  return output.empty() ? 1 : 0;
}
