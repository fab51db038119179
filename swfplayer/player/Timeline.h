// A playing timeline: the root's, one sprite instance's, or a button's up state, with its own
// current frame, play state and display list. A playing timeline advances one frame per tick
// and loops on its own; a stopped one stays on its frame while the sprites on it go on. A jump
// to any frame rebuilds the display list as playing there would, keeping the objects that the
// target frame also has (same depth, same character) running. Entering a frame makes its
// actions due; Player runs them (FrameActions.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "swfplayer/player/Characters.h"
#include "swfplayer/player/EditTextInstance.h"

namespace swfplayer::player {

class Timeline;
class SoundScheduler;

// What the play state shares across all timelines of one movie.
struct PlayContext {
  explicit PlayContext(const Dictionary& dictionary) : dictionary(dictionary) {}

  const Dictionary& dictionary;
  size_t displayObjects = 0;  // on every display list together, kept under kMaxDisplayObjects
  uint64_t nextSerial = 1;
  size_t tagBudget = 0;     // control tags and frames left for this tick (kMaxTagsPerTick)
  size_t actionBudget = 0;  // actions left for this tick (kMaxActionsPerTick)
  // Every timeline alive, by its serial: actions name timelines by serial, so one that a goto
  // removed is never reached through a stale pointer.
  std::unordered_map<uint64_t, Timeline*> timelines;
  // Told of every frame a timeline enters and of every timeline that goes; null: no sound.
  SoundScheduler* sound = nullptr;
  // Text fields' fonts: the system's, and the movie's embedded ones (null: none).
  text::DeviceFonts* deviceFonts = nullptr;
  const text::EmbeddedFonts* embeddedFonts = nullptr;

  Timeline* FindTimeline(uint64_t serial) const {
    const auto found = timelines.find(serial);
    return found == timelines.end() ? nullptr : found->second;
  }
};

// What a placement sets; the part of an object that replaying tags reproduces.
struct Placement {
  uint16_t characterId = 0;
  Matrix matrix;
  ColorTransform colorTransform;
  uint16_t ratio = 0;  // a tween's position, 0 (start) to 65535 (end)
  std::string name;
  uint16_t clipDepth = 0;  // > 0: a mask over the depths above it up to this one
  bool operator==(const Placement&) const = default;
};

class DisplayObject {
 public:
  DisplayObject(PlayContext& context, Placement placement, Timeline& owner);
  ~DisplayObject();
  DisplayObject(DisplayObject&& other) noexcept;
  DisplayObject& operator=(DisplayObject&&) = delete;

  const Placement& State() const { return placement_; }
  const Character* Definition() const { return character_; }
  // The timeline of a sprite or of a button's up state; null for other characters and past
  // kMaxSpriteNesting.
  Timeline* Sprite() const { return sprite_.get(); }
  // A text field's state (null for other characters).
  EditTextInstance* EditText() const { return editText_.get(); }
  // A sprite (not a button): what actions may steer.
  bool IsSprite() const { return character_ && std::holds_alternative<SpriteCharacter>(*character_); }
  uint64_t Serial() const { return serial_; }

  // Sets the placement; a new character id also brings a new character (a new sprite).
  void Update(const Placement& placement);

 private:
  void Instantiate();

  PlayContext* context_;
  Placement placement_;
  Timeline* owner_;
  const Character* character_ = nullptr;
  std::unique_ptr<Timeline> sprite_;
  std::unique_ptr<EditTextInstance> editText_;
  uint64_t serial_;
};

class Timeline {
 public:
  // Shows the first frame at once, playing, its actions due. parent is null for the root.
  Timeline(const TimelineDefinition& definition, PlayContext& context, Timeline* parent);
  ~Timeline();
  Timeline(const Timeline&) = delete;
  Timeline& operator=(const Timeline&) = delete;

  int CurrentFrame() const { return current_; }
  int FrameCount() const { return definition_.frameCount; }
  const TimelineDefinition& Definition() const { return definition_; }
  const std::map<uint16_t, DisplayObject>& DisplayList() const { return list_; }
  uint64_t Serial() const { return serial_; }
  Timeline* Parent() const { return parent_; }
  int Nesting() const { return nesting_; }

  bool Playing() const { return playing_; }
  void SetPlaying(bool playing) { playing_ = playing; }
  // Whether the current frame's actions are still to run; cleared by whoever runs them.
  bool ActionsDue() const { return actionsDue_; }
  void ClearActionsDue() { actionsDue_ = false; }

  // One tick: the next frame if playing (the first after the last; a one-frame timeline
  // stays), then one tick for every sprite that was already on the list before this one.
  void Step();
  // Jumps to frame (clamped to the timeline) without stepping the sprites on it; the play
  // state is kept.
  void GotoFrame(int frame);

 private:
  void RunFrame(int frame);
  // The frame on screen changed: its sounds are due (SoundScheduler.h).
  void EnteredFrame(bool jumped);
  void Place(const format::PlaceObject& tag);
  void Rebuild(int frame);
  bool HasRoom() const;
  bool Spend();

  const TimelineDefinition& definition_;
  PlayContext& context_;
  Timeline* parent_;
  int nesting_;
  uint64_t serial_;
  int current_ = 0;
  bool playing_ = true;
  bool actionsDue_ = true;
  std::map<uint16_t, DisplayObject> list_;
};

}  // namespace swfplayer::player
