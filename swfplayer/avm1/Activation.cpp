// Activations: what a block or a function call runs with, how it starts (RunBlock,
// RunFunction), the programs' strings made once per Vm, and the time budget.
#include <algorithm>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/Interpreter.h"
#include "swfplayer/avm1/SuperObject.h"

namespace swfplayer::avm1 {

Activation::Activation(VmImpl& vm, ProgramState* state, uint32_t begin, uint32_t end)
    : vm(vm),
      outer(vm.activations),
      state(state),
      program(state->program.get()),
      pc(begin),
      end(end),
      boundary(end),
      swfVersion(vm.SwfVersion()),
      stack(vm.stack) {
  vm.activations = this;
  // A call takes the buffers of an earlier one: a compare function that sort calls a million
  // times then costs no allocation for them.
  for (std::vector<Value>* buffer : {&args, &registers}) {
    if (vm.spareBuffers.empty()) break;
    buffer->swap(vm.spareBuffers.back());
    vm.spareBuffers.pop_back();
  }
}

Activation::~Activation() {
  vm.activations = outer;
  for (std::vector<Value>* buffer : {&args, &registers}) {
    if (buffer->capacity() == 0 || buffer->capacity() > 64 || vm.spareBuffers.size() >= 32) continue;
    buffer->clear();
    vm.spareBuffers.push_back(std::move(*buffer));
  }
}

void Activation::Trace(Tracer& tracer) const {
  tracer.Mark(scope);
  tracer.Mark(thisValue);
  tracer.Mark(calledThis);
  tracer.Mark(callee);
  tracer.Mark(home);
  tracer.Mark(locals);
  tracer.Mark(arguments);
  tracer.Mark(baseClip);
  tracer.Mark(target);
  for (const Value& value : args) tracer.Mark(value);
  for (const Value& value : registers) tracer.Mark(value);
  for (const Block& block : blocks) {
    tracer.Mark(block.outerScope);
    tracer.Mark(block.pendingValue);
  }
}

void GrowStack(Activation& activation) {
  OperandStack& stack = activation.stack;
  const size_t bound = activation.vm.limits.maxStackValues;
  if (stack.size() >= bound) activation.vm.Abort("the operand stack is full");
  stack.reserve(std::min(bound, std::max<size_t>(64, stack.capacity() * 2)));
}

namespace {

// Whether a body only computes with the stack, registers and members: none of its actions reads
// or writes the scope chain or the timeline. Named parameters go into the scope object.
bool IsScopeFree(const format::ActionProgram& program, const format::FunctionInfo& function) {
  using format::ActionCode;
  for (const format::FunctionParam& param : function.params) {
    if (!function.isFunction2 || param.reg == 0) return false;
  }
  for (uint32_t pc = function.begin; pc < function.end && pc < program.code.size(); ++pc) {
    switch (program.code[pc].code) {
      case ActionCode::kEnd: case ActionCode::kAdd: case ActionCode::kSubtract: case ActionCode::kMultiply:
      case ActionCode::kDivide: case ActionCode::kEquals: case ActionCode::kLess: case ActionCode::kAnd:
      case ActionCode::kOr: case ActionCode::kNot: case ActionCode::kStringEquals: case ActionCode::kStringLength:
      case ActionCode::kStringExtract: case ActionCode::kPop: case ActionCode::kToInteger: case ActionCode::kStringAdd:
      case ActionCode::kTrace: case ActionCode::kStringLess: case ActionCode::kThrow: case ActionCode::kCastOp:
      case ActionCode::kImplementsOp: case ActionCode::kRandomNumber: case ActionCode::kMBStringLength:
      case ActionCode::kCharToAscii: case ActionCode::kAsciiToChar: case ActionCode::kGetTime:
      case ActionCode::kMBStringExtract: case ActionCode::kMBCharToAscii: case ActionCode::kMBAsciiToChar:
      case ActionCode::kDelete: case ActionCode::kReturn: case ActionCode::kModulo: case ActionCode::kInitArray:
      case ActionCode::kInitObject: case ActionCode::kTypeOf: case ActionCode::kEnumerate2: case ActionCode::kAdd2:
      case ActionCode::kLess2: case ActionCode::kEquals2: case ActionCode::kToNumber: case ActionCode::kToString:
      case ActionCode::kPushDuplicate: case ActionCode::kStackSwap: case ActionCode::kGetMember:
      case ActionCode::kSetMember: case ActionCode::kIncrement: case ActionCode::kDecrement:
      case ActionCode::kCallMethod: case ActionCode::kNewMethod: case ActionCode::kInstanceOf:
      case ActionCode::kBitAnd: case ActionCode::kBitOr: case ActionCode::kBitXor: case ActionCode::kBitLShift:
      case ActionCode::kBitRShift: case ActionCode::kBitURShift: case ActionCode::kStrictEquals:
      case ActionCode::kGreater: case ActionCode::kStringGreater: case ActionCode::kExtends:
      case ActionCode::kStoreRegister: case ActionCode::kConstantPool: case ActionCode::kPush:
      case ActionCode::kJump: case ActionCode::kIf:
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

ProgramState* VmImpl::StateOf(const format::ActionProgram& program) {
  const auto found = programs_.find(&program);
  if (found != programs_.end()) return found->second.get();
  // Made whole before it is kept: the heap's bound may stop it half way.
  auto state = std::make_unique<ProgramState>();
  state->program = program.shared_from_this();
  state->strings.reserve(program.strings.size());
  for (const std::u16string& text : program.strings) state->strings.push_back(NewString(text));
  for (const auto& pool : program.pools) {
    std::vector<Value>& values = state->pools.emplace_back();
    for (uint32_t index : pool) values.push_back(Value(state->strings[index]));
  }
  state->scopeFree.reserve(program.functions.size());
  for (const format::FunctionInfo& function : program.functions) state->scopeFree.push_back(IsScopeFree(program, function));
  ProgramState* made = state.get();
  programs_.emplace(&program, std::move(state));
  return made;
}

void VmImpl::BeginTick() {
  tickStartMs_ = host.WallClockMs();
  budgetSpent_ = false;
  safePointCountdown = 1;
}

void VmImpl::CheckBudget() {
  safePointCountdown = 2048;
  if (host.WallClockMs() - tickStartMs_ > limits.tickBudgetMs) {
    budgetSpent_ = true;
    Abort("the scripts of this tick ran longer than " + std::to_string(static_cast<int>(limits.tickBudgetMs)) +
          " ms");
  }
}

void VmImpl::RunBlock(Clip& clip, const format::ActionProgram& program) {
  ProgramState* state = StateOf(program);
  ClipObject* object = ObjectOf(&clip);
  Activation activation(*this, state, 0, static_cast<uint32_t>(program.code.size() - 1));
  activation.scope = heap.New<Scope>(heap.New<Scope>(nullptr, ScopeKind::kGlobal, Global()), ScopeKind::kTarget, object);
  activation.thisValue = Value(object);
  activation.baseClip = object;
  activation.target = object;
  activation.pool = currentPool;
  Execute(activation);
  // What the outermost block leaves on the stack goes with it.
  if (activation.outer == nullptr) stack.clear();
}

Value RunFunction(VmImpl& vm, FunctionObject* function, const Value& thisValue, std::span<const Value> args,
                  Object* home, bool constructing) {
  const ScriptCode& code = function->script;
  const format::FunctionInfo& info = code.program->program->functions[code.function];
  if (vm.callDepth >= vm.limits.maxCallDepth) {
    vm.Abort("256 levels of recursion were exceeded in one action list.");
  }
  Activation* caller = vm.activations;
  Activation activation(vm, const_cast<ProgramState*>(code.program), info.begin, info.end);
  ++vm.callDepth;
  struct Leave {
    VmImpl& vm;
    ~Leave() { --vm.callDepth; }
  } leave{vm};
  (void)constructing;

  // SWF 6 functions close over the scope they were made in; SWF 5 ones see the global object
  // and the timeline of their `this` (or of their caller) only.
  auto* clipOf = [](const Value& value) -> ClipObject* {
    return value.IsObject() && value.AsObject()->Class() == ObjectClass::kMovieClip
               ? static_cast<ClipObject*>(value.AsObject())
               : nullptr;
  }(thisValue);
  ClipObject* base = static_cast<ClipObject*>(code.baseClip);
  Scope* parent = code.scope;
  const bool scopeFree = code.program->scopeFree[code.function];
  if (code.swfVersion < 6) {
    if (clipOf != nullptr) {
      base = clipOf;
    } else if (caller != nullptr && caller->target != nullptr) {
      base = caller->target;
    } else if (caller != nullptr) {
      base = vm.ObjectOf(vm.Root());
    }
    if (base != nullptr && !scopeFree) {
      parent = vm.heap.New<Scope>(vm.heap.New<Scope>(nullptr, ScopeKind::kGlobal, vm.Global()), ScopeKind::kTarget, base);
    }
  }
  if (scopeFree) {
    activation.scope = parent;
  } else {
    activation.locals = vm.heap.New<Object>(Value());
    activation.scope = vm.heap.New<Scope>(parent, ScopeKind::kLocal, activation.locals);
  }
  activation.baseClip = base;
  activation.target = base;
  activation.baseWasGone = base != nullptr && base->Live(vm) != base;
  activation.pool = code.constantPool;
  activation.callee = function;
  activation.home = home;
  activation.args.assign(args.begin(), args.end());
  activation.calledThis = thisValue;

  using namespace format::function_flags;
  const uint16_t flags = info.flags;
  // A function that takes `this` in a register sees its caller's `this` by name.
  activation.thisValue = (flags & (kPreloadThis | kSuppressThis)) && caller != nullptr ? caller->thisValue : thisValue;
  if (info.isFunction2) activation.registers.assign(info.registerCount, Value());
  uint32_t preload = 1;
  if (flags & kPreloadThis) SetRegister(activation, preload++, (flags & kSuppressThis) ? Value() : thisValue);
  if (flags & kPreloadArguments) {
    MaterializeLazyLocals(activation, vm.names.arguments);
    SetRegister(activation, preload++, Value(activation.arguments));
  } else if (!(flags & kSuppressArguments)) {
    activation.lazyArguments = true;
  }
  if (flags & kPreloadSuper) {
    Value super;
    if (!(flags & kSuppressSuper) && thisValue.IsObject()) {
      super = Value(vm.heap.New<SuperObject>(thisValue.AsObject(), home));
    }
    SetRegister(activation, preload++, super);
  } else if (!(flags & kSuppressSuper)) {
    activation.lazySuper = thisValue.IsObject();
  }
  if (flags & kPreloadRoot) SetRegister(activation, preload++, ObjectValue(vm.ObjectOf(vm.Root())));
  if (flags & kPreloadParent) {
    // A timeline without a parent leaves the register to the next preload, as the Flash
    // Player does.
    Clip* clip = base != nullptr ? base->GetClip(vm) : nullptr;
    if (clip != nullptr && clip->Parent() != nullptr) SetRegister(activation, preload++, Value(vm.ObjectOf(clip->Parent())));
  }
  if (flags & kPreloadGlobal) SetRegister(activation, preload++, Value(vm.Global()));
  const auto& names = code.program->strings;
  for (size_t i = 0; i < info.params.size(); ++i) {
    const Value value = i < args.size() ? args[i] : Value();
    const format::FunctionParam& param = info.params[i];
    if (info.isFunction2 && param.reg != 0) {
      SetRegister(activation, param.reg, value);
    } else if (param.name != format::kNoString) {
      activation.locals->DefineValue(vm, names[param.name], value, 0);
    }
  }
  vm.SafePoint();
  return Execute(activation);
}

}  // namespace swfplayer::avm1
