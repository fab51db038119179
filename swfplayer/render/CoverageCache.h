// The coverage of fills and strokes that stay where they are, kept from frame to frame. A
// picture of thousands of shapes (a traced photograph) that is drawn again, because something
// moved over it or its colours changed, is then painted from the kept rows instead of being
// outlined and rasterised again; the rows are the ones the rasteriser gave, so the pixels are
// the same.
//
// A shape's coverage depends on its path, its whole matrix (translation and all: points are
// rounded after it is added), its fill rule or stroke style, the quality and the canvas's size,
// which is its clip. The canvas keys entries by the first three and clears the cache when the
// others change. Only shapes drawn straight onto the canvas are kept: a layer's have another
// clip.
//
// Threads: entries are made, looked up, packed and dropped on the recording thread. While the
// bands are drawn, an entry that is complete is only read; each row of one that is not is
// written and read only by the band that owns the row.
//
// Memory: at most kMaxBytes of rows and kMaxEntries entries (a shape that finds no room waits
// for the entries being kept to be packed). Entries are made only for shapes drawn the same in
// two frames running, so a movie whose shapes move every frame keeps none. After a frame that
// made entries, or past half of either bound, the entries the frame did not use are dropped.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::render {

class CoverageCache {
 public:
  static constexpr size_t kMaxBytes = size_t{24} << 20;
  static constexpr size_t kMaxEntries = size_t{1} << 16;
  // The largest shape kept, in pixels of its bounds: a byte each until its rows are packed.
  static constexpr int kMaxPixels = 1 << 20;
  // Spans a kept row gives at most: coverage, the longest run of one coverage, coverage.
  static constexpr size_t kMaxRowSpans = 3;

  struct Key {
    uint64_t path;
    double a, b, c, d, tx, ty;
    FillRule rule;
    // A stroke's style: its caps, join and flags with bit 31 set; 0 for a fill.
    uint32_t kind = 0;
    double width = 0, miterLimit = 0;
    bool operator==(const Key&) const = default;
  };

  class Entry {
   public:
    // False until SetBounds, and for good when the shape is too big or off the canvas.
    bool Usable() const { return width_ > 0 && !unusable_.load(std::memory_order_relaxed); }
    const PixelBox& Bounds() const { return bounds_; }
    Point Offset() const { return offset_; }
    // Every row is kept (CoverageCache::CheckComplete); once true, rows do not change.
    bool Complete() const { return complete_; }
    // Whether the rows [top, bottom) are all kept: a band may ask of its own rows.
    bool Kept(int top, int bottom) const;
    // The spans of a kept row, into spans; returns how many.
    size_t Row(int y, Span spans[kMaxRowSpans]) const;
    // Keeps the rows [top, bottom) of the shape as the rasteriser gives them (Row calls for
    // the rows with coverage); the band's own rows only.
    void BeginRows(int top, int bottom);
    void KeepRow(int y, const Span* spans, size_t count);

   private:
    friend class CoverageCache;
    // Pixels [first, first + len) from bounds_.left, their coverage in covers_ from at but
    // for a run of one coverage (the shape's inside, painted faster as such) at [solid, solid
    // + solidLen), the coverage after which is at tailAt.
    struct RowSpan {
      int32_t at = 0, tailAt = 0;
      int16_t first = 0, len = 0;
      int16_t solid = 0, solidLen = 0;
      uint8_t solidCover = 0;
      bool kept = false;
    };
    size_t Bytes() const;
    Key key_{};
    size_t lastIndex_ = 0;  // in the order the last frame used entries
    PixelBox bounds_;
    Point offset_;
    int width_ = 0;
    bool complete_ = false;
    std::atomic<bool> unusable_{false};
    uint64_t frame_ = 0;
    std::vector<RowSpan> rows_;
    // A row of width_ per row of bounds_ while rows are kept; once complete, only the
    // coverage the rows give, one after the other.
    std::vector<uint8_t> covers_;
  };

  // The entry for key, made (not yet usable) when there is none and the last frame drew the
  // same shape too (a shape that moves every frame is never kept); else null, as when the
  // cache is full. A frame that uses the entries in the last one's order finds each without a
  // look-up.
  Entry* Use(const Key& key);
  // Sets up a new entry for the fill's pixel bounds and outline offset (as the outline gave
  // them); a shape too big, or touching no pixel, is never kept.
  void SetBounds(Entry& entry, const PixelBox& bounds, Point offset);
  // Whether every row of entry is kept; on the recording thread, while no band draws. The
  // first time it is, the rows' coverage is packed.
  bool CheckComplete(Entry& entry);
  void EndFrame();
  void Clear();

  size_t Entries() const { return entries_.size(); }
  size_t Bytes() const { return bytes_; }

 private:
  struct KeyHash {
    size_t operator()(const Key& key) const;
  };

  uint64_t frame_ = 1;
  size_t bytes_ = 0;
  std::vector<Entry*> order_, lastOrder_;  // the entries this and the last frame used
  size_t nextUse_ = 0;                     // in lastOrder_
  // The keys this and the last frame found no entry for, a bit each by their hash (two keys
  // may share one: an entry is then made a frame early).
  std::vector<uint64_t> seen_, lastSeen_;
  bool added_ = false;
  std::unordered_map<Key, std::unique_ptr<Entry>, KeyHash> entries_;
};

}  // namespace swfplayer::render
