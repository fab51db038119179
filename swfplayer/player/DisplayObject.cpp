#include "swfplayer/player/DisplayObject.h"

#include <algorithm>

#include "swfplayer/player/Drawing.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/ScriptEngine.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

// The root's children are at level 1.
int Nesting(const DisplayObject* object) {
  int levels = 0;
  for (object = object->ParentObject(); object; object = object->ParentObject()) ++levels;
  return levels;
}

bool SameName(std::u16string_view a, std::u16string_view b, bool caseSensitive) {
  if (caseSensitive) return a == b;
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

DisplayObject::DisplayObject(PlayContext& context, DisplayObject* parent, int32_t depth,
                             uint16_t characterId)
    : context_(&context), parent_(parent), depth_(depth), characterId_(characterId),
      serial_(context.nextSerial++) {
  ++context_->displayObjects;
  Instantiate();
}

DisplayObject::DisplayObject(PlayContext& context, DisplayObject* parent, int32_t depth,
                             const TimelineDefinition& timeline)
    : context_(&context), parent_(parent), depth_(depth), characterId_(0),
      timeline_(std::make_unique<Timeline>(timeline, *this)), serial_(context.nextSerial++),
      movieClip_(true) {
  ++context_->displayObjects;
}

DisplayObject::~DisplayObject() {
  SetMask(nullptr);
  if (maskOf_) maskOf_->SetMask(nullptr);
  timeline_.reset();  // what is on it goes first
  if (editText_) context_->TextFieldGone(*this);
  DropStaticText();
  context_->Unlink(*this);
  --context_->displayObjects;
}

void DisplayObject::Instantiate() {
  character_ = context_->dictionary.Find(characterId_);
  timeline_.reset();
  editText_.reset();
  decomposed_.reset();
  if (const auto name = context_->movie.exportNames.find(characterId_);
      name != context_->movie.exportNames.end()) {
    exportName_ = name->second;
  }
  if (const auto* field = character_ ? std::get_if<EditTextCharacter>(character_) : nullptr) {
    MakeTextField(*field);
    return;
  }
  if (!character_ || Nesting(this) > kMaxSpriteNesting) return;
  if (const auto* sprite = std::get_if<SpriteCharacter>(character_)) {
    timeline_ = std::make_unique<Timeline>(sprite->timeline, *this);
    movieClip_ = true;
  } else if (const auto* button = std::get_if<ButtonCharacter>(character_)) {
    timeline_ = std::make_unique<Timeline>(button->upState, *this);
  }
}

void DisplayObject::ApplyPlacement(const Placement& placement) {
  const format::PlaceObject& tag = placement.tag;
  if (!transformedByScript_) {
    if (tag.matrix) {
      matrix_ = *tag.matrix;
      decomposed_.reset();
    }
    if (tag.colorTransform) colorTransform_ = *tag.colorTransform;
    if (tag.ratio) ratio_ = *tag.ratio;
  }
  if (placement.name) name_ = *placement.name;
  if (tag.clipDepth) clipDepth_ = *tag.clipDepth;
  if (tag.visible) visible_ = *tag.visible;
  if (tag.filters) effects_.filters = *tag.filters;
  if (tag.blendMode) effects_.blendMode = BlendModeFromSwf(*tag.blendMode);
  if (tag.cacheAsBitmap) effects_.cacheAsBitmap = *tag.cacheAsBitmap;
}

// As in the Flash Player, only what has no timeline or state of its own (shapes, texts,
// tweens, bitmaps) takes another such character in place; a sprite, a button or a text field
// stays what it is.
void DisplayObject::ReplaceCharacter(uint16_t characterId) {
  if (characterId == characterId_ || timeline_ || editText_) return;
  const Character* replacement = context_->dictionary.Find(characterId);
  if (!replacement || std::holds_alternative<SpriteCharacter>(*replacement) ||
      std::holds_alternative<ButtonCharacter>(*replacement) ||
      std::holds_alternative<EditTextCharacter>(*replacement)) {
    return;
  }
  characterId_ = characterId;
  character_ = replacement;
  decomposed_.reset();
  DropStaticText();
}

void DisplayObject::MarkRemoved() { removed_ = true; }

// Every clip of a player is one of its DisplayObjects.
void DisplayObject::SetMask(avm1::Clip* mask) {
  auto* object = static_cast<DisplayObject*>(mask);
  if (object == this) object = nullptr;
  if (mask_) mask_->maskOf_ = nullptr;
  mask_ = nullptr;
  if (!object || !IsMovieClip() || removed_) return;
  if (object->maskOf_) object->maskOf_->mask_ = nullptr;
  object->maskOf_ = this;
  mask_ = object;
}

avm1::Clip* DisplayObject::ChildByName(std::u16string_view name, bool caseSensitive) const {
  if (!timeline_ || removed_) return nullptr;
  for (const auto& [depth, child] : timeline_->DisplayList()) {
    if (!child->Removed() && SameName(child->name_, name, caseSensitive)) return child.get();
  }
  return nullptr;
}

avm1::Clip* DisplayObject::ChildAtDepth(int32_t depth) const {
  if (!timeline_) return nullptr;
  return timeline_->At(depth + kScriptDepthOffset);
}

std::vector<avm1::Clip*> DisplayObject::Children() const {
  std::vector<avm1::Clip*> children;
  if (!timeline_) return children;
  for (const auto& [depth, child] : timeline_->DisplayList()) children.push_back(child.get());
  return children;
}

bool DisplayObject::IsMovieClip() const { return movieClip_; }

int DisplayObject::CurrentFrame() const {
  return timeline_ ? std::max(0, timeline_->CurrentFrame()) : 0;
}

int DisplayObject::TotalFrames() const { return timeline_ ? timeline_->FrameCount() : 1; }

uint32_t DisplayObject::BytesTotal() const {
  return timeline_ ? timeline_->Definition().byteLength : 0;
}

std::vector<std::shared_ptr<const format::ActionProgram>> DisplayObject::FrameScripts(
    int frame) const {
  std::vector<std::shared_ptr<const format::ActionProgram>> programs;
  if (!timeline_ || !context_->scripts) return programs;
  const std::vector<FrameItem>* items = timeline_->Definition().Frame(frame);
  if (!items) return programs;
  for (const FrameItem& item : *items) {
    const auto* script = std::get_if<FrameScript>(&item);
    if (!script || !script->script) continue;
    if (auto program = context_->scripts->Compiled(*script->script)) programs.push_back(std::move(program));
  }
  return programs;
}

bool DisplayObject::Playing() const { return timeline_ && timeline_->Playing(); }

void DisplayObject::Play() {
  if (timeline_ && IsMovieClip()) timeline_->SetPlaying(true);
}

void DisplayObject::Stop() {
  if (timeline_) timeline_->SetPlaying(false);
}

void DisplayObject::GotoFrame(int frame, bool play) {
  if (!timeline_ || !IsMovieClip() || removed_) return;
  timeline_->SetPlaying(play);
  timeline_->Goto(std::clamp(frame, 0, timeline_->FrameCount() - 1));
}

std::optional<int> DisplayObject::FrameOfLabel(std::u16string_view label) const {
  if (!timeline_) return std::nullopt;
  return timeline_->Definition().FrameOfLabel(label);
}

std::u16string DisplayObject::TargetPath(bool slashes) const {
  if (!parent_) return slashes ? u"/" : u"_level0";
  std::vector<const DisplayObject*> chain;
  for (const DisplayObject* at = this; at->parent_; at = at->parent_) chain.push_back(at);
  std::u16string path = slashes ? u"" : u"_level0";
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += slashes ? u"/" : u".";
    path += (*it)->name_;
  }
  return path;
}

}  // namespace swfplayer::player
