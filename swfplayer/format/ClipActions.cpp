#include "swfplayer/format/ClipActions.h"

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

constexpr uint32_t kKeyPressEvent = 0x020000;

}  // namespace

std::vector<ClipActionRecord> DecodeClipActions(std::span<const uint8_t> data, uint8_t swfVersion) {
  Reader in(data);
  const bool wide = swfVersion >= 6;
  auto events = [&]() -> uint32_t { return wide ? in.U32() : in.U16(); };
  in.U16();  // reserved
  events();  // every event of the records together
  std::vector<ClipActionRecord> records;
  while (in.Ok() && records.size() < kMaxClipActionRecords) {
    ClipActionRecord record;
    record.events = events();
    if (!in.Ok() || record.events == 0) break;
    uint32_t size = in.U32();
    if (!in.Ok() || size > in.RemainingBytes()) break;
    if (record.events & kKeyPressEvent) {
      if (size == 0) break;
      record.keyCode = in.U8();
      --size;
    }
    record.actions = in.Bytes(size);
    if (!in.Ok()) break;
    records.push_back(record);
  }
  return records;
}

}  // namespace swfplayer::format
