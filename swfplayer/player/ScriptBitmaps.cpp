// Bitmaps scripts show: attachBitmap puts an object at a depth of the clip whose only content
// is the BitmapData's shared pixels, made and removed like the clips scripts make.
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

// The depths scripts may make objects at (as ScriptClips.cpp bounds them).
constexpr int64_t kMaxDepth = 2'130'706'428;

}  // namespace

void DisplayObject::AttachBitmap(std::shared_ptr<const Bitmap> bitmap, int32_t depth, PixelSnapping snapping,
                                 bool smoothing) {
  const int64_t at = int64_t{depth} + kScriptDepthOffset;
  if (at < 0 || at > kMaxDepth || !timeline_ || removed_ || !IsMovieClip() || !bitmap) return;
  DisplayObject* made = timeline_->AddScriptChild(static_cast<int32_t>(at), 0, std::u16string(), nullptr,
                                                  nullptr, nullptr);
  if (made) made->attached_ = std::make_unique<AttachedBitmap>(AttachedBitmap{std::move(bitmap), snapping, smoothing});
}

}  // namespace swfplayer::player
