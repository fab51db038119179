// One object on a display list: a shape, text, tween, bitmap, button or sprite placed by a
// timeline or made by a script, with the properties a script can set (position, scale,
// rotation, alpha, visibility, colour transform, name). Once a script has set one of them, the
// timeline's later moves of the depth no longer touch it, as in the Flash Player. A sprite, a
// button and the root carry a Timeline of their own.
//
// Every object is a Clip to the script engine; those that are not movie clips answer the
// movie-clip questions as nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swfplayer/avm1/Clip.h"
#include "swfplayer/player/Characters.h"
#include "swfplayer/player/EditTextInstance.h"
#include "swfplayer/player/StaticTexts.h"
#include "swfplayer/types/Effects.h"

namespace swfplayer::player {

class Drawing;
class PlayContext;
class Timeline;

// Depths: the timeline's are 1 to 65535; ActionScript sees every depth 16384 lower, and scripts
// make clips at any depth they name.
inline constexpr int32_t kScriptDepthOffset = 16384;

class DisplayObject final : public avm1::Clip {
 public:
  // An instance of a character; depth is the timeline's depth (ActionScript's + 16384).
  DisplayObject(PlayContext& context, DisplayObject* parent, int32_t depth, uint16_t characterId);
  // A movie clip of no character: the root (parent null) or an empty clip a script made.
  DisplayObject(PlayContext& context, DisplayObject* parent, int32_t depth,
                const TimelineDefinition& timeline);
  ~DisplayObject() override;

  // --- what it is ---
  uint16_t CharacterId() const { return characterId_; }
  const Character* Definition() const { return character_; }
  uint64_t Serial() const { return serial_; }
  DisplayObject* ParentObject() const { return parent_; }
  // The timeline of a sprite, of a button's up state, or of the root; null for other
  // characters and past the nesting bound.
  Timeline* Sprite() const { return timeline_.get(); }
  // A text field's state (null for other characters).
  EditTextInstance* EditText() const { return editText_.get(); }
  bool IsRoot() const { return parent_ == nullptr; }
  int32_t TimelineDepth() const { return depth_; }
  void SetTimelineDepth(int32_t depth) { depth_ = depth; }
  PlayContext& Context() const { return *context_; }

  // --- what the renderer draws ---
  const Matrix& LocalMatrix() const { return matrix_; }
  const ColorTransform& LocalColorTransform() const { return colorTransform_; }
  uint16_t Ratio() const { return ratio_; }
  int32_t ClipDepth() const { return clipDepth_; }
  bool Visible() const { return visible_; }
  // Filters, blend mode, cached as a bitmap.
  const DisplayEffects& Effects() const { return effects_; }

  // --- the timeline's hold on it ---
  // Applies a PlaceObject that moves this object (or places it anew): the matrix, colour
  // transform and ratio only while no script has set a display property.
  void ApplyPlacement(const Placement& placement);
  // Replaces the character (PlaceObject with a move and a new id); a sprite gets a new
  // timeline.
  void ReplaceCharacter(uint16_t characterId);
  bool PlacedByScript() const { return placedByScript_; }
  void SetPlacedByScript() { placedByScript_ = true; }
  bool TransformedByScript() const { return transformedByScript_; }
  // The frame of the parent's timeline that placed it: a backward goto keeps the objects
  // placed at or before the frame it lands on.
  int PlaceFrame() const { return placeFrame_; }
  void SetPlaceFrame(int frame) { placeFrame_ = frame; }

  // --- events and scripts ---
  const std::vector<ClipAction>* ClipActions() const { return clipActions_.get(); }
  void SetClipActions(std::shared_ptr<const std::vector<ClipAction>> actions) { clipActions_ = std::move(actions); }
  // The export name it was attached by (attachMovie), for its registered class.
  const std::u16string& ExportName() const { return exportName_; }
  void SetExportName(std::u16string name) { exportName_ = std::move(name); }
  bool Initialized() const { return initialized_; }
  void SetInitialized() { initialized_ = true; }
  // Removed from the display (by the timeline or a script): it stays in memory until the tick
  // ends, answering nothing, so that the tick's bookkeeping never meets a freed object.
  bool Removed() const { return removed_; }
  void MarkRemoved();

  // The list of movie clips in the order their frames run each tick (newest first), kept by
  // PlayContext.
  DisplayObject* execNext = nullptr;
  DisplayObject* execPrev = nullptr;
  bool inExecList = false;

