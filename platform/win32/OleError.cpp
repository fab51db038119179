#include "platform/win32/OleError.h"

#include <cstdio>

#include "platform/Exceptions.h"
#include "platform/win32/Text.h"

namespace swfsaver::win32 {

std::string OleErrorMessage(HRESULT result) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  if (buffer != nullptr) LocalFree(buffer);
  // The system's texts end in a line break, which a message box would show as an empty line.
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (!text.empty()) return WideToUtf8(text);
  char fallback[32];
  std::snprintf(fallback, sizeof fallback, "OLE error %08lX", static_cast<unsigned long>(result));
  return fallback;
}

void ThrowOleError(HRESULT result, std::string message) {
  if (message.empty()) message = OleErrorMessage(result);
  throw EOleSysError(std::move(message), static_cast<int32_t>(result));
}

void OleCheck(HRESULT result) {
  if (FAILED(result)) ThrowOleError(result);
}

}  // namespace swfsaver::win32
