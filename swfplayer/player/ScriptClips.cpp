// The clips scripts make and remove (duplicateMovieClip, attachMovie, createEmptyMovieClip,
// removeMovieClip, swapDepths), with the Flash Player's bounds on the depths they may use.
#include <algorithm>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

// The timeline depths scripts may make clips at, and remove clips from: every depth from
// ActionScript's 0 up, short of the top the Flash Player keeps for itself.
constexpr int64_t kMaxDepth = 2'130'706'428;
constexpr int64_t kMaxRemoveDepth = 2'130'706'416;

std::optional<int32_t> TimelineDepthOf(int32_t scriptDepth) {
  const int64_t depth = int64_t{scriptDepth} + kScriptDepthOffset;
  if (depth < 0 || depth > kMaxDepth) return std::nullopt;
  return static_cast<int32_t>(depth);
}

// An empty clip is a sprite of one empty frame.
const TimelineDefinition& EmptyTimeline() {
  static const TimelineDefinition empty;
  return empty;
}

}  // namespace

avm1::Clip* DisplayObject::DuplicateClip(std::u16string_view newName, int32_t depth) {
  const auto at = TimelineDepthOf(depth);
  if (!at || !parent_ || removed_ || !parent_->Sprite()) return nullptr;
  Timeline& siblings = *parent_->Sprite();
  DisplayObject* copy = nullptr;
  if (characterId_ == 0 && timeline_) {
    copy = siblings.AddEmptyScriptChild(*at, std::u16string(newName), timeline_->Definition());
    if (copy) {
      copy->SetMatrix(matrix_);
      copy->SetColorTransform(colorTransform_);
    }
  } else {
    copy = siblings.AddScriptChild(*at, characterId_, std::u16string(newName), clipActions_, &matrix_,
                                   &colorTransform_);
  }
  // The Flash Player hands the static texts (what TextSnapshot reads) to the newest copy.
  if (copy && copy->movieClip_) {
    copy->staticTextsGiven_ = staticTextsGiven_;
    staticTextsGiven_ = true;
  }
  return copy;
}

avm1::Clip* DisplayObject::AttachClip(std::u16string_view exportName, std::u16string_view newName,
                                      int32_t depth) {
  const auto at = TimelineDepthOf(depth);
  if (!at || !timeline_ || removed_) return nullptr;
  const auto& exports = context_->movie.exports;
  auto found = exports.find(std::u16string(exportName));
  if (found == exports.end() && !context_->caseSensitiveNames) {
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    found = std::find_if(exports.begin(), exports.end(), [&](const auto& entry) {
      return std::equal(entry.first.begin(), entry.first.end(), exportName.begin(),
                        exportName.end(), [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
    });
  }
  if (found == exports.end()) return nullptr;
  const Character* character = context_->dictionary.Find(found->second);
  if (!character || !std::holds_alternative<SpriteCharacter>(*character)) return nullptr;
  DisplayObject* made = timeline_->AddScriptChild(*at, found->second, std::u16string(newName),
                                                  nullptr, nullptr, nullptr);
  if (made) made->SetExportName(found->first);
  return made;
}

avm1::Clip* DisplayObject::CreateEmptyClip(std::u16string_view newName, int32_t depth) {
  const auto at = TimelineDepthOf(depth);
  if (!at || !timeline_ || removed_) return nullptr;
  return timeline_->AddEmptyScriptChild(*at, std::u16string(newName), EmptyTimeline());
}

bool DisplayObject::RemoveClip() {
  if (removed_ || !parent_ || !parent_->Sprite()) return false;
  if (depth_ < kScriptDepthOffset || depth_ >= kMaxRemoveDepth) return false;
  parent_->Sprite()->RemoveChild(depth_);
  return true;
}

void DisplayObject::SwapDepths(int32_t depth) {
  const auto at = TimelineDepthOf(depth);
  if (!at || removed_ || !parent_ || !parent_->Sprite()) return;
  if (*at == depth_) return;
  parent_->Sprite()->SwapDepths(depth_, *at);
  TouchedByScript();
}

int32_t DisplayObject::NextHighestDepth() const {
  if (!timeline_ || timeline_->DisplayList().empty()) return 0;
  const int64_t highest = timeline_->DisplayList().rbegin()->first;
  return static_cast<int32_t>(std::max<int64_t>(highest - (kScriptDepthOffset - 1), 0));
}

}  // namespace swfplayer::player
