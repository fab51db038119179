// The control data the saver stores for its Flash control and hands to it through
// IPersistStreamInit::Load when the control is created: 194 bytes, little-endian.
//
//   offset 0   u32  0x55665567             marks the control's persisted state
//   offset 4   u32  0x300                  its layout version
//   offset 8   i32  5106                   width in 0.01 mm (HIMETRIC): 193 pixels at 96 dpi
//   offset 12  i32  4471                   height in 0.01 mm: 169 pixels
//   offset 16  sixteen tagged values, back to back:
//                u16 tag 8  (string):  u32 byte length counting the 2-byte terminator, then
//                                      UTF-16LE characters and the terminator
//                u16 tag 11 (boolean): u16 0xFFFF true, 0x0000 false
//
// The bytes are built here from that structure rather than written out as a blob, so each
// value can be read off its line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace swfsaver::flashapi {

inline constexpr uint32_t kControlDataMagic = 0x55665567;
inline constexpr uint32_t kControlDataVersion = 0x300;
inline constexpr int32_t kStoredWidthHimetric = 5106;
inline constexpr int32_t kStoredHeightHimetric = 4471;
inline constexpr uint16_t kStringTag = 8;
inline constexpr uint16_t kBooleanTag = 11;
inline constexpr size_t kControlDataHeaderSize = 16;
inline constexpr size_t kStoredValueCount = 16;

struct StoredValue {
  uint16_t tag;
  std::u16string_view text;  // tag 8
  bool flag;                 // tag 11
};

constexpr StoredValue StoredString(std::u16string_view text) { return {kStringTag, text, false}; }
constexpr StoredValue StoredBoolean(bool flag) { return {kBooleanTag, {}, flag}; }

inline constexpr std::array<StoredValue, kStoredValueCount> kStoredValues = {
    StoredString(u""),       StoredString(u"Window"), StoredString(u"Window"),
    StoredString(u"Window"), StoredBoolean(true),     StoredBoolean(true),
    StoredString(u"High"),   StoredString(u""),       StoredBoolean(true),
    StoredString(u""),       StoredString(u"always"), StoredString(u"ShowAll"),
    StoredBoolean(false),    StoredBoolean(false),    StoredString(u""),
    StoredString(u""),
};

// Tag, then the payload: a boolean's two bytes, or a string's length, characters and terminator.
constexpr size_t StoredValueSize(const StoredValue& value) {
  return 2 + (value.tag == kBooleanTag ? 2 : 4 + 2 * (value.text.size() + 1));
}

constexpr size_t StoredControlDataSize() {
  size_t size = kControlDataHeaderSize;
  for (const StoredValue& value : kStoredValues) size += StoredValueSize(value);
  return size;
}

inline constexpr size_t kStoredControlDataSize = StoredControlDataSize();
static_assert(kStoredControlDataSize == 194);

namespace detail {

class ControlDataBuilder {
 public:
  constexpr void U16(uint32_t value) { Bytes(value, 2); }
  constexpr void U32(uint32_t value) { Bytes(value, 4); }
  constexpr void Value(const StoredValue& value) {
    U16(value.tag);
    if (value.tag == kBooleanTag) {
      U16(value.flag ? 0xFFFF : 0x0000);
      return;
    }
    U32(static_cast<uint32_t>(2 * (value.text.size() + 1)));
    for (char16_t c : value.text) U16(c);
    U16(0);
  }
  constexpr std::array<uint8_t, kStoredControlDataSize> Result() const { return bytes_; }

 private:
  constexpr void Bytes(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bytes_[size_++] = static_cast<uint8_t>(value >> (8 * i));
  }
  std::array<uint8_t, kStoredControlDataSize> bytes_{};
  size_t size_ = 0;
};

constexpr std::array<uint8_t, kStoredControlDataSize> BuildStoredControlData() {
  ControlDataBuilder builder;
  builder.U32(kControlDataMagic);
  builder.U32(kControlDataVersion);
  builder.U32(static_cast<uint32_t>(kStoredWidthHimetric));
  builder.U32(static_cast<uint32_t>(kStoredHeightHimetric));
  for (const StoredValue& value : kStoredValues) builder.Value(value);
  return builder.Result();
}

}  // namespace detail

inline constexpr std::array<uint8_t, kStoredControlDataSize> kStoredControlData =
    detail::BuildStoredControlData();

}  // namespace swfsaver::flashapi
