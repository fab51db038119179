// Variables: names through the scope chain, paths through the display and through objects
// ("/a/b:c", "_root.a.b", "../x", "a:b.c"), var, delete, for-in, and tellTarget.
#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/SuperObject.h"

namespace swfplayer::avm1 {

namespace {

bool IsClipObject(const Value& value) {
  return value.IsObject() && value.AsObject()->Class() == ObjectClass::kMovieClip;
}

ClipObject* AsClipObject(Object* object) {
  return object != nullptr && object->Class() == ObjectClass::kMovieClip ? static_cast<ClipObject*>(object) : nullptr;
}

// The chain of a plain name: found on an object of the chain, or not at all.
bool FindOnChain(VmImpl& vm, Object* object, String* name, Value& out) { return object->TryGet(vm, name, out); }

// Whether the innermost scope that decides is a function's (not a timeline's).
bool InLocalScope(const Activation& activation) {
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    if (scope->kind == ScopeKind::kLocal) return true;
    if (scope->kind == ScopeKind::kTarget) return false;
  }
  return false;
}

size_t LastSeparator(const String* path) {
  const std::u16string_view view = path->View();
  return view.find_last_of(u":.");
}

}  // namespace

Clip* TargetClip(Activation& activation) {
  return activation.target != nullptr ? activation.target->GetClip(activation.vm) : nullptr;
}

Clip* TargetOrRoot(Activation& activation) {
  Clip* clip = TargetClip(activation);
  return clip != nullptr ? clip : activation.vm.Root();
}

void MaterializeLazyLocals(Activation& activation, String* name) {
  VmImpl& vm = activation.vm;
  const bool cs = vm.CaseSensitive();
  if (name->SameName(*vm.names.arguments, cs) && activation.arguments == nullptr) {
    ArrayObject* arguments = vm.NewArray(activation.args);
    arguments->DefineValue(vm, vm.names.callee, ObjectValue(activation.callee), property_flags::kDontEnum);
    Activation* caller = activation.outer;
    arguments->DefineValue(vm, vm.names.caller, caller != nullptr && caller->callee != nullptr ? Value(caller->callee) : Value::Null(),
                           property_flags::kDontEnum);
    activation.arguments = arguments;
    if (activation.lazyArguments) {
      activation.lazyArguments = false;
      if (!activation.locals->HasOwn(vm, vm.names.arguments)) {
        activation.locals->DefineValue(vm, vm.names.arguments, Value(arguments), 0);
      }
    }
  } else if (name->SameName(*vm.names.superName, cs) && activation.lazySuper) {
    activation.lazySuper = false;
    if (!activation.locals->HasOwn(vm, vm.names.superName)) {
      auto* super = vm.heap.New<SuperObject>(activation.thisValue.AsObject(), activation.home);
      activation.locals->DefineValue(vm, vm.names.superName, Value(super), 0);
    }
  }
}

Value LookupName(Activation& activation, String* name, Object** foundOn) {
  VmImpl& vm = activation.vm;
  if (foundOn != nullptr) *foundOn = nullptr;
  if (name->SameName(*vm.names.thisName, vm.CaseSensitive())) return activation.thisValue;
  if ((activation.lazyArguments || activation.lazySuper) && activation.locals != nullptr &&
      (name->Length() == 9 || name->Length() == 5)) {
    MaterializeLazyLocals(activation, name);
  }
  Value value;
  const bool cs = vm.CaseSensitive();
  const uint8_t version = vm.SwfVersion();
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    if (scope->object->GetOwnData(name, cs, version, value)) {
      if (foundOn != nullptr) *foundOn = scope->object;
      return value;
    }
    if (FindOnChain(vm, scope->object, name, value)) {
      if (foundOn != nullptr) *foundOn = scope->object;
      return value;
    }
  }
  return Value();
}

