#include "swfplayer/avm1/Interpreter.h"

#include <cmath>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/BlockFlow.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/SoundControl.h"

namespace swfplayer::avm1 {

using format::ActionCode;
using format::Instruction;
using format::PushItem;

namespace {

// A value of a comparison: booleans from SWF 5 on, 1 and 0 before.
Value Truth(const Activation& activation, bool value) {
  if (activation.swfVersion < 5) return Value(value ? 1.0 : 0.0);
  return Value(value);
}

[[gnu::always_inline]] inline Value PushValue(const Activation& activation, const PushItem& item) {
  switch (item.kind) {
    case PushItem::Kind::kString:
      return Value(activation.state->strings[item.index]);
    case PushItem::Kind::kNumber:
      return Value(item.number);
    case PushItem::Kind::kNull:
      return Value::Null();
    case PushItem::Kind::kRegister:
      return GetRegister(activation, item.index);
    case PushItem::Kind::kBoolean:
      return Value(item.number != 0);
    case PushItem::Kind::kConstant:
      if (activation.pool != nullptr && item.index < activation.pool->size()) return (*activation.pool)[item.index];
      return Value();
    default:
      return Value();
  }
}

// What LookupName's first step finds (the innermost scope's own stored variable), read here
// without its calls; false leaves the name to the general way. Names of the lengths of `this`,
// `arguments` and `super` always go that way, as they may stand for something else.
[[gnu::always_inline]] inline bool ReadInnermostVariable(Activation& activation, String* name, Value& out) {
  const size_t length = name->Length();
  if (activation.scope == nullptr || length == 4 || length == 5 || length == 9 || name->HasPathSeparator()) return false;
  VmImpl& vm = activation.vm;
  return activation.scope->object->GetOwnData(name, vm.CaseSensitive(), vm.SwfVersion(), out);
}

String* UnitString(VmImpl& vm, char16_t unit) {
  if (unit == 0) return vm.names.empty;
  return vm.NewString(std::u16string_view(&unit, 1));
}

// SWF 4's substring and mbsubstring: 1-based start, a count that runs to the end when it does
// not fit.
String* Substring(VmImpl& vm, String* text, int32_t start, int32_t count) {
  const size_t from = start >= 1 ? static_cast<size_t>(start - 1) : 0;
  size_t to = text->Length();
  if (count >= 0 && from + static_cast<size_t>(count) <= text->Length()) to = from + static_cast<size_t>(count);
  if (from >= to) return vm.names.empty;
  return vm.NewString(text->View().substr(from, to - from));
}

Value Loop(Activation& activation) {
  VmImpl& vm = activation.vm;
  const Instruction* code = activation.program->code.data();
  const PushItem* pushes = activation.program->pushes.data();
  const uint8_t version = activation.swfVersion;
  for (;;) {
    if (activation.pc >= activation.boundary) {
      Value returned;
      switch (ReachBoundary(activation, returned)) {
        case BoundaryResult::kContinue:
          continue;
        case BoundaryResult::kReturn:
          return returned;
        case BoundaryResult::kEnd:
          return Value();
      }
    }
    const Instruction& in = code[activation.pc++];
    switch (in.code) {
      case ActionCode::kEnd:
        return Value();
      case ActionCode::kPush: {
        const PushItem* items = pushes + in.a;
        // A push of a name right before GetVariable (the commonest pair there is) reads the
        // variable at once.
        if (in.b > 0 && activation.pc < activation.boundary && code[activation.pc].code == ActionCode::kGetVariable) {
          for (uint32_t i = 0; i + 1 < in.b; ++i) Push(activation, PushValue(activation, items[i]));
          String* name = NameOf(vm, PushValue(activation, items[in.b - 1]));
          ++activation.pc;
          Value value;
          if (!ReadInnermostVariable(activation, name, value)) value = GetVariable(activation, name);
          Push(activation, value);
          break;
        }
        for (uint32_t i = 0; i < in.b; ++i) Push(activation, PushValue(activation, items[i]));
        break;
      }
      case ActionCode::kPop:
        Pop(activation);
        break;
      case ActionCode::kPushDuplicate: {
        const Value top = activation.stack.empty() ? Value() : activation.stack.back();
        Push(activation, top);
        break;
      }
      case ActionCode::kStackSwap: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        Push(activation, a);
        Push(activation, b);
        break;
      }
      case ActionCode::kStoreRegister:
        SetRegister(activation, in.byte, activation.stack.empty() ? Value() : activation.stack.back());
        break;
      case ActionCode::kConstantPool:
        activation.pool = &activation.state->pools[in.a];
        vm.currentPool = activation.pool;
        break;
      case ActionCode::kJump:
        Jump(activation, in.a);
        break;
      case ActionCode::kIf: {
        const Value condition = Pop(activation);
        if (condition.IsBoolean() ? condition.AsBoolean() : vm.ToBoolean(condition)) Jump(activation, in.a);
        break;
      }

      // --- SWF 4 arithmetic and logic (numbers; comparisons push 1 and 0 before SWF 5) ---
      case ActionCode::kAdd: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        const double left = vm.ToNumber(b);
        Push(activation, Value(left + vm.ToNumber(a)));
        break;
      }
      case ActionCode::kSubtract: {
        const double a = vm.ToNumber(Pop(activation));
        const double b = vm.ToNumber(Pop(activation));
        Push(activation, Value(b - a));
        break;
      }
      case ActionCode::kMultiply: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        const double left = vm.ToNumber(b);
        Push(activation, Value(left * vm.ToNumber(a)));
        break;
      }
      case ActionCode::kDivide: {
        const double a = vm.ToNumber(Pop(activation));
        const double b = vm.ToNumber(Pop(activation));
        if (a == 0 && version < 5) {
          Push(activation, Value(vm.Str("#ERROR#")));
        } else {
          Push(activation, Value(b / a));
        }
        break;
      }
      case ActionCode::kModulo: {
        const double a = vm.ToNumber(Pop(activation));
        const double b = vm.ToNumber(Pop(activation));
        Push(activation, Value(std::fmod(b, a)));
        break;
      }
      case ActionCode::kEquals: {
        const double a = vm.ToNumber(Pop(activation));
        const double b = vm.ToNumber(Pop(activation));
        Push(activation, Truth(activation, a == b));
        break;
      }
      case ActionCode::kLess: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        const double left = vm.ToNumber(b);
        Push(activation, Truth(activation, left < vm.ToNumber(a)));
        break;
      }
      case ActionCode::kAnd: {
        const bool a = vm.ToBoolean(Pop(activation));
        const bool b = vm.ToBoolean(Pop(activation));
        Push(activation, Truth(activation, a && b));
        break;
      }
      case ActionCode::kOr: {
        const bool a = vm.ToBoolean(Pop(activation));
        const bool b = vm.ToBoolean(Pop(activation));
        Push(activation, Truth(activation, a || b));
        break;
      }
      case ActionCode::kNot:
        Push(activation, Truth(activation, !vm.ToBoolean(Pop(activation))));
        break;
      case ActionCode::kToInteger:
        Push(activation, Value(static_cast<double>(vm.ToInt32(Pop(activation)))));
        break;
      case ActionCode::kToNumber:
        Push(activation, Value(vm.ToNumber(Pop(activation))));
        break;
      case ActionCode::kToString:
        Push(activation, Value(vm.ToString(Pop(activation))));
        break;
      case ActionCode::kIncrement:
        if (!activation.stack.empty() && activation.stack.back().IsNumber()) {
          activation.stack.back() = Value(activation.stack.back().AsNumber() + 1);
        } else {
          Push(activation, Value(vm.ToNumber(Pop(activation)) + 1));
        }
        break;
      case ActionCode::kDecrement:
        Push(activation, Value(vm.ToNumber(Pop(activation)) - 1));
        break;

