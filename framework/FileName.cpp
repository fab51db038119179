#include "framework/FileName.h"

namespace swfsaver {

size_t CharLength(std::string_view text, size_t index, const platform::CodePage& codePage) {
  const bool lead = codePage.IsLeadByte(static_cast<uint8_t>(text[index]));
  return lead && index + 1 < text.size() ? 2 : 1;
}

std::string_view ExtractFileName(std::string_view path, const platform::CodePage& codePage) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += CharLength(path, i, codePage)) {
    if (path[i] == '\\' || path[i] == ':') start = i + 1;
  }
  return path.substr(start);
}

std::string_view StripExtension(std::string_view name, const platform::CodePage& codePage) {
  size_t end = name.size();
  for (size_t i = 0; i < name.size(); i += CharLength(name, i, codePage)) {
    if (name[i] == '.') end = i;
  }
  return name.substr(0, end);
}

std::string_view CutAtFirstFullStop(std::string_view name, const platform::CodePage& codePage) {
  for (size_t i = 0; i < name.size(); i += CharLength(name, i, codePage)) {
    if (name[i] == '.') return name.substr(0, i);
  }
  return name;
}

}  // namespace swfsaver
