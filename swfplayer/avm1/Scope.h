// A link of a scope chain: variables are looked up from the innermost link outwards. A
// function's activation adds a local link, `with` adds its object, a timeline's code has its
// clip as the target link, and the global object ends every chain.
#pragma once

#include "swfplayer/avm1/Object.h"

namespace swfplayer::avm1 {

enum class ScopeKind : uint8_t {
  kGlobal,
  kTarget,  // a timeline: variables a script sets without `var` end up here
  kLocal,   // a function's activation
  kWith,
};

class Scope final : public Cell {
 public:
  Scope(Scope* parent, ScopeKind kind, Object* object) : parent(parent), object(object), kind(kind) {}
  void Trace(Tracer& tracer) override {
    tracer.Mark(parent);
    tracer.Mark(object);
  }

  Scope* parent;
  Object* object;
  ScopeKind kind;
};

}  // namespace swfplayer::avm1
