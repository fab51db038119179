// Kernel services: command line, module name, the named mutex, libraries and the password
// routine, files, sleeping and the clock. Text is 8-bit ANSI, byte for byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace swfsaver::platform {

using Handle = std::uintptr_t;  // 0 is no handle
using ProcAddress = std::uintptr_t;  // 0 is no entry point

inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kMaxPath = 260;

// GetLocalTime: the local date and time, the month and day counted from 1.
struct LocalTime {
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Kernel {
 public:
  virtual ~Kernel() = default;

  // GetCommandLineA.
  virtual std::string CommandLine() = 0;
  // GetModuleFileNameA for the program: its full path as the system reports it.
  virtual std::string ModuleFileName() = 0;

  // CreateMutexA (no security attributes) followed at once by GetLastError.
  virtual Handle CreateMutex(bool initialOwner, const std::string& name, uint32_t* lastError) = 0;
  virtual void ReleaseMutex(Handle mutex) = 0;

  // GetSystemDirectoryA: the number of characters stored in buffer (0 on failure).
  virtual uint32_t GetSystemDirectory(char* buffer, uint32_t size) = 0;
  virtual Handle LoadLibrary(const std::string& path) = 0;
  virtual ProcAddress GetProcAddress(Handle module, const std::string& name) = 0;
  virtual void FreeLibrary(Handle module) = 0;
  // Calls an entry point found as "PwdChangePasswordA": (provider, owner window, 0, 0).
  virtual uint32_t CallPwdChangePassword(ProcAddress routine, const std::string& provider,
                                         int32_t ownerWindow, uint32_t reserved1,
                                         uint32_t reserved2) = 0;

  // CreateFileA(GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL): 0 when
  // the file cannot be opened.
  virtual Handle OpenFileForReading(const std::string& path) = 0;
  // Sets the position from the start of the file; positions beyond the end are allowed.
  virtual bool SeekFile(Handle file, uint64_t position) = 0;
  // One ReadFile call: *bytesRead tells how much arrived (fewer at the end of the file).
  virtual bool ReadFile(Handle file, uint8_t* buffer, uint32_t size, uint32_t* bytesRead) = 0;
  virtual void CloseFile(Handle file) = 0;
  // True when path names an existing file (not a directory); an empty path gives false.
  virtual bool FileExists(const std::string& path) = 0;
  // GetShortPathNameW: the 8.3 form of an existing file's full path. Unlike the rest of the
  // kernel's text, path and result are UTF-8, since the long name may hold characters the ANSI
  // code page lacks. A volume that keeps no short names gives the path back as it is; nothing
  // when the file cannot be found.
  virtual std::optional<std::string> ShortPathName(const std::string& utf8Path) = 0;

  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual LocalTime GetLocalTime() = 0;
};

}  // namespace swfsaver::platform
