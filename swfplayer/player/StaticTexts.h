// A static text on the display as scripts see it (avm1/StaticText.h): it stands where its
// display object stands.
#pragma once

#include <memory>

#include "swfplayer/avm1/StaticText.h"

namespace swfplayer::player {

class DisplayObject;

class DisplayStaticText final : public avm1::StaticText {
 public:
  DisplayStaticText(std::shared_ptr<const avm1::StaticTextContent> content, const DisplayObject& owner);
  Matrix Placement() const override;
  // The object leaves: the text keeps its last place.
  void Detach();

 private:
  const DisplayObject* owner_;
  Matrix last_;
};

}  // namespace swfplayer::player
