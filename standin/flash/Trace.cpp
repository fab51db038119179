#include "standin/flash/Trace.h"

#include <windows.h>

#include <cstdint>

#include "swfplayer/render/WorkerPool.h"

namespace swfsaver::flash {
namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochFileTime = 116444736000000000ull;

uint64_t UnixMilliseconds() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  const uint64_t ticks = (uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  return (ticks - kUnixEpochFileTime) / 10000;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

}  // namespace

std::wstring TestSetting(const wchar_t* value) {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(HKEY_CURRENT_USER, kTraceKeyPath, value, RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  return buffer;
}

Trace::Trace() : file_(TestSetting(kTraceFileValue)) {}

bool DrawingEnabled() { return TestSetting(kDrawingValue) != L"off"; }

int DrawingThreads() {
  const std::wstring value = TestSetting(kThreadsValue);
  if (value.size() == 1 && value[0] >= L'1' && value[0] <= L'8') return value[0] - L'0';
  return swfplayer::render::WorkerPool::DefaultThreads();
}

void Trace::Line(std::wstring_view event, std::wstring_view arguments) const {
  if (!Enabled()) return;
  std::string line = std::to_string(UnixMilliseconds());
  line.append(" ").append(Utf8(event));
  if (!arguments.empty()) line.append(" ").append(Utf8(arguments));
  line.append("\n");
  // Appending through FILE_APPEND_DATA keeps lines of concurrent writers whole.
  HANDLE file = CreateFileW(file_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace swfsaver::flash
