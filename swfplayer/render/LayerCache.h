// The drawn layers a canvas keeps from frame to frame, under the key of everything that
// decides their pixels (what was drawn in them, relative to their origin, and their filters):
// an object that does not change, or only moves by whole pixels, is composited from here
// without being drawn again.
//
// Memory: at most kMaxBytes of pixels, the layers of the frame being drawn among them. A new
// layer makes room by dropping the least recently used ones that the frame does not use; a
// layer unused for kMaxIdleFrames frames is dropped as well, so memory is given back once a
// movie stops using its layers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace swfplayer::render {

struct CachedLayer {
  std::vector<uint32_t> pixels;  // premultiplied, width x height
  int width = 0, height = 0;
  int left = 0, top = 0;  // pixel (0, 0) relative to the layer's origin
  uint64_t lastUsed = 0;  // the frame
};

class LayerCache {
 public:
  static constexpr size_t kMaxBytes = size_t{192} << 20;
  static constexpr uint64_t kMaxIdleFrames = 120;

  // A new frame: the frame's layers are those found or added from now on.
  void BeginFrame();
  uint64_t Frame() const { return frame_; }

  // The layer under key, marked as used by this frame; null when there is none.
  CachedLayer* Find(uint64_t key);
  // Room for a new layer of width x height under key (replacing one there), dropping the
  // least recently used layers that this frame does not use; null when even that does not make
  // room (callers keep their frame within kMaxBytes: see Reserve).
  CachedLayer* Add(uint64_t key, int width, int height, int left, int top);

  // The frame's bookkeeping of what it may still add: Reserve takes bytes from what is left
  // for this frame (false when there are not that many), Release gives them back.
  bool Reserve(size_t bytes);
  void Release(size_t bytes);

  size_t Bytes() const { return bytes_; }
  size_t Count() const { return entries_.size(); }
  void Clear();

 private:
  void Drop(std::unordered_map<uint64_t, std::unique_ptr<CachedLayer>>::iterator it);

  std::unordered_map<uint64_t, std::unique_ptr<CachedLayer>> entries_;
  size_t bytes_ = 0;
  size_t reserved_ = 0;  // by this frame's layers
  uint64_t frame_ = 0;
};

}  // namespace swfplayer::render
