// What the stand-in control needs to know of a movie: its header (frame size, frame rate,
// frame count) and, from the tag stream, the background colour and the frames it shows.
// Portable: the bytes come from the caller, nothing here touches files or Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "swfplayer/types/Geometry.h"

namespace swfplayer {

// Uncompressed movies larger than this are refused rather than inflated, so a small lying
// file cannot make the control allocate gigabytes. Long cartoons with a soundtrack run to a
// few hundred megabytes; an uncompressed body is read where it lies (MovieBody) and a
// compressed one is dropped once loaded, so the bound is on a load's peak, not on what a
// playing movie keeps.
inline constexpr uint32_t kMaxMovieBytes = 256u * 1024u * 1024u;

enum class SwfCompression { kNone, kZlib, kLzma };

enum class MovieError {
  kNone,
  kNotSwf,            // the signature is neither FWS, CWS nor ZWS
  kTooLarge,          // the header claims more than kMaxMovieBytes
  kTruncatedHeader,   // the data (or the header's own length) ends inside the header
};

// How the tag stream ended.
enum class TagStreamEnd {
  kEndTag,     // an End tag closed it
  kTruncated,  // the data ran out first, inside a record or before the End tag
};

struct SwfMovie {
  SwfCompression compression = SwfCompression::kNone;
  uint8_t version = 0;
  uint32_t declaredLength = 0;  // the header's FileLength: the uncompressed size, header included
  uint32_t availableLength = 0; // what the data really holds of it, after inflating
  TwipsRect frameSize;
  uint16_t frameRate = 0;       // 8.8 fixed point: the high byte is whole frames per second
  uint16_t frameCount = 0;
  std::optional<Rgba> backgroundColor;  // the first SetBackgroundColor tag (opaque)
  uint32_t showFrameTags = 0;
  uint32_t tagCount = 0;        // complete records read, End included
  TagStreamEnd tagStreamEnd = TagStreamEnd::kTruncated;

  // Frame size in whole pixels (twenty twips each), never negative.
  int32_t WidthPixels() const;
  int32_t HeightPixels() const;

  bool operator==(const SwfMovie&) const = default;
};

struct MovieParseResult {
  MovieError error = MovieError::kNone;
  SwfMovie movie;  // meaningful only without error
  bool ok() const { return error == MovieError::kNone; }
};

// A movie's body after its signature and length: inflated (CWS) or LZMA-decoded (ZWS) when
// compressed, cut to the length the header states, with the frame header already read. A
// damaged compressed stream yields the body up to the damage. The tag stream follows it.
// An uncompressed body is not copied: it is a view into the data given, which must outlive
// the MovieBody.
struct MovieBody {
  MovieError error = MovieError::kNone;
  SwfMovie movie;               // the header fields only; the tag counts stay 0
  std::vector<uint8_t> bytes;   // the decompressed body (empty for FWS)
  std::span<const uint8_t> body;  // the uncompressed body: bytes, or a view into the data
  size_t tagsOffset = 0;        // where in body the tag stream begins
  bool ok() const { return error == MovieError::kNone; }
  std::span<const uint8_t> Tags() const { return body.subspan(tagsOffset); }
};

MovieBody ReadMovieBody(std::span<const uint8_t> data);

// The colour a SetBackgroundColor tag's body gives (always opaque); nothing when it is short.
std::optional<Rgba> ReadBackgroundColor(std::span<const uint8_t> body);

// Parses a whole movie file. Never reads outside data and never fails on a damaged tag stream:
// a complete header is enough to play, as a streaming player would.
MovieParseResult ParseSwfMovie(std::span<const uint8_t> data);

std::string_view MovieErrorName(MovieError error);

}  // namespace swfplayer