  // --- avm1::Clip ---
  std::u16string Name() const override { return name_; }
  void SetName(std::u16string_view name) override { name_ = name; }
  Clip* Parent() const override { return parent_; }
  int32_t Depth() const override { return depth_ - kScriptDepthOffset; }
  Clip* ChildByName(std::u16string_view name, bool caseSensitive) const override;
  Clip* ChildAtDepth(int32_t depth) const override;
  std::vector<Clip*> Children() const override;
  bool IsMovieClip() const override;
  int CurrentFrame() const override;
  int TotalFrames() const override;
  int FramesLoaded() const override { return TotalFrames(); }
  uint32_t BytesTotal() const override;
  bool Playing() const override;
  void Play() override;
  void Stop() override;
  void GotoFrame(int frame, bool play) override;
  std::optional<int> FrameOfLabel(std::u16string_view label) const override;
  std::vector<std::shared_ptr<const format::ActionProgram>> FrameScripts(int frame) const override;
  double NumberProperty(avm1::DisplayProperty property) const override;
  std::u16string StringProperty(avm1::DisplayProperty property) const override;
  void SetNumberProperty(avm1::DisplayProperty property, double value) override;
  void SetStringProperty(avm1::DisplayProperty property, std::u16string_view value) override;
  Matrix GetMatrix() const override { return matrix_; }
  void SetMatrix(const Matrix& matrix) override;
  ColorTransform GetColorTransform() const override { return colorTransform_; }
  void SetColorTransform(const ColorTransform& transform) override;
  DisplayEffects GetEffects() const override { return effects_; }
  void SetEffects(const DisplayEffects& effects) override { effects_ = effects; }
  Clip* DuplicateClip(std::u16string_view newName, int32_t depth) override;
  Clip* AttachClip(std::u16string_view exportName, std::u16string_view newName, int32_t depth) override;
  Clip* CreateEmptyClip(std::u16string_view newName, int32_t depth) override;
  bool RemoveClip() override;
  void SwapDepths(int32_t depth) override;
  int32_t NextHighestDepth() const override;
  TwipsRect Bounds() const override;
  Matrix ConcatenatedMatrix() const override;
  bool HitTestPoint(Point rootTwips, bool shapeFlag) const override;
  void Draw(const avm1::DrawCommand& command) override;
  // What the drawing API drew in it (null when nothing), drawn under its children.
  const Drawing* Drawn() const { return drawing_.get(); }
  void SetMask(avm1::Clip* mask) override;
  // The clip a script masks this one with, and the one this masks (each null when none).
  const DisplayObject* Mask() const { return mask_; }
  const DisplayObject* MaskOf() const { return maskOf_; }
  // What attachBitmap shows: a bitmap's pixels (shared with the script's BitmapData), from
  // (0, 0) one stage pixel each, under this object's matrix.
  struct AttachedBitmap {
    std::shared_ptr<const Bitmap> bitmap;
    PixelSnapping snapping = PixelSnapping::kAuto;
    bool smoothing = false;
  };
  const AttachedBitmap* Attached() const { return attached_.get(); }
  void AttachBitmap(std::shared_ptr<const Bitmap> bitmap, int32_t depth, PixelSnapping snapping,
                    bool smoothing) override;
  avm1::TextField* AsTextField() override { return editText_.get(); }
  Clip* CreateTextField(std::u16string_view name, int32_t depth, double x, double y, double width,
                        double height) override;
  std::optional<std::vector<std::shared_ptr<avm1::StaticText>>> StaticTexts() override;
  // A static text's side for scripts (StaticTexts.cpp), once a snapshot found it; else null.
  const avm1::StaticText* ScriptStaticText() const { return staticText_.get(); }

  // The path scripts name it by: "_level0.a.b" (dots) or "/a/b" (slashes).
  std::u16string TargetPath(bool slashes) const;
  // The box around what it draws, children included, through matrix (twips); Clip::Bounds'
  // marker of no bounds when it draws nothing.
  TwipsRect BoundsIn(const Matrix& matrix) const override;

 private:
  void Instantiate();
  // Makes this object the text field of character (a tag's, or a script's made anew).
  void MakeTextField(const EditTextCharacter& character);
  // The scale, rotation and skew a script reads and writes, kept apart from the matrix so
  // that setting one does not drift the others (as the Flash Player keeps them).
  struct Decomposed {
    double xScale = 1, yScale = 1, rotation = 0, skew = 0;  // rotation and skew in radians
  };
  const Decomposed& Decomposition() const;
  void Recompose();
  void SetSize(bool width, double value);
  void TouchedByScript() { transformedByScript_ = true; }
  void DropStaticText();

  PlayContext* context_;
  DisplayObject* parent_;
  int32_t depth_;
  uint16_t characterId_;
  const Character* character_ = nullptr;
  std::unique_ptr<Timeline> timeline_;
  std::unique_ptr<EditTextInstance> editText_;
  uint64_t serial_;
  std::u16string name_;
  std::u16string exportName_;
  Matrix matrix_;
  ColorTransform colorTransform_;
  uint16_t ratio_ = 0;
  int32_t clipDepth_ = 0;
  bool visible_ = true;
  DisplayEffects effects_;
  bool placedByScript_ = false;
  bool transformedByScript_ = false;
  bool initialized_ = false;
  bool movieClip_ = false;
  bool removed_ = false;
  int placeFrame_ = 0;
  mutable std::optional<Decomposed> decomposed_;
  std::shared_ptr<const std::vector<ClipAction>> clipActions_;
  std::unique_ptr<Drawing> drawing_;
  std::unique_ptr<AttachedBitmap> attached_;
  std::shared_ptr<DisplayStaticText> staticText_;
  // duplicateMovieClip handed this clip's static texts to the copy: snapshots find none here.
  bool staticTextsGiven_ = false;
  DisplayObject* mask_ = nullptr;    // both ends of a setMask link, cleared when either goes
  DisplayObject* maskOf_ = nullptr;
};

// Whether a point (root coordinates, twips) falls on what object draws, its children
// included: fills and lines rather than boxes (hitTest with its shape flag).
bool HitsShapes(const DisplayObject& object, Point rootTwips);

}  // namespace swfplayer::player
