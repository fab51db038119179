// Where the saver leaves the errors it cannot show. Nobody watches a screen saver, and a
// message box over it would stop the playback and take the very input that must end it, so
// each error goes to the registry instead, beside the settings:
// HKEY_CURRENT_USER\Software\Ostrevanlab\<program base name>\LastError, REG_SZ values
// "Message" (the report's text) and "Time" (local time, "2024-03-09 07:05:01").
#pragma once

#include <string>

#include "framework/Application.h"
#include "platform/Kernel.h"
#include "platform/Platform.h"

namespace swfsaver {

inline constexpr const char* kErrorRecordSection = "LastError";

// "YYYY-MM-DD hh:mm:ss".
std::string FormatLocalTime(const platform::LocalTime& time);

class SaverErrorRecord : public ErrorRecorder {
 public:
  explicit SaverErrorRecord(platform::Platform& platform) : platform_(platform) {}
  // Overwrites the record with text (UTF-8) and the time. The same text as the last one this
  // object wrote is not written again: a failure that repeats on every idle step costs no
  // registry work. A record that cannot be written is given up without a word.
  void Record(const std::string& text) noexcept override;

 private:
  platform::Platform& platform_;
  std::string lastWritten_;
};

}  // namespace swfsaver
