// MovieClip: the class of every clip's script object; its methods reach the display through
// Clip (Clip.h). Properties (_x, children by name, _parent, ...) are ClipObject's own.
#include <cmath>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Clip* ThisClip(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  return self != nullptr ? self->GetClip(call.vm) : nullptr;
}

Value Play(NativeCall& call) {
  if (Clip* clip = ThisClip(call)) clip->Play();
  return Value();
}

Value Stop(NativeCall& call) {
  if (Clip* clip = ThisClip(call)) clip->Stop();
  return Value();
}

Value NextFrame(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip != nullptr && clip->CurrentFrame() + 1 < clip->TotalFrames()) clip->GotoFrame(clip->CurrentFrame() + 1, false);
  else if (clip != nullptr) clip->Stop();
  return Value();
}

Value PrevFrame(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip != nullptr && clip->CurrentFrame() > 0) clip->GotoFrame(clip->CurrentFrame() - 1, false);
  else if (clip != nullptr) clip->Stop();
  return Value();
}

void Goto(NativeCall& call, bool play) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr || call.vm.activations == nullptr) {
    // Outside a running script (a timer): a frame number or a label of this clip only.
    if (clip == nullptr) return;
    const Value frame = call.Arg(0);
    if (frame.IsNumber()) {
      const int64_t number = DoubleToInt32(frame.AsNumber());
      if (number >= 1) clip->GotoFrame(static_cast<int>(std::min<int64_t>(number, clip->TotalFrames()) - 1), play);
    } else if (const auto labelled = clip->FrameOfLabel(call.StringArg(0)->View())) {
      clip->GotoFrame(*labelled, play);
    }
    return;
  }
  GotoFrameValue(*call.vm.activations, clip, call.Arg(0), play, 0);
}

Value GotoAndPlay(NativeCall& call) {
  Goto(call, true);
  return Value();
}

Value GotoAndStop(NativeCall& call) {
  Goto(call, false);
  return Value();
}

// Copies an init object's enumerable properties onto a new clip.
void CopyInit(VmImpl& vm, ClipObject* clip, const Value& init) {
  if (clip == nullptr || !init.IsObject()) return;
  std::vector<String*> keys;
  init.AsObject()->EnumerableKeys(vm, keys);
  for (String* key : keys) clip->Set(vm, key, init.AsObject()->Get(vm, key));
}

Value DuplicateMovieClip(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr || call.Count() < 2) return Value();
  Clip* copy = clip->DuplicateClip(call.StringArg(0)->View(), call.IntArg(1));
  ClipObject* object = vm.ObjectOf(copy);
  CopyInit(vm, object, call.Arg(2));
  return ObjectValue(object);
}

Value AttachMovie(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr || call.Count() < 3) return Value();
  String* exportName = call.StringArg(0);
  Clip* attached = clip->AttachClip(exportName->View(), call.StringArg(1)->View(), call.IntArg(2));
  ClipObject* object = vm.ObjectOf(attached);
  if (object == nullptr) return Value();
  CopyInit(vm, object, call.Arg(3));
  // The registered class of the symbol, after the init object, as the Flash Player does.
  const auto found = vm.registeredClasses.find(std::u16string(exportName->View()));
  if (found != vm.registeredClasses.end() && found->second->IsFunction()) {
    auto* constructor = static_cast<FunctionObject*>(found->second);
    const Value prototype = constructor->Get(vm, vm.names.prototype);
    if (prototype.IsObject()) object->SetProto(prototype);
    object->DefineValue(vm, vm.names.superConstructor, Value(constructor), kDontEnum);
    if (vm.SwfVersion() < 7) object->DefineValue(vm, vm.names.constructor, Value(constructor), kDontEnum);
    vm.Invoke(constructor, Value(object), {}, prototype.IsObject() ? prototype.AsObject() : nullptr, true);
  }
  return Value(object);
}

Value CreateEmptyMovieClip(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr || call.Count() < 2) return Value();
  return ObjectValue(call.vm.ObjectOf(clip->CreateEmptyClip(call.StringArg(0)->View(), call.IntArg(1))));
}

Value RemoveMovieClip(NativeCall& call) {
  if (Clip* clip = ThisClip(call)) clip->RemoveClip();
  return Value();
}

