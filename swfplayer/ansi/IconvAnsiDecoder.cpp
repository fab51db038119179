#include "swfplayer/ansi/IconvAnsiDecoder.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace swfplayer {

std::u16string IconvAnsiDecoder::Decode(std::string_view bytes) const {
  std::u16string out;
  iconv_t converter = iconv_open("UTF-16LE", codePage_.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) {
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
  }
  std::vector<char> buffer(bytes.size() * 4 + 8);
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPointer = buffer.data();
    size_t outLeft = buffer.size();
    const size_t result = iconv(converter, &in, &inLeft, &outPointer, &outLeft);
    for (char* p = buffer.data(); p + 1 < outPointer; p += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) | (static_cast<unsigned char>(p[1]) << 8)));
    }
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      // A byte the code page does not map (or a sequence cut short): one replacement, then on.
      out.push_back(0xFFFD);
      ++in;
      --inLeft;
    }
  }
  iconv_close(converter);
  return out;
}

}  // namespace swfplayer
