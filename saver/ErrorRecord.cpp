#include "saver/ErrorRecord.h"

#include <cstdio>
#include <exception>
#include <optional>
#include <string>

#include "settings/RegIniFile.h"
#include "settings/Settings.h"

namespace swfsaver {

std::string FormatLocalTime(const platform::LocalTime& time) {
  char text[48];  // room for five digits in every field
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{time.year},
                unsigned{time.month}, unsigned{time.day}, unsigned{time.hour},
                unsigned{time.minute}, unsigned{time.second});
  return text;
}

namespace {

// A record is for reading, not for opening: where the code page lacks a character of the
// message, a "?" stands in for it.
std::string AnsiOrQuestionMarks(const platform::CodePage& codePage, const std::string& utf8) {
  if (std::optional<std::string> ansi = codePage.Utf8ToAnsi(utf8)) return *ansi;
  std::string ascii;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      ascii += c;
    } else if (byte >= 0xC0) {  // the lead byte of a sequence; continuation bytes add nothing
      ascii += '?';
    }
  }
  return ascii;
}

}  // namespace

void SaverErrorRecord::Record(const std::string& text) noexcept {
  if (text == lastWritten_) return;
  try {
    TRegIniFile store(platform_.registry, platform_.codePage,
                      SettingsKeyPath(platform_.kernel.ModuleFileName(), platform_.codePage));
    store.WriteString(kErrorRecordSection, "Message", AnsiOrQuestionMarks(platform_.codePage, text));
    store.WriteString(kErrorRecordSection, "Time",
                      FormatLocalTime(platform_.kernel.GetLocalTime()));
    lastWritten_ = text;
  } catch (const std::exception&) {
    // The registry refuses it too: the error stays unrecorded, and the saver goes on.
  }
}

}  // namespace swfsaver
