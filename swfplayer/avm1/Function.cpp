#include "swfplayer/avm1/Function.h"

#include "swfplayer/avm1/Scope.h"

namespace swfplayer::avm1 {

void FunctionObject::Trace(Tracer& tracer) {
  Object::Trace(tracer);
  if (isScript) {
    tracer.Mark(script.scope);
    tracer.Mark(script.baseClip);
  }
}

}  // namespace swfplayer::avm1
