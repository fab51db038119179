// The ActionScript 1/2 interpreter as the player uses it: one per movie. The player runs the
// movie's scripts through it at the points of the tick where the Flash Player runs them; the
// interpreter reaches the display only through Clip (Clip.h) and the rest of the world only
// through Host (Host.h). Nothing here throws: a script that fails, runs too long or goes past
// a bound is abandoned (README.md, "Bounds"), and the movie plays on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "swfplayer/avm1/Clip.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/format/ActionProgram.h"

namespace swfplayer::avm1 {

// The bounds a script runs under (README.md documents each and why).
struct Limits {
  double tickBudgetMs = 1000;           // all scripts of one tick together
  int maxCallDepth = 256;               // nested calls, script and native
  size_t maxStackValues = 1u << 20;     // one activation's operand stack
  size_t maxStringUnits = 1u << 26;     // UTF-16 units in one string (128 MiB)
  size_t maxArrayLength = 1u << 24;     // elements of one array
  size_t maxHeapBytes = size_t{512} << 20;  // everything scripts made, all together
};

class VmImpl;

class Vm {
 public:
  // swfVersion is the movie's: it decides case sensitivity, conversions and which built-ins
  // scripts see.
  Vm(Host& host, uint8_t swfVersion, const Limits& limits = {});
  ~Vm();
  Vm(const Vm&) = delete;
  Vm& operator=(const Vm&) = delete;

  uint8_t SwfVersion() const;

  // --- running scripts ---
  // A DoAction block of the clip's timeline: `this` and the variables are the clip's.
  void RunFrameScript(Clip& clip, const format::ActionProgram& program);
  // A DoInitAction block, run once before the first frame that uses its sprite.
  void RunInitScript(Clip& clip, const format::ActionProgram& program);
  // A clip event's actions from the clip's PlaceObject (load, enterFrame, unload, data,
  // initialize, construct): `this` is the clip.
  void RunClipEvent(Clip& clip, const format::ActionProgram& program);
  // Calls the clip's own method of this name (onEnterFrame, onLoad, onUnload, ...) when its
  // object or prototype chain has one; false when there is none.
  bool CallClipMethod(Clip& clip, std::u16string_view name);
  // Whether CallClipMethod would find a method to call (false for a clip no script has seen).
  bool HasClipMethod(Clip& clip, std::u16string_view name);
  // A clip placed by the timeline or made by attachMovie: its object takes the class
  // registered for the export name (Object.registerClass), whose constructor runs.
  void ConstructClip(Clip& clip, std::u16string_view exportName);

  // --- text fields' variables (TextVariables.h) ---
  // The value a field bound to path shows; nothing while the variable is undefined.
  std::optional<std::u16string> ReadVariable(Clip& timeline, std::u16string_view path);
  void WriteVariable(Clip& timeline, std::u16string_view path, std::u16string_view value);

  // --- time ---
  // Starts the script time budget of a tick (Limits::tickBudgetMs).
  void BeginTick();
  // Whether this tick's budget ran out: the player then skips the tick's remaining scripts.
  bool TickBudgetSpent() const;
  // Runs the intervals and timeouts that are due at Host::ElapsedMs().
  void RunTimers();

  // --- memory ---
  // A safe point (no script is running): frees what no root reaches. The roots are the
  // global object, the clips reachable from Host::Level(0) and timers.
  void CollectGarbage();
  size_t HeapBytes() const;

  VmImpl& Impl() { return *impl_; }

 private:
  std::unique_ptr<VmImpl> impl_;
};

}  // namespace swfplayer::avm1
