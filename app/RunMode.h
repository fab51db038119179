// The run mode, chosen once from the first command-line argument before any window exists.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// The mode a first argument (already upper-cased) selects, or nothing: the process then ends.
std::optional<TRunMode> ParseRunMode(std::string_view firstParam);

}  // namespace swfsaver
