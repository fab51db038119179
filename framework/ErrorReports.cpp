#include "framework/ErrorReports.h"

#include <cstdint>
#include <cstdio>

#include "framework/FileName.h"
#include "platform/Exceptions.h"

namespace swfsaver {

namespace {
bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// An error of the program's own classes names its class; any other error (from the standard
// library, say) is reported under the base class name.
const char* ClassNameOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->ClassName();
  return "Exception";
}

const void* AddressOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Address();
  return nullptr;
}

// The address as upper-case hexadecimal digits of the pointer's width, without "0x".
std::string FormatAddress(const void* address) {
  char text[2 * sizeof(void*) + 1];
  std::snprintf(text, sizeof text, "%0*llX", static_cast<int>(2 * sizeof(void*)),
                static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(address)));
  return text;
}
}  // namespace

std::string WithClosingPeriod(std::string message) {
  if (message.empty()) return message;
  // The messages are UTF-8: step back over continuation bytes to the last character's first.
  size_t last = message.size() - 1;
  while (last > 0 && IsUtf8Continuation(message[last])) --last;
  if (static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.')) {
    message += '.';
  }
  return message;
}

std::string ErrorMessage(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Message();
  return error.what();
}

std::string DefaultErrorReportText(const std::exception& error) {
  return WithClosingPeriod(ErrorMessage(error));
}

std::string LastChanceReportText(const std::exception& error, std::string_view moduleName) {
  std::string text = ClassNameOf(error);
  text += " がモジュール ";
  text += moduleName;
  text += " の ";
  text += FormatAddress(AddressOf(error));
  text += " で発生しました。\r\n";
  text += WithClosingPeriod(ErrorMessage(error));
  return text;
}

std::string ModuleBaseFileName(std::string_view moduleFileName, const platform::CodePage& cp) {
  return std::string(ExtractFileName(moduleFileName, cp));
}

std::string ApplicationTitle(std::string_view moduleFileName, const platform::CodePage& cp) {
  std::string title(CutAtFirstFullStop(ExtractFileName(moduleFileName, cp), cp));
  if (title.empty()) return title;
  // Lower-case from the second character on, stepping over double-byte characters whole so
  // that a trail byte in the range of "A" to "Z" is left alone.
  for (size_t i = CharLength(title, 0, cp); i < title.size(); i += CharLength(title, i, cp)) {
    if (CharLength(title, i, cp) == 1 && title[i] >= 'A' && title[i] <= 'Z') {
      title[i] = static_cast<char>(title[i] - 'A' + 'a');
    }
  }
  return title;
}

}  // namespace swfsaver
