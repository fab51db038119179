#include "swfplayer/movie/TextDecoding.h"

namespace swfplayer {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

class Latin1Decoder final : public AnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
  }
};

}  // namespace

const AnsiDecoder& Latin1Ansi() {
  static const Latin1Decoder kDecoder;
  return kDecoder;
}

std::u16string DecodeUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t code = 0;
    uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
      minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      minimum = 0x10000;
    }
    bool valid = length != 0 && i + length <= bytes.size();
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    valid = valid && code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
    if (!valid) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return out;
}

std::u16string DecodeSwfString(std::string_view bytes, uint8_t swfVersion, const AnsiDecoder& ansi) {
  return swfVersion >= 6 ? DecodeUtf8(bytes) : ansi.Decode(bytes);
}

}  // namespace swfplayer
