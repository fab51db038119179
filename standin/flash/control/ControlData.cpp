#include "standin/flash/control/ControlData.h"

#include "swfplayer/movie/ByteReader.h"
#include "flashapi/StoredControlData.h"

namespace swfsaver::flash {

using swfplayer::ByteReader;
namespace {

ControlDataCheck NeedMore(size_t total) { return {ControlDataStatus::kNeedMore, total, {}}; }
ControlDataCheck Fail(ControlDataStatus status) { return {status, 0, {}}; }

}  // namespace

ControlDataCheck CheckControlData(std::span<const uint8_t> bytes) {
  ByteReader reader(bytes);
  uint32_t magic = 0, version = 0, width = 0, height = 0;
  if (!reader.ReadU32(magic) || !reader.ReadU32(version) || !reader.ReadU32(width) ||
      !reader.ReadU32(height)) {
    return NeedMore(flashapi::kControlDataHeaderSize);
  }
  if (magic != flashapi::kControlDataMagic) return Fail(ControlDataStatus::kBadMagic);
  if (version != flashapi::kControlDataVersion) return Fail(ControlDataStatus::kBadVersion);
  ControlDataCheck result{ControlDataStatus::kValid, 0, {}};
  result.data.widthHimetric = static_cast<int32_t>(width);
  result.data.heightHimetric = static_cast<int32_t>(height);
  if (result.data.widthHimetric < 0 || result.data.heightHimetric < 0) {
    return Fail(ControlDataStatus::kBadExtent);
  }

  for (size_t i = 0; i < flashapi::kStoredValueCount; ++i) {
    ControlDataValue& value = result.data.values[i];
    if (!reader.ReadU16(value.tag)) return NeedMore(reader.Position() + 2);
    if (value.tag != flashapi::kStoredValues[i].tag) return Fail(ControlDataStatus::kBadTag);
    if (value.tag == flashapi::kBooleanTag) {
      uint16_t flag = 0;
      if (!reader.ReadU16(flag)) return NeedMore(reader.Position() + 2);
      if (flag != 0xFFFF && flag != 0x0000) return Fail(ControlDataStatus::kBadBoolean);
      value.flag = flag == 0xFFFF;
      continue;
    }
    uint32_t length = 0;
    if (!reader.ReadU32(length)) return NeedMore(reader.Position() + 4);
    if (length < 2 || length % 2 != 0 || length > kMaxControlDataString) {
      return Fail(ControlDataStatus::kBadString);
    }
    std::span<const uint8_t> text;
    if (!reader.Take(length, text)) return NeedMore(reader.Position() + length);
    if (text[length - 2] != 0 || text[length - 1] != 0) {
      return Fail(ControlDataStatus::kMissingTerminator);
    }
    for (size_t c = 0; c + 2 < length; c += 2) {
      value.text.push_back(static_cast<char16_t>(text[c] | (text[c + 1] << 8)));
    }
  }
  result.size = reader.Position();
  return result;
}

std::string_view ControlDataStatusName(ControlDataStatus status) {
  switch (status) {
    case ControlDataStatus::kValid: return "valid";
    case ControlDataStatus::kNeedMore: return "incomplete";
    case ControlDataStatus::kBadMagic: return "bad magic number";
    case ControlDataStatus::kBadVersion: return "bad version";
    case ControlDataStatus::kBadExtent: return "negative extent";
    case ControlDataStatus::kBadTag: return "unexpected value tag";
    case ControlDataStatus::kBadString: return "bad string length";
    case ControlDataStatus::kMissingTerminator: return "string without terminator";
    case ControlDataStatus::kBadBoolean: return "bad boolean";
  }
  return "unknown";
}

}  // namespace swfsaver::flash
