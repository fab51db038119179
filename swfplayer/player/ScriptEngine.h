// What the player asks of a script engine: to run the movie's scripts at the points of the
// tick where the Flash Player runs them. The ActionScript interpreter is one (VmScripts.h);
// the player's tests hand a recording one, so the order of scripts is tested without a
// language behind it. Every call returns normally: a script that fails is the engine's to
// deal with, and the movie plays on.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

class DisplayObject;

class ScriptEngine {
 public:
  virtual ~ScriptEngine() = default;

  // A DoAction block of the clip's timeline.
  virtual void RunFrameScript(DisplayObject& clip, const ScriptCode& code) = 0;
  // A DoInitAction block, once per sprite; clip is the timeline whose frame holds it.
  virtual void RunInitScript(DisplayObject& clip, const ScriptCode& code) = 0;
  // The actions of one of the clip's clip events.
  virtual void RunClipEvent(DisplayObject& clip, const ScriptCode& code) = 0;
  // The clip's own method of this name (onEnterFrame, onLoad, onUnload), when it has one.
  virtual void CallClipMethod(DisplayObject& clip, std::u16string_view name) = 0;
  // Whether the clip has a method of this name (it would run if called).
  virtual bool HasClipMethod(DisplayObject& clip, std::u16string_view name) = 0;
  // A clip placed by the timeline or attached by name: it takes the class registered for its
  // export name, if any, and the class's constructor runs. Called at most once per clip,
  // before its load event.
  virtual void ConstructClip(DisplayObject& clip, std::u16string_view exportName) = 0;

  // The block compiled for the engine (the Call action runs a frame's blocks by hand), or
  // null when it cannot be compiled.
  virtual std::shared_ptr<const format::ActionProgram> Compiled(const ScriptCode& code) = 0;

  // The tick's script time starts; after the budget is spent the tick's remaining scripts
  // are skipped.
  virtual void BeginTick() = 0;
  virtual bool TickBudgetSpent() const = 0;
  // Intervals and timeouts that are due.
  virtual void RunTimers() = 0;
  // A point where no script runs: memory scripts no longer reach may be freed.
  virtual void CollectGarbage() = 0;

  // A text field's variable (path from timeline): its value as the field shows it, nothing
  // while it is undefined; and writing the field's text to it. Engines without variables
  // keep none.
  virtual std::optional<std::u16string> ReadVariable(DisplayObject&, std::u16string_view) { return std::nullopt; }
  virtual void WriteVariable(DisplayObject&, std::u16string_view, std::u16string_view) {}
};

}  // namespace swfplayer::player
