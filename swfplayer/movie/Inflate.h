// zlib inflation with a ceiling on the output, for compressed movies and the zlib data inside
// bitmap tags: a small lying input can never make it allocate more than the caller allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace swfplayer {

// At most limit bytes of the zlib stream's output. A damaged or cut-off stream yields what came
// out before the damage; the caller decides whether that is enough.
std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, size_t limit);

}  // namespace swfplayer
