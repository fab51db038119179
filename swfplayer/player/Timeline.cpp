#include "swfplayer/player/Timeline.h"

#include <algorithm>
#include <set>
#include <vector>

#include "swfplayer/player/Limits.h"
#include "swfplayer/player/SoundScheduler.h"

namespace swfplayer::player {
namespace {

// The placement a PlaceObject tag leaves at its depth, given what is there; nothing when the
// tag changes nothing (a move at an empty depth, a tag without character or move).
std::optional<Placement> Placed(const format::PlaceObject& tag, const Placement* existing) {
  Placement result;
  if (tag.move) {
    if (!existing) return std::nullopt;
    result = *existing;  // a replacement keeps the matrix and colour transform unless given
    if (tag.characterId) result.characterId = *tag.characterId;
  } else if (tag.characterId) {
    result.characterId = *tag.characterId;  // a new object, even at an occupied depth
  } else {
    return std::nullopt;
  }
  if (tag.matrix) result.matrix = *tag.matrix;
  if (tag.colorTransform) result.colorTransform = *tag.colorTransform;
  if (tag.ratio) result.ratio = *tag.ratio;
  if (tag.name) result.name = *tag.name;
  if (tag.clipDepth) result.clipDepth = *tag.clipDepth;
  return result;
}

}  // namespace

DisplayObject::DisplayObject(PlayContext& context, Placement placement, Timeline& owner)
    : context_(&context), placement_(std::move(placement)), owner_(&owner),
      serial_(context.nextSerial++) {
  ++context_->displayObjects;
  Instantiate();
}

DisplayObject::DisplayObject(DisplayObject&& other) noexcept
    : context_(other.context_), placement_(std::move(other.placement_)), owner_(other.owner_),
      character_(other.character_), sprite_(std::move(other.sprite_)),
      editText_(std::move(other.editText_)), serial_(other.serial_) {
  other.context_ = nullptr;
}

DisplayObject::~DisplayObject() {
  sprite_.reset();  // its objects leave the count first
  if (context_) --context_->displayObjects;
}

void DisplayObject::Instantiate() {
  character_ = context_->dictionary.Find(placement_.characterId);
  sprite_.reset();
  editText_.reset();
  if (const auto* field = character_ ? std::get_if<EditTextCharacter>(character_) : nullptr) {
    editText_ = std::make_unique<EditTextInstance>(*field, context_->deviceFonts, context_->embeddedFonts);
    return;
  }
  if (!character_ || owner_->Nesting() + 1 > kMaxSpriteNesting) return;
  if (const auto* sprite = std::get_if<SpriteCharacter>(character_)) {
    sprite_ = std::make_unique<Timeline>(sprite->timeline, *context_, owner_);
  } else if (const auto* button = std::get_if<ButtonCharacter>(character_)) {
    sprite_ = std::make_unique<Timeline>(button->upState, *context_, owner_);
  }
}

void DisplayObject::Update(const Placement& placement) {
  const bool newCharacter = placement.characterId != placement_.characterId;
  placement_ = placement;
  if (newCharacter) Instantiate();
}

Timeline::Timeline(const TimelineDefinition& definition, PlayContext& context, Timeline* parent)
    : definition_(definition), context_(context), parent_(parent),
      nesting_(parent ? parent->Nesting() + 1 : 0), serial_(context.nextSerial++) {
  context_.timelines.emplace(serial_, this);
  RunFrame(0);
  EnteredFrame(/*jumped=*/true);
}

Timeline::~Timeline() {
  list_.clear();  // the sprites on it leave the registry first
  context_.timelines.erase(serial_);
  if (context_.sound) context_.sound->TimelineGone(serial_);
}

void Timeline::EnteredFrame(bool jumped) {
  if (context_.sound) context_.sound->FrameEntered(*this, current_, jumped);
}

bool Timeline::HasRoom() const {
  return list_.size() < kMaxObjectsPerTimeline && context_.displayObjects < kMaxDisplayObjects;
}

bool Timeline::Spend() {
  if (context_.tagBudget == 0) return false;
  --context_.tagBudget;
  return true;
}

void Timeline::Place(const format::PlaceObject& tag) {
  const auto found = list_.find(tag.depth);
  const Placement* existing = found == list_.end() ? nullptr : &found->second.State();
  const std::optional<Placement> placed = Placed(tag, existing);
  if (!placed) return;
  if (tag.move) {
    found->second.Update(*placed);
    return;
  }
  if (found != list_.end()) list_.erase(found);
  if (HasRoom()) list_.emplace(tag.depth, DisplayObject(context_, *placed, *this));
}

// Every frame entered costs one of the tick's budget besides its tags, so that jumps over long
// empty stretches are bounded too.
void Timeline::RunFrame(int frame) {
  actionsDue_ = true;
  if (!Spend()) return;
  const std::vector<ControlTag>* tags = definition_.FrameTags(frame);
  if (!tags) return;
  for (const ControlTag& tag : *tags) {
    if (!Spend()) return;
    if (const auto* place = std::get_if<format::PlaceObject>(&tag)) {
      Place(*place);
    } else {
      list_.erase(std::get<format::RemoveObject>(tag).depth);
    }
  }
}

void Timeline::Step() {
  std::set<uint64_t> running;
  for (const auto& [depth, object] : list_) {
    if (object.Sprite()) running.insert(object.Serial());
  }
  if (playing_ && FrameCount() > 1) {
    if (current_ + 1 < FrameCount()) {
      RunFrame(++current_);
      EnteredFrame(/*jumped=*/false);
    } else {
      GotoFrame(0);
    }
  }
  for (auto& [depth, object] : list_) {
    if (object.Sprite() && running.count(object.Serial())) object.Sprite()->Step();
  }
}

// A jump that the tick's budget cannot start waits for a later tick; one that runs out of it
// on the way stops where it got to.
void Timeline::GotoFrame(int frame) {
  frame = std::clamp(frame, 0, FrameCount() - 1);
  if (frame == current_ || context_.tagBudget == 0) return;
  if (frame > current_) {
    while (current_ < frame && context_.tagBudget > 0) RunFrame(++current_);
  } else {
    Rebuild(frame);
  }
  EnteredFrame(/*jumped=*/true);
}

// Replays the control tags from the first frame to frame on bare placements, then makes the
// display list match: an object already at a depth with the character the replay puts there
// stays (a sprite keeps its own frame) and takes the replayed placement; every other goes.
void Timeline::Rebuild(int frame) {
  std::map<uint16_t, Placement> target;
  for (int f = 0; f <= frame && Spend(); ++f) {
    const std::vector<ControlTag>* tags = definition_.FrameTags(f);
    if (!tags) continue;
    for (const ControlTag& tag : *tags) {
      if (!Spend()) break;
      if (const auto* place = std::get_if<format::PlaceObject>(&tag)) {
        const auto found = target.find(place->depth);
        const auto placed = Placed(*place, found == target.end() ? nullptr : &found->second);
        if (placed) target.insert_or_assign(place->depth, *placed);
      } else {
        target.erase(std::get<format::RemoveObject>(tag).depth);
      }
    }
  }
  for (auto it = list_.begin(); it != list_.end();) {
    const auto wanted = target.find(it->first);
    if (wanted != target.end() && wanted->second.characterId == it->second.State().characterId) {
      it->second.Update(wanted->second);
      ++it;
    } else {
      it = list_.erase(it);
    }
  }
  for (const auto& [depth, placement] : target) {
    if (!list_.count(depth) && HasRoom()) list_.emplace(depth, DisplayObject(context_, placement, *this));
  }
  current_ = frame;
  actionsDue_ = true;
}

}  // namespace swfplayer::player
