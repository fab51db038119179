// The bitmap tags: DefineBitsLossless and DefineBitsLossless2 (colour-mapped 8-bit, 15-bit and
// 24/32-bit, zlib-compressed) decoded here; DefineBits, DefineBitsJPEG2 and DefineBitsJPEG3
// through an ImageDecoder after the SWF-specific repairs of their JPEG data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/image/ImageDecoder.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::format {

struct DecodedBitmap {
  uint16_t id = 0;
  Bitmap bitmap;  // premultiplied 0xAARRGGBB
};

// SWF JPEG data may begin with a stray end-of-image and start-of-image pair (FF D9 FF D8), and
// DefineBits data is the JPEGTables stream and the image stream one after the other, each
// with its own markers. Both become one plain JPEG by dropping every FF D9 FF D8 between the
// first start-of-image and the end.
std::vector<uint8_t> RepairJpeg(std::span<const uint8_t> tables, std::span<const uint8_t> data);

// version 1 or 2. memoryBudget (bytes of pixels) is checked before anything is allocated and
// decreased by what the bitmap takes. Nothing for a damaged tag, a bitmap over the image
// limits, or one over the budget.
std::optional<DecodedBitmap> DecodeLossless(std::span<const uint8_t> body, int version,
                                            size_t& memoryBudget);

// DefineBits (version 1, with the movie's JPEGTables data), DefineBitsJPEG2 (2) and
// DefineBitsJPEG3 (3, its zlib alpha plane applied to a JPEG; a PNG or GIF keeps its own).
std::optional<DecodedBitmap> DecodeJpegTag(std::span<const uint8_t> body, int version,
                                           std::span<const uint8_t> jpegTables,
                                           image::ImageDecoder& decoder, size_t& memoryBudget);

}  // namespace swfplayer::format
