// Sound: scripts start, stop and mix the movie's exported sounds through the
// host's SoundControl. A Sound made for a clip (new Sound(clip)) steers that clip's sounds, one
// made without steers the whole movie's; Sounds for the same clip share its transform, as in
// the Flash Player. Without a SoundControl every method answers as for a silent movie.
#include <algorithm>
#include <cmath>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/Interpreter.h"
#include "swfplayer/avm1/SoundControl.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/SoundClass.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/Timers.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

class SoundObject final : public Object {
 public:
  explicit SoundObject(Value proto) : Object(proto, ObjectClass::kSound) {}
  void Trace(Tracer& tracer) override {
    Object::Trace(tracer);
    tracer.Mark(target);
  }
  Object* target = nullptr;           // the clip's object, or null for the whole movie
  std::optional<uint16_t> sound;      // attachSound's
  SoundVoice voice = 0;               // the last instance start() began
};

Object* NewSound(VmImpl& vm, const Value& proto) { return vm.heap.New<SoundObject>(proto); }

// The voices started by Sound objects, for onSoundComplete (finished ones are taken each
// tick); bounded, the engine itself plays at most 32.
struct SoundState final : VmImpl::ExtensionState {
  std::vector<std::pair<SoundVoice, SoundObject*>> playing;
  void Trace(Tracer& tracer) override {
    for (const auto& entry : playing) tracer.Mark(entry.second);
  }
};
constexpr size_t kMaxTrackedVoices = 256;

SoundState& State(VmImpl& vm) { return vm.State<SoundState>("sounds"); }

SoundObject* ThisSound(NativeCall& call) { return call.This<SoundObject>(ObjectClass::kSound); }

// The clip a Sound steers (null: the movie); a Sound whose clip left steers nothing.
bool OwnerOf(VmImpl& vm, const SoundObject& sound, Clip*& owner) {
  owner = nullptr;
  if (sound.target == nullptr) return true;
  owner = static_cast<ClipObject*>(sound.target)->GetClip(vm);
  return owner != nullptr;
}

Value SoundCall(NativeCall&) { return Value(); }

Value SoundConstruct(NativeCall& call) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  if (self == nullptr) return Value();
  const Value target = call.Arg(0);
  Clip* clip = nullptr;
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    clip = static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  } else if (!target.IsNullish() && vm.activations != nullptr) {
    clip = ResolveClip(*vm.activations, target, TargetOrRoot(*vm.activations), false);
  }
  if (clip != nullptr) self->target = vm.ObjectOf(clip);
  return Value();
}

Value AttachSound(NativeCall& call) {
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = call.vm.host.Sounds();
  if (self == nullptr || sounds == nullptr || !call.Has(0)) return Value();
  if (const auto id = sounds->SoundByName(call.StringArg(0)->View())) self->sound = id;
  return Value();
}

Value Start(NativeCall& call) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = vm.host.Sounds();
  Clip* owner = nullptr;
  if (self == nullptr || sounds == nullptr || !self->sound || !OwnerOf(vm, *self, owner)) return Value();
  double offset = call.Has(0) ? call.NumberArg(0) : 0.0;
  if (!(offset > 0)) offset = 0;  // NaN and negatives start at the beginning
  const double loops = call.Has(1) ? call.NumberArg(1) : 1.0;
  const int count = loops >= 1 && loops < 65536 ? static_cast<int>(loops) : (loops >= 65536 ? 65535 : 1);
  self->voice = sounds->Start(*self->sound, offset, count, owner);
  SoundState& state = State(vm);
  if (self->voice != 0) {
    // Stopped voices are never reported finished: the oldest entries make room.
    if (state.playing.size() >= kMaxTrackedVoices) state.playing.erase(state.playing.begin());
    state.playing.emplace_back(self->voice, self);
  }
  return Value();
}

Value Stop(NativeCall& call) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = vm.host.Sounds();
  Clip* owner = nullptr;
  if (self == nullptr || sounds == nullptr) return Value();
  if (call.Has(0)) {
    if (const auto id = sounds->SoundByName(call.StringArg(0)->View())) sounds->StopSound(*id);
  } else if (self->target == nullptr) {
    sounds->StopAll();
  } else if (OwnerOf(vm, *self, owner)) {
    sounds->StopOwner(owner);
  }
  return Value();
}

// The transform of the Sound's owner, changed by change and set again.
template <class Change>
void ChangeGains(NativeCall& call, Change change) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = vm.host.Sounds();
  Clip* owner = nullptr;
  if (self == nullptr || sounds == nullptr || !OwnerOf(vm, *self, owner)) return;
  SoundGains gains = sounds->Gains(owner);
  change(gains);
  sounds->SetGains(owner, gains);
}

SoundGains GainsOf(NativeCall& call) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = vm.host.Sounds();
  Clip* owner = nullptr;
  if (self == nullptr || sounds == nullptr || !OwnerOf(vm, *self, owner)) return SoundGains{};
  return sounds->Gains(owner);
}

// Gains are whole percents; what does not convert to a number leaves a gain as it was.
bool Percent(VmImpl& vm, const Value& value, int32_t& out) {
  const double number = vm.ToNumber(value);
  if (std::isnan(number)) return false;
  out = DoubleToInt32(number);
  return true;
}

