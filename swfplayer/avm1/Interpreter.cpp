#include "swfplayer/avm1/Interpreter.h"

namespace swfplayer::avm1 {

Activation::Activation(VmImpl& vm, ProgramState* state, uint32_t begin, uint32_t end)
    : vm(vm),
      outer(vm.activations),
      state(state),
      program(state != nullptr ? state->program.get() : nullptr),
      pc(begin),
      end(end),
      swfVersion(vm.SwfVersion()) {
  vm.activations = this;
}

Activation::~Activation() { vm.activations = outer; }

void Activation::Trace(Tracer& tracer) const {
  tracer.Mark(scope);
  tracer.Mark(thisValue);
  tracer.Mark(callee);
  tracer.Mark(home);
  tracer.Mark(arguments);
  tracer.Mark(baseClip);
  tracer.Mark(target);
  for (const Value& value : args) tracer.Mark(value);
  for (const Value& value : stack) tracer.Mark(value);
  for (const Value& value : registers) tracer.Mark(value);
  for (const Block& block : blocks) {
    tracer.Mark(block.outerScope);
    tracer.Mark(block.pendingValue);
  }
}

// Script functions run once the interpreter's loop is in (the next step of this work).
Value RunFunction(VmImpl&, FunctionObject*, const Value&, std::span<const Value>, Object*, bool) { return Value(); }

Value Execute(Activation&) { return Value(); }

}  // namespace swfplayer::avm1
