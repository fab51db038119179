// `super` in a method of an AS2 class: the method's `this`, seen from one prototype higher
// than the object the method was found on (its home). super.m() finds m from there and runs
// it with the same `this`; super() runs the home's __constructor__ (the superclass that
// Extends recorded).
#pragma once

#include "swfplayer/avm1/Object.h"

namespace swfplayer::avm1 {

class SuperObject final : public Object {
 public:
  SuperObject(Object* self, Object* home) : Object(Value(), ObjectClass::kSuper), self(self), home(home) {}

  // Where lookups through super start.
  Value SuperPrototype() const { return home != nullptr ? home->Proto() : Value(); }
  Value GetThroughSuper(VmImpl& vm, String* name);
  // The method name resolves to, and the object it was found on (null when none).
  Value FindMethod(VmImpl& vm, String* name, Object*& foundOn);

  void Trace(Tracer& tracer) override;

  Object* self;
  Object* home;
};

}  // namespace swfplayer::avm1
