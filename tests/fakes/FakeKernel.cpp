#include "tests/fakes/FakeKernel.h"

#include <algorithm>
#include <cstring>

namespace swfsaver::fakes {

using platform::Handle;
using platform::ProcAddress;

FakeKernel::FakeKernel() = default;

std::string FakeKernel::Fold(const std::string& text) {
  std::string folded = text;
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

Handle FakeKernel::CreateMutex(bool initialOwner, const std::string& name,
                               uint32_t* lastError) {
  mutexRequests.push_back({name, initialOwner});
  if (failMutexCreation) {
    *lastError = 5;  // ERROR_ACCESS_DENIED
    return 0;
  }
  Handle handle = nextHandle_++;
  *lastError = existingMutexes.insert(name).second ? 0 : platform::kErrorAlreadyExists;
  return handle;
}

void FakeKernel::ReleaseMutex(Handle mutex) { releasedMutexes.push_back(mutex); }

uint32_t FakeKernel::GetSystemDirectory(char* buffer, uint32_t size) {
  uint32_t length = static_cast<uint32_t>(systemDirectory.size());
  if (length == 0) return 0;
  if (length + 1 > size) return length + 1;  // too small: the size needed
  std::memcpy(buffer, systemDirectory.c_str(), length + 1);
  return length;
}

void FakeKernel::AddLibrary(const std::string& fullPath, std::set<std::string> exports) {
  libraries_[Fold(fullPath)] = Library{fullPath, std::move(exports)};
}

std::string FakeKernel::Resolve(const std::string& name) const {
  if (name.find('\\') != std::string::npos) return Fold(name);
  for (const std::string& dir : searchDirectories) {
    std::string candidate = Fold(dir + "\\" + name);
    if (libraries_.count(candidate)) return candidate;
  }
  return {};
}

Handle FakeKernel::LoadLibrary(const std::string& path) {
  loadedLibraries.push_back(path);
  std::string resolved = Resolve(path);
  if (resolved.empty() || !libraries_.count(resolved)) return 0;
  Handle handle = nextHandle_++;
  loaded_[handle] = resolved;
  loadedPaths.push_back(libraries_.at(resolved).path);
  ++loadedCount_;
  return handle;
}

ProcAddress FakeKernel::GetProcAddress(Handle module, const std::string& name) {
  auto it = loaded_.find(module);
  if (it == loaded_.end()) return 0;
  if (!libraries_.at(it->second).exports.count(name)) return 0;
  ProcAddress entry = nextHandle_++;
  procs_[entry] = it->second;
  return entry;
}

void FakeKernel::FreeLibrary(Handle module) {
  if (loaded_.erase(module)) {
    ++freedLibraries;
    --loadedCount_;
  }
}

uint32_t FakeKernel::CallPwdChangePassword(ProcAddress routine, const std::string& provider,
                                           int32_t ownerWindow, uint32_t reserved1,
                                           uint32_t reserved2) {
  auto it = procs_.find(routine);
  if (it == procs_.end()) return 0;
  passwordRoutineLibrary = libraries_.at(it->second).path;
  PasswordCall call{provider, ownerWindow, reserved1, reserved2};
  passwordCalls.push_back(call);
  return passwordRoutine ? passwordRoutine(call) : 1;
}

void FakeKernel::AddFile(const std::string& path, std::vector<uint8_t> bytes) {
  files_[Fold(path)] = std::move(bytes);
}

Handle FakeKernel::OpenFileForReading(const std::string& path) {
  std::string key = Fold(path);
  if (!files_.count(key) || writeLocked_.count(key)) return 0;
  Handle handle = nextHandle_++;
  open_[handle] = OpenFile{key, 0};
  ++fileOpens;
  return handle;
}

bool FakeKernel::SeekFile(Handle file, uint64_t position) {
  auto it = open_.find(file);
  if (it == open_.end()) return false;
  it->second.position = position;
  return true;
}

bool FakeKernel::ReadFile(Handle file, uint8_t* buffer, uint32_t size, uint32_t* read) {
  *read = 0;
  auto it = open_.find(file);
  if (it == open_.end()) return false;
  ++fileReads;
  auto found = files_.find(it->second.key);
  if (found == files_.end()) return false;  // deleted under our feet
  const std::vector<uint8_t>& bytes = found->second;
  uint64_t position = it->second.position;
  if (position < bytes.size()) {
    uint64_t available = bytes.size() - position;
    *read = static_cast<uint32_t>(std::min<uint64_t>(available, size));
    std::memcpy(buffer, bytes.data() + position, *read);
  }
  it->second.position += *read;
  bytesRead += *read;
  return true;
}

void FakeKernel::CloseFile(Handle file) { open_.erase(file); }

bool FakeKernel::FileExists(const std::string& path) {
  return !path.empty() && files_.count(Fold(path)) > 0;
}

std::optional<std::string> FakeKernel::ShortPathName(const std::string& utf8Path) {
  auto found = shortPathNames.find(utf8Path);
  if (found == shortPathNames.end()) return std::nullopt;
  return found->second;
}

void FakeKernel::Sleep(uint32_t milliseconds) {
  sleeps.push_back(milliseconds);
  nowMs += milliseconds;
  if (onSleep) onSleep(milliseconds);
}

}  // namespace swfsaver::fakes
