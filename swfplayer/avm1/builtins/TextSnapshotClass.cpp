// TextSnapshot: the static text of a clip for scripts (new TextSnapshot(clip), or
// MovieClip.getTextSnapshot()). A snapshot keeps the texts the clip had when it was made. One
// made of anything but a movie clip that has its texts answers undefined to everything, as the
// Flash Player's does; so does a method given fewer or more arguments than it takes. Positions
// are the clip's pixels, colours 0xRRGGBB (0xAARRGGBB in getTextRunInfo).
#include <cstdint>
#include <optional>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/TextSnapshot.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

constexpr double kTwipsPerPixel = 20;

class TextSnapshotObject final : public Object {
 public:
  explicit TextSnapshotObject(Value proto) : Object(proto, ObjectClass::kTextSnapshot) {}
  std::optional<TextSnapshot> snapshot;  // none: made of no clip, or of one without its texts
};

Object* NewTextSnapshot(VmImpl& vm, const Value& proto) { return vm.heap.New<TextSnapshotObject>(proto); }

// The original prototype, for getTextSnapshot whatever a script did to the global class.
struct TextSnapshotState final : VmImpl::ExtensionState {
  Object* prototype = nullptr;
  void Trace(Tracer& tracer) override { tracer.Mark(prototype); }
};

// Takes the texts of target when it is a movie clip that has them.
void Snap(VmImpl& vm, TextSnapshotObject& self, const Value& target) {
  if (!target.IsObject() || target.AsObject()->Class() != ObjectClass::kMovieClip) return;
  Clip* clip = static_cast<ClipObject*>(target.AsObject())->GetClip(vm);
  auto texts = clip != nullptr ? clip->StaticTexts() : std::nullopt;
  if (!texts) return;
  vm.heap.Resize(&self, static_cast<ptrdiff_t>(texts->size() * sizeof((*texts)[0])));
  self.snapshot.emplace(std::move(*texts));
}

// The snapshot of this when the call has between fewest and most arguments.
TextSnapshot* ThisSnapshot(NativeCall& call, size_t fewest, size_t most) {
  auto* self = call.This<TextSnapshotObject>(ObjectClass::kTextSnapshot);
  if (self == nullptr || !self->snapshot || call.Count() < fewest || call.Count() > most) return nullptr;
  return &*self->snapshot;
}

Value TextSnapshotCall(NativeCall&) { return Value(); }

Value TextSnapshotConstruct(NativeCall& call) {
  if (auto* self = call.This<TextSnapshotObject>(ObjectClass::kTextSnapshot)) Snap(call.vm, *self, call.Arg(0));
  return Value();
}

Value GetCount(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 0, 0);
  return snapshot != nullptr ? Value(static_cast<double>(snapshot->Count())) : Value();
}

Value GetText(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 2, 3);
  if (snapshot == nullptr) return Value();
  const int32_t begin = call.IntArg(0);
  const int32_t end = call.IntArg(1);
  const bool lineEndings = call.Has(2) && call.BoolArg(2);
  return Value(call.vm.NewString(snapshot->Text(begin, end, lineEndings)));
}

Value FindText(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 3, 3);
  if (snapshot == nullptr) return Value();
  const int32_t start = call.IntArg(0);
  const std::u16string text(call.StringArg(1)->View());
  return Value(static_cast<double>(snapshot->Find(start, text, call.BoolArg(2))));
}

Value GetSelected(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 1, 2);
  if (snapshot == nullptr) return Value();
  const int32_t begin = call.IntArg(0);
  return Value(snapshot->AnySelected(begin, call.IntArg(1)));
}

Value SetSelected(NativeCall& call) {
  TextSnapshot* snapshot = ThisSnapshot(call, 3, 3);
  if (snapshot == nullptr) return Value();
  const int32_t begin = call.IntArg(0);
  const int32_t end = call.IntArg(1);
  snapshot->Select(begin, end, call.BoolArg(2));
  return Value();
}

Value GetSelectedText(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 0, 1);
  if (snapshot == nullptr) return Value();
  return Value(call.vm.NewString(snapshot->SelectedText(call.Has(0) && call.BoolArg(0))));
}

Value SetSelectColor(NativeCall& call) {
  TextSnapshot* snapshot = ThisSnapshot(call, 1, 1);
  if (snapshot == nullptr) return Value();
  const auto rgb = static_cast<uint32_t>(call.IntArg(0));
  snapshot->SetSelectColor(Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                static_cast<uint8_t>(rgb), 255});
  return Value();
}