Object* ResolveTargetPath(Activation& activation, Object* start, std::u16string_view path, bool firstElement,
                          bool pathHasSlash) {
  VmImpl& vm = activation.vm;
  if (path.empty()) return start;
  Object* object = start;
  bool slash = false;
  if (path[0] == u'/') {
    object = vm.ObjectOf(vm.Root());
    if (object == nullptr) return nullptr;
    path.remove_prefix(1);
    slash = true;
  }
  const bool cs = vm.CaseSensitive();
  for (int steps = 0; !path.empty(); ++steps) {
    if (steps > 1000) return nullptr;
    while (!path.empty() && path[0] == u':') path.remove_prefix(1);
    if (path.empty()) break;
    Value next;
    if (path.size() >= 2 && path[0] == u'.' && path[1] == u'.' && (path.size() == 2 || path[2] == u'/' || path[2] == u':')) {
      // SWF 4's name for the parent.
      if (path.size() > 2 && path[2] == u'/') slash = true;
      path.remove_prefix(std::min<size_t>(3, path.size()));
      ClipObject* clip = AsClipObject(object);
      Clip* parent = clip != nullptr && clip->GetClip(vm) != nullptr ? clip->GetClip(vm)->Parent() : nullptr;
      if (parent == nullptr) return nullptr;
      next = Value(vm.ObjectOf(parent));
    } else {
      size_t end = 0;
      for (; end < path.size(); ++end) {
        const char16_t unit = path[end];
        if (unit == u':') break;
        if (unit == u'.' && !slash) break;
        if (unit == u'/') {
          slash = true;
          break;
        }
      }
      const std::u16string_view name = path.substr(0, end);
      path.remove_prefix(std::min(end + 1, path.size()));
      if (firstElement && name == u"this") {
        next = activation.thisValue;
      } else if (firstElement && name == u"_root") {
        next = ObjectValue(vm.ObjectOf(vm.Root()));
      } else {
        // Children by instance name first, then properties: the reverse of a member lookup.
        ClipObject* clip = AsClipObject(object);
        Clip* child = nullptr;
        if (clip != nullptr && clip->GetClip(vm) != nullptr) child = clip->GetClip(vm)->ChildByName(name, cs);
        next = child != nullptr ? Value(vm.ObjectOf(child)) : object->Get(vm, vm.NewString(name));
      }
    }
    (void)pathHasSlash;
    firstElement = false;
    if (!next.IsObject()) return nullptr;
    object = next.AsObject();
  }
  return object;
}

Value GetVariable(Activation& activation, String* path) {
  if (!path->HasPathSeparator()) return LookupName(activation, path, nullptr);
  VmImpl& vm = activation.vm;
  const bool hasSlash = path->View().find(u'/') != std::u16string_view::npos;
  const size_t separator = LastSeparator(path);
  if (separator != std::u16string_view::npos) {
    // "path:name" or "path.name": the name on the object the path leads to, tried from each
    // link of the scope chain.
    const std::u16string_view target = path->View().substr(0, separator);
    String* name = vm.NewString(path->View().substr(separator + 1));
    for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
      Object* object = ResolveTargetPath(activation, scope->object, target, true, hasSlash);
      Value value;
      if (object != nullptr && FindOnChain(vm, object, name, value)) return value;
    }
    return Value();
  }
  // A slash path without a variable names a clip; failing that, it is a plain name.
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    if (Object* object = ResolveTargetPath(activation, scope->object, path->View(), false, true)) return Value(object);
  }
  return LookupName(activation, path, nullptr);
}

void SetVariable(Activation& activation, String* path, const Value& value) {
  VmImpl& vm = activation.vm;
  if (path->Empty()) return;
  if (path->Equals(u"this")) {
    activation.thisValue = value;
    return;
  }
  const size_t separator = path->HasPathSeparator() ? LastSeparator(path) : std::u16string_view::npos;
  if (separator != std::u16string_view::npos) {
    const std::u16string_view target = path->View().substr(0, separator);
    String* name = vm.NewString(path->View().substr(separator + 1));
    for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
      if (Object* object = ResolveTargetPath(activation, scope->object, target, true, true)) {
        object->Set(vm, name, value);
        return;
      }
    }
    return;
  }
  if ((activation.lazyArguments || activation.lazySuper) && activation.locals != nullptr &&
      (path->Length() == 9 || path->Length() == 5)) {
    MaterializeLazyLocals(activation, path);
  }
  // Where the name is already defined; else on the timeline (never on the global object).
  const bool cs = vm.CaseSensitive();
  const uint8_t version = vm.SwfVersion();
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    if (scope->object->SetOwnData(path, cs, version, value)) return;
    if (scope->kind == ScopeKind::kTarget || scope->parent == nullptr || scope->object->Has(vm, path)) {
      scope->object->Set(vm, path, value);
      return;
    }
  }
}

