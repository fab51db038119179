// An in-memory kernel: command line and module name, named mutexes shared by the "processes"
// of one test, libraries with their exports and the password routine, files (with another
// process's locks), and a clock that Sleep advances.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Kernel.h"

namespace swfsaver::fakes {

struct PasswordCall {
  std::string provider;
  int32_t owner = 0;
  uint32_t reserved1 = 0;
  uint32_t reserved2 = 0;
};

class FakeKernel : public platform::Kernel {
 public:
  FakeKernel();

  std::string CommandLine() override { return commandLine; }
  std::string ModuleFileName() override { return moduleFileName; }

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
  platform::LocalTime GetLocalTime() override { return localTime; }

  // --- steering and inspection ---
  std::string commandLine = "\"C:\\Windows\\SwfSaver.scr\"";
  std::string moduleFileName = "C:\\Windows\\SwfSaver.scr";
  std::string systemDirectory = "C:\\Windows\\system32";  // "" makes GetSystemDirectory fail

  // Mutexes by name, as another process of the same test would leave them.
  std::set<std::string> existingMutexes;
  bool failMutexCreation = false;  // CreateMutexA fails (null handle, access denied)
  // Every CreateMutexA call, in order, with the ownership it asked for.
  struct MutexRequest {
    std::string name;
    bool initialOwner = false;
  };
  std::vector<MutexRequest> mutexRequests;
  std::vector<platform::Handle> releasedMutexes;

  // A library at a full path ("C:\Windows\system32\MPR.DLL") exporting the given names. A
  // bare name is found through the search directories, in order.
  void AddLibrary(const std::string& fullPath, std::set<std::string> exports);
  std::vector<std::string> searchDirectories = {"C:\\Windows\\system32"};
  std::vector<std::string> loadedLibraries;  // every LoadLibrary argument, in order
  std::vector<std::string> loadedPaths;      // the resolved path of each successful load
  int freedLibraries = 0;
  int LoadedLibraryCount() const { return loadedCount_; }
  // The routine's behaviour; it may throw to stand for a routine that raises.
  std::function<uint32_t(const PasswordCall&)> passwordRoutine;
  std::vector<PasswordCall> passwordCalls;
  std::string passwordRoutineLibrary;  // path of the library whose routine was called last

  // Files. A file held by another process for writing (or without read sharing) cannot be
  // opened here; one held only for reading can.
  void AddFile(const std::string& path, std::vector<uint8_t> bytes);
  void AddDirectory(const std::string& path) { directories_.insert(Fold(path)); }
  void RemoveFile(const std::string& path) { files_.erase(Fold(path)); }
  void LockForWriting(const std::string& path) { writeLocked_.insert(Fold(path)); }
  // The 8.3 form GetShortPathNameW gives for a full path (UTF-8); a path listed as its own
  // short form lies on a volume that keeps no short names. An unlisted path is not found.
  std::map<std::string, std::string> shortPathNames;
  int OpenFileCount() const { return static_cast<int>(open_.size()); }
  uint64_t bytesRead = 0;
  int fileOpens = 0;
  int fileReads = 0;

  // The clock: Sleep advances it; each sleep is recorded.
  uint64_t nowMs = 0;
  std::vector<uint32_t> sleeps;
  std::function<void(uint32_t)> onSleep;
  platform::LocalTime localTime{2024, 3, 9, 7, 5, 1};

 private:
  struct Library {
    std::string path;
    std::set<std::string> exports;
  };
  struct OpenFile {
    std::string key;
    uint64_t position = 0;
  };
  static std::string Fold(const std::string& text);
  std::string Resolve(const std::string& name) const;

  std::map<std::string, Library> libraries_;  // by folded full path
  std::map<platform::Handle, std::string> loaded_;  // handle -> folded path
  std::map<platform::ProcAddress, std::string> procs_;  // entry -> folded library path
  int loadedCount_ = 0;
  std::map<std::string, std::vector<uint8_t>> files_;
  std::set<std::string> directories_;
  std::set<std::string> writeLocked_;
  std::map<platform::Handle, OpenFile> open_;
  platform::Handle nextHandle_ = 0x100;
};

}  // namespace swfsaver::fakes
