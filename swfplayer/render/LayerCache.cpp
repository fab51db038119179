#include "swfplayer/render/LayerCache.h"

#include <algorithm>

namespace swfplayer::render {
namespace {

size_t BytesOf(const CachedLayer& layer) { return layer.pixels.size() * sizeof(uint32_t); }

}  // namespace

void LayerCache::BeginFrame() {
  ++frame_;
  reserved_ = 0;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (frame_ - it->second->lastUsed > kMaxIdleFrames) {
      auto next = std::next(it);
      Drop(it);
      it = next;
    } else {
      ++it;
    }
  }
}

void LayerCache::Drop(std::unordered_map<uint64_t, std::unique_ptr<CachedLayer>>::iterator it) {
  bytes_ -= BytesOf(*it->second);
  entries_.erase(it);
}

CachedLayer* LayerCache::Find(uint64_t key) {
  const auto found = entries_.find(key);
  if (found == entries_.end()) return nullptr;
  found->second->lastUsed = frame_;
  return found->second.get();
}

CachedLayer* LayerCache::Add(uint64_t key, int width, int height, int left, int top) {
  if (const auto old = entries_.find(key); old != entries_.end()) Drop(old);
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t);
  while (bytes_ + bytes > kMaxBytes) {
    // The least recently used layer that this frame does not draw.
    auto oldest = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->second->lastUsed == frame_) continue;
      if (oldest == entries_.end() || it->second->lastUsed < oldest->second->lastUsed) oldest = it;
    }
    if (oldest == entries_.end()) return nullptr;
    Drop(oldest);
  }
  auto layer = std::make_unique<CachedLayer>();
  layer->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  layer->width = width;
  layer->height = height;
  layer->left = left;
  layer->top = top;
  layer->lastUsed = frame_;
  bytes_ += bytes;
  CachedLayer* result = layer.get();
  entries_.emplace(key, std::move(layer));
  return result;
}

bool LayerCache::Reserve(size_t bytes) {
  if (bytes > kMaxBytes - reserved_) return false;
  reserved_ += bytes;
  return true;
}

void LayerCache::Release(size_t bytes) { reserved_ -= std::min(bytes, reserved_); }

void LayerCache::Clear() {
  entries_.clear();
  bytes_ = 0;
  reserved_ = 0;
}

}  // namespace swfplayer::render
