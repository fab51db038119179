// A kernel that passes every call on to another and counts the file work of the calls, and
// reports a module file name of the benchmark's choosing so that the settings go to a
// throwaway key.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Kernel.h"

namespace swfsaver::bench {

class CountingKernel : public platform::Kernel {
 public:
  explicit CountingKernel(platform::Kernel& inner)
      : inner_(inner), moduleFileName_(inner.ModuleFileName()) {}

  std::string CommandLine() override { return inner_.CommandLine(); }
  std::string ModuleFileName() override { return moduleFileName_; }
  platform::Handle CreateMutex(bool initialOwner, const std::string& name,
                               uint32_t* lastError) override {
    return inner_.CreateMutex(initialOwner, name, lastError);
  }
  void ReleaseMutex(platform::Handle mutex) override { inner_.ReleaseMutex(mutex); }
  uint32_t GetSystemDirectory(char* buffer, uint32_t size) override {
    return inner_.GetSystemDirectory(buffer, size);
  }
  platform::Handle LoadLibrary(const std::string& path) override {
    return inner_.LoadLibrary(path);
  }
  platform::ProcAddress GetProcAddress(platform::Handle module, const std::string& name) override {
    return inner_.GetProcAddress(module, name);
  }
  void FreeLibrary(platform::Handle module) override { inner_.FreeLibrary(module); }
  uint32_t CallPwdChangePassword(platform::ProcAddress routine, const std::string& provider,
                                 int32_t ownerWindow, uint32_t reserved1,
                                 uint32_t reserved2) override {
    return inner_.CallPwdChangePassword(routine, provider, ownerWindow, reserved1, reserved2);
  }
  platform::Handle OpenFileForReading(const std::string& path) override {
    ++opens;
    return inner_.OpenFileForReading(path);
  }
  bool SeekFile(platform::Handle file, uint64_t position) override {
    return inner_.SeekFile(file, position);
  }
  bool ReadFile(platform::Handle file, uint8_t* buffer, uint32_t size,
                uint32_t* bytesRead) override {
    ++reads;
    const bool ok = inner_.ReadFile(file, buffer, size, bytesRead);
    if (ok) this->bytesRead += *bytesRead;
    return ok;
  }
  void CloseFile(platform::Handle file) override { inner_.CloseFile(file); }
  bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
  std::optional<std::string> ShortPathName(const std::string& utf8Path) override {
    return inner_.ShortPathName(utf8Path);
  }
  void Sleep(uint32_t milliseconds) override { inner_.Sleep(milliseconds); }
  platform::LocalTime GetLocalTime() override { return inner_.GetLocalTime(); }

  void SetModuleFileName(std::string name) { moduleFileName_ = std::move(name); }
  void ResetCounts() { opens = reads = 0; bytesRead = 0; }
  uint64_t opens = 0;
  uint64_t reads = 0;
  uint64_t bytesRead = 0;

 private:
  platform::Kernel& inner_;
  std::string moduleFileName_;
};

}  // namespace swfsaver::bench
