#include "swfplayer/avm1/String.h"

#include <algorithm>
#include <cstring>

#include "swfplayer/movie/TextDecoding.h"

namespace swfplayer::avm1 {

// A buffer that concatenations append to; shared by the strings made from it, freed with the
// last of them.
struct StringBuffer {
  Heap* heap;
  uint32_t references;
  uint32_t capacity;
  uint32_t used;
  char16_t units[1];

  static size_t BytesFor(uint32_t capacity) {
    return offsetof(StringBuffer, units) + sizeof(char16_t) * capacity;
  }
};

namespace {

// Results shorter than this are made inline; longer ones get a buffer with room to grow.
constexpr size_t kSharedBufferThreshold = 32;

StringBuffer* NewBuffer(Heap& heap, uint32_t capacity) {
  const size_t bytes = StringBuffer::BytesFor(capacity);
  heap.ChargeShared(bytes);
  auto* buffer = static_cast<StringBuffer*>(::operator new(bytes));
  buffer->heap = &heap;
  buffer->references = 0;
  buffer->capacity = capacity;
  buffer->used = 0;
  return buffer;
}

}  // namespace

char16_t FoldCase(char16_t unit) {
  if (unit < 0x80) return (unit >= u'A' && unit <= u'Z') ? unit + 32 : unit;
  if (unit >= 0xC0 && unit <= 0xDE && unit != 0xD7) return unit + 32;
  if (unit >= 0x391 && unit <= 0x3A9 && unit != 0x3A2) return unit + 32;
  if (unit >= 0x410 && unit <= 0x42F) return unit + 32;
  if (unit >= 0x400 && unit <= 0x40F) return unit + 80;
  return unit;
}

uint32_t FoldedHash(std::u16string_view units) {
  uint32_t hash = 2166136261u;
  for (char16_t unit : units) {
    hash = (hash ^ FoldCase(unit)) * 16777619u;
  }
  return hash;
}

String::~String() {
  if (buffer_ != nullptr && --buffer_->references == 0) {
    buffer_->heap->ReleaseShared(StringBuffer::BytesFor(buffer_->capacity));
    ::operator delete(buffer_);
  }
}

String* String::MakeInline(Heap& heap, size_t length) {
  const size_t bytes = sizeof(String) + sizeof(char16_t) * length;
  void* storage = heap.AllocateRaw(bytes);
  auto* units = reinterpret_cast<char16_t*>(static_cast<char*>(storage) + sizeof(String));
  auto* string = new (storage) String(units, static_cast<uint32_t>(length), nullptr);
  heap.Adopt(string, bytes);
  return string;
}

String* String::MakeShared(Heap& heap, StringBuffer* buffer, uint32_t length) {
  ++buffer->references;  // before allocating: a failed allocation must still free the buffer
  void* storage;
  try {
    storage = heap.AllocateRaw(sizeof(String));
  } catch (...) {
    if (--buffer->references == 0) {
      heap.ReleaseShared(StringBuffer::BytesFor(buffer->capacity));
      ::operator delete(buffer);
    }
    throw;
  }
  auto* string = new (storage) String(buffer->units, length, buffer);
  heap.Adopt(string, sizeof(String));
  return string;
}

String* String::Make(Heap& heap, std::u16string_view units) {
  String* string = MakeInline(heap, units.size());
  if (!units.empty()) std::memcpy(const_cast<char16_t*>(string->data_), units.data(), units.size() * 2);
  return string;
}

String* String::FromAscii(Heap& heap, std::string_view ascii) {
  String* string = MakeInline(heap, ascii.size());
  auto* units = const_cast<char16_t*>(string->data_);
  for (size_t i = 0; i < ascii.size(); ++i) units[i] = static_cast<unsigned char>(ascii[i]);
  return string;
}

String* String::FromUtf8(Heap& heap, std::string_view utf8) {
  return Make(heap, DecodeUtf8(utf8));
}

String* String::Concat(Heap& heap, String* a, String* b, size_t maxUnits) {
  if (b->length_ == 0) return a;
  if (a->length_ == 0) return b;
  const size_t total = size_t{a->length_} + b->length_;
  if (total > maxUnits) {
    throw ScriptAbort{"a string would be longer than " + std::to_string(maxUnits) + " units"};
  }
  StringBuffer* buffer = a->buffer_;
  if (buffer != nullptr && buffer->used == a->length_ && buffer->capacity >= total) {
    std::memcpy(buffer->units + buffer->used, b->data_, size_t{b->length_} * 2);
    buffer->used = static_cast<uint32_t>(total);
    return MakeShared(heap, buffer, buffer->used);
  }
  if (total < kSharedBufferThreshold) {
    String* string = MakeInline(heap, total);
    auto* units = const_cast<char16_t*>(string->data_);
    std::memcpy(units, a->data_, size_t{a->length_} * 2);
    std::memcpy(units + a->length_, b->data_, size_t{b->length_} * 2);
    return string;
  }
  const size_t capacity = std::min(std::max(total * 2, size_t{64}), std::max(maxUnits, total));
  buffer = NewBuffer(heap, static_cast<uint32_t>(capacity));
  std::memcpy(buffer->units, a->data_, size_t{a->length_} * 2);
  std::memcpy(buffer->units + a->length_, b->data_, size_t{b->length_} * 2);
  buffer->used = static_cast<uint32_t>(total);
  return MakeShared(heap, buffer, buffer->used);
}

bool String::EqualsIgnoringCase(std::u16string_view units) const {
  if (units.size() != length_) return false;
  for (size_t i = 0; i < length_; ++i) {
    if (data_[i] != units[i] && FoldCase(data_[i]) != FoldCase(units[i])) return false;
  }
  return true;
}

std::string String::ToUtf8() const { return avm1::ToUtf8(View()); }

std::string ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t code = units[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = 0xFFFD;
    }
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

}  // namespace swfplayer::avm1
