#include "swfplayer/player/Timeline.h"

#include <algorithm>
#include <map>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/SoundScheduler.h"

namespace swfplayer::player {

Timeline::Timeline(const TimelineDefinition& definition, DisplayObject& owner)
    : definition_(definition), owner_(owner), context_(owner.Context()) {}

Timeline::~Timeline() {
  list_.clear();  // what is on it goes first
  if (context_.sound) context_.sound->TimelineGone(owner_.Serial());
}

void Timeline::EnteredFrame(bool jumped) {
  if (context_.sound) context_.sound->FrameEntered(*this, current_, jumped);
}

DisplayObject* Timeline::At(int32_t depth) const {
  const auto found = list_.find(depth);
  return found == list_.end() ? nullptr : found->second.get();
}

bool Timeline::HasRoom() const {
  return list_.size() < kMaxObjectsPerTimeline && context_.displayObjects < kMaxDisplayObjects;
}

// Every frame entered costs one of the tick's budget besides its tags, so that jumps over long
// empty stretches are bounded too.
bool Timeline::Spend() {
  if (context_.tagBudget == 0) return false;
  --context_.tagBudget;
  return true;
}

void Timeline::RunFrame() {
  if (current_ + 1 < FrameCount()) {
    const bool first = current_ < 0;
    EnterFrame(++current_, /*displayTags=*/true, /*scripts=*/true);
    EnteredFrame(/*jumped=*/first);
  } else if (FrameCount() > 1) {
    Goto(0);
  } else {
    playing_ = false;  // a one-frame timeline has nowhere to go
  }
}

void Timeline::EnterFrame(int frame, bool displayTags, bool scripts) {
  if (!Spend()) return;
  const std::vector<FrameItem>* items = definition_.Frame(frame);
  if (!items) return;
  for (const FrameItem& item : *items) {
    if (!Spend()) return;
    if (const auto* place = std::get_if<Placement>(&item)) {
      if (displayTags) Place(*place, frame);
    } else if (const auto* remove = std::get_if<format::RemoveObject>(&item)) {
      if (displayTags) Remove(remove->depth);
    } else if (const auto* script = std::get_if<FrameScript>(&item)) {
      if (scripts) context_.QueueFrameScript(owner_, script->script);
    } else if (const auto* init = std::get_if<InitScript>(&item)) {
      if (scripts) context_.QueueInitScript(owner_, *init);
    }
  }
}

void Timeline::Place(const Placement& placement, int frame) {
  const format::PlaceObject& tag = placement.tag;
  DisplayObject* existing = At(tag.depth);
  if (tag.move) {
    if (!existing) return;
    if (tag.characterId) {
      existing->ReplaceCharacter(*tag.characterId);
      existing->SetPlaceFrame(frame);
    }
    existing->ApplyPlacement(placement);
    return;
  }
  if (!tag.characterId) return;
  // A new object, even where one stands already (unless a script put that one there).
  if (existing && existing->PlacedByScript()) return;
  PlaceNew(tag.depth, *tag.characterId, placement, frame);
}

void Timeline::PlaceNew(int32_t depth, uint16_t characterId, const Placement& placement, int frame) {
  if (auto found = list_.find(depth); found != list_.end()) {
    context_.Bury(std::move(found->second));
    list_.erase(found);
  }
  if (!HasRoom()) return;
  auto object = std::make_unique<DisplayObject>(context_, &owner_, depth, characterId);
  DisplayObject& placed = *object;
  placed.SetPlaceFrame(frame);
  placed.ApplyPlacement(placement);
  placed.SetClipActions(placement.clipActions);
  list_.emplace(depth, std::move(object));
  if (placed.Sprite()) context_.ClipMade(placed);
}

void Timeline::Remove(int32_t depth) {
  const auto found = list_.find(depth);
  // Objects that scripts made are theirs to remove.
  if (found == list_.end() || found->second->PlacedByScript()) return;
  context_.Bury(std::move(found->second));
  list_.erase(found);
}

// What a jump does to one depth: the placements of the frames it passes, merged.
struct Timeline::GotoCommand {
  int32_t depth = 0;
  Placement placement;
  int frame = 0;     // where the object would have been placed
  size_t order = 0;  // of its last tag, so that objects are made in the order tags made them
};

namespace {

// A later PlaceObject at the same depth: a move adds what it gives, anything else starts over.
void Merge(Placement& into, const Placement& next) {
  const format::PlaceObject& tag = next.tag;
  if (!tag.move) {
    into = next;
    return;
  }
  if (tag.characterId) into.tag.characterId = tag.characterId;
  if (tag.matrix) into.tag.matrix = tag.matrix;
  if (tag.colorTransform) into.tag.colorTransform = tag.colorTransform;
  if (tag.ratio) into.tag.ratio = tag.ratio;
  if (next.name) into.name = next.name;
  if (tag.clipDepth) into.tag.clipDepth = tag.clipDepth;
  if (tag.visible) into.tag.visible = tag.visible;
  if (next.clipActions) into.clipActions = next.clipActions;
}

}  // namespace

void Timeline::Goto(int frame) {
  frame = std::clamp(frame, 0, FrameCount() - 1);
  if (context_.tagBudget == 0) return;  // a jump the tick cannot afford waits for a later one
  const int before = current_;
  const bool rewind = frame <= current_;
  if (rewind) current_ = -1;

  // By depth: a jump over a long timeline with many depths stays linear in its tags.
  std::map<int32_t, GotoCommand> byDepth;
  size_t order = 0;
  while (current_ < frame && Spend()) {
    ++current_;
    const std::vector<FrameItem>* items = definition_.Frame(current_);
    if (!items) continue;
    for (const FrameItem& item : *items) {
      if (!Spend()) break;
      if (const auto* place = std::get_if<Placement>(&item)) {
        const int32_t depth = place->tag.depth;
        auto [entry, fresh] = byDepth.try_emplace(depth);
        GotoCommand* found = &entry->second;
        if (fresh) {
          *found = {depth, *place, current_, ++order};
        } else {
          if (!place->tag.move) found->frame = current_;
          Merge(found->placement, *place);
          found->order = ++order;
        }
        // A rewind meets objects that live on: a placement puts back all it would have set.
        if (rewind && !place->tag.move) {
          format::PlaceObject& tag = found->placement.tag;
          if (!tag.matrix) tag.matrix = Matrix{};
          if (!tag.colorTransform) tag.colorTransform = ColorTransform{};
          if (!tag.ratio) tag.ratio = 0;
        }
      } else if (const auto* remove = std::get_if<format::RemoveObject>(&item)) {
        byDepth.erase(remove->depth);
        if (!rewind) Remove(remove->depth);
      }
    }
  }
  const bool reached = current_ == frame;

  if (rewind) {
    // What was placed after the frame landed on goes; what scripts made stays.
    for (auto it = list_.begin(); it != list_.end();) {
      if (!it->second->PlacedByScript() && it->second->PlaceFrame() > frame) {
        context_.Bury(std::move(it->second));
        it = list_.erase(it);
      } else {
        ++it;
      }
    }
  }

  auto carryOut = [&](const GotoCommand& command) {
    const format::PlaceObject& tag = command.placement.tag;
    DisplayObject* existing = At(command.depth);
    if (existing && existing->PlacedByScript()) return;
    if (existing && (rewind || tag.move)) {
      if (tag.characterId) existing->ReplaceCharacter(*tag.characterId);
      // A rewind shows what playing to the frame would: an object of another character there
      // (a sprite, which a move never replaces) gives way to the frame's own.
      if (!(rewind && !tag.move && tag.characterId && existing->CharacterId() != *tag.characterId)) {
        existing->ApplyPlacement(command.placement);
        return;
      }
      RemoveChild(command.depth);
    }
    if (tag.characterId) PlaceNew(command.depth, *tag.characterId, command.placement, command.frame);
  };
  std::vector<GotoCommand> commands;
  commands.reserve(byDepth.size());
  for (auto& [depth, command] : byDepth) commands.push_back(std::move(command));
  std::sort(commands.begin(), commands.end(),
            [](const GotoCommand& a, const GotoCommand& b) { return a.order < b.order; });
  // Objects of the frames passed over first, then the frame's own scripts, then the objects
  // the frame itself places: the order their tags would have made them in.
  for (const GotoCommand& command : commands) {
    if (command.frame < frame) carryOut(command);
  }
  if (reached) EnterFrame(frame, /*displayTags=*/false, /*scripts=*/true);
  for (const GotoCommand& command : commands) {
    if (command.frame >= frame) carryOut(command);
  }
  // A jump that lands where it started starts no sound.
  if (current_ != before) EnteredFrame(/*jumped=*/true);
}

DisplayObject* Timeline::AddScriptChild(int32_t depth, uint16_t characterId, std::u16string name,
                                        std::shared_ptr<const std::vector<ClipAction>> clipActions,
                                        const Matrix* matrix, const ColorTransform* colorTransform) {
  if (auto found = list_.find(depth); found != list_.end()) {
    context_.Bury(std::move(found->second));
    list_.erase(found);
  }
  if (!HasRoom()) return nullptr;
  auto object = std::make_unique<DisplayObject>(context_, &owner_, depth, characterId);
  Placement copied;
  if (matrix) copied.tag.matrix = *matrix;
  if (colorTransform) copied.tag.colorTransform = *colorTransform;
  object->ApplyPlacement(copied);
  object->SetClipActions(std::move(clipActions));
  return Adopt(std::move(object), std::move(name));
}

DisplayObject* Timeline::AddEmptyScriptChild(int32_t depth, std::u16string name,
                                             const TimelineDefinition& timeline) {
  if (auto found = list_.find(depth); found != list_.end()) {
    context_.Bury(std::move(found->second));
    list_.erase(found);
  }
  if (!HasRoom()) return nullptr;
  return Adopt(std::make_unique<DisplayObject>(context_, &owner_, depth, timeline), std::move(name));
}

DisplayObject* Timeline::Adopt(std::unique_ptr<DisplayObject> object, std::u16string name) {
  DisplayObject& made = *object;
  made.SetPlacedByScript();
  made.SetName(name);
  list_.emplace(made.TimelineDepth(), std::move(object));
  if (made.Sprite()) context_.ClipMade(made, /*byScript=*/true);
  return &made;
}

void Timeline::RemoveChild(int32_t depth) {
  const auto found = list_.find(depth);
  if (found == list_.end()) return;
  context_.Bury(std::move(found->second));
  list_.erase(found);
}

void Timeline::SwapDepths(int32_t from, int32_t to) {
  if (from == to) return;
  auto source = list_.find(from);
  if (source == list_.end()) return;
  std::unique_ptr<DisplayObject> moving = std::move(source->second);
  list_.erase(source);
  if (auto target = list_.find(to); target != list_.end()) {
    std::unique_ptr<DisplayObject> other = std::move(target->second);
    list_.erase(target);
    other->SetTimelineDepth(from);
    list_.emplace(from, std::move(other));
  }
  moving->SetTimelineDepth(to);
  list_.emplace(to, std::move(moving));
}

}  // namespace swfplayer::player
