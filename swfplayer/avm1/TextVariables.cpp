#include "swfplayer/avm1/TextVariables.h"

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Paths.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {
namespace {

constexpr int kMaxPathSteps = 1000;

// One element of a target path, from object: a clip's child by name before any property, as
// variable paths resolve.
Object* Step(VmImpl& vm, Object* object, std::u16string_view element) {
  const bool cs = vm.CaseSensitive();
  Clip* clip = object->Class() == ObjectClass::kMovieClip ? static_cast<ClipObject*>(object)->GetClip(vm) : nullptr;
  if (element == u"..") return clip != nullptr ? vm.ObjectOf(clip->Parent()) : nullptr;
  String* name = vm.NewString(element);
  if (name->SameName(*vm.names.root, cs)) return vm.ObjectOf(vm.Root());
  if (name->SameName(*vm.names.global, cs)) return vm.Global();
  if (const auto level = LevelNumber(element, cs)) return vm.ObjectOf(vm.host.Level(*level));
  if (clip != nullptr) {
    if (name->SameName(*vm.names.parent, cs)) return vm.ObjectOf(clip->Parent());
    if (Clip* child = clip->ChildByName(element, cs)) return vm.ObjectOf(child);
  }
  const Value next = object->Get(vm, name);
  return next.IsObject() ? next.AsObject() : nullptr;
}

}  // namespace

Object* VariableHolder(VmImpl& vm, Clip& timeline, std::u16string_view path, String** name) {
  const size_t last = path.find_last_of(u":.");
  std::u16string_view target = last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last);
  const std::u16string_view variable = last == std::u16string_view::npos ? path : path.substr(last + 1);
  if (variable.empty()) return nullptr;
  Object* object = vm.ObjectOf(&timeline);
  if (!target.empty() && target[0] == u'/') {
    object = vm.ObjectOf(vm.Root());
    target.remove_prefix(1);
  }
  for (int steps = 0; object != nullptr && !target.empty(); ++steps) {
    if (steps > kMaxPathSteps) return nullptr;
    const bool up = target.substr(0, 2) == u"..";
    const size_t end = up ? (target.size() > 2 ? 2 : std::u16string_view::npos) : target.find_first_of(u"./:");
    const std::u16string_view element = target.substr(0, end);
    target.remove_prefix(end == std::u16string_view::npos ? target.size() : end + 1);
    if (!element.empty()) object = Step(vm, object, element);
  }
  if (object == nullptr) return nullptr;
  *name = vm.NewString(variable);
  return object;
}

std::optional<std::u16string> ReadTextVariable(VmImpl& vm, Clip& timeline, std::u16string_view path) {
  String* name = nullptr;
  Object* holder = VariableHolder(vm, timeline, path, &name);
  if (holder == nullptr) return std::nullopt;
  Value value;
  if (!holder->TryGet(vm, name, value) || value.IsUndefined()) return std::nullopt;
  return std::u16string(vm.ToString(value)->View());
}

void WriteTextVariable(VmImpl& vm, Clip& timeline, std::u16string_view path, std::u16string_view value) {
  String* name = nullptr;
  if (Object* holder = VariableHolder(vm, timeline, path, &name)) holder->Set(vm, name, Value(vm.NewString(value)));
}

}  // namespace swfplayer::avm1
