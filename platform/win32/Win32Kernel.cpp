#include "platform/win32/Win32Kernel.h"

#include "platform/win32/Text.h"

namespace swfsaver::win32 {
namespace {

HANDLE ToHandle(platform::Handle handle) { return reinterpret_cast<HANDLE>(handle); }
platform::Handle FromHandle(HANDLE handle) { return reinterpret_cast<platform::Handle>(handle); }
HMODULE ToModule(platform::Handle module) { return reinterpret_cast<HMODULE>(module); }

// MPR.DLL's screen-saver password routine: provider, owner window, two reserved arguments.
using PwdChangePasswordRoutine = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

}  // namespace

std::string Win32Kernel::CommandLine() { return GetCommandLineA(); }

std::string Win32Kernel::ModuleFileName() {
  // The buffer grows until the whole name fits: a full buffer means the name was cut.
  std::string name(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(name.size() * 2);
  }
}

platform::Handle Win32Kernel::CreateMutex(bool initialOwner, const std::string& name,
                                          uint32_t* lastError) {
  // The error code is the only sign of an existing mutex, so no older code may linger.
  SetLastError(ERROR_SUCCESS);
  HANDLE mutex = CreateMutexA(nullptr, initialOwner ? TRUE : FALSE, name.c_str());
  *lastError = GetLastError();
  return FromHandle(mutex);
}

void Win32Kernel::ReleaseMutex(platform::Handle mutex) { ::ReleaseMutex(ToHandle(mutex)); }

uint32_t Win32Kernel::GetSystemDirectory(char* buffer, uint32_t size) {
  const UINT length = GetSystemDirectoryA(buffer, size);
  // A buffer too small gets the needed size back, not a stored text: that is no result.
  return length < size ? length : 0;
}

platform::Handle Win32Kernel::LoadLibrary(const std::string& path) {
  return reinterpret_cast<platform::Handle>(LoadLibraryA(path.c_str()));
}

platform::ProcAddress Win32Kernel::GetProcAddress(platform::Handle module,
                                                  const std::string& name) {
  return reinterpret_cast<platform::ProcAddress>(::GetProcAddress(ToModule(module), name.c_str()));
}

void Win32Kernel::FreeLibrary(platform::Handle module) { ::FreeLibrary(ToModule(module)); }

uint32_t Win32Kernel::CallPwdChangePassword(platform::ProcAddress routine,
                                            const std::string& provider, int32_t ownerWindow,
                                            uint32_t reserved1, uint32_t reserved2) {
  const auto change = reinterpret_cast<PwdChangePasswordRoutine>(routine);
  // A window handle passed as a 32-bit integer is sign-extended, as the system does it.
  const auto owner = reinterpret_cast<HWND>(static_cast<intptr_t>(ownerWindow));
  return change(provider.c_str(), owner, reserved1,
                reinterpret_cast<LPVOID>(static_cast<uintptr_t>(reserved2)));
}

platform::Handle Win32Kernel::OpenFileForReading(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? 0 : FromHandle(file);
}

bool Win32Kernel::SeekFile(platform::Handle file, uint64_t position) {
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(ToHandle(file), distance, nullptr, FILE_BEGIN) != FALSE;
}

bool Win32Kernel::ReadFile(platform::Handle file, uint8_t* buffer, uint32_t size,
                           uint32_t* bytesRead) {
  DWORD read = 0;
  const BOOL ok = ::ReadFile(ToHandle(file), buffer, size, &read, nullptr);
  *bytesRead = read;
  return ok != FALSE;
}

void Win32Kernel::CloseFile(platform::Handle file) { CloseHandle(ToHandle(file)); }

bool Win32Kernel::FileExists(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32Kernel::ShortPathName(const std::string& utf8Path) {
  if (utf8Path.empty()) return std::nullopt;
  const std::wstring path = Utf8ToWide(utf8Path);
  // The first call tells the size the result needs, with its terminating zero.
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring shortPath(needed, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  shortPath.resize(length);
  return WideToUtf8(shortPath);
}

void Win32Kernel::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

platform::LocalTime Win32Kernel::GetLocalTime() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace swfsaver::win32
