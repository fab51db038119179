// Functions are objects that can be called: native ones (C++, the built-ins) and script ones
// (DefineFunction and DefineFunction2 bodies with the scope chain, constant pool and timeline
// they were made under). The native calling convention is NativeCall (Native.h).
#pragma once

#include <cstdint>

#include "swfplayer/avm1/Object.h"

namespace swfplayer::avm1 {

struct NativeCall;
struct ProgramState;
class Scope;

using NativeFunction = Value (*)(NativeCall& call);

// What a script function runs: a function of a decoded program, and what it closed over.
struct ScriptCode {
  const ProgramState* program = nullptr;
  uint32_t function = 0;            // index into the program's functions
  Scope* scope = nullptr;           // the scope chain it was defined in
  const std::vector<Value>* constantPool = nullptr;
  Object* baseClip = nullptr;       // the timeline whose code defined it (a movie clip object)
  uint8_t swfVersion = 0;
};

class FunctionObject final : public Object {
 public:
  // A native function; construct (may be null) runs instead of call for `new`.
  FunctionObject(Value proto, NativeFunction call, NativeFunction construct)
      : Object(proto, ObjectClass::kFunction), native(call), nativeConstruct(construct) {}
  FunctionObject(Value proto, const ScriptCode& code)
      : Object(proto, ObjectClass::kFunction), script(code), isScript(true) {}

  void Trace(Tracer& tracer) override;

  NativeFunction native = nullptr;
  NativeFunction nativeConstruct = nullptr;
  ScriptCode script;
  bool isScript = false;
};

}  // namespace swfplayer::avm1
