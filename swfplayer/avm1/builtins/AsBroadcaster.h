// AsBroadcaster: objects that keep listeners (_listeners) and send them messages. The player
// broadcasts through it too (Stage, Key and Mouse listeners).
#pragma once

#include <span>

#include "swfplayer/avm1/Value.h"

namespace swfplayer::avm1 {

class VmImpl;
class Object;
class String;

// Makes object a broadcaster: _listeners, addListener, removeListener, broadcastMessage.
void InitializeBroadcaster(VmImpl& vm, Object* object);
// Calls name(args) on each listener of broadcaster; whether it had any.
bool Broadcast(VmImpl& vm, Object* broadcaster, String* name, std::span<const Value> args);

}  // namespace swfplayer::avm1