      // --- strings ---
      case ActionCode::kStringAdd: {
        String* a = vm.ToString(Pop(activation));
        String* b = vm.ToString(Pop(activation));
        Push(activation, Value(vm.Concat(b, a)));
        break;
      }
      case ActionCode::kStringEquals: {
        String* a = vm.ToString(Pop(activation));
        String* b = vm.ToString(Pop(activation));
        Push(activation, Truth(activation, a->Equals(*b)));
        break;
      }
      case ActionCode::kStringLess: {
        String* a = vm.ToString(Pop(activation));
        String* b = vm.ToString(Pop(activation));
        Push(activation, Truth(activation, b->Compare(*a) < 0));
        break;
      }
      case ActionCode::kStringGreater: {
        const Value a = Pop(activation);
        String* b = vm.ToString(Pop(activation));
        Push(activation, Truth(activation, b->Compare(*vm.ToString(a)) > 0));
        break;
      }
      case ActionCode::kStringLength:
      case ActionCode::kMBStringLength:
        Push(activation, Value(static_cast<double>(vm.ToString(Pop(activation))->Length())));
        break;
      case ActionCode::kStringExtract:
      case ActionCode::kMBStringExtract: {
        const int32_t count = vm.ToInt32(Pop(activation));
        const int32_t start = vm.ToInt32(Pop(activation));
        String* text = vm.ToString(Pop(activation));
        Push(activation, Value(Substring(vm, text, start, count)));
        break;
      }
      case ActionCode::kCharToAscii:
      case ActionCode::kMBCharToAscii: {
        String* text = vm.ToString(Pop(activation));
        char16_t unit = text->Empty() ? 0 : text->At(0);
        if (version >= 6 && unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        Push(activation, Value(static_cast<double>(unit)));
        break;
      }
      case ActionCode::kAsciiToChar:
      case ActionCode::kMBAsciiToChar: {
        auto unit = static_cast<char16_t>(DoubleToUint32(vm.ToNumber(Pop(activation))) & 0xFFFF);
        if (version >= 6 && unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
        Push(activation, Value(UnitString(vm, unit)));
        break;
      }

      // --- SWF 5 operators ---
      case ActionCode::kAdd2: {
        const size_t size = activation.stack.size();
        if (size >= 2 && activation.stack[size - 1].IsNumber() && activation.stack[size - 2].IsNumber()) {
          const double sum = activation.stack[size - 2].AsNumber() + activation.stack[size - 1].AsNumber();
          activation.stack.pop_back();
          activation.stack.back() = Value(sum);
          break;
        }
        const Value a = vm.ToPrimitiveForAdd(Pop(activation));
        const Value b = vm.ToPrimitiveForAdd(Pop(activation));
        if (a.IsNumber() && b.IsNumber()) {
          Push(activation, Value(b.AsNumber() + a.AsNumber()));
        } else if (a.IsString() || b.IsString()) {
          String* right = vm.ToString(a);
          Push(activation, Value(vm.Concat(vm.ToString(b), right)));
        } else {
          const double left = vm.ToNumber(b);
          Push(activation, Value(left + vm.ToNumber(a)));
        }
        break;
      }
      case ActionCode::kLess2: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        if (a.IsNumber() && b.IsNumber() && !std::isnan(a.AsNumber()) && !std::isnan(b.AsNumber())) {
          Push(activation, Value(b.AsNumber() < a.AsNumber()));
        } else {
          Push(activation, vm.LessThan(b, a));
        }
        break;
      }
      case ActionCode::kGreater: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        Push(activation, vm.LessThan(a, b));
        break;
      }
      case ActionCode::kEquals2: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        Push(activation, Value(vm.LooseEquals(b, a)));
        break;
      }
      case ActionCode::kStrictEquals: {
        const Value a = Pop(activation);
        const Value b = Pop(activation);
        Push(activation, Value(VmImpl::StrictEquals(b, a)));
        break;
      }
      case ActionCode::kTypeOf:
        Push(activation, Value(vm.TypeOf(Pop(activation))));
        break;
      case ActionCode::kBitAnd: {
        const int32_t a = vm.ToInt32(Pop(activation));
        const int32_t b = vm.ToInt32(Pop(activation));
        Push(activation, Value(static_cast<double>(a & b)));
        break;
      }
      case ActionCode::kBitOr: {
        const int32_t a = vm.ToInt32(Pop(activation));
        const int32_t b = vm.ToInt32(Pop(activation));
        Push(activation, Value(static_cast<double>(a | b)));
        break;
      }
      case ActionCode::kBitXor: {
        const int32_t a = vm.ToInt32(Pop(activation));
        const int32_t b = vm.ToInt32(Pop(activation));
        Push(activation, Value(static_cast<double>(a ^ b)));
        break;
      }
      case ActionCode::kBitLShift: {
        const uint32_t a = static_cast<uint32_t>(vm.ToInt32(Pop(activation))) & 31;
        const int32_t b = vm.ToInt32(Pop(activation));
        Push(activation, Value(static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(b) << a))));
        break;
      }
      case ActionCode::kBitRShift: {
        const uint32_t a = vm.ToUint32(Pop(activation)) & 31;
        const int32_t b = vm.ToInt32(Pop(activation));
        Push(activation, Value(static_cast<double>(b >> a)));
        break;
      }
      case ActionCode::kBitURShift: {
        const uint32_t a = vm.ToUint32(Pop(activation)) & 31;
        const uint32_t b = vm.ToUint32(Pop(activation)) >> a;
        // The Flash Player of SWF 8 and 9 gives the unsigned shift a signed result.
        const double result = version == 8 || version == 9 ? static_cast<double>(static_cast<int32_t>(b))
                                                           : static_cast<double>(b);
        Push(activation, Value(result));
        break;
      }

      // --- variables and members ---
      case ActionCode::kGetVariable:
        Push(activation, GetVariable(activation, NameOf(vm, Pop(activation))));
        break;
      case ActionCode::kSetVariable: {
        const Value value = Pop(activation);
        SetVariable(activation, NameOf(vm, Pop(activation)), value);
        break;
      }
      case ActionCode::kDefineLocal: {
        const Value value = Pop(activation);
        DefineLocal(activation, NameOf(vm, Pop(activation)), value);
        break;
      }
      case ActionCode::kDefineLocal2:
        DefineLocal2(activation, NameOf(vm, Pop(activation)));
        break;
      case ActionCode::kDelete: {
        String* name = vm.ToString(Pop(activation));
        const Value object = Pop(activation);
        Push(activation, Value(object.IsObject() && object.AsObject()->Delete(vm, name)));
        break;
      }
      case ActionCode::kDelete2:
        Push(activation, Value(DeleteVariable(activation, vm.ToString(Pop(activation)))));
        break;
      case ActionCode::kGetMember: {
        const Value name = Pop(activation);
        const Value object = Pop(activation);
        Push(activation, GetMember(activation, object, name));
        break;
      }
      case ActionCode::kSetMember: {
        const Value value = Pop(activation);
        const Value name = Pop(activation);
        const Value object = Pop(activation);
        SetMember(activation, object, name, value);
        break;
      }
      case ActionCode::kEnumerate:
        PushEnumeration(activation, GetVariable(activation, NameOf(vm, Pop(activation))));
        break;
      case ActionCode::kEnumerate2:
        PushEnumeration(activation, Pop(activation));
        break;
      case ActionCode::kInitArray:
        InitArrayAction(activation);
        break;
      case ActionCode::kInitObject:
        InitObjectAction(activation);
        break;

      // --- functions and classes ---
      case ActionCode::kDefineFunction:
      case ActionCode::kDefineFunction2:
        DefineFunctionAction(activation, in);
        activation.pc = activation.program->functions[in.a].end;
        break;
      case ActionCode::kCallFunction:
        if (!CallFunctionAction(activation)) return Value();
        break;
      case ActionCode::kCallMethod:
        if (!CallMethodAction(activation)) return Value();
        break;
      case ActionCode::kNewObject:
        if (!NewObjectAction(activation)) return Value();
        break;
      case ActionCode::kNewMethod:
        if (!NewMethodAction(activation)) return Value();
        break;
      case ActionCode::kReturn: {
        const Value value = Pop(activation);
        if (!activation.blocks.empty() && ReturnThroughFinally(activation, value)) break;
        return value;
      }
      case ActionCode::kExtends:
        ExtendsAction(activation);
        break;
      case ActionCode::kImplementsOp:
        ImplementsAction(activation);
        break;
      case ActionCode::kInstanceOf: {
        const Value constructor = Pop(activation);
        const Value object = Pop(activation);
        Push(activation, Value(IsInstanceOf(vm, object, vm.ToObject(constructor))));
        break;
      }
      case ActionCode::kCastOp: {
        const Value object = Pop(activation);
        Object* constructor = vm.ToObject(Pop(activation));
        Push(activation, IsInstanceOf(vm, object, constructor) ? object : Value::Null());
        break;
      }
      case ActionCode::kThrow:
        vm.Throw(Pop(activation));
      case ActionCode::kWith: {
        const Value object = Pop(activation);
        if (object.IsNullish()) {
          vm.Trace("Error: A 'with' action failed because the specified object did not exist.");
          activation.pc = in.a;
          break;
        }
        Block block;
        block.kind = Block::Kind::kWith;
        block.begin = activation.pc;
        block.fullEnd = block.end = in.a;
        block.outerScope = activation.scope;
        block.stackDepth = activation.stack.size();
        activation.scope = vm.heap.New<Scope>(activation.scope, ScopeKind::kWith, vm.ToObject(object));
        activation.blocks.push_back(block);
        activation.UpdateBoundary();
        break;
      }
      case ActionCode::kTry: {
        const format::TryInfo& info = activation.program->tries[in.a];
        Block block;
        block.kind = Block::Kind::kTry;
        block.tryIndex = in.a;
        block.begin = activation.pc;
        block.fullEnd = info.finallyEnd;
        block.end = info.tryEnd;
        block.stackDepth = activation.stack.size();
        activation.blocks.push_back(block);
        activation.UpdateBoundary();
        break;
      }

      // --- the timeline and the display ---
      case ActionCode::kNextFrame:
      case ActionCode::kPrevFrame:
      case ActionCode::kPlay:
      case ActionCode::kStop:
      case ActionCode::kGotoFrame:
      case ActionCode::kGotoLabel:
        TimelineAction(activation, in);
        break;
      case ActionCode::kGotoFrame2:
        GotoFrame2Action(activation, in);
        break;
      case ActionCode::kSetTarget:
        SetTargetPath(activation, activation.state->program->strings[in.a]);
        break;
      case ActionCode::kSetTarget2:
        SetTargetValue(activation, Pop(activation));
        break;
      case ActionCode::kGetProperty:
        GetPropertyAction(activation);
        break;
      case ActionCode::kSetProperty:
        SetPropertyAction(activation);
        break;
      case ActionCode::kCloneSprite:
        CloneSpriteAction(activation);
        break;
      case ActionCode::kRemoveSprite:
        RemoveSpriteAction(activation);
        break;
      case ActionCode::kCall:
        CallFrameAction(activation);
        break;
      case ActionCode::kTargetPath: {
        const Value target = Pop(activation);
        if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
          Push(activation, Value(vm.NewString(static_cast<ClipObject*>(target.AsObject())->TargetPath(vm))));
        } else {
          Push(activation, Value());
        }
        break;
      }
      case ActionCode::kWaitForFrame:
        if (!FrameLoaded(activation, Value(static_cast<double>(in.b) + 1))) Jump(activation, in.a);
        break;
      case ActionCode::kWaitForFrame2:
        if (!FrameLoaded(activation, Pop(activation))) Jump(activation, in.a);
        break;
      case ActionCode::kGetUrl:
        GetUrlAction(activation, in);
        break;
      case ActionCode::kGetUrl2:
        GetUrl2Action(activation, in);
        break;
      case ActionCode::kStartDrag:
        StartDragAction(activation);
        break;
      case ActionCode::kStopSounds:
        if (SoundControl* sounds = vm.host.Sounds()) sounds->StopAll();
        break;
      case ActionCode::kEndDrag:
      case ActionCode::kToggleQuality:
        break;  // no pointer, no quality switch
      case ActionCode::kTrace: {
        const Value value = Pop(activation);
        // trace prints "undefined" in every version, though undefined converts to "" before 7.
        vm.Trace(value.IsUndefined() ? std::string("undefined") : vm.ToString(value)->ToUtf8());
        break;
      }
      case ActionCode::kGetTime:
        Push(activation, Value(std::floor(vm.host.ElapsedMs())));
        break;
      case ActionCode::kRandomNumber: {
        const double bound = vm.ToNumber(Pop(activation));
        const int32_t max = std::isnan(bound) ? 0 : static_cast<int32_t>(std::clamp(bound, -2147483648.0, 2147483647.0));
        Push(activation, Value(static_cast<double>(max > 0 ? vm.RandomBelow(static_cast<uint32_t>(max)) : 0)));
        break;
      }
      case ActionCode::kUnknown:
        vm.Unsupported("action 0x" + std::string(1, "0123456789abcdef"[(in.a >> 4) & 15]) +
                       std::string(1, "0123456789abcdef"[in.a & 15]));
        break;
    }
  }
}

}  // namespace

Value Execute(Activation& activation) {
  for (;;) {
    try {
      return Loop(activation);
    } catch (const ScriptThrow&) {
      if (!CatchThrow(activation)) throw;
    }
  }
}

}  // namespace swfplayer::avm1
