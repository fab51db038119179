// How control moves through `with` and try/catch/finally blocks (BlockFlow.cpp).
#pragma once

#include "swfplayer/avm1/Interpreter.h"

namespace swfplayer::avm1 {

// Jumps, leaving the blocks the target is outside of; a backward jump is a safe point.
void Jump(Activation& activation, uint32_t target);
// A Return inside try statements runs their finally bodies first; true when one now runs.
bool ReturnThroughFinally(Activation& activation, const Value& value);
// The thrown value reaches the activation's try statements; true when one takes it.
bool CatchThrow(Activation& activation);

enum class BoundaryResult { kContinue, kEnd, kReturn };
// The pc reached the end of the range or of the innermost block's current part: continue,
// the range ended, or a return held back by a finally goes on (its value in returned).
BoundaryResult ReachBoundary(Activation& activation, Value& returned);

}  // namespace swfplayer::avm1
