#include "framework/SystemLibrary.h"

#include <array>

namespace swfsaver {

std::string SystemLibraryPath(platform::Kernel& kernel, const std::string& name) {
  std::array<char, platform::kMaxPath> buffer{};
  const uint32_t length = kernel.GetSystemDirectory(buffer.data(), platform::kMaxPath);
  // A length that does not fit the buffer is the size the call would have needed, not text
  // it stored: the directory cannot be had then, and the buffer is never read beyond its end.
  if (length == 0 || length >= platform::kMaxPath) return name;
  std::string path(buffer.data(), length);
  // The system directory ends in an ASCII name ("system32"), so its last byte is its last
  // character.
  if (path.back() != '\\') path += '\\';
  return path + name;
}

}  // namespace swfsaver