Value SwapDepths(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr || clip->Parent() == nullptr) return Value();
  const Value target = call.Arg(0);
  if (target.IsNumber()) {
    clip->SwapDepths(DoubleToInt32(target.AsNumber()));
    return Value();
  }
  Clip* other = nullptr;
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    other = static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  } else if (!target.IsNullish() && vm.activations != nullptr) {
    other = ResolveClip(*vm.activations, target, clip, false);
  }
  if (other != nullptr && other->Parent() == clip->Parent()) clip->SwapDepths(other->Depth());
  return Value();
}

Value GetDepth(NativeCall& call) {
  Clip* clip = ThisClip(call);
  return clip != nullptr ? Value(static_cast<double>(clip->Depth())) : Value();
}

Value GetNextHighestDepth(NativeCall& call) {
  Clip* clip = ThisClip(call);
  return clip != nullptr ? Value(static_cast<double>(std::max(0, clip->NextHighestDepth()))) : Value();
}

Value GetInstanceAtDepth(NativeCall& call) {
  Clip* clip = ThisClip(call);
  if (clip == nullptr || !call.Has(0)) return Value();
  return ObjectValue(call.vm.ObjectOf(clip->ChildAtDepth(call.IntArg(0))));
}

Value GetBytes(NativeCall& call) {
  Clip* clip = ThisClip(call);
  return clip != nullptr ? Value(static_cast<double>(clip->BytesTotal())) : Value();
}

Value GetSwfVersion(NativeCall& call) {
  return ThisClip(call) != nullptr ? Value(static_cast<double>(call.vm.SwfVersion())) : Value();
}

Value GetUrl(NativeCall& call) {
  VmImpl& vm = call.vm;
  constexpr std::u16string_view kPrefix = u"FSCommand:";
  String* url = call.StringArg(0);
  if (url->Length() >= kPrefix.size()) {
    bool fsCommand = true;
    for (size_t i = 0; i < kPrefix.size() && fsCommand; ++i) fsCommand = FoldCase(url->At(i)) == FoldCase(kPrefix[i]);
    if (fsCommand) vm.host.FsCommand(ToUtf8(url->View().substr(kPrefix.size())), call.StringArg(1)->ToUtf8());
  }
  return Value();
}

Value Nothing(NativeCall&) { return Value(); }

Value MovieClipCall(NativeCall&) { return Value(); }

}  // namespace

void InstallMovieClipClass(VmImpl& vm, Object* global) {
  Object* prototype = vm.protos.movieClip = vm.NewObject();
  DefineClass(vm, global, "MovieClip", MovieClipCall, nullptr, prototype);
  DefineMethod(vm, prototype, "play", Play);
  DefineMethod(vm, prototype, "stop", Stop);
  DefineMethod(vm, prototype, "nextFrame", NextFrame);
  DefineMethod(vm, prototype, "prevFrame", PrevFrame);
  DefineMethod(vm, prototype, "gotoAndPlay", GotoAndPlay);
  DefineMethod(vm, prototype, "gotoAndStop", GotoAndStop);
  DefineMethod(vm, prototype, "duplicateMovieClip", DuplicateMovieClip);
  DefineMethod(vm, prototype, "attachMovie", AttachMovie);
  DefineMethod(vm, prototype, "createEmptyMovieClip", CreateEmptyMovieClip, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "removeMovieClip", RemoveMovieClip);
  DefineMethod(vm, prototype, "swapDepths", SwapDepths);
  DefineMethod(vm, prototype, "getDepth", GetDepth, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "getNextHighestDepth", GetNextHighestDepth, kHidden | kSwf7Up);
  DefineMethod(vm, prototype, "getInstanceAtDepth", GetInstanceAtDepth, kHidden | kSwf7Up);
  DefineMethod(vm, prototype, "getBytesLoaded", GetBytes);
  DefineMethod(vm, prototype, "getBytesTotal", GetBytes);
  DefineMethod(vm, prototype, "getSWFVersion", GetSwfVersion, kHidden | kSwf6Up);
  DefineMethod(vm, prototype, "getURL", GetUrl);
  DefineMethod(vm, prototype, "startDrag", Nothing);
  DefineMethod(vm, prototype, "stopDrag", Nothing);
}

}  // namespace swfplayer::avm1
