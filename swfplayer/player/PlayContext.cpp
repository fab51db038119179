#include "swfplayer/player/PlayContext.h"

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/ScriptEngine.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {

PlayContext::PlayContext(const MovieDefinition& movie, ScriptEngine* scripts)
    : movie(movie), dictionary(movie.dictionary), scripts(scripts),
      caseSensitiveNames(movie.header.version >= 7) {}

PlayContext::~PlayContext() {
  for (auto& queue : queue_) queue.clear();
  removed_.clear();
}

void PlayContext::BeginTick() {
  tagBudget = kMaxTagsPerTick;
  if (scripts) scripts->BeginTick();
}

void PlayContext::RunClips() {
  for (DisplayObject* clip = execHead_; clip;) {
    DisplayObject* next = clip->execNext;
    if (!clip->Removed()) {
      if (!clip->Initialized()) {
        clip->SetInitialized();
        DispatchEvent(*clip, ClipEvent::kLoad);
      } else {
        DispatchEvent(*clip, ClipEvent::kEnterFrame);
      }
      if (Timeline* timeline = clip->Sprite(); timeline && timeline->Playing()) timeline->RunFrame();
    }
    clip = next;
  }
  RunQueuedScripts();
}

void PlayContext::ClipMade(DisplayObject& clip, bool byScript) {
  if (!clip.inExecList) {
    clip.execNext = execHead_;
    if (execHead_) execHead_->execPrev = &clip;
    execHead_ = &clip;
    clip.inExecList = true;
  }
  // Initialisation and construction are queued ahead of everything else of the tick; the
  // class and the construct events run together, the events first.
  if (const std::vector<ClipAction>* actions = clip.ClipActions()) {
    for (const ClipAction& action : *actions) {
      if (action.events & kClipEventInitialize) {
        Queue(2, {&clip, Job::kClipEvent, action.script, nullptr, false});
      }
    }
    for (const ClipAction& action : *actions) {
      if (action.events & kClipEventConstruct) {
        Queue(1, {&clip, Job::kClipEvent, action.script, nullptr, false});
      }
    }
  }
  if (!byScript) Queue(1, {&clip, Job::kConstruct, nullptr, nullptr, false});
  // The first frame at once, as the tag that placed it is carried out.
  clip.SetInitialized();
  DispatchEvent(clip, ClipEvent::kLoad);
  if (Timeline* timeline = clip.Sprite(); timeline && timeline->Playing()) timeline->RunFrame();
}

void PlayContext::Unlink(DisplayObject& clip) {
  if (!clip.inExecList) return;
  if (clip.execPrev) clip.execPrev->execNext = clip.execNext;
  if (clip.execNext) clip.execNext->execPrev = clip.execPrev;
  if (execHead_ == &clip) execHead_ = clip.execNext;
  clip.execNext = clip.execPrev = nullptr;
  clip.inExecList = false;
}

void PlayContext::RemoveTree(DisplayObject& object) {
  if (object.Removed()) return;
  // Unload runs children first, as the Flash Player unloads them.
  if (const Timeline* timeline = object.Sprite()) {
    for (const auto& [depth, child] : timeline->DisplayList()) RemoveTree(*child);
  }
  bool unloadRuns = false;
  if (object.Sprite()) {
    DispatchEvent(object, ClipEvent::kUnload);
    unloadRuns = scripts && (HasActionsFor(object, kClipEventUnload) || scripts->HasClipMethod(object, u"onUnload"));
  }
  object.MarkRemoved();
  // A clip without an unload script leaves at once, as in the Flash Player: references to it
  // look for another clip at its path from now on. One with an unload script is kept for it.
  if (!unloadRuns) object.ReleaseBinding();
}

bool PlayContext::HasActionsFor(const DisplayObject& clip, uint32_t event) {
  const std::vector<ClipAction>* actions = clip.ClipActions();
  if (actions == nullptr) return false;
  for (const ClipAction& action : *actions) {
    if (action.events & event) return true;
  }
  return false;
}

void PlayContext::Bury(std::unique_ptr<DisplayObject> object) {
  if (!object) return;
  RemoveTree(*object);
  removed_.push_back(std::move(object));
}

void PlayContext::QueueFrameScript(DisplayObject& clip, const Script& script) {
  Queue(0, {&clip, Job::kFrameScript, script, nullptr, false});
}

void PlayContext::QueueInitScript(DisplayObject& clip, const InitScript& init) {
  if (!initScriptsRun_.insert(init.spriteId).second) return;
  Queue(2, {&clip, Job::kInitScript, init.script, nullptr, false});
}

void PlayContext::DispatchEvent(DisplayObject& clip, ClipEvent event) {
  if (!scripts) return;
  const uint32_t flag = event == ClipEvent::kLoad         ? kClipEventLoad
                        : event == ClipEvent::kEnterFrame ? kClipEventEnterFrame
                                                          : kClipEventUnload;
  const bool unload = event == ClipEvent::kUnload;
  if (const std::vector<ClipAction>* actions = clip.ClipActions()) {
    for (const ClipAction& action : *actions) {
      if (action.events & flag) Queue(0, {&clip, Job::kClipEvent, action.script, nullptr, unload});
    }
  }
  const char16_t* method = event == ClipEvent::kLoad         ? u"onLoad"
                           : event == ClipEvent::kEnterFrame ? u"onEnterFrame"
                                                             : u"onUnload";
  Queue(0, {&clip, Job::kMethod, nullptr, method, unload});
}

void PlayContext::Queue(int priority, Queued queued) {
  if (!scripts) return;
  queue_[priority].push_back(std::move(queued));
}

void PlayContext::RunQueuedScripts() {
  for (;;) {
    Queued next;
    bool found = false;
    for (int priority = kPriorities - 1; priority >= 0 && !found; --priority) {
      if (queue_[priority].empty()) continue;
      next = std::move(queue_[priority].front());
      queue_[priority].pop_front();
      found = true;
    }
    if (!found) return;
    if (scripts->TickBudgetSpent()) continue;  // the rest of the tick's scripts are skipped
    if (next.clip->Removed() && !next.unload) continue;
    Run(next);
  }
}

void PlayContext::Run(const Queued& queued) {
  DisplayObject& clip = *queued.clip;
  switch (queued.job) {
    case Job::kFrameScript: scripts->RunFrameScript(clip, *queued.script); break;
    case Job::kInitScript: scripts->RunInitScript(clip, *queued.script); break;
    case Job::kClipEvent: scripts->RunClipEvent(clip, *queued.script); break;
    case Job::kMethod: scripts->CallClipMethod(clip, queued.method); break;
    case Job::kConstruct: scripts->ConstructClip(clip, clip.ExportName()); break;
  }
}

void PlayContext::FreeRemoved() {
  for (auto& queue : queue_) queue.clear();
  // Freeing an object frees what is on it; each unlinks itself from the clips' list.
  removed_.clear();
}

}  // namespace swfplayer::player
