// An object's own properties: kept in the order they were added (for-in lists the newest
// first, as the Flash Player does), found by a hash of the case-folded name, so the same table
// serves the case-insensitive names of SWF 6 and before and the exact ones of SWF 7 on.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/avm1/String.h"

namespace swfplayer::avm1 {

// Property flags, numbered as ASSetPropFlags numbers them. The version flags hide a property
// from movies older (or, for kHiddenInSwf6, exactly as old) as they say.
namespace property_flags {
inline constexpr uint16_t kDontEnum = 1;
inline constexpr uint16_t kDontDelete = 2;
inline constexpr uint16_t kReadOnly = 4;
inline constexpr uint16_t kSwf6Up = 1 << 7;
inline constexpr uint16_t kHiddenInSwf6 = 1 << 8;
inline constexpr uint16_t kSwf7Up = 1 << 10;
inline constexpr uint16_t kSwf8Up = 1 << 12;
inline constexpr uint16_t kSwf9Up = 1 << 13;
inline constexpr uint16_t kSwf10Up = 1 << 14;
inline constexpr uint16_t kVersionMask = kSwf6Up | kHiddenInSwf6 | kSwf7Up | kSwf8Up | kSwf9Up | kSwf10Up;
// The usual flags of a built-in member.
inline constexpr uint16_t kHidden = kDontEnum | kDontDelete;
inline constexpr uint16_t kConstant = kDontEnum | kDontDelete | kReadOnly;
}  // namespace property_flags

// Whether a property with these flags exists for a movie of this version.
inline bool VisibleIn(uint16_t flags, uint8_t swfVersion) {
  using namespace property_flags;
  if ((flags & kVersionMask) == 0) return true;
  if ((flags & kSwf6Up) && swfVersion < 6) return false;
  if ((flags & kHiddenInSwf6) && swfVersion == 6) return false;
  if ((flags & kSwf7Up) && swfVersion < 7) return false;
  if ((flags & kSwf8Up) && swfVersion < 8) return false;
  if ((flags & kSwf9Up) && swfVersion < 9) return false;
  if ((flags & kSwf10Up) && swfVersion < 10) return false;
  return true;
}

struct Property {
  String* name = nullptr;  // null in a deleted slot
  Value value;             // the data, or (kAccessor) the getter and setter pair
  uint16_t flags = 0;
};

class PropertyMap {
 public:
  Property* Find(const String* name, bool caseSensitive) {
    // A name looked up again (a program's constant, a loop's variable) finds its entry at once;
    // the entry is checked to hold this very string, so a stale memory is only a miss.
    if (name->lookupMap_ == this && name->lookupEntry_ < entries_.size() &&
        entries_[name->lookupEntry_].name == name) {
      return &entries_[name->lookupEntry_];
    }
    return Search(name, caseSensitive);
  }
  const Property* Find(const String* name, bool caseSensitive) const {
    return const_cast<PropertyMap*>(this)->Find(name, caseSensitive);
  }
  // Adds a property that Find does not know (the caller checked).
  Property& Add(String* name, const Value& value, uint16_t flags);
  // Removes the property; the others keep their order.
  void Remove(Property* property);

  size_t Count() const { return live_; }
  // Bytes of storage held, for the heap's count.
  size_t Bytes() const { return entries_.capacity() * sizeof(Property) + slots_.capacity() * sizeof(uint32_t); }

  // Visits the live properties, the most recently added first.
  template <class Visit>
  void ForEachNewestFirst(Visit&& visit) {
    for (size_t i = entries_.size(); i-- > 0;) {
      if (entries_[i].name != nullptr) visit(entries_[i]);
    }
  }
  template <class Visit>
  void ForEach(Visit&& visit) {
    for (Property& property : entries_) {
      if (property.name != nullptr) visit(property);
    }
  }

  void Trace(Tracer& tracer) const;

 private:
  Property* Search(const String* name, bool caseSensitive);
  Property* Remember(const String* name, Property& property) {
    name->lookupMap_ = this;
    name->lookupEntry_ = static_cast<uint32_t>(&property - entries_.data());
    return &property;
  }
  void Rebuild();
  void Index(uint32_t entry);

  std::vector<Property> entries_;
  std::vector<uint32_t> slots_;  // open addressing: 0 empty, kTombstone, else entry index + 1
  size_t live_ = 0;
  size_t tombstones_ = 0;
};

}  // namespace swfplayer::avm1
