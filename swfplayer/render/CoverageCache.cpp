#include "swfplayer/render/CoverageCache.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "swfplayer/types/HashMix.h"

namespace swfplayer::render {
namespace {

// What an entry costs beside its rows: the entry and the map's node.
constexpr size_t kEntryBytes = sizeof(CoverageCache::Entry) + 96;
// Bits of the sets of keys without an entry: 32 KiB each, for ten thousand keys a frame.
constexpr size_t kSeenBits = size_t{1} << 18;

// Runs of one coverage shorter than this are kept as coverage like the rest of their row.
constexpr int kMinSolid = 16;
// A shape is not kept when a row has more pixels in inside runs besides its longest than this
// many times the row's spans: rasterising a row costs a few hundred instructions for each
// edge crossing it, painting a pixel of coverage instead of an inside run about three more.
constexpr int kOtherSolidPerSpan = 128;

}  // namespace

size_t CoverageCache::KeyHash::operator()(const Key& key) const {
  uint64_t h = HashMix(key.path, static_cast<uint64_t>(key.rule) | uint64_t{key.kind} << 8);
  for (const double v : {key.a, key.b, key.c, key.d, key.tx, key.ty, key.width}) {
    h = HashMix(h, std::bit_cast<uint64_t>(v));
  }
  return static_cast<size_t>(h);
}

size_t CoverageCache::Entry::Bytes() const {
  return kEntryBytes + rows_.size() * sizeof(RowSpan) + covers_.size();
}

bool CoverageCache::CheckComplete(Entry& entry) {
  if (entry.complete_) return true;
  if (!entry.Usable() || !std::all_of(entry.rows_.begin(), entry.rows_.end(),
                                      [](const Entry::RowSpan& r) { return r.kept; })) {
    return false;
  }
  entry.complete_ = true;
  // The inside runs and the pixels around the rows take no bytes.
  size_t packed = 0;
  for (const Entry::RowSpan& row : entry.rows_) packed += row.len - row.solidLen;
  std::vector<uint8_t> covers(packed);
  size_t at = 0;
  auto move = [&](int32_t& from, int len) {
    if (len > 0) {
      std::memcpy(covers.data() + at, entry.covers_.data() + from, static_cast<size_t>(len));
    }
    from = static_cast<int32_t>(at);
    at += static_cast<size_t>(len);
  };
  for (Entry::RowSpan& row : entry.rows_) {
    if (row.solidLen == 0) {
      move(row.at, row.len);
    } else {
      move(row.at, row.solid - row.first);
      move(row.tailAt, row.first + row.len - row.solid - row.solidLen);
    }
  }
  bytes_ -= entry.covers_.size() - covers.size();
  entry.covers_.swap(covers);
  return true;
}

bool CoverageCache::Entry::Kept(int top, int bottom) const {
  if (complete_) return true;
  if (!Usable()) return false;
  for (int y = std::max(top, bounds_.top); y < std::min(bottom, bounds_.bottom); ++y) {
    if (!rows_[static_cast<size_t>(y - bounds_.top)].kept) return false;
  }
  return true;
}

size_t CoverageCache::Entry::Row(int y, Span spans[kMaxRowSpans]) const {
  const size_t r = static_cast<size_t>(y - bounds_.top);
  const RowSpan& row = rows_[r];
  const uint8_t* const covers = covers_.data();
  const int left = bounds_.left;
  if (row.solidLen == 0) {
    spans[0] = {left + row.first, row.len, covers + row.at, 0};
    return row.len > 0 ? 1 : 0;
  }
  size_t n = 0;
  if (row.solid > row.first) {
    spans[n++] = {left + row.first, row.solid - row.first, covers + row.at, 0};
  }
  spans[n++] = {left + row.solid, row.solidLen, nullptr, row.solidCover};
  const int end = row.first + row.len, solidEnd = row.solid + row.solidLen;
  if (end > solidEnd) spans[n++] = {left + solidEnd, end - solidEnd, covers + row.tailAt, 0};
  return n;
}

void CoverageCache::Entry::BeginRows(int top, int bottom) {
  top = std::max(top, bounds_.top);
  bottom = std::min(bottom, bounds_.bottom);
  for (int y = top; y < bottom; ++y) {
    rows_[static_cast<size_t>(y - bounds_.top)] = RowSpan{.kept = true};
  }
}

void CoverageCache::Entry::KeepRow(int y, const Span* spans, size_t count) {
  if (y < bounds_.top || y >= bounds_.bottom || count == 0) return;
  RowSpan& row = rows_[static_cast<size_t>(y - bounds_.top)];
  const int from = spans[0].x, to = spans[count - 1].x + spans[count - 1].len;
  if (from < bounds_.left || to > bounds_.right) {  // not what the bounds promised: never kept
    row.kept = false;
    unusable_.store(true, std::memory_order_relaxed);
    return;
  }
  // The longest run of one coverage stays a run; the rest is kept as one span over the row's
  // spans, uncovered between them: painting an uncovered pixel changes nothing.
  const Span* solid = nullptr;
  int solids = 0;
  for (size_t s = 0; s < count; ++s) {
    if (spans[s].covers || spans[s].len < kMinSolid) continue;
    solids += spans[s].len;
    if (!solid || spans[s].len > solid->len) solid = &spans[s];
  }
  // The other inside runs would be painted pixel by pixel: where they are long, rasterising
  // the shape again costs less.
  if (solid && solids - solid->len > kOtherSolidPerSpan * static_cast<int>(count)) {
    row.kept = false;
    unusable_.store(true, std::memory_order_relaxed);
    return;
  }
  uint8_t* const out = covers_.data() + static_cast<size_t>(y - bounds_.top) * width_ +
                       (from - bounds_.left);
  if (count > 1) std::memset(out, 0, static_cast<size_t>(to - from));
  for (size_t s = 0; s < count; ++s) {
    uint8_t* const at = out + (spans[s].x - from);
    if (spans[s].covers) {
      std::memcpy(at, spans[s].covers, static_cast<size_t>(spans[s].len));
    } else if (&spans[s] != solid) {
      std::memset(at, spans[s].cover, static_cast<size_t>(spans[s].len));
    }
  }
  const int32_t rowAt = (y - bounds_.top) * width_ - bounds_.left;
  row = {rowAt + from,
         solid ? rowAt + solid->x + solid->len : 0,
         static_cast<int16_t>(from - bounds_.left),
         static_cast<int16_t>(to - from),
         static_cast<int16_t>(solid ? solid->x - bounds_.left : 0),
         static_cast<int16_t>(solid ? solid->len : 0),
         solid ? solid->cover : uint8_t{0},
         true};
}

CoverageCache::Entry* CoverageCache::Use(const Key& key) {
  Entry* entry = nullptr;
  // The entries a few fills ahead are fetched while this one is recorded.
  constexpr size_t kAhead = 8;
  if (nextUse_ + kAhead < lastOrder_.size()) {
    const char* ahead = reinterpret_cast<const char*>(lastOrder_[nextUse_ + kAhead]);
    __builtin_prefetch(ahead);
    __builtin_prefetch(ahead + 64);
  }
  if (nextUse_ < lastOrder_.size() && lastOrder_[nextUse_]->key_ == key) {
    entry = lastOrder_[nextUse_++];
  } else {
    auto it = entries_.find(key);
    if (it == entries_.end()) {
      if (seen_.empty()) {
        seen_.assign(kSeenBits / 64, 0);
        lastSeen_.assign(kSeenBits / 64, 0);
      }
      const size_t bit = KeyHash{}(key) & (kSeenBits - 1);
      const uint64_t mask = uint64_t{1} << (bit % 64);
      if (!(lastSeen_[bit / 64] & mask)) {
        seen_[bit / 64] |= mask;
        return nullptr;
      }
      if (entries_.size() >= kMaxEntries || bytes_ + kEntryBytes > kMaxBytes) return nullptr;
      it = entries_.emplace(key, std::make_unique<Entry>()).first;
      it->second->key_ = key;
      bytes_ += kEntryBytes;
      added_ = true;
    } else if (it->second->frame_ == frame_ - 1) {
      nextUse_ = it->second->lastIndex_ + 1;  // back in step with the last frame's order
    }
    entry = it->second.get();
  }
  if (entry->frame_ != frame_) {  // its first use this frame
    entry->frame_ = frame_;
    entry->lastIndex_ = order_.size();
    order_.push_back(entry);
  }
  return entry;
}

void CoverageCache::SetBounds(Entry& entry, const PixelBox& bounds, Point offset) {
  if (entry.width_ != 0 || entry.unusable_.load(std::memory_order_relaxed)) return;
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  // A row's pixels are counted in 16 bits.
  if (bounds.Empty() || width > std::numeric_limits<int16_t>::max() ||
      static_cast<int64_t>(width) * height > kMaxPixels) {
    entry.unusable_.store(true, std::memory_order_relaxed);
    return;
  }
  const size_t rowBytes = static_cast<size_t>(height) * (width + sizeof(Entry::RowSpan));
  // Full for now: entries packed meanwhile may make room for it in a later frame.
  if (bytes_ + rowBytes > kMaxBytes) return;
  entry.bounds_ = bounds;
  entry.offset_ = offset;
  entry.width_ = width;
  entry.rows_.assign(static_cast<size_t>(height), {});
  entry.covers_.assign(static_cast<size_t>(width) * height, 0);
  bytes_ += rowBytes;
}

void CoverageCache::EndFrame() {
  ++frame_;
  lastOrder_.swap(order_);
  order_.clear();
  nextUse_ = 0;
  lastSeen_.swap(seen_);
  std::fill(seen_.begin(), seen_.end(), 0);
  const bool added = added_;
  added_ = false;
  if (!added && bytes_ < kMaxBytes / 2 && entries_.size() < kMaxEntries / 2) return;
  const uint64_t last = frame_ - 1;
  for (auto it = entries_.begin(); it != entries_.end();) {
    const Entry& entry = *it->second;
    if (entry.frame_ != last) {
      bytes_ -= entry.Bytes();
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

void CoverageCache::Clear() {
  entries_.clear();
  order_.clear();
  lastOrder_.clear();
  nextUse_ = 0;
  std::fill(seen_.begin(), seen_.end(), 0);
  std::fill(lastSeen_.begin(), lastSeen_.end(), 0);
  bytes_ = 0;
}

}  // namespace swfplayer::render
