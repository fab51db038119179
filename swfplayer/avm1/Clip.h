// What the interpreter sees of the display: a movie clip (a sprite instance, the root, a clip a
// script made), reached only through this interface. The player's display objects implement
// it; the tests implement it with a small fake tree, so the language runs natively without a
// player. Names and labels are UTF-16, as ActionScript's strings are.
//
// Lifetime: the display owns its clips. A clip that leaves the display (removed by the
// timeline or by a script) is destroyed by it; ~Clip tells the interpreter, which then drops
// every reference it holds to the clip (a script's reference re-resolves by target path, as
// the Flash Player's does, or finds nothing).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/avm1/DrawCommand.h"
#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"

namespace swfplayer::format {
struct ActionProgram;
}

namespace swfplayer::avm1 {

class TextField;    // TextField.h
class StaticText;   // StaticText.h
class ClipBinding;  // the interpreter's side of a clip (its script object); opaque to the display

// The display properties a script reads and writes by index (GetProperty/SetProperty) or by
// name (`_x`, `_alpha`, ...). The numbering is the SWF format's.
enum class DisplayProperty : uint8_t {
  kX = 0,
  kY = 1,
  kXScale = 2,
  kYScale = 3,
  kCurrentFrame = 4,
  kTotalFrames = 5,
  kAlpha = 6,
  kVisible = 7,
  kWidth = 8,
  kHeight = 9,
  kRotation = 10,
  kTarget = 11,
  kFramesLoaded = 12,
  kName = 13,
  kDropTarget = 14,
  kUrl = 15,
  kHighQuality = 16,
  kFocusRect = 17,
  kSoundBufTime = 18,
  kQuality = 19,
  kXMouse = 20,
  kYMouse = 21,
};
inline constexpr int kDisplayPropertyCount = 22;

class Clip {
 public:
  Clip() = default;
  Clip(const Clip&) = delete;
  Clip& operator=(const Clip&) = delete;
  // Tells the interpreter (through the binding) that the clip is gone.
  virtual ~Clip();

  // --- identity and the tree ---
  virtual std::u16string Name() const = 0;
  virtual void SetName(std::u16string_view name) = 0;
  virtual Clip* Parent() const = 0;  // null for the root
  // ActionScript's depth: the timeline's depth minus 16384; scripts create clips at any depth.
  virtual int32_t Depth() const = 0;
  // The child with this instance name; without case before SWF 7, as scripts compare names.
  virtual Clip* ChildByName(std::u16string_view name, bool caseSensitive) const = 0;
  virtual Clip* ChildAtDepth(int32_t depth) const = 0;
  // The children in depth order (for-in over a clip lists their names too).
  virtual std::vector<Clip*> Children() const = 0;
  // Whether the clip is a movie clip (sprite, root, script-made); a button or a text field is
  // reached by name but answers fewer methods.
  virtual bool IsMovieClip() const = 0;

  // --- the timeline (frames count from 0 here; scripts see them from 1) ---
  virtual int CurrentFrame() const = 0;
  virtual int TotalFrames() const = 0;
  virtual int FramesLoaded() const = 0;
  // getBytesLoaded and getBytesTotal: the whole file is loaded, so both answer this (the
  // movie's length in bytes; a sprite answers its definition's).
  virtual uint32_t BytesTotal() const = 0;
  virtual bool Playing() const = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Jumps (clamped to the timeline), then plays or stops; the frame's scripts run as the
  // player orders them.
  virtual void GotoFrame(int frame, bool play) = 0;
  // The frame of a label (without case), or nothing.
  virtual std::optional<int> FrameOfLabel(std::u16string_view label) const = 0;
  // The DoAction blocks of a frame, in the order they stand: the Call action (and `call()`)
  // runs them on this clip without moving its timeline.
  virtual std::vector<std::shared_ptr<const format::ActionProgram>> FrameScripts(int frame) const = 0;

