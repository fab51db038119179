// The static texts of a clip as scripts find them (TextSnapshot). A text's side for scripts is
// made the first time a snapshot finds it and lives as long as the display object or a
// snapshot holds it; once the object leaves the display it stays where it last stood.
#include "swfplayer/player/StaticTexts.h"

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {

DisplayStaticText::DisplayStaticText(std::shared_ptr<const avm1::StaticTextContent> content,
                                     const DisplayObject& owner)
    : StaticText(std::move(content)), owner_(&owner) {}

Matrix DisplayStaticText::Placement() const { return owner_ ? owner_->LocalMatrix() : last_; }

void DisplayStaticText::Detach() {
  if (!owner_) return;
  last_ = owner_->LocalMatrix();
  owner_ = nullptr;
}

std::optional<std::vector<std::shared_ptr<avm1::StaticText>>> DisplayObject::StaticTexts() {
  if (!timeline_ || !movieClip_ || removed_ || staticTextsGiven_) return std::nullopt;
  std::vector<std::shared_ptr<avm1::StaticText>> texts;
  for (const auto& [depth, child] : timeline_->DisplayList()) {
    const auto* text = child->character_ ? std::get_if<TextCharacter>(child->character_) : nullptr;
    if (child->Removed() || !text || !text->content) continue;
    if (!child->staticText_) child->staticText_ = std::make_shared<DisplayStaticText>(text->content, *child);
    texts.push_back(child->staticText_);
  }
  return texts;
}

void DisplayObject::DropStaticText() {
  if (staticText_) staticText_->Detach();
  staticText_.reset();
}

}  // namespace swfplayer::player
