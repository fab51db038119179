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
