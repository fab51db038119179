// The object behind a flash.display.BitmapData. Its pixels live in a Bitmap that whatever
// shows them shares (a clip's attachBitmap, a drawing's bitmap fill), so a change a script
// makes shows on the next frame without a copy; dispose empties the shared bitmap, and what
// showed it shows nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "swfplayer/avm1/Object.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::avm1 {

class BitmapDataObject final : public Object {
 public:
  explicit BitmapDataObject(Value proto) : Object(proto, ObjectClass::kBitmapData) {}
  bool Valid() const { return bitmap && bitmap->width > 0; }
  int32_t Width() const { return Valid() ? bitmap->width : 0; }
  int32_t Height() const { return Valid() ? bitmap->height : 0; }
  bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
  uint32_t& At(int32_t x, int32_t y) { return bitmap->pixels[static_cast<size_t>(y) * bitmap->width + x]; }
  // After every change of the pixels: what renderers kept of the old ones is stale.
  void Changed() {
    if (bitmap) bitmap->generation = NewBitmapGeneration();
  }

  std::shared_ptr<Bitmap> bitmap;  // null until made; emptied (0 x 0) by dispose
  bool transparent = true;
  bool kept = false;  // on the list KeepWhileShown keeps
};

// The display now shares this bitmap's pixels: the object (and with it the heap's count of
// its pixels) lives while anything outside the interpreter still holds them, so that bitmaps
// a script lets go of while they are shown stay within the heap's bound.
void KeepWhileShown(VmImpl& vm, BitmapDataObject& bitmap);

// The live BitmapData a value holds (made and not disposed), else null.
BitmapDataObject* LiveBitmapData(const Value& value);

// ARGB as a script gives it to premultiplied storage (rounded), and back (truncated): the
// Flash Player's own round trip.
uint32_t PremultiplyArgb(uint32_t argb, bool transparent);
uint32_t UnpremultiplyArgb(uint32_t stored);

// A flash.geom.ColorTransform's eight fields (offsets in 0..255 units), identity when given is
// null. A field that is not a finite number leaves its channel as it is (multiplier 1, offset
// 0), and huge ones are held where they saturate anyway.
ColorTransform ReadColorTransform(VmImpl& vm, Object* given);

// draw, applyFilter and loadBitmap (BitmapDataDraw.cpp), on BitmapData's prototype and constructor.
void InstallBitmapDataDraw(VmImpl& vm, Object* prototype, Object* constructor);
// colorTransform, scroll, floodFill, threshold (BitmapDataOps.cpp); noise and perlinNoise
// (BitmapDataNoise.cpp).
void InstallBitmapDataOps(VmImpl& vm, Object* prototype);
void InstallBitmapDataNoise(VmImpl& vm, Object* prototype);

}  // namespace swfplayer::avm1