Value SetVolume(NativeCall& call) {
  int32_t volume = 0;
  if (call.Has(0) && Percent(call.vm, call.Arg(0), volume)) {
    ChangeGains(call, [&](SoundGains& gains) { gains.volume = volume; });
  }
  return Value();
}

Value GetVolume(NativeCall& call) {
  if (ThisSound(call) == nullptr) return Value();
  return Value(static_cast<double>(GainsOf(call).volume));
}

Value SetPan(NativeCall& call) {
  int32_t pan = 0;
  if (!call.Has(0) || !Percent(call.vm, call.Arg(0), pan)) return Value();
  pan = std::clamp(pan, -100, 100);
  ChangeGains(call, [&](SoundGains& gains) {
    gains.ll = pan > 0 ? 100 - pan : 100;
    gains.rr = pan < 0 ? 100 + pan : 100;
    gains.lr = gains.rl = 0;
  });
  return Value();
}

Value GetPan(NativeCall& call) {
  if (ThisSound(call) == nullptr) return Value();
  const SoundGains gains = GainsOf(call);
  return Value(static_cast<double>(std::clamp(gains.rr - gains.ll, -100, 100)));
}

Value SetTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* from = call.ObjectArg(0);
  if (from == nullptr) return Value();
  ChangeGains(call, [&](SoundGains& gains) {
    const std::pair<const char*, int32_t*> fields[] = {{"ll", &gains.ll}, {"lr", &gains.lr}, {"rl", &gains.rl}, {"rr", &gains.rr}};
    for (const auto& [name, gain] : fields) {
      String* key = vm.Str(name);
      if (from->Has(vm, key)) Percent(vm, from->Get(vm, key), *gain);
    }
  });
  return Value();
}

Value GetTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (ThisSound(call) == nullptr) return Value();
  const SoundGains gains = GainsOf(call);
  Object* result = vm.NewObject();
  result->Set(vm, vm.Str("ll"), Value(static_cast<double>(gains.ll)));
  result->Set(vm, vm.Str("lr"), Value(static_cast<double>(gains.lr)));
  result->Set(vm, vm.Str("rl"), Value(static_cast<double>(gains.rl)));
  result->Set(vm, vm.Str("rr"), Value(static_cast<double>(gains.rr)));
  return Value(result);
}

Value Position(NativeCall& call) {
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = call.vm.host.Sounds();
  if (self == nullptr) return Value();
  if (sounds == nullptr || self->voice == 0) return Value(0);
  return Value(static_cast<double>(sounds->PositionMs(self->voice)));
}

Value Duration(NativeCall& call) {
  SoundObject* self = ThisSound(call);
  SoundControl* sounds = call.vm.host.Sounds();
  if (self == nullptr) return Value();
  if (sounds == nullptr || !self->sound) return Value(0);
  const auto ms = sounds->DurationMs(*self->sound);
  return Value(static_cast<double>(ms.value_or(0)));
}

// No network and no other files: a load fails, reported on a later tick as a real one would be.
Value LoadSound(NativeCall& call) {
  VmImpl& vm = call.vm;
  SoundObject* self = ThisSound(call);
  if (self == nullptr) return Value();
  ScheduleCall(vm, self, vm.Str("onLoad"), {Value(false)}, 0);
  return Value();
}

}  // namespace

void DeliverFinishedSounds(VmImpl& vm) {
  SoundControl* sounds = vm.host.Sounds();
  if (sounds == nullptr) return;
  SoundState& state = State(vm);
  for (SoundVoice voice : sounds->TakeFinished()) {
    SoundObject* owner = nullptr;
    for (auto it = state.playing.begin(); it != state.playing.end(); ++it) {
      if (it->first == voice) {
        owner = it->second;
        state.playing.erase(it);
        break;
      }
    }
    if (owner == nullptr) continue;
    try {
      vm.CallMethod(Value(owner), vm.Str("onSoundComplete"), {});
    } catch (const ScriptThrow&) {
      // A handler that throws ends itself, not the others.
    }
  }
}

void InstallSoundClass(VmImpl& vm, Object* global) {
  Object* prototype = NewSound(vm, Value(vm.protos.object));
  vm.Pin(prototype);
  vm.RegisterInstanceFactory(ObjectClass::kSound, NewSound);
  DefineClass(vm, global, "Sound", SoundCall, SoundConstruct, prototype);
  static constexpr std::pair<const char*, NativeFunction> kMethods[] = {
      {"attachSound", AttachSound}, {"start", Start},         {"stop", Stop},
      {"setVolume", SetVolume},     {"getVolume", GetVolume}, {"setPan", SetPan},
      {"getPan", GetPan},           {"setTransform", SetTransform}, {"getTransform", GetTransform},
      {"loadSound", LoadSound},
  };
  for (const auto& [name, function] : kMethods) DefineMethod(vm, prototype, name, function);
  DefineNativeProperty(vm, prototype, "position", Position, nullptr);
  DefineNativeProperty(vm, prototype, "duration", Duration, nullptr);
}

}  // namespace swfplayer::avm1