  // --- display properties ---
  // Numbers in script units (_x in pixels, _alpha in percent, _rotation in degrees, _visible
  // as 0 or 1). The string ones (_url, _droptarget, _quality) are answered by StringProperty;
  // the interpreter answers _name, _target and the frame properties itself from the methods
  // above.
  virtual double NumberProperty(DisplayProperty property) const = 0;
  virtual std::u16string StringProperty(DisplayProperty property) const = 0;
  // Sets a property from a script; the clip then no longer follows the timeline's later moves
  // of its depth. Values are already converted (NaN where the script gave no number) and the
  // clip applies the Flash Player's rules (a NaN position is ignored, and so on).
  virtual void SetNumberProperty(DisplayProperty property, double value) = 0;
  virtual void SetStringProperty(DisplayProperty property, std::u16string_view value) = 0;
  virtual Matrix GetMatrix() const = 0;
  virtual void SetMatrix(const Matrix& matrix) = 0;
  virtual ColorTransform GetColorTransform() const = 0;
  virtual void SetColorTransform(const ColorTransform& transform) = 0;
  // Filters, blend mode and the cached-bitmap flag (SWF 8's `filters`, `blendMode` and
  // `cacheAsBitmap`): what the clip is drawn with, whether the timeline or a script set it.
  // Clips that cannot draw effects answer none and ignore them.
  virtual DisplayEffects GetEffects() const { return {}; }
  virtual void SetEffects(const DisplayEffects&) {}

  // --- clips made and removed by scripts ---
  // Each returns the new clip, or null when it cannot be made (no such export name, a depth
  // out of range, a bound reached). The new clip is placed at once; its own scripts run as
  // the player orders them. For a clip attachMovie makes, the interpreter itself copies the
  // init object and runs the class registered for the export name, in that order, once
  // AttachClip returns (the player does not call Vm::ConstructClip for it).
  virtual Clip* DuplicateClip(std::u16string_view newName, int32_t depth) = 0;
  virtual Clip* AttachClip(std::u16string_view exportName, std::u16string_view newName,
                           int32_t depth) = 0;
  virtual Clip* CreateEmptyClip(std::u16string_view newName, int32_t depth) = 0;
  // Removes the clip where the Flash Player would (a depth scripts may use); false otherwise.
  virtual bool RemoveClip() = 0;
  // Swaps with the clip at depth (or moves there when the depth is free).
  virtual void SwapDepths(int32_t depth) = 0;
  virtual int32_t NextHighestDepth() const = 0;

  // --- geometry, in the clip's own coordinates (twips) ---
  virtual TwipsRect Bounds() const = 0;  // of everything drawn in it, children included
  // The box around the same, each part taken through matrix (from the clip's coordinates);
  // every edge at 0x7FFFFFF twips when it draws nothing.
  virtual TwipsRect BoundsIn(const Matrix& matrix) const = 0;
  virtual Matrix ConcatenatedMatrix() const = 0;  // to the root's coordinates
  virtual bool HitTestPoint(Point rootTwips, bool shapeFlag) const = 0;

  // --- the drawing API: the clip's own shape, drawn under its children ---
  virtual void Draw(const DrawCommand& command) = 0;
  // setMask: the clip shows only where mask draws (null: unmasked); a mask is not drawn itself.
  virtual void SetMask(Clip* mask) = 0;
  // --- bitmaps ---
  // attachBitmap: shows bitmap at depth in this clip (what is there goes), under the clip's
  // matrix like a child. The pixels are shared, not copied: later changes show on the next
  // frame, and an emptied (disposed) bitmap shows nothing.
  enum class PixelSnapping : uint8_t { kAuto, kAlways, kNever };
  virtual void AttachBitmap(std::shared_ptr<const Bitmap> /*bitmap*/, int32_t /*depth*/, PixelSnapping /*snapping*/,
                            bool /*smoothing*/) {}
  // --- text fields ---
  // A text field's own side; null for every other kind of clip.
  virtual TextField* AsTextField() { return nullptr; }
  // createTextField: an empty text field at depth (what is there goes), at (x, y), width by
  // height pixels; null where none can be made.
  virtual Clip* CreateTextField(std::u16string_view, int32_t, double, double, double, double) { return nullptr; }
  // --- static text ---
  // The static texts on the clip's own display list, in depth order (TextSnapshot). Nothing
  // when it has none to give: it is no movie clip, or duplicateMovieClip handed its texts to
  // the copy, as the Flash Player does (the original then answers nothing).
  virtual std::optional<std::vector<std::shared_ptr<StaticText>>> StaticTexts() { return std::nullopt; }

  // The interpreter's side of this clip; the display keeps it and never looks into it.
  ClipBinding* binding = nullptr;
  // Tells the interpreter's side that the clip is gone before it is freed (a removed clip the
  // display keeps a little longer): its references look for another clip at its path.
  void ReleaseBinding();
};

}  // namespace swfplayer::avm1
