// Bounds on what one movie may make the decoder and the player hold, so that a small lying
// file cannot exhaust memory or time. A movie over a bound plays what stays within it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swfsaver::flash::format {

// Records (edges and style changes) in one shape; the rest of a longer shape is dropped.
inline constexpr size_t kMaxShapeRecords = 200'000;
// Fill plus line styles over all the style arrays of one shape.
inline constexpr size_t kMaxShapeStyles = 65'536;
// Path points over all the shapes of one movie (16 bytes each: 128 MiB).
inline constexpr size_t kMaxMoviePathPoints = 8'000'000;
// Decoded bitmap pixels of one movie, 4 bytes each: 256 MiB.
inline constexpr size_t kMaxMovieBitmapBytes = 256u * 1024u * 1024u;

}  // namespace swfsaver::flash::format
