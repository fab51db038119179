// Kernel services through the ANSI functions: command line, module name, the named mutex,
// libraries and the password routine, files, sleeping and the clock; the short form of a path
// through the wide one.
#pragma once

#include "platform/win32/WindowsApi.h"

#include "platform/Kernel.h"

namespace swfsaver::win32 {

class Win32Kernel : public platform::Kernel {
 public:
  std::string CommandLine() override;
  std::string ModuleFileName() override;

  platform::Handle CreateMutex(bool initialOwner, const std::string& name,
                               uint32_t* lastError) override;
  void ReleaseMutex(platform::Handle mutex) override;

  uint32_t GetSystemDirectory(char* buffer, uint32_t size) override;
  platform::Handle LoadLibrary(const std::string& path) override;
  platform::ProcAddress GetProcAddress(platform::Handle module, const std::string& name) override;
  void FreeLibrary(platform::Handle module) override;
  uint32_t CallPwdChangePassword(platform::ProcAddress routine, const std::string& provider,
                                 int32_t ownerWindow, uint32_t reserved1,
                                 uint32_t reserved2) override;

  platform::Handle OpenFileForReading(const std::string& path) override;
  bool SeekFile(platform::Handle file, uint64_t position) override;
  bool ReadFile(platform::Handle file, uint8_t* buffer, uint32_t size,
                uint32_t* bytesRead) override;
  void CloseFile(platform::Handle file) override;
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ShortPathName(const std::string& utf8Path) override;

  void Sleep(uint32_t milliseconds) override;
  platform::LocalTime GetLocalTime() override;
};

}  // namespace swfsaver::win32
