// A playing timeline: the root's, or one sprite instance's, with its own current frame and its
// display list. Every timeline advances one frame per tick and loops on its own; a jump to any
// frame rebuilds the display list as playing there would, keeping the objects that the
// target frame also has (same depth, same character) running.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "standin/flash/player/Characters.h"

namespace swfsaver::flash::player {

class Timeline;

// What the play state shares across all timelines of one movie.
struct PlayContext {
  const Dictionary& dictionary;
  size_t displayObjects = 0;  // on every display list together, kept under kMaxDisplayObjects
  uint64_t nextSerial = 1;
  size_t tagBudget;  // control tags left for this tick (kMaxTagsPerTick when it begins)
};

// What a placement sets; the part of an object that replaying tags reproduces.
struct Placement {
  uint16_t characterId = 0;
  render::Matrix matrix;
  render::ColorTransform colorTransform;
  uint16_t ratio = 0;
  std::string name;
  uint16_t clipDepth = 0;  // > 0: a mask over the depths above it up to this one
  bool operator==(const Placement&) const = default;
};

class DisplayObject {
 public:
  DisplayObject(PlayContext& context, Placement placement, int nesting);
  ~DisplayObject();
  DisplayObject(DisplayObject&& other) noexcept;
  DisplayObject& operator=(DisplayObject&&) = delete;

  const Placement& State() const { return placement_; }
  const Character* Definition() const { return character_; }
  // The sprite's own timeline; null for other characters and past kMaxSpriteNesting.
  Timeline* Sprite() const { return sprite_.get(); }
  uint64_t Serial() const { return serial_; }

  // Sets the placement; a new character id also brings a new character (a new sprite).
  void Update(const Placement& placement);

 private:
  void Instantiate();

  PlayContext* context_;
  Placement placement_;
  int nesting_;
  const Character* character_ = nullptr;
  std::unique_ptr<Timeline> sprite_;
  uint64_t serial_;
};

class Timeline {
 public:
  // Shows the first frame at once. nesting is 0 for the root.
  Timeline(const TimelineDefinition& definition, PlayContext& context, int nesting);

  int CurrentFrame() const { return current_; }
  int FrameCount() const { return definition_.frameCount; }
  const TimelineDefinition& Definition() const { return definition_; }
  const std::map<uint16_t, DisplayObject>& DisplayList() const { return list_; }

  // One tick: the next frame (the first after the last; a one-frame timeline stays), then one
  // tick for every sprite that was already on the list before this one.
  void Step();
  // Jumps to frame (clamped to the timeline) without stepping the sprites on it.
  void GotoFrame(int frame);

 private:
  void RunFrame(int frame);
  void Place(const format::PlaceObject& tag);
  void Rebuild(int frame);
  bool HasRoom() const;

  const TimelineDefinition& definition_;
  PlayContext& context_;
  int nesting_;
  int current_ = 0;
  std::map<uint16_t, DisplayObject> list_;
};

}  // namespace swfsaver::flash::player
