#include "swfplayer/avm1/PropertyMap.h"

#include <algorithm>

namespace swfplayer::avm1 {

namespace {
// Up to this many slots in use, a lookup scans them: faster than hashing for small objects.
constexpr size_t kLinearLimit = 8;
constexpr uint32_t kTombstone = 0xFFFFFFFFu;
}  // namespace

Property* PropertyMap::Search(const String* name, bool caseSensitive) {
  if (slots_.empty()) {
    for (Property& property : entries_) {
      if (property.name != nullptr && property.name->SameName(*name, caseSensitive)) return Remember(name, property);
    }
    return nullptr;
  }
  const size_t mask = slots_.size() - 1;
  for (size_t slot = name->Hash() & mask;; slot = (slot + 1) & mask) {
    const uint32_t entry = slots_[slot];
    if (entry == 0) return nullptr;
    if (entry == kTombstone) continue;
    Property& property = entries_[entry - 1];
    if (property.name->SameName(*name, caseSensitive)) return Remember(name, property);
  }
}

Property& PropertyMap::Add(String* name, const Value& value, uint16_t flags) {
  entries_.push_back(Property{name, value, flags});
  ++live_;
  if (!slots_.empty() || entries_.size() > kLinearLimit) {
    // Keep the table at most half full, tombstones counted.
    if ((live_ + tombstones_) * 2 > slots_.size()) {
      Rebuild();
    } else {
      Index(static_cast<uint32_t>(entries_.size() - 1));
    }
  }
  return entries_.back();
}

void PropertyMap::Index(uint32_t entry) {
  const size_t mask = slots_.size() - 1;
  size_t slot = entries_[entry].name->Hash() & mask;
  while (slots_[slot] != 0 && slots_[slot] != kTombstone) slot = (slot + 1) & mask;
  if (slots_[slot] == kTombstone) --tombstones_;
  slots_[slot] = entry + 1;
}

void PropertyMap::Rebuild() {
  // Drop the deleted entries, keeping the order of the rest.
  if (live_ != entries_.size()) {
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [](const Property& p) { return p.name == nullptr; }),
                   entries_.end());
  }
  tombstones_ = 0;
  if (entries_.size() <= kLinearLimit) {
    slots_.clear();
    slots_.shrink_to_fit();
    return;
  }
  size_t size = 16;
  while (size < entries_.size() * 2 + 2) size *= 2;
  slots_.assign(size, 0);
  for (uint32_t i = 0; i < entries_.size(); ++i) Index(i);
}

void PropertyMap::Remove(Property* property) {
  const auto entry = static_cast<uint32_t>(property - entries_.data());
  if (!slots_.empty()) {
    const size_t mask = slots_.size() - 1;
    for (size_t slot = property->name->Hash() & mask;; slot = (slot + 1) & mask) {
      if (slots_[slot] == entry + 1) {
        slots_[slot] = kTombstone;
        ++tombstones_;
        break;
      }
    }
  }
  property->name = nullptr;
  property->value = Value();
  --live_;
  // The last entry can go at once; many deleted ones are compacted away.
  if (entry + 1 == entries_.size() && slots_.empty()) {
    entries_.pop_back();
  } else if (entries_.size() - live_ > std::max(live_, kLinearLimit)) {
    Rebuild();
  }
}

void PropertyMap::Trace(Tracer& tracer) const {
  for (const Property& property : entries_) {
    if (property.name == nullptr) continue;
    tracer.Mark(property.name);
    tracer.Mark(property.value);
  }
}

}  // namespace swfplayer::avm1
