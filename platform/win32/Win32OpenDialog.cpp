#include "platform/win32/Win32OpenDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/Text.h"

namespace swfsaver::win32 {

namespace {
// Big enough for any path the dialog can return for one file.
constexpr DWORD kFileNameBufferSize = 32 * 1024;

}  // namespace

std::wstring FileDialogFilter(const std::string& filter) {
  if (filter.empty()) return {};
  // Split in UTF-8, where the byte of "|" is never part of another character.
  std::string parts = filter;
  std::replace(parts.begin(), parts.end(), '|', '\0');
  std::wstring wide = Utf8ToWide(parts);
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

bool Win32OpenDialog::Execute() {
  std::wstring filter = FileDialogFilter(filter_);
  std::vector<wchar_t> file(kFileNameBufferSize, L'\0');
  // The dialog starts on the file chosen last, as the framework's dialog does.
  const std::wstring last = Utf8ToWide(fileName_);
  last.copy(file.data(), std::min<size_t>(last.size(), file.size() - 1));

  // The wide dialog: the ANSI one would hand back "?" for every character the code page
  // lacks, and the dialog logic could no longer tell such a name from a real one.
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner_;
  request.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file.data();
  request.nMaxFile = kFileNameBufferSize;
  request.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  // A failure of the dialog itself (CommDlgExtendedError) is taken as a cancel, as the
  // framework's dialog does: no path, nothing added.
  if (!GetOpenFileNameW(&request)) return false;
  fileName_ = WideToUtf8(file.data());
  return true;
}

}  // namespace swfsaver::win32
