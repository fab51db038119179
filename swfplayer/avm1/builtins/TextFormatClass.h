// TextFormat objects to and from the format data text fields take (types/TextFormat.h).
#pragma once

#include "swfplayer/types/TextFormat.h"

namespace swfplayer::avm1 {

class Object;
class VmImpl;

// A script's TextFormat (any object): each property that is neither undefined nor null is
// converted as the Flash Player converts it; the others stay unset.
TextFormat TextFormatOf(VmImpl& vm, Object* object);
// A new TextFormat object; unset properties are null.
Object* NewTextFormatObject(VmImpl& vm, const TextFormat& format);

}  // namespace swfplayer::avm1
