// setInterval, setTimeout and their clear functions; the Vm runs what is due (Vm::RunTimers).
#pragma once

#include <vector>

#include "swfplayer/avm1/Value.h"

namespace swfplayer::avm1 {

class VmImpl;
class Object;
class String;

// Runs every interval and timeout due at Host::ElapsedMs(), in the order they were set.
void RunDueTimers(VmImpl& vm);

// Calls object[method](args) once, at the first run of the timers at least delayMs from now:
// how built-ins report later what a real player would report later (a load that failed).
// Scripts cannot clear it.
void ScheduleCall(VmImpl& vm, Object* object, String* method, std::vector<Value> args, double delayMs);

}  // namespace swfplayer::avm1