Value HitTestTextNearPos(NativeCall& call) {
  const TextSnapshot* snapshot = ThisSnapshot(call, 2, 3);
  if (snapshot == nullptr) return Value();
  const double x = call.NumberArg(0) * kTwipsPerPixel;
  const double y = call.NumberArg(1) * kTwipsPerPixel;
  const double distance = call.Has(2) ? call.NumberArg(2) * kTwipsPerPixel : 0;
  return Value(static_cast<double>(snapshot->HitTest({x, y}, distance)));
}

// One object for each character of the range.
Value GetTextRunInfo(NativeCall& call) {
  VmImpl& vm = call.vm;
  const TextSnapshot* snapshot = ThisSnapshot(call, 2, 2);
  if (snapshot == nullptr) return Value();
  const int32_t begin = call.IntArg(0);
  const int32_t end = call.IntArg(1);
  ArrayObject* result = vm.NewArray();
  for (const TextSnapshot::CharacterInfo& info : snapshot->Info(begin, end)) {
    Object* item = vm.NewObject();
    auto set = [&](const char* name, const Value& value) { item->Set(vm, vm.Str(name), value); };
    set("indexInRun", Value(static_cast<double>(info.index)));
    set("selected", Value(info.selected));
    if (info.run != nullptr) {
      const Rgba c = info.run->color;
      set("font", Value(vm.NewString(info.run->font)));
      set("color", Value(static_cast<double>((uint32_t{c.a} << 24) | (uint32_t{c.r} << 16) |
                                             (uint32_t{c.g} << 8) | c.b)));
      set("height", Value(info.run->height / kTwipsPerPixel));
    }
    set("matrix_a", Value(info.matrix.a));
    set("matrix_b", Value(info.matrix.b));
    set("matrix_c", Value(info.matrix.c));
    set("matrix_d", Value(info.matrix.d));
    set("matrix_tx", Value(info.matrix.tx / kTwipsPerPixel));
    set("matrix_ty", Value(info.matrix.ty / kTwipsPerPixel));
    static constexpr const char* kCorners[4][2] = {
        {"corner0x", "corner0y"}, {"corner1x", "corner1y"}, {"corner2x", "corner2y"}, {"corner3x", "corner3y"}};
    for (int i = 0; i < 4; ++i) {
      set(kCorners[i][0], Value(info.corners[i].x / kTwipsPerPixel));
      set(kCorners[i][1], Value(info.corners[i].y / kTwipsPerPixel));
    }
    result->Push(vm, Value(item));
  }
  return Value(result);
}

// MovieClip.getTextSnapshot(): a snapshot of this clip.
Value GetTextSnapshot(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (call.This<ClipObject>(ObjectClass::kMovieClip) == nullptr) return Value();
  auto* made = static_cast<TextSnapshotObject*>(
      NewTextSnapshot(vm, Value(vm.State<TextSnapshotState>("textsnapshot").prototype)));
  Snap(vm, *made, call.thisValue);
  return Value(made);
}

}  // namespace

void InstallTextSnapshotClass(VmImpl& vm, Object* global) {
  Object* prototype = NewTextSnapshot(vm, Value(vm.protos.object));
  vm.State<TextSnapshotState>("textsnapshot").prototype = prototype;
  vm.RegisterInstanceFactory(ObjectClass::kTextSnapshot, NewTextSnapshot);
  DefineClass(vm, global, "TextSnapshot", TextSnapshotCall, TextSnapshotConstruct, prototype);
  // Listed by for-in, as the Flash Player lists them (the most recently added first).
  constexpr uint16_t kListed = kDontDelete | kSwf6Up;
  DefineMethod(vm, prototype, "getCount", GetCount, kListed);
  DefineMethod(vm, prototype, "setSelected", SetSelected, kListed);
  DefineMethod(vm, prototype, "getSelected", GetSelected, kListed);
  DefineMethod(vm, prototype, "getText", GetText, kListed);
  DefineMethod(vm, prototype, "getSelectedText", GetSelectedText, kListed);
  DefineMethod(vm, prototype, "hitTestTextNearPos", HitTestTextNearPos, kListed);
  DefineMethod(vm, prototype, "findText", FindText, kListed);
  DefineMethod(vm, prototype, "setSelectColor", SetSelectColor, kListed);
  DefineMethod(vm, prototype, "getTextRunInfo", GetTextRunInfo, kListed);
  DefineMethod(vm, vm.protos.movieClip, "getTextSnapshot", GetTextSnapshot, kHidden | kSwf6Up);
}

}  // namespace swfplayer::avm1
