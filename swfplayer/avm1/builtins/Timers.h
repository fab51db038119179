// setInterval, setTimeout and their clear functions; the Vm runs what is due (Vm::RunTimers).
#pragma once

namespace swfplayer::avm1 {

class VmImpl;

// Runs every interval and timeout due at Host::ElapsedMs(), in the order they were set.
void RunDueTimers(VmImpl& vm);

}  // namespace swfplayer::avm1
