// The clip events of a PlaceObject2 or PlaceObject3 (CLIPACTIONS): for each record, the events
// it answers (CLIPEVENTFLAGS as a little-endian 32-bit word; SWF 5's 16-bit flags fill its low
// half) and its action bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace swfplayer::format {

struct ClipActionRecord {
  uint32_t events = 0;
  uint8_t keyCode = 0;  // of a key-press event
  std::span<const uint8_t> actions;  // points into the data given
};

// Records until the end marker; a record whose length runs past the data ends the list, and
// at most kMaxClipActionRecords are read.
std::vector<ClipActionRecord> DecodeClipActions(std::span<const uint8_t> data, uint8_t swfVersion);

}  // namespace swfplayer::format
