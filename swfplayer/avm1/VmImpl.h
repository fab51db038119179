// The interpreter's state and the services every part of it uses: the heap, the conversions of
// the movie's version, calls into script, the global object and the built-in prototypes. The
// built-ins (builtins/) see this; the player sees only Vm (Vm.h).
//
// Errors inside are C++ exceptions: a script's `throw` is ScriptThrow (the value waits in
// PendingThrow() while it unwinds) and a bound reached is ScriptAbort (Heap.h), which no script
// catches. The Vm facade catches both, so nothing leaves the interpreter.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/Clip.h"
#include "swfplayer/avm1/Function.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/avm1/OperandStack.h"
#include "swfplayer/avm1/Vm.h"

namespace swfplayer::avm1 {

class ClipObject;
class Scope;
struct Activation;

// A script's `throw` unwinding; the value is VmImpl::PendingThrow().
struct ScriptThrow {};

// Strings the interpreter and the built-ins use all the time, made once.
struct Names {
  String* empty;
  String* prototype;
  String* constructor;
  String* proto;            // __proto__
  String* superConstructor; // __constructor__
  String* resolve;          // __resolve
  String* length;
  String* valueOf;
  String* toString;
  String* thisName;
  String* root;             // _root
  String* parent;           // _parent
  String* global;           // _global
  String* arguments;
  String* superName;        // super
  String* callee;
  String* caller;
  String* undefined;
  String* null;
  String* trueName;
  String* falseName;
  String* nan;
  String* infinity;
  String* negativeInfinity;
  String* objectObject;     // [object Object]
  String* typeFunction;     // [type Function]
  String* typeObject;       // [type Object]
  String* message;
  String* name;
  String* level0;           // _level0
  String* number;           // typeof answers
  String* string;
  String* boolean;
  String* object;
  String* function;
  String* movieclip;
  String* numberClass;      // Number, Boolean, String: the classes primitives box with
  String* booleanClass;
  String* stringClass;
  String* digits[10];

  void Trace(Tracer& tracer) const;
};

// The prototypes of the built-in classes, kept for C++ (a script may delete the globals that
// name them). Built-ins the core does not know keep theirs with VmImpl::Pin.
struct Prototypes {
  Object* object = nullptr;
  Object* function = nullptr;
  Object* array = nullptr;
  Object* boolean = nullptr;
  Object* number = nullptr;
  Object* string = nullptr;
  Object* movieClip = nullptr;
  Object* textField = nullptr;
  Object* error = nullptr;
  // The constructors primitives are boxed with while the movie has not replaced them.
  Object* numberConstructor = nullptr;
  Object* booleanConstructor = nullptr;
  Object* stringConstructor = nullptr;

  void Trace(Tracer& tracer) const;
};

// A decoded program as this interpreter runs it: its strings made once as script strings,
// its constant pools as values. Kept for the life of the Vm (functions made from it outlive
// the frame that ran it).
// The release of Flash Player 8 that Windows shipped first: what getVersion(), $version and
// System.capabilities.version answer.
inline constexpr char kPlayerVersion[] = "WIN 8,0,22,0";

struct ProgramState {
  std::shared_ptr<const format::ActionProgram> program;
  std::vector<String*> strings;                    // program->strings, converted
  std::vector<std::vector<Value>> pools;           // one per ConstantPool action
  // Per function: its body names nothing (no variable, no nested function, no with, no timeline
  // action), so a call needs no scope object of its own: registers and members only, as in
  // compare functions and small math helpers.
  std::vector<bool> scopeFree;
};

class VmImpl {
 public:
  VmImpl(Host& host, uint8_t swfVersion, const Limits& limits);
  ~VmImpl();
  VmImpl(const VmImpl&) = delete;
  VmImpl& operator=(const VmImpl&) = delete;

  Host& host;
  const Limits limits;
  Heap heap;
  Names names;
  Prototypes protos;

  uint8_t SwfVersion() const { return version_; }
  bool CaseSensitive() const { return version_ >= 7; }
  Object* Global() const { return global_; }