void DefineLocal(Activation& activation, String* name, const Value& value) {
  if (!InLocalScope(activation) && name->HasPathSeparator() && LastSeparator(name) != std::u16string_view::npos) {
    SetVariable(activation, name, value);
    return;
  }
  activation.scope->object->Set(activation.vm, name, value);
}

void DefineLocal2(Activation& activation, String* name) {
  VmImpl& vm = activation.vm;
  if (!InLocalScope(activation) && name->HasPathSeparator() && LastSeparator(name) != std::u16string_view::npos) {
    if (GetVariable(activation, name).IsUndefined()) SetVariable(activation, name, Value());
    return;
  }
  if (!activation.scope->object->Has(vm, name)) activation.scope->object->Set(vm, name, Value());
}

bool DeleteVariable(Activation& activation, String* name) {
  VmImpl& vm = activation.vm;
  if ((activation.lazyArguments || activation.lazySuper) && activation.locals != nullptr) {
    MaterializeLazyLocals(activation, name);
  }
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    if (scope->object->Has(vm, name)) return scope->object->Delete(vm, name);
  }
  return false;
}

void PushEnumeration(Activation& activation, const Value& object) {
  Push(activation, Value());  // the end of the names
  if (!object.IsObject()) return;
  std::vector<String*> keys;
  object.AsObject()->EnumerableKeys(activation.vm, keys);
  for (size_t i = keys.size(); i-- > 0;) Push(activation, Value(keys[i]));
}

Clip* ResolveClip(Activation& activation, const Value& target, Clip* start, bool allowEmpty) {
  VmImpl& vm = activation.vm;
  if (IsClipObject(target)) return static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  String* path = vm.ToString(target);
  if (path->Empty()) return allowEmpty ? start : nullptr;
  if (start == nullptr) return nullptr;
  Object* object = ResolveTargetPath(activation, vm.ObjectOf(start), path->View(), false, true);
  ClipObject* clip = AsClipObject(object);
  return clip != nullptr ? clip->GetClip(vm) : nullptr;
}

namespace {

// Puts the new target in the chain in place of the timeline (SWF 5's tellTarget scope).
void RetargetScope(Activation& activation, Object* targetObject) {
  VmImpl& vm = activation.vm;
  std::vector<Scope*> chain;
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) chain.push_back(scope);
  Scope* rebuilt = nullptr;
  for (size_t i = chain.size(); i-- > 0;) {
    Object* object = chain[i]->kind == ScopeKind::kTarget ? targetObject : chain[i]->object;
    rebuilt = vm.heap.New<Scope>(rebuilt, chain[i]->kind, object);
  }
  activation.scope = rebuilt;
}

}  // namespace

void SetTargetPath(Activation& activation, std::u16string_view path) {
  VmImpl& vm = activation.vm;
  ClipObject* base = activation.baseClip;
  Clip* baseClip = base != nullptr ? base->GetClip(vm) : nullptr;
  ClipObject* target = nullptr;
  if (path.empty()) {
    target = base;
  } else if (baseClip != nullptr) {
    target = AsClipObject(ResolveTargetPath(activation, base, path, false, true));
    if (target == nullptr) {
      const std::u16string basePath = ClipObject::DotPathOf(*baseClip);
      vm.Trace("Target not found: Target=\"" + ToUtf8(path) + "\" Base=\"" + ToUtf8(basePath) + "\"");
    }
  }
  activation.target = target;
  Object* scopeObject = target != nullptr ? target : vm.ObjectOf(vm.Root());
  if (scopeObject != nullptr) RetargetScope(activation, scopeObject);
}

void SetTargetValue(Activation& activation, const Value& target) {
  VmImpl& vm = activation.vm;
  if (target.IsString()) return SetTargetPath(activation, target.AsString()->View());
  if (target.IsUndefined()) {
    // An undefined target is the timeline itself before SWF 7, and nothing from it.
    activation.target = vm.SwfVersion() > 6 ? nullptr : activation.baseClip;
  } else if (IsClipObject(target)) {
    activation.target = static_cast<ClipObject*>(target.AsObject());
  } else {
    return SetTargetPath(activation, vm.ToString(target)->View());
  }
  Object* scopeObject = activation.target != nullptr ? activation.target : activation.baseClip;
  if (scopeObject != nullptr) RetargetScope(activation, scopeObject);
}

}  // namespace swfplayer::avm1
