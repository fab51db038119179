// The interpreter proper: an activation runs a range of a decoded program (a timeline's block
// or a function's body) with its scope chain, registers and the `with` and `try` blocks it is
// inside. The operand stack is the Vm's, shared by every activation as in the Flash Player: a
// frame called with Call, or a function, may leave values for its caller. Script calls nest C++ calls (the depth is bounded by
// Limits::maxCallDepth); every activation is linked into VmImpl::activations so the collector
// sees what it holds.
#pragma once

#include <span>
#include <vector>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Scope.h"
#include "swfplayer/avm1/VmImpl.h"
#include "swfplayer/format/ActionProgram.h"

namespace swfplayer::avm1 {

// A `with` body or a try/catch/finally statement the activation is inside.
struct Block {
  enum class Kind : uint8_t { kWith, kTry };
  enum class Phase : uint8_t { kTry, kCatch, kFinally };
  // What a finally body resumes when it ends.
  enum class Pending : uint8_t { kNone, kThrow, kReturn };
  Kind kind = Kind::kWith;
  Phase phase = Phase::kTry;
  Pending pending = Pending::kNone;
  uint32_t begin = 0;      // the whole statement: a jump out of it leaves it
  uint32_t fullEnd = 0;
  uint32_t end = 0;        // the instruction where the current part ends
  uint32_t tryIndex = 0;
  size_t stackDepth = 0;   // the operand stack when the statement began
  Scope* outerScope = nullptr;  // kWith: the chain to return to
  Value pendingValue;      // the exception or the return value a finally holds back
};

struct Activation {
  Activation(VmImpl& vm, ProgramState* state, uint32_t begin, uint32_t end);
  ~Activation();
  Activation(const Activation&) = delete;
  Activation& operator=(const Activation&) = delete;

  void Trace(Tracer& tracer) const;

  VmImpl& vm;
  Activation* outer;
  ProgramState* state;
  const format::ActionProgram* program;
  uint32_t pc;
  uint32_t end;
  uint32_t boundary;                // the nearer of end and the innermost block's end
  uint8_t swfVersion;

  Scope* scope = nullptr;
  Value thisValue;                  // `this` by name
  Value calledThis;                 // the `this` the call was given (held while it runs)
  FunctionObject* callee = nullptr;
  Object* home = nullptr;           // where `super` starts (see SuperObject)
  Object* locals = nullptr;         // a function's own variables
  Object* arguments = nullptr;      // made on first use
  std::vector<Value> args;          // what the function was called with
  OperandStack& stack;              // the Vm's operand stack
  std::vector<Value> registers;     // local registers (DefineFunction2); others are global
  const std::vector<Value>* pool = nullptr;
  ClipObject* baseClip = nullptr;   // the timeline this code belongs to
  ClipObject* target = nullptr;     // tellTarget's clip; null after a tellTarget that failed
  bool lazyArguments = false;       // `arguments` and `super` exist only when a script asks
  bool lazySuper = false;
  bool baseWasGone = false;         // the base clip was already gone when this began
  std::vector<Block> blocks;

  void UpdateBoundary() { boundary = blocks.empty() || blocks.back().end > end ? end : blocks.back().end; }
};

// Runs a script function (VmImpl::Invoke's script half).
Value RunFunction(VmImpl& vm, FunctionObject* function, const Value& thisValue, std::span<const Value> args,
                  Object* home, bool constructing);

// Runs the activation from its pc to the end of its range; the value of its Return.
Value Execute(Activation& activation);

// The operand stack: an empty stack pops undefined; a stack past the bound abandons the block.
inline Value Pop(Activation& activation) {
  if (activation.stack.empty()) return Value();
  const Value value = activation.stack.back();
  activation.stack.pop_back();
  return value;
}
// Makes room for one more value, or abandons the block when the stack is at its bound.
void GrowStack(Activation& activation);
// Inlined whole: a call here made the caller build each value in memory, and copying it back
// out as one 16-byte load stalled on the two stores that had just written it.
[[gnu::always_inline]] inline void Push(Activation& activation, const Value& value) {
  if (activation.stack.size() == activation.stack.capacity()) [[unlikely]] GrowStack(activation);
  activation.stack.push_back(value);
}
// A popped name: already a string nearly always.
inline String* NameOf(VmImpl& vm, const Value& value) { return value.IsString() ? value.AsString() : vm.ToString(value); }

// Registers: a function's own first, then the four global ones; others read undefined.
inline Value GetRegister(const Activation& activation, uint32_t index) {
  if (index < activation.registers.size()) return activation.registers[index];
  if (index < 4) return activation.vm.globalRegisters[index];
  return Value();
}
inline void SetRegister(Activation& activation, uint32_t index, const Value& value) {
  if (index < activation.registers.size()) {
    activation.registers[index] = value;
  } else if (index < 4) {
    activation.vm.globalRegisters[index] = value;
  }
}

}  // namespace swfplayer::avm1