  // --- making things ---
  String* NewString(std::u16string_view units) { return String::Make(heap, units); }
  String* Str(std::string_view ascii) { return String::FromAscii(heap, ascii); }
  String* Concat(String* a, String* b) { return String::Concat(heap, a, b, limits.maxStringUnits); }
  // A plain object whose __proto__ is Object.prototype.
  Object* NewObject();
  ArrayObject* NewArray();
  ArrayObject* NewArray(std::span<const Value> elements);
  // A native function (no `prototype` property): what built-in methods are.
  FunctionObject* NewNativeFunction(NativeFunction call, NativeFunction construct = nullptr);
  // A function with a fresh `prototype` object whose `constructor` points back (what
  // DefineFunction and built-in classes make).
  FunctionObject* NewConstructor(FunctionObject* function, Object* prototype = nullptr);
  // Keeps a cell alive for the life of the Vm (prototypes of built-in classes held in C++).
  void Pin(Cell* cell) { pinned_.push_back(cell); }
  // What `new` makes for a prototype of a class (and Extends for a subclass's prototype):
  // built-ins whose instances are not plain objects (arrays, boxed primitives, dates)
  // register how theirs are made; the constructor then fills in what it was given.
  using InstanceFactory = Object* (*)(VmImpl& vm, const Value& proto);
  void RegisterInstanceFactory(ObjectClass objectClass, InstanceFactory factory) {
    factories_[static_cast<uint8_t>(objectClass)] = factory;
  }
  // An instance for this prototype: of the prototype's class when one is registered, else plain.
  Object* NewInstance(const Value& proto);

  // --- conversions as the movie's version does them (valueOf and toString may run) ---
  double ToNumber(const Value& value);
  String* ToString(const Value& value);
  bool ToBoolean(const Value& value) const;
  int32_t ToInt32(const Value& value);
  uint32_t ToUint32(const Value& value);
  // Number hint: valueOf; objects whose valueOf gives no primitive stay objects.
  Value ToPrimitive(const Value& value);
  // For Add2: Dates (SWF 6 and on) by toString, others by valueOf.
  Value ToPrimitiveForAdd(const Value& value);
  // Boxes primitives as the Flash Player does: with whatever _global.Number (Boolean,
  // String) is at the time, constructed with the value; what cannot be boxed (undefined, or a
  // global that is no function) becomes an empty object.
  Object* ToObject(const Value& value);
  // The box of a primitive, or null when there is none.
  Object* Box(const Value& value);
  String* NumberString(double number);
  String* TypeOf(const Value& value);
  // Abstract (==) and strict (===) equality of SWF 5 and on.
  bool LooseEquals(const Value& a, const Value& b);
  static bool StrictEquals(const Value& a, const Value& b);
  // a < b: true, false, or undefined when a NaN is involved.
  Value LessThan(const Value& a, const Value& b);
  bool IsCallable(const Value& value) const {
    return value.IsObject() && value.AsObject()->IsFunction();
  }

  // --- calls into script ---
  Value Call(const Value& function, const Value& thisValue, std::span<const Value> args);
  // object[name](args), with `super` as a method call sets it up; undefined when there is no
  // such function.
  Value CallMethod(const Value& object, String* name, std::span<const Value> args, bool resolve = true);
  // new constructor(args).
  Value Construct(const Value& constructor, std::span<const Value> args);
  // A getter or setter: nested ones (one calling another) go at most kMaxAccessorDepth deep,
  // past which the access answers undefined, as in the Flash Player.
  Value CallAccessor(Object* function, const Value& thisValue, std::span<const Value> args);
  static constexpr int kMaxAccessorDepth = 65;
  int accessorDepth = 0;
  // Set by Invoke when the native constructor it ran refused its arguments (NativeCall::refused).
  bool constructRefused = false;
  // Where `super` starts for a method called on thisValue from native code: its prototype.
  static Object* HomeFor(const Value& thisValue);
  // A function call with everything explicit: home is the object the method was found on
  // (`super` starts above it); caller code (actions) passes what it knows.
  Value Invoke(FunctionObject* function, const Value& thisValue, std::span<const Value> args,
               Object* home, bool constructing);
  // `new` without the entry bookkeeping of Construct (the interpreter's own).
  Value ConstructWith(FunctionObject* constructor, std::span<const Value> args);

