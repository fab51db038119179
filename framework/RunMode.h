// The run mode and the first two arguments: chosen once by the start-up before any window
// exists, read by the saver's close rules afterwards.
#pragma once

#include <cstdint>
#include <string>

namespace swfsaver {

enum TRunMode : uint8_t {
  rmChangePassword = 0,
  rmPreview = 1,
  rmConfigure = 2,
  rmSaver = 3,
};

// Process-wide, set by the start-up: the mode and the first two arguments upper-cased.
extern TRunMode RunMode;
extern std::string FirstParam;
extern std::string SecondParam;

}  // namespace swfsaver
