// Checks control data in the layout of StoredControlData.h: the header, then sixteen values
// whose tags follow the stored sequence, each string with an even length that counts its
// terminator, each boolean 0xFFFF or 0x0000. Used by the control's IPersistStreamInit::Load,
// which reads from a stream piece by piece: a valid beginning that needs more bytes says how
// many in all, so the stream is never read past the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace swfsaver::flash {

enum class ControlDataStatus {
  kValid,
  kNeedMore,       // a valid beginning; `size` is how many bytes the check needs in all
  kBadMagic,
  kBadVersion,
  kBadExtent,      // a negative width or height
  kBadTag,         // a value's tag differs from the stored sequence
  kBadString,      // a length that is odd, too short for the terminator, or too long
  kMissingTerminator,
  kBadBoolean,
};

struct ControlDataValue {
  uint16_t tag = 0;
  std::u16string text;
  bool flag = false;
  bool operator==(const ControlDataValue&) const = default;
};

struct ControlData {
  int32_t widthHimetric = 0;
  int32_t heightHimetric = 0;
  std::array<ControlDataValue, 16> values;
};

struct ControlDataCheck {
  ControlDataStatus status = ControlDataStatus::kNeedMore;
  size_t size = 0;  // kValid: bytes the data takes; kNeedMore: bytes needed in all
  ControlData data;  // filled when kValid
};

// Longest string payload accepted; the stored strings are a few characters.
inline constexpr uint32_t kMaxControlDataString = 4096;

ControlDataCheck CheckControlData(std::span<const uint8_t> bytes);

std::string_view ControlDataStatusName(ControlDataStatus status);

}  // namespace swfsaver::flash
