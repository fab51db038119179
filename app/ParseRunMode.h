// The run mode a command line asks for, from its first argument.
#pragma once

#include <optional>
#include <string_view>

#include "framework/RunMode.h"

namespace swfsaver {

// The mode a first argument (already upper-cased) selects, or nothing: the process then ends.
std::optional<TRunMode> ParseRunMode(std::string_view firstParam);

}  // namespace swfsaver
