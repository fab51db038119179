#include "swfplayer/player/FrameActions.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "swfplayer/player/Limits.h"

namespace swfplayer::player {
namespace {

using format::ActionKind;
using format::FrameAction;

bool SameName(std::string_view a, std::string_view b, bool caseSensitive) {
  if (caseSensitive) return a == b;
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Timelines in the order their actions run: a timeline, then the sprites on it by depth.
void CollectDue(Timeline& timeline, std::vector<uint64_t>& due) {
  if (timeline.ActionsDue()) due.push_back(timeline.Serial());
  for (const auto& [depth, object] : timeline.DisplayList()) {
    if (object.Sprite()) CollectDue(*object.Sprite(), due);
  }
}

std::optional<int> FrameNumberIn(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

class BlockRunner {
 public:
  BlockRunner(Timeline& root, PlayContext& context, bool caseSensitive)
      : root_(root), context_(context), caseSensitive_(caseSensitive) {}

  void Run(const format::ActionBlock& block, uint64_t self) {
    uint64_t target = self;
    for (const FrameAction& action : block) {
      if (action.kind == ActionKind::kSetTarget) {
        target = action.text.empty() ? self : Resolve(self, action.text);
        continue;
      }
      // A target that is gone (removed by a goto) or was never found makes the action do
      // nothing, rather than steer some other timeline.
      if (Timeline* timeline = target ? context_.FindTimeline(target) : nullptr) Apply(action, *timeline);
    }
  }

 private:
  // "" is the timeline itself; "/" starts from the root; ".." and "_parent" climb, "_root"
  // restarts at the root; every other part names a sprite on the timeline reached so far.
  uint64_t Resolve(uint64_t self, std::string_view path) {
    Timeline* at = context_.FindTimeline(self);
    if (!at) return 0;
    if (path.front() == '/') {
      at = &root_;
      path.remove_prefix(1);
    }
    while (at && !path.empty()) {
      const size_t slash = path.find('/');
      const std::string_view part = path.substr(0, slash);
      path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
      if (part.empty() || part == ".") continue;
      if (part == ".." || SameName(part, "_parent", caseSensitive_)) {
        at = at->Parent();
      } else if (SameName(part, "_root", caseSensitive_)) {
        at = &root_;
      } else {
        at = ChildNamed(*at, part);
      }
    }
    return at ? at->Serial() : 0;
  }

  Timeline* ChildNamed(const Timeline& timeline, std::string_view name) const {
    for (const auto& [depth, object] : timeline.DisplayList()) {
      if (object.IsSprite() && object.Sprite() && SameName(object.State().name, name, caseSensitive_)) {
        return object.Sprite();
      }
    }
    return nullptr;
  }

  // frame is 0-based; a jump changes the display list at once and makes the frame's actions
  // due (Timeline::GotoFrame).
  static void Jump(Timeline& timeline, int64_t frame, bool play) {
    timeline.GotoFrame(static_cast<int>(std::clamp<int64_t>(frame, 0, timeline.FrameCount() - 1)));
    timeline.SetPlaying(play);
  }

  void Apply(const FrameAction& action, Timeline& timeline) {
    const int current = timeline.CurrentFrame();
    switch (action.kind) {
      case ActionKind::kStop: timeline.SetPlaying(false); break;
      case ActionKind::kPlay: timeline.SetPlaying(true); break;
      // Like gotoAndStop, the step stops on the frame it lands on; at either end it does nothing.
      case ActionKind::kNextFrame:
        if (current + 1 < timeline.FrameCount()) Jump(timeline, current + 1, false);
        break;
      case ActionKind::kPrevFrame:
        if (current > 0) Jump(timeline, current - 1, false);
        break;
      case ActionKind::kGotoFrame: Jump(timeline, action.frame, false); break;
      case ActionKind::kGotoLabel:
        if (const auto frame = timeline.Definition().FrameOfLabel(action.text)) Jump(timeline, *frame, false);
        break;
      case ActionKind::kGotoFrame2: GotoFrame2(action, timeline); break;
      case ActionKind::kSetTarget: break;
    }
  }

  // A label first, then a number written as text; a frame number below 1 does nothing, one
  // past the end goes to the last frame.
  static void GotoFrame2(const FrameAction& action, Timeline& timeline) {
    std::optional<int64_t> number;
    if (action.byLabel) {
      if (const auto labelled = timeline.Definition().FrameOfLabel(action.text)) {
        Jump(timeline, *labelled, action.play);
        return;
      }
      number = FrameNumberIn(action.text);
    } else {
      number = action.frame;
    }
    if (!number) return;
    const int64_t frame = *number - 1 + action.sceneBias;
    if (frame >= 0) Jump(timeline, frame, action.play);
  }

  Timeline& root_;
  PlayContext& context_;
  bool caseSensitive_;
};

void RunPasses(Timeline& root, PlayContext& context, BlockRunner& runner) {
  for (int pass = 0; pass < kMaxActionPasses; ++pass) {
    std::vector<uint64_t> due;
    CollectDue(root, due);
    if (due.empty()) return;
    for (const uint64_t serial : due) {
      Timeline* timeline = context.FindTimeline(serial);
      if (!timeline || !timeline->ActionsDue()) continue;
      timeline->ClearActionsDue();
      const auto* blocks = timeline->Definition().FrameActions(timeline->CurrentFrame());
      if (!blocks) continue;
      for (const format::ActionBlock& block : *blocks) {
        if (!context.FindTimeline(serial)) break;  // removed by a goto of its parent's
        if (block.size() > context.actionBudget) {
          context.actionBudget = 0;  // the tick's actions are spent: nothing more runs
          return;
        }
        context.actionBudget -= block.size();
        runner.Run(block, serial);
      }
    }
  }
}

}  // namespace

void RunDueActions(Timeline& root, PlayContext& context, bool caseSensitiveNames) {
  BlockRunner runner(root, context, caseSensitiveNames);
  RunPasses(root, context, runner);
  // Actions left over by the bounds are dropped: a flag must not linger into a later tick as
  // if its frame had been entered again.
  std::vector<uint64_t> left;
  CollectDue(root, left);
  for (const uint64_t serial : left) context.FindTimeline(serial)->ClearActionsDue();
}

}  // namespace swfplayer::player
