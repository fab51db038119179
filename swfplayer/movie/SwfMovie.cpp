#include "swfplayer/movie/SwfMovie.h"

#include <algorithm>
#include <vector>

#include "swfplayer/movie/BitReader.h"
#include "swfplayer/movie/ByteReader.h"
#include "swfplayer/movie/Inflate.h"
#include "swfplayer/movie/TagStream.h"
#include "lzma/ZwsBody.h"

namespace swfplayer {
namespace {

constexpr size_t kSignatureAndLengthBytes = 8;
constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

MovieBody Failed(MovieError error) {
  MovieBody body;
  body.error = error;
  return body;
}

bool ReadFrameHeader(ByteReader& reader, SwfMovie& movie) {
  BitReader bits(reader.Rest());
  uint32_t fieldBits = 0;
  if (!bits.ReadUnsigned(5, fieldBits) || !bits.ReadSigned(fieldBits, movie.frameSize.xMin) ||
      !bits.ReadSigned(fieldBits, movie.frameSize.xMax) ||
      !bits.ReadSigned(fieldBits, movie.frameSize.yMin) ||
      !bits.ReadSigned(fieldBits, movie.frameSize.yMax)) {
    return false;
  }
  return reader.Skip(bits.BytesConsumed()) && reader.ReadU16(movie.frameRate) &&
         reader.ReadU16(movie.frameCount);
}

// Reads records until End or until the data runs out; a record whose stated length passes the
// end of the data counts as truncation and is not looked into.
void ReadTags(std::span<const uint8_t> tags, SwfMovie& movie) {
  TagStream stream(tags);
  TagRecord tag;
  while (stream.Next(tag)) {
    ++movie.tagCount;
    if (tag.code == kTagEnd) {
      movie.tagStreamEnd = TagStreamEnd::kEndTag;
      return;
    }
    if (tag.code == kTagShowFrame) {
      ++movie.showFrameTags;
    } else if (tag.code == kTagSetBackgroundColor && !movie.backgroundColor) {
      movie.backgroundColor = ReadBackgroundColor(tag.body);
    }
  }
}

}  // namespace

int32_t SwfMovie::WidthPixels() const {
  return static_cast<int32_t>(std::max<int64_t>(0, (int64_t{frameSize.xMax} - frameSize.xMin) / 20));
}

int32_t SwfMovie::HeightPixels() const {
  return static_cast<int32_t>(std::max<int64_t>(0, (int64_t{frameSize.yMax} - frameSize.yMin) / 20));
}

MovieBody ReadMovieBody(std::span<const uint8_t> data) {
  MovieBody result;
  SwfMovie& movie = result.movie;
  ByteReader reader(data);
  uint8_t signature[3] = {};
  for (uint8_t& byte : signature) {
    if (!reader.ReadU8(byte)) return Failed(MovieError::kTruncatedHeader);
  }
  if (signature[1] != 'W' || signature[2] != 'S') return Failed(MovieError::kNotSwf);
  switch (signature[0]) {
    case 'F': movie.compression = SwfCompression::kNone; break;
    case 'C': movie.compression = SwfCompression::kZlib; break;
    case 'Z': movie.compression = SwfCompression::kLzma; break;
    default: return Failed(MovieError::kNotSwf);
  }
  if (!reader.ReadU8(movie.version) || !reader.ReadU32(movie.declaredLength)) {
    return Failed(MovieError::kTruncatedHeader);
  }
  if (movie.declaredLength > kMaxMovieBytes) return Failed(MovieError::kTooLarge);
  const size_t bodyLimit =
      movie.declaredLength > kSignatureAndLengthBytes ? movie.declaredLength - kSignatureAndLengthBytes : 0;

  // The body is what follows the first eight bytes, cut to the length the header states.
  const std::span<const uint8_t> stored = reader.Rest();
  if (movie.compression == SwfCompression::kZlib) {
    result.bytes = Inflate(stored, bodyLimit);
  } else if (movie.compression == SwfCompression::kLzma) {
    // As with zlib, whatever decodes before damage or a cut is played; the decoder reads the
    // header's length itself and never makes more than bodyLimit bytes.
    result.bytes = swfsaver::lzma::DecodeZwsBody(data, bodyLimit).data;
  }
  result.body = movie.compression == SwfCompression::kNone ? stored.first(std::min(stored.size(), bodyLimit))
                                                           : std::span<const uint8_t>(result.bytes);
  movie.availableLength = static_cast<uint32_t>(kSignatureAndLengthBytes + result.body.size());

  ByteReader bodyReader(result.body);
  if (!ReadFrameHeader(bodyReader, movie)) return Failed(MovieError::kTruncatedHeader);
  result.tagsOffset = bodyReader.Position();
  return result;
}

std::optional<Rgba> ReadBackgroundColor(std::span<const uint8_t> body) {
  if (body.size() < 3) return std::nullopt;
  return Rgba{body[0], body[1], body[2], 255};
}

MovieParseResult ParseSwfMovie(std::span<const uint8_t> data) {
  MovieBody body = ReadMovieBody(data);
  if (!body.ok()) return {body.error, {}};
  ReadTags(body.Tags(), body.movie);
  return {MovieError::kNone, body.movie};
}

std::string_view MovieErrorName(MovieError error) {
  switch (error) {
    case MovieError::kNone: return "none";
    case MovieError::kNotSwf: return "not an SWF movie";
    case MovieError::kTooLarge: return "movie too large";
    case MovieError::kTruncatedHeader: return "truncated header";
  }
  return "unknown";
}

}  // namespace swfplayer
