#include "swfplayer/format/Bitmaps.h"

#include <algorithm>

#include "swfplayer/format/Reader.h"
#include "swfplayer/movie/Inflate.h"

namespace swfplayer::format {
namespace {

uint32_t Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  // Premultiplied data whose colour exceeds its alpha would be out of range downstream.
  return (a << 24) | (std::min(r, a) << 16) | (std::min(g, a) << 8) | std::min(b, a);
}

uint32_t Premultiply(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return Pack(a, (r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255);
}

bool WithinLimits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= image::kMaxBitmapSide &&
         height <= image::kMaxBitmapSide && width * height <= image::kMaxBitmapPixels;
}

bool Charge(size_t& budget, const Bitmap& bitmap) {
  const size_t bytes = bitmap.pixels.size() * sizeof(uint32_t);
  if (bytes > budget) return false;
  budget -= bytes;
  return true;
}

size_t RowBytes(size_t bytesPerRow) { return (bytesPerRow + 3) & ~size_t{3}; }

}  // namespace

std::vector<uint8_t> RepairJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data) {
  std::vector<uint8_t> joined(tables.begin(), tables.end());
  joined.insert(joined.end(), data.begin(), data.end());
  std::vector<uint8_t> out;
  out.reserve(joined.size());
  for (size_t i = 0; i < joined.size(); ++i) {
    if (i + 3 < joined.size() && joined[i] == 0xFF && joined[i + 1] == 0xD9 &&
        joined[i + 2] == 0xFF && joined[i + 3] == 0xD8) {
      // At the start a real SOI follows the stray pair; between tables and image the tables'
      // SOI already began the joined stream.
      i += 3;
      continue;
    }
    out.push_back(joined[i]);
  }
  return out;
}

std::optional<DecodedBitmap> DecodeLossless(std::span<const uint8_t> body, int version,
                                            size_t& memoryBudget) {
  Reader in(body);
  DecodedBitmap result;
  result.id = in.U16();
  const uint8_t format = in.U8();
  const uint16_t width = in.U16();
  const uint16_t height = in.U16();
  const size_t tableSize = format == 3 ? in.U8() + 1u : 0;
  if (!in.Ok() || !WithinLimits(width, height)) return std::nullopt;
  const size_t pixelCount = size_t{width} * height;
  if (pixelCount * sizeof(uint32_t) > memoryBudget) return std::nullopt;

  const bool alpha = version == 2;
  size_t expected = 0;
  switch (format) {
    case 3: expected = tableSize * (alpha ? 4 : 3) + RowBytes(width) * height; break;
    case 4: expected = RowBytes(size_t{width} * 2) * height; break;
    case 5: expected = pixelCount * 4; break;
    default: return std::nullopt;
  }
  const std::vector<uint8_t> data = Inflate(in.Rest(), expected);
  if (data.size() < expected) return std::nullopt;

  Bitmap& bitmap = result.bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.pixels.resize(pixelCount);
  if (format == 3) {
    std::vector<uint32_t> palette(256, 0);  // indices past the table are transparent
    const size_t entry = alpha ? 4 : 3;
    for (size_t i = 0; i < tableSize; ++i) {
      const uint8_t* c = &data[i * entry];
      palette[i] = alpha ? Pack(c[3], c[0], c[1], c[2]) : Pack(255, c[0], c[1], c[2]);
    }
    const uint8_t* rows = &data[tableSize * entry];
    for (size_t y = 0; y < height; ++y) {
      for (size_t x = 0; x < width; ++x) {
        bitmap.pixels[y * width + x] = palette[rows[y * RowBytes(width) + x]];
      }
    }
  } else if (format == 4) {
    for (size_t y = 0; y < height; ++y) {
      for (size_t x = 0; x < width; ++x) {
        const uint8_t* p = &data[y * RowBytes(size_t{width} * 2) + x * 2];
        const uint32_t v = (uint32_t{p[0]} << 8) | p[1];
        auto expand = [](uint32_t five) { return (five << 3) | (five >> 2); };
        bitmap.pixels[y * width + x] =
            Pack(255, expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
      }
    }
  } else {
    for (size_t i = 0; i < pixelCount; ++i) {
      const uint8_t* p = &data[i * 4];
      bitmap.pixels[i] = Pack(alpha ? p[0] : 255, p[1], p[2], p[3]);
    }
  }
  if (!Charge(memoryBudget, bitmap)) return std::nullopt;
  return result;
}

std::optional<DecodedBitmap> DecodeJpegTag(std::span<const uint8_t> body, int version,
                                           std::span<const uint8_t> jpegTables,
                                           image::ImageDecoder& decoder, size_t& memoryBudget) {
  Reader in(body);
  DecodedBitmap result;
  result.id = in.U16();
  const uint32_t alphaOffset = version == 3 ? in.U32() : 0;
  std::span<const uint8_t> image = version == 3 ? in.Bytes(alphaOffset) : in.Rest();
  if (!in.Ok() || image.empty()) return std::nullopt;
  const bool isJpeg = image.size() >= 2 && ((image[0] == 0xFF && image[1] == 0xD8) ||
                                            (image[0] == 0xFF && image[1] == 0xD9));
  const std::vector<uint8_t> repaired =
      isJpeg ? RepairJpeg(version == 1 ? jpegTables : std::span<const uint8_t>{}, image)
             : std::vector<uint8_t>(image.begin(), image.end());
  std::optional<Bitmap> decoded = decoder.Decode(repaired);
  if (!decoded || !WithinLimits(decoded->width, decoded->height) ||
      decoded->pixels.size() != size_t(decoded->width) * size_t(decoded->height)) {
    return std::nullopt;
  }
  result.bitmap = std::move(*decoded);
  if (version == 3 && isJpeg) {
    const std::vector<uint8_t> alpha = Inflate(in.Rest(), result.bitmap.pixels.size());
    // A short plane leaves the rest opaque rather than losing the image.
    for (size_t i = 0; i < alpha.size(); ++i) {
      const uint32_t p = result.bitmap.pixels[i];
      result.bitmap.pixels[i] = Premultiply(alpha[i], (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
  }
  if (!Charge(memoryBudget, result.bitmap)) return std::nullopt;
  return result;
}

}  // namespace swfplayer::format
