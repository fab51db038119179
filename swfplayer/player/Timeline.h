// A playing timeline: the root's, a sprite instance's, or a button's up state, with its frame,
// its play state and the display list it owns. Its frames run in the order the Flash Player
// runs them (PlayContext.h): one frame per tick while it plays, the first again after the last
// (a one-frame timeline stops itself). Entering a frame carries out its tags in their order:
// placements and removals at once (a placed sprite enters its own first frame there and then),
// frame scripts queued for the end of the tick.
//
// A jump to a frame rebuilds the display list as playing there would: a backward jump starts
// again from the first frame, keeping the objects placed at or before the frame it lands on;
// objects that scripts made are never touched by the timeline.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "swfplayer/player/Characters.h"
#include "swfplayer/player/EditTextInstance.h"

namespace swfplayer::player {

class DisplayObject;
class PlayContext;

class Timeline {
 public:
  // Starts before its first frame; PlayContext enters it.
  Timeline(const TimelineDefinition& definition, DisplayObject& owner);
  ~Timeline();
  Timeline(const Timeline&) = delete;
  Timeline& operator=(const Timeline&) = delete;

  // The frame on screen, from 0; -1 before the first frame is entered.
  int CurrentFrame() const { return current_; }
  int FrameCount() const { return definition_.frameCount; }
  const TimelineDefinition& Definition() const { return definition_; }
  DisplayObject& Owner() const { return owner_; }
  // By the timeline's depth (ActionScript's + 16384), in drawing order.
  const std::map<int32_t, std::unique_ptr<DisplayObject>>& DisplayList() const { return list_; }
  DisplayObject* At(int32_t depth) const;

  bool Playing() const { return playing_; }
  void SetPlaying(bool playing) { playing_ = playing; }

  // The next frame (the first after the last; a one-frame timeline stops instead).
  void RunFrame();
  // Jumps to frame (clamped); the target frame's scripts are queued when it is reached.
  void Goto(int frame);

  // --- scripts' own objects ---
  // Puts a new object of a character at depth (replacing what is there), with the clip events,
  // matrix and colour transform given (a duplicate's), and enters its first frame.
  DisplayObject* AddScriptChild(int32_t depth, uint16_t characterId, std::u16string name,
                                std::shared_ptr<const std::vector<ClipAction>> clipActions,
                                const Matrix* matrix, const ColorTransform* colorTransform);
  // The same for a clip of no character, on the timeline given.
  DisplayObject* AddEmptyScriptChild(int32_t depth, std::u16string name,
                                     const TimelineDefinition& timeline);
  // Takes the object at depth off the list (it is removed: unload events, then freed when the
  // tick ends).
  void RemoveChild(int32_t depth);
  // Moves the object at from to to, swapping with any object there.
  void SwapDepths(int32_t from, int32_t to);
  // Room for one more object on this list and in the movie.
  bool HasRoom() const;

 private:
  struct GotoCommand;
  void EnterFrame(int frame, bool displayTags, bool scripts);
  // The frame on screen changed: its sounds are due (SoundScheduler.h). jumped: by a jump, or
  // the timeline's first frame.
  void EnteredFrame(bool jumped);
  void Place(const Placement& placement, int frame);
  void PlaceNew(int32_t depth, uint16_t characterId, const Placement& placement, int frame);
  void Remove(int32_t depth);
  bool Spend();
  DisplayObject* Adopt(std::unique_ptr<DisplayObject> object, std::u16string name);

  const TimelineDefinition& definition_;
  DisplayObject& owner_;
  PlayContext& context_;
  int current_ = -1;
  bool playing_ = true;
  std::map<int32_t, std::unique_ptr<DisplayObject>> list_;
};

}  // namespace swfplayer::player
