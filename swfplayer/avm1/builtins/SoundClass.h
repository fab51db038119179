// The Sound object's part of a tick: onSoundComplete for the sounds that played out.
#pragma once

namespace swfplayer::avm1 {

class VmImpl;

// Calls onSoundComplete on each Sound whose started sound ended since the last call.
void DeliverFinishedSounds(VmImpl& vm);

}  // namespace swfplayer::avm1
