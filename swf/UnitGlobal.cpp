#include "swf/UnitGlobal.h"

#include <zlib.h>

#include <array>
#include <cstring>
#include <span>

#include "lzma/LzmaDecoder.h"
#include "platform/Exceptions.h"

namespace swfsaver {

namespace {
constexpr uint64_t kRectOffset = 8;  // the rectangle follows signature, version and length
constexpr uint32_t kSignatureSize = 3;

// A compressed movie ("CWS") keeps bytes 0 to 7 as they are and deflates the rest with zlib.
// Its rectangle is taken from the start of the inflated data, reading the file in small
// pieces up to this bound: a deflate block header takes at most about 290 bytes, and the 17
// bytes after it at most about 35 more, so a stream that has not given 17 bytes by then is
// not a movie's.
constexpr uint32_t kCompressedReadLimit = 512;
constexpr uint32_t kCompressedReadPiece = 64;

// An LZMA-compressed movie ("ZWS") keeps bytes 0 to 7, then stores the compressed length and
// the five LZMA properties bytes; the raw stream begins at byte 17. Its first 17 decoded bytes
// come from a prefix of the stream under the same bound as for zlib: the range coder's 5
// header bytes and 17 literals take far fewer.
constexpr uint64_t kLzmaPropertiesOffset = 12;
constexpr uint32_t kLzmaPropertiesSize = 5;

[[noreturn]] void ThrowReadError() { throw EReadError("ストリームからの読み込みエラー"); }

// The file open for one call; closed on every way out.
class OpenFile {
 public:
  OpenFile(platform::Kernel& kernel, platform::Handle file) : kernel_(kernel), file_(file) {}
  ~OpenFile() { kernel_.CloseFile(file_); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  // Up to size bytes at the current position; fewer at the end of the file.
  uint32_t Read(uint8_t* buffer, uint32_t size) {
    uint32_t read = 0;
    if (!kernel_.ReadFile(file_, buffer, size, &read)) ThrowReadError();
    return read;
  }
  void Seek(uint64_t position) {
    if (!kernel_.SeekFile(file_, position)) ThrowReadError();
  }

 private:
  platform::Kernel& kernel_;
  platform::Handle file_;
};

class Inflater {
 public:
  Inflater() {
    if (inflateInit(&stream_) != Z_OK) ThrowReadError();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& Stream() { return stream_; }

 private:
  z_stream stream_{};
};

void ReadStoredRect(OpenFile& file, std::string& header) {
  file.Seek(kRectOffset);
  auto* out = reinterpret_cast<uint8_t*>(header.data());
  if (file.Read(out, kSwfHeaderRectSize) < kSwfHeaderRectSize) ThrowReadError();
}

void ReadCompressedRect(OpenFile& file, std::string& header) {
  file.Seek(kRectOffset);
  Inflater inflater;
  z_stream& stream = inflater.Stream();
  stream.next_out = reinterpret_cast<Bytef*>(header.data());
  stream.avail_out = kSwfHeaderRectSize;
  std::array<uint8_t, kCompressedReadPiece> piece{};
  uint32_t consumed = 0;
  while (stream.avail_out > 0) {
    if (consumed >= kCompressedReadLimit) ThrowReadError();
    const uint32_t read = file.Read(piece.data(), kCompressedReadPiece);
    if (read == 0) ThrowReadError();  // the data ends before the rectangle
    consumed += read;
    stream.next_in = piece.data();
    stream.avail_in = read;
    // Inflate until this piece is used up or the rectangle is complete.
    while (stream.avail_in > 0 && stream.avail_out > 0) {
      const int result = inflate(&stream, Z_NO_FLUSH);
      if (result == Z_STREAM_END && stream.avail_out > 0) ThrowReadError();
      if (result != Z_OK && result != Z_STREAM_END) ThrowReadError();
    }
  }
}

void ReadLzmaRect(OpenFile& file, std::string& header) {
  file.Seek(kLzmaPropertiesOffset);
  std::array<uint8_t, kLzmaPropertiesSize> properties{};
  if (file.Read(properties.data(), kLzmaPropertiesSize) < kLzmaPropertiesSize) ThrowReadError();
  std::array<uint8_t, kCompressedReadLimit> stream{};
  uint32_t read = 0;
  while (read < kCompressedReadLimit) {
    const uint32_t piece = file.Read(stream.data() + read, kCompressedReadLimit - read);
    if (piece == 0) break;
    read += piece;
  }
  const lzma::DecodeResult decoded =
      lzma::DecodeLzma(properties, std::span(stream).first(read), kSwfHeaderRectSize);
  if (decoded.data.size() < kSwfHeaderRectSize) ThrowReadError();
  header.assign(decoded.data.begin(), decoded.data.end());
}

// Whether the bit at position is 1: position p is bit 7 - (p mod 8) of byte p div 8, the
// most significant bit first, as SWF packs its bit fields. Positions stay below 129; a
// shorter header than the 17 bytes reads as zeros beyond its end.
bool HeaderBit(const std::string& header, uint8_t position) {
  if (position / 8u >= header.size()) return false;
  const auto byte = static_cast<uint8_t>(header[position / 8]);
  return (byte >> (7 - position % 8)) & 1;
}

// The count bits from position first on, as an unsigned number, most significant bit first.
uint32_t HeaderBits(const std::string& header, uint8_t first, uint8_t count) {
  uint32_t value = 0;
  for (uint8_t k = 0; k < count; ++k) {
    value = (value << 1) | (HeaderBit(header, static_cast<uint8_t>(first + k)) ? 1u : 0u);
  }
  return value;
}

// Xmax or Ymax in pixels. The field is taken as unsigned: a top bit of 1 gives a large width,
// not a negative one. Nbits is at most 31, so the value stays below 2^31.
int32_t FieldInPixels(const std::string& header, uint8_t first, uint8_t bits) {
  return static_cast<int32_t>(HeaderBits(header, first, bits) / 20);
}
}  // namespace

void ReadSwfHeaderRect(platform::Kernel& kernel, const platform::CodePage& codePage,
                       const std::string& path, std::string& header) {
  const platform::Handle handle = kernel.OpenFileForReading(path);
  if (handle == 0) throw EFOpenError("ファイル " + codePage.AnsiToUtf8(path) + " は開けません");
  OpenFile file(kernel, handle);
  header.assign(kSwfHeaderRectSize, '\0');
  std::array<uint8_t, kSignatureSize> signature{};
  const uint32_t read = file.Read(signature.data(), kSignatureSize);
  const bool complete = read == kSignatureSize;
  // "FWS" and everything else (files that are no movie) give the stored bytes.
  if (complete && std::memcmp(signature.data(), "CWS", 3) == 0) {
    ReadCompressedRect(file, header);
  } else if (complete && std::memcmp(signature.data(), "ZWS", 3) == 0) {
    ReadLzmaRect(file, header);
  } else {
    ReadStoredRect(file, header);
  }
}

uint8_t SwfRectBitCount(const std::string& header) {
  if (header.empty()) return 0;
  return static_cast<uint8_t>(static_cast<uint8_t>(header[0]) >> 3);
}

int32_t SwfFrameWidth(const std::string& header) {
  const uint8_t bits = SwfRectBitCount(header);
  return FieldInPixels(header, static_cast<uint8_t>(bits + 5), bits);
}

int32_t SwfFrameHeight(const std::string& header) {
  const uint8_t bits = SwfRectBitCount(header);
  return FieldInPixels(header, static_cast<uint8_t>(3 * bits + 5), bits);
}

}  // namespace swfsaver
