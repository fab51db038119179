#include "saver/ErrorRecord.h"

#include <cstdio>
#include <exception>

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

void SaverErrorRecord::Record(const std::string& text) noexcept {
  if (text == lastWritten_) return;
  try {
    TRegIniFile store(platform_.registry, platform_.codePage,
                      SettingsKeyPath(platform_.kernel.ModuleFileName(), platform_.codePage));
    store.WriteString(kErrorRecordSection, "Message", platform_.codePage.Utf8ToAnsi(text));
    store.WriteString(kErrorRecordSection, "Time",
                      FormatLocalTime(platform_.kernel.GetLocalTime()));
    lastWritten_ = text;
  } catch (const std::exception&) {
    // The registry refuses it too: the error stays unrecorded, and the saver goes on.
  }
}

}  // namespace swfsaver
