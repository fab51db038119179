// A small baseline JPEG encoder, so sample movies can carry JPEG bitmaps (DefineBitsJPEG2)
// without an image library on any platform. Sequential DCT, YCbCr without subsampling, fixed
// quantisation and fixed-length Huffman codes: larger files than a tuned encoder writes, but
// every JPEG decoder reads them.
#pragma once

#include <cstdint>
#include <vector>

namespace swfsaver::tools {

// rgb holds width x height pixels, three bytes each, rows top to bottom without padding.
// Throws std::invalid_argument for an empty image, a side over 65535 or too few bytes.
std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height);

}  // namespace swfsaver::tools
