#include "swfplayer/text/Unicode.h"

namespace swfplayer::text {

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    size_t units = 1;
    const char32_t c = CodePointAt(text, i, &units);
    i += units;
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 0x20;
  }
  return out;
}

char32_t CodePointAt(std::u16string_view text, size_t i, size_t* units) {
  const char16_t c = text[i];
  if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
    if (units) *units = 2;
    return 0x10000 + ((char32_t{c} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
  }
  if (units) *units = 1;
  return c;
}

bool IsCjk(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) ||   // radicals, CJK punctuation, kana, ideographs
         (c >= 0xF900 && c <= 0xFAFF) ||   // compatibility ideographs
         (c >= 0xFF00 && c <= 0xFFEF) ||   // full- and half-width forms
         (c >= 0x20000 && c <= 0x2FFFF);   // supplementary ideographs
}

bool NoBreakBefore(char32_t c) {
  static constexpr std::u32string_view kClosing =
      U")]}\u3001\u3002\u300D\u300F\u3011\u3009\u300B\u3015\uFF09\uFF3D\uFF5D\uFF0C\uFF0E\uFF01"
      U"\uFF1F\uFF1A\uFF1B\u30FC\u309D\u309E\u30FD\u30FE\u3005\u3041\u3043\u3045\u3047\u3049"
      U"\u3063\u3083\u3085\u3087\u308E\u30A1\u30A3\u30A5\u30A7\u30A9\u30C3\u30E3\u30E5\u30E7"
      U"\u30EE\u30F5\u30F6\u30FB!,.:;?\u2019\u201D\uFF65\uFF61\uFF64";
  return kClosing.find(c) != std::u32string_view::npos;
}

bool NoBreakAfter(char32_t c) {
  static constexpr std::u32string_view kOpening =
      U"([{\u300C\u300E\u3010\u3008\u300A\u3014\uFF08\uFF3B\uFF5B\u2018\u201C\uFF62";
  return kOpening.find(c) != std::u32string_view::npos;
}

}  // namespace swfplayer::text
