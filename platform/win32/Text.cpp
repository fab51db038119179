#include <windows.h>

#include "platform/win32/Text.h"

namespace swfsaver::win32 {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, text.data(), needed, nullptr, nullptr);
  return text;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string WideToUtf8(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }
std::wstring AnsiToWide(std::string_view ansi) { return ToWide(CP_ACP, ansi); }

}  // namespace swfsaver::win32