  // --- errors ---
  [[noreturn]] void Throw(const Value& value);
  [[noreturn]] void Abort(const std::string& reason);
  const Value& PendingThrow() const { return pendingThrow_; }
  // Host::Unsupported, once per name.
  void Unsupported(std::string_view name);
  void Trace(std::string_view utf8Line) { host.Trace(utf8Line); }

  // --- the display ---
  // The script object of a clip (made on first use); null for null.
  ClipObject* ObjectOf(Clip* clip);
  Clip* Root() { return host.Level(0); }
  // Object.registerClass: the constructor timeline instances of an export name get.
  std::unordered_map<std::u16string, Object*> registeredClasses;

  // --- randomness (random(), Math.random) ---
  uint32_t RandomBelow(uint32_t bound);
  double RandomUnit();

  // --- memory ---
  // Collects when no native code is on the stack and enough was allocated (a safe point).
  void MaybeCollect();
  void Collect();
  // Native code calling into script holds values the collector cannot see: while this is
  // above zero, no collection runs.
  int nativeDepth = 0;
  // What natives that call back into script many times hold (NativeRoots in Native.h), marked
  // as roots so that a collection may run inside those calls.
  std::vector<const std::function<void(Tracer&)>*> nativeRoots;

  // --- the running scripts (Interpreter.cpp) ---
  Activation* activations = nullptr;  // the innermost running activation
  OperandStack stack;                 // the operand stack all activations share
  std::vector<std::vector<Value>> spareBuffers;  // emptied argument and register buffers
  int callDepth = 0;
  Value globalRegisters[4];
  const std::vector<Value>* currentPool = nullptr;  // the last ConstantPool run
  ProgramState* StateOf(const format::ActionProgram& program);
  // Runs a block of a timeline (a frame's DoAction, an init action, a clip event).
  void RunBlock(Clip& clip, const format::ActionProgram& program);
  // The script time budget: checked now and then by running code.
  void BeginTick();
  bool BudgetSpent() const { return budgetSpent_; }
  void CheckBudget();
  // Running code calls this at backward jumps and calls: now and then it checks the time
  // budget, and it collects when that is worth it and safe.
  void SafePoint() {
    if (--safePointCountdown == 0) CheckBudget();
    if (nativeDepth == 0 && heap.WantsCollection()) Collect();
  }
  uint32_t safePointCountdown = 1;
  // Why the last block was abandoned (a bound), for the host's log.
  std::string lastAbort;

  // Built-ins' own state (timers, broadcasters' helpers, ...) that must be traced.
  struct ExtensionState {
    virtual ~ExtensionState() = default;
    virtual void Trace(Tracer& tracer) = 0;
  };
  // The state a built-in keeps under key (T derives from ExtensionState), made on first use.
  template <class T>
  T& State(const char* key) {
    auto& slot = extensions_[key];
    if (!slot) slot = std::make_unique<T>();
    return static_cast<T&>(*slot);
  }

 private:
  void MarkRoots(Tracer& tracer);

  uint8_t version_;
  Object* global_ = nullptr;
  Value pendingThrow_;
  std::vector<Cell*> pinned_;
  InstanceFactory factories_[256] = {};
  std::set<std::string, std::less<>> unsupported_;
  std::unordered_map<const format::ActionProgram*, std::unique_ptr<ProgramState>> programs_;
  std::unordered_map<std::string, std::unique_ptr<ExtensionState>> extensions_;
  std::mt19937 random_;
  double tickStartMs_ = 0;
  bool budgetSpent_ = false;
};

}  // namespace swfplayer::avm1
