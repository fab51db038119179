#include "framework/CommandLine.h"

namespace swfsaver {

namespace {
// Blanks and control characters separate words; code 0 ends the command line.
bool IsSeparator(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 1 && code <= 32;
}
}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  if (const size_t end = commandLine.find('\0'); end != std::string_view::npos) {
    commandLine = commandLine.substr(0, end);
  }
  std::vector<std::string> words;
  size_t i = 0;
  while (true) {
    while (i < commandLine.size() && IsSeparator(commandLine[i])) ++i;
    if (i == commandLine.size()) break;
    std::string word;
    bool quoted = false;
    for (; i < commandLine.size() && (quoted || !IsSeparator(commandLine[i])); ++i) {
      if (commandLine[i] == '"') {
        quoted = !quoted;
      } else {
        word += commandLine[i];
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

std::string ParamStr(std::string_view commandLine, int index) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  if (index < 0 || static_cast<size_t>(index) >= words.size()) return {};
  return words[static_cast<size_t>(index)];
}

std::string UpperCaseAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace swfsaver
