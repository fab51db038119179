// Bounds on what one movie may make the decoder and the player hold, so that a small lying
// file cannot exhaust memory or time. A movie over a bound plays what stays within it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace swfplayer::format {

// Records (edges and style changes) in one shape; the rest of a longer shape is dropped.
inline constexpr size_t kMaxShapeRecords = 200'000;
// Fill plus line styles over all the style arrays of one shape.
inline constexpr size_t kMaxShapeStyles = 65'536;
// Path points over all the shapes, glyphs and tweens of one movie (16 bytes each: 128 MiB).
// A tween's edges and a text's glyphs count against it too (see the player's loader).
inline constexpr size_t kMaxMoviePathPoints = 8'000'000;
// Decoded bitmap pixels of one movie, 4 bytes each: 256 MiB.
inline constexpr size_t kMaxMovieBitmapBytes = 256u * 1024u * 1024u;

// Glyph outlines in one font; glyphs past it have no outline (texts skip them).
inline constexpr size_t kMaxFontGlyphs = 16'384;
// Records in one glyph outline; the rest of a longer outline is dropped.
inline constexpr size_t kMaxGlyphRecords = 4'096;
// Text records in one DefineText; later records are dropped.
inline constexpr size_t kMaxTextRecords = 4'096;
// Glyphs in one DefineText over all its records (a record holds at most 255: its count is one
// byte); later glyphs are dropped.
inline constexpr size_t kMaxTextGlyphs = 65'536;
// Records of each of a tween's two edge lists; the rest of a longer list is dropped.
inline constexpr size_t kMaxMorphRecords = 100'000;
// Records of one button (all states); later records are dropped.
inline constexpr size_t kMaxButtonRecords = 1'024;
// Clip event records of one placement.
inline constexpr size_t kMaxClipActionRecords = 256;
// Actions in one DoAction block; a longer block is not run at all.
inline constexpr size_t kMaxActionsPerBlock = 1'024;
// Actions in one block the ActionScript interpreter runs (16 bytes each decoded: 16 MiB); a
// longer block is refused whole.
inline constexpr size_t kMaxActionsPerProgram = 1'048'576;

}  // namespace swfplayer::format
