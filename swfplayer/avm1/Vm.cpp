#include "swfplayer/avm1/Vm.h"

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Interpreter.h"
#include "swfplayer/avm1/TextVariables.h"
#include "swfplayer/avm1/builtins/SoundClass.h"
#include "swfplayer/avm1/builtins/Timers.h"

namespace swfplayer::avm1 {

namespace {

// Runs one entry into script: a throw nobody caught ends it, a bound abandons it (and is
// remembered for the host's log); nothing else leaves.
template <class Body>
void Guarded(VmImpl& vm, Body&& body) {
  if (vm.BudgetSpent()) return;
  try {
    body();
  } catch (const ScriptThrow&) {
    // An uncaught exception ends the block that threw it.
  } catch (const ScriptAbort& abort) {
    vm.lastAbort = abort.reason;
  }
  if (vm.activations == nullptr) vm.stack.clear();
}

}  // namespace

Vm::Vm(Host& host, uint8_t swfVersion, const Limits& limits)
    : impl_(std::make_unique<VmImpl>(host, swfVersion, limits)) {}

Vm::~Vm() = default;

uint8_t Vm::SwfVersion() const { return impl_->SwfVersion(); }

void Vm::RunFrameScript(Clip& clip, const format::ActionProgram& program) {
  Guarded(*impl_, [&] { impl_->RunBlock(clip, program); });
}

void Vm::RunInitScript(Clip& clip, const format::ActionProgram& program) {
  Guarded(*impl_, [&] { impl_->RunBlock(clip, program); });
}

void Vm::RunClipEvent(Clip& clip, const format::ActionProgram& program) {
  Guarded(*impl_, [&] { impl_->RunBlock(clip, program); });
}

bool Vm::CallClipMethod(Clip& clip, std::u16string_view name) {
  VmImpl& vm = *impl_;
  bool called = false;
  Guarded(vm, [&] {
    ClipObject* object = vm.ObjectOf(&clip);
    Object* home = nullptr;
    const Value method = object->GetMethod(vm, vm.NewString(name), &home);
    if (!vm.IsCallable(method)) return;
    called = true;
    ++vm.nativeDepth;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{vm.nativeDepth};
    vm.Invoke(static_cast<FunctionObject*>(method.AsObject()), Value(object), {}, home, false);
  });
  return called;
}

bool Vm::HasClipMethod(Clip& clip, std::u16string_view name) {
  VmImpl& vm = *impl_;
  if (clip.binding == nullptr) return false;
  bool found = false;
  Guarded(vm, [&] {
    Object* home = nullptr;
    found = vm.IsCallable(vm.ObjectOf(&clip)->GetMethod(vm, vm.NewString(name), &home));
  });
  return found;
}

void Vm::ConstructClip(Clip& clip, std::u16string_view exportName) {
  VmImpl& vm = *impl_;
  const auto found = vm.registeredClasses.find(std::u16string(exportName));
  if (found == vm.registeredClasses.end() || !found->second->IsFunction()) return;
  Guarded(vm, [&] {
    auto* constructor = static_cast<FunctionObject*>(found->second);
    ClipObject* object = vm.ObjectOf(&clip);
    const Value prototype = constructor->Get(vm, vm.names.prototype);
    if (prototype.IsObject()) object->SetProto(prototype);
    object->DefineValue(vm, vm.names.superConstructor, Value(constructor), property_flags::kDontEnum);
    if (vm.SwfVersion() < 7) object->DefineValue(vm, vm.names.constructor, Value(constructor), property_flags::kDontEnum);
    ++vm.nativeDepth;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{vm.nativeDepth};
    vm.Invoke(constructor, Value(object), {}, prototype.IsObject() ? prototype.AsObject() : nullptr, true);
  });
}

std::optional<std::u16string> Vm::ReadVariable(Clip& timeline, std::u16string_view path) {
  std::optional<std::u16string> value;
  Guarded(*impl_, [&] { value = ReadTextVariable(*impl_, timeline, path); });
  return value;
}

void Vm::WriteVariable(Clip& timeline, std::u16string_view path, std::u16string_view value) {
  Guarded(*impl_, [&] { WriteTextVariable(*impl_, timeline, path, value); });
}

void Vm::BeginTick() { impl_->BeginTick(); }

bool Vm::TickBudgetSpent() const { return impl_->BudgetSpent(); }

void Vm::RunTimers() {
  Guarded(*impl_, [&] { RunDueTimers(*impl_); });
  Guarded(*impl_, [&] { DeliverFinishedSounds(*impl_); });
}

void Vm::CollectGarbage() {
  if (impl_->activations == nullptr && impl_->nativeDepth == 0) impl_->Collect();
}

size_t Vm::HeapBytes() const { return impl_->heap.Bytes(); }

}  // namespace swfplayer::avm1
