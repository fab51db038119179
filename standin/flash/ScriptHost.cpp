#include "standin/flash/ScriptHost.h"

#include <cmath>
#include <limits>

namespace swfsaver::flash {
namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr int64_t kUnixEpochFileTime = 116444736000000000ll;

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

FILETIME FileTimeOf(int64_t ticks) {
  return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
}

int64_t TicksOf(const FILETIME& time) {
  return static_cast<int64_t>((uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime);
}

}  // namespace

ScriptHost::ScriptHost(const std::wstring& moviePath) {
  url_ = u"file:///";
  for (const wchar_t c : moviePath) url_.push_back(c == L'\\' ? u'/' : static_cast<char16_t>(c));
}

void ScriptHost::Trace(std::string_view line) { trace_.Line(L"ScriptTrace", Wide(line)); }

void ScriptHost::Unsupported(std::string_view name) { trace_.Line(L"ScriptUnsupported", Wide(name)); }

double ScriptHost::ElapsedMs() { return static_cast<double>(GetTickCount64() - start_); }

double ScriptHost::UtcNowMs() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return static_cast<double>((TicksOf(now) - kUnixEpochFileTime) / 10000);
}

// The zone's offset at that instant, daylight saving included, as the system converts it.
double ScriptHost::LocalOffsetMinutes(double utcMs) {
  if (!std::isfinite(utcMs) || std::fabs(utcMs) > 8.64e15) return 0;
  const int64_t ticks = static_cast<int64_t>(utcMs) * 10000 + kUnixEpochFileTime;
  if (ticks < 0) return 0;
  const FILETIME utc = FileTimeOf(ticks);
  SYSTEMTIME utcParts{}, localParts{};
  FILETIME local{};
  if (!FileTimeToSystemTime(&utc, &utcParts) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts) ||
      !SystemTimeToFileTime(&localParts, &local)) {
    return 0;
  }
  return static_cast<double>((TicksOf(local) - ticks) / 10000) / 60000.0;
}

uint32_t ScriptHost::RandomSeed() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<uint32_t>(counter.QuadPart) ^ GetCurrentProcessId();
}

int ScriptHost::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScriptHost::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

std::u16string SystemAnsiDecoder::Decode(std::string_view bytes) const {
  if (bytes.empty() || bytes.size() > size_t{std::numeric_limits<int>::max()}) return {};
  const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace swfsaver::flash
