// ActionScript strings: immutable sequences of UTF-16 code units (what length, charAt and
// charCodeAt count) in cells of the script heap. Short strings hold their units inline. A
// string made by concatenation shares a growable buffer with its left operand: when the left
// string is the longest one using that buffer, the right one is appended in place, so
// `s += x` in a loop costs what it adds, not the whole string again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "swfplayer/avm1/Heap.h"

namespace swfplayer::avm1 {

struct StringBuffer;

// The case folding names compare with before SWF 7: ASCII, Latin-1, Greek and Cyrillic
// capitals fold to their small letters.
char16_t FoldCase(char16_t unit);
// FNV-1a over the folded units: equal names have equal hashes in both case modes.
uint32_t FoldedHash(std::u16string_view units);

class String final : public Cell {
 public:
  static String* Make(Heap& heap, std::u16string_view units);
  static String* FromAscii(Heap& heap, std::string_view ascii);
  // Bytes that are not valid UTF-8 become U+FFFD.
  static String* FromUtf8(Heap& heap, std::string_view utf8);
  // a followed by b; throws ScriptAbort when the result would pass maxUnits.
  static String* Concat(Heap& heap, String* a, String* b, size_t maxUnits);

  ~String() override;
  static void operator delete(void* pointer) { ::operator delete(pointer); }

  uint32_t Length() const { return length_; }
  bool Empty() const { return length_ == 0; }
  const char16_t* Data() const { return data_; }
  std::u16string_view View() const { return {data_, length_}; }
  char16_t At(size_t index) const { return data_[index]; }

  // The folded hash, computed once.
  uint32_t Hash() const {
    if (!hashed_) {
      hash_ = FoldedHash(View());
      hashed_ = true;
    }
    return hash_;
  }
  bool Equals(const String& other) const { return this == &other || View() == other.View(); }
  bool Equals(std::u16string_view units) const { return View() == units; }
  bool EqualsIgnoringCase(std::u16string_view units) const;
  // Names compare exactly from SWF 7 on, folded before.
  bool SameName(const String& other, bool caseSensitive) const {
    if (this == &other) return true;
    if (length_ != other.length_ || Hash() != other.Hash()) return false;
    return caseSensitive ? View() == other.View() : EqualsIgnoringCase(other.View());
  }
  // Whether the text holds '.', ':' or '/': a variable path rather than a plain name.
  bool HasPathSeparator() const {
    if (pathKind_ == 0) {
      pathKind_ = View().find_first_of(u".:/") == std::u16string_view::npos ? 1 : 2;
    }
    return pathKind_ == 2;
  }
  // Code unit order (what < and > do with two strings).
  int Compare(const String& other) const { return View().compare(other.View()); }

  // UTF-8, lone surrogates as U+FFFD.
  std::string ToUtf8() const;

 private:
  friend class PropertyMap;
  String(const char16_t* data, uint32_t length, StringBuffer* buffer)
      : data_(data), buffer_(buffer), length_(length) {}
  static String* MakeInline(Heap& heap, size_t length);
  static String* MakeShared(Heap& heap, StringBuffer* buffer, uint32_t length);

  const char16_t* data_;
  StringBuffer* buffer_;  // null when the units are inline
  uint32_t length_;
  mutable uint32_t hash_ = 0;
  mutable bool hashed_ = false;
  mutable uint8_t pathKind_ = 0;  // 0 unknown, 1 plain, 2 holds a separator
  // Where the last lookup of this very string found it: a map and an entry, checked before use.
  mutable const void* lookupMap_ = nullptr;
  mutable uint32_t lookupEntry_ = 0;
};

// UTF-16 to UTF-8 for any view (trace lines, host calls).
std::string ToUtf8(std::u16string_view units);

}  // namespace swfplayer::avm1
