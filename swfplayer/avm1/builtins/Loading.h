// What XML and LoadVars do when asked to load: nothing reaches a network or a file, so every
// load fails, and the movie is told so as the Flash Player tells it about a load that failed:
// the object is marked as loading now, and on a later tick its onData runs with undefined (the
// default onData then calls onLoad(false)).
#pragma once

#include "swfplayer/avm1/Native.h"

namespace swfplayer::avm1 {

void StartFailingLoad(VmImpl& vm, Object* target);

// getBytesLoaded and getBytesTotal: what the last load left in the object's hidden fields.
Value BytesLoaded(NativeCall& call);
Value BytesTotal(NativeCall& call);

}  // namespace swfplayer::avm1
