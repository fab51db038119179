// Array.prototype.sort and sortOn (ArraySort.cpp), for the Array installer.
#pragma once

#include <cstdint>

#include "swfplayer/avm1/Native.h"

namespace swfplayer::avm1 {

namespace sort_flags {
inline constexpr int32_t kCaseInsensitive = 1;
inline constexpr int32_t kDescending = 2;
inline constexpr int32_t kUniqueSort = 4;
inline constexpr int32_t kReturnIndexedArray = 8;
inline constexpr int32_t kNumeric = 16;
}  // namespace sort_flags

Value ArraySort(NativeCall& call);
Value ArraySortOn(NativeCall& call);

}  // namespace swfplayer::avm1
