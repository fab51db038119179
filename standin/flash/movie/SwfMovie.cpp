#include "standin/flash/movie/SwfMovie.h"

#include <algorithm>
#include <vector>

#include <zlib.h>

#include "standin/flash/movie/BitReader.h"
#include "standin/flash/movie/ByteReader.h"

namespace swfsaver::flash {
namespace {

constexpr size_t kSignatureAndLengthBytes = 8;
constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;
constexpr uint16_t kLongTagLength = 0x3F;

// Inflates the body of a CWS movie, at most `limit` bytes. A damaged or cut-off zlib stream
// yields what came out before the damage: the header parser then decides whether that is
// enough, exactly as for a truncated FWS file.
std::vector<uint8_t> InflateBody(std::span<const uint8_t> compressed, size_t limit) {
  std::vector<uint8_t> out;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return out;
  // zlib takes a non-const pointer but does not write through next_in.
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(compressed.size());
  constexpr size_t kChunk = 64 * 1024;
  while (out.size() < limit) {
    const size_t offset = out.size();
    const size_t grow = std::min(kChunk, limit - offset);
    out.resize(offset + grow);
    stream.next_out = out.data() + offset;
    stream.avail_out = static_cast<uInt>(grow);
    const int status = inflate(&stream, Z_NO_FLUSH);
    out.resize(offset + (grow - stream.avail_out));
    if (status != Z_OK) break;  // stream end, damage, or no progress possible
  }
  inflateEnd(&stream);
  return out;
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
void ReadTags(ByteReader& reader, SwfMovie& movie) {
  for (;;) {
    uint16_t codeAndLength = 0;
    if (!reader.ReadU16(codeAndLength)) return;
    const uint16_t code = codeAndLength >> 6;
    uint32_t length = codeAndLength & kLongTagLength;
    if (length == kLongTagLength && !reader.ReadU32(length)) return;
    std::span<const uint8_t> body;
    if (!reader.Take(length, body)) return;
    ++movie.tagCount;
    if (code == kTagEnd) {
      movie.tagStreamEnd = TagStreamEnd::kEndTag;
      return;
    }
    if (code == kTagShowFrame) {
      ++movie.showFrameTags;
    } else if (code == kTagSetBackgroundColor && !movie.backgroundColor && body.size() >= 3) {
      movie.backgroundColor = Rgb{body[0], body[1], body[2]};
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

MovieParseResult ParseSwfMovie(std::span<const uint8_t> data) {
  MovieParseResult result;
  SwfMovie& movie = result.movie;
  ByteReader reader(data);
  uint8_t signature[3] = {};
  for (uint8_t& byte : signature) {
    if (!reader.ReadU8(byte)) return {MovieError::kTruncatedHeader, {}};
  }
  if (signature[1] != 'W' || signature[2] != 'S') return {MovieError::kNotSwf, {}};
  switch (signature[0]) {
    case 'F': movie.compression = SwfCompression::kNone; break;
    case 'C': movie.compression = SwfCompression::kZlib; break;
    case 'Z': return {MovieError::kLzmaUnsupported, {}};
    default: return {MovieError::kNotSwf, {}};
  }
  if (!reader.ReadU8(movie.version) || !reader.ReadU32(movie.declaredLength)) {
    return {MovieError::kTruncatedHeader, {}};
  }
  if (movie.declaredLength > kMaxMovieBytes) return {MovieError::kTooLarge, {}};
  const size_t bodyLimit =
      movie.declaredLength > kSignatureAndLengthBytes ? movie.declaredLength - kSignatureAndLengthBytes : 0;

  // The body is what follows the first eight bytes, cut to the length the header states.
  std::vector<uint8_t> inflated;
  std::span<const uint8_t> body = reader.Rest();
  if (movie.compression == SwfCompression::kZlib) {
    inflated = InflateBody(body, bodyLimit);
    body = inflated;
  } else {
    body = body.first(std::min(body.size(), bodyLimit));
  }
  movie.availableLength = static_cast<uint32_t>(kSignatureAndLengthBytes + body.size());

  ByteReader bodyReader(body);
  if (!ReadFrameHeader(bodyReader, movie)) return {MovieError::kTruncatedHeader, {}};
  ReadTags(bodyReader, movie);
  return result;
}

std::string_view MovieErrorName(MovieError error) {
  switch (error) {
    case MovieError::kNone: return "none";
    case MovieError::kNotSwf: return "not an SWF movie";
    case MovieError::kLzmaUnsupported: return "LZMA-compressed (ZWS) movie";
    case MovieError::kTooLarge: return "movie too large";
    case MovieError::kTruncatedHeader: return "truncated header";
  }
  return "unknown";
}

}  // namespace swfsaver::flash
