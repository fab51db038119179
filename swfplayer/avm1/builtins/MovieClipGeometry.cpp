// MovieClip's geometry: localToGlobal, globalToLocal, getBounds, getRect and hitTest. Points
// are in pixels for scripts and in twips for the display; the Flash Player works in whole
// twips, so a point it transforms comes back on the twip grid.
#include <cmath>
#include <optional>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// The Flash Player's edges of a box around nothing (0x7FFFFFF twips).
constexpr int32_t kNoBounds = 0x7FFFFFF;

Clip* ThisClip(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  return self != nullptr ? self->GetClip(call.vm) : nullptr;
}

// The matrix from a clip's coordinates to the stage's: the root's own matrix included.
Matrix ToStage(const Clip& clip) {
  const Clip* root = &clip;
  while (root->Parent() != nullptr) root = root->Parent();
  return root->GetMatrix() * clip.ConcatenatedMatrix();
}

double RoundTwips(double twips) {
  if (!std::isfinite(twips)) return twips;
  return std::round(twips);
}

// The Flash Player keeps a matrix's scale and skew in 16.16 fixed point and its translation in
// whole twips, also for each product and inverse it makes on the way; points land on the
// twips the same way.
double Fixed(double value) { return std::isfinite(value) ? std::round(value * 65536) / 65536 : value; }

Matrix OnGrid(Matrix m) {
  m.tx = RoundTwips(m.tx);
  m.ty = RoundTwips(m.ty);
  return m;
}

Matrix Stored(const Matrix& m) { return OnGrid({Fixed(m.a), Fixed(m.b), Fixed(m.c), Fixed(m.d), m.tx, m.ty}); }

Matrix ToStageOnGrid(const Clip& clip) {
  Matrix matrix = Stored(clip.GetMatrix());
  for (const Clip* at = clip.Parent(); at != nullptr; at = at->Parent()) {
    matrix = OnGrid(Stored(at->GetMatrix()) * matrix);
  }
  return matrix;
}

// A point argument: an object whose own x and y are both numbers; anything else is left alone.
std::optional<Point> PointArg(NativeCall& call, Object*& object) {
  object = call.ObjectArg(0);
  if (object == nullptr) return std::nullopt;
  Value x;
  Value y;
  if (!object->GetOwnStored(call.vm, call.vm.Str("x"), x) || !object->GetOwnStored(call.vm, call.vm.Str("y"), y)) {
    return std::nullopt;
  }
  if (!x.IsNumber() || !y.IsNumber()) return std::nullopt;
  return Point{RoundTwips(x.AsNumber() * 20), RoundTwips(y.AsNumber() * 20)};
}

void TransformPoint(NativeCall& call, bool toGlobal) {
  Clip* clip = ThisClip(call);
  Object* object = nullptr;
  const auto point = PointArg(call, object);
  if (clip == nullptr || !point) return;
  std::optional<Matrix> matrix = ToStageOnGrid(*clip);
  if (!toGlobal) matrix = matrix->Inverse();
  if (!matrix) return;
  matrix = OnGrid(*matrix);  // a clip scaled to nothing maps no point back
  const Point moved = matrix->Apply(*point);
  object->Set(call.vm, call.vm.Str("x"), Value(RoundTwips(moved.x) / 20));
  object->Set(call.vm, call.vm.Str("y"), Value(RoundTwips(moved.y) / 20));
}

Value LocalToGlobal(NativeCall& call) {
  TransformPoint(call, true);
  return Value();
}

Value GlobalToLocal(NativeCall& call) {
  TransformPoint(call, false);
  return Value();
}

// The clip an argument names (a clip or a target path); null when it names none.
Clip* ClipArg(NativeCall& call, size_t index, Clip* start) {
  const Value target = call.Arg(index);
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    return static_cast<ClipObject*>(target.AsObject())->GetClip(call.vm);
  }
  if (target.IsNullish() || call.vm.activations == nullptr) return nullptr;
  return ResolveClip(*call.vm.activations, target, start, false);
}

// getBounds and getRect (the same box here: strokes are not told apart) in the coordinates of
// the clip given, the clip's own without one.
Value GetBounds(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr) return Value();
  Clip* space = clip;
  if (call.Has(0)) {
    space = ClipArg(call, 0, clip);
    if (space == nullptr) return Value();
  }
  TwipsRect box{kNoBounds, kNoBounds, kNoBounds, kNoBounds};
  const std::optional<Matrix> fromSpace = ToStage(*space).Inverse();
  if (fromSpace) box = clip->BoundsIn(*fromSpace * ToStage(*clip));
  Object* result = vm.NewObject();
  result->Set(vm, vm.Str("xMin"), Value(box.xMin / 20.0));
  result->Set(vm, vm.Str("xMax"), Value(box.xMax / 20.0));
  result->Set(vm, vm.Str("yMin"), Value(box.yMin / 20.0));
  result->Set(vm, vm.Str("yMax"), Value(box.yMax / 20.0));
  return Value(result);
}

bool Empty(const TwipsRect& box) { return box.xMin == kNoBounds && box.xMax == kNoBounds; }

// hitTest(x, y[, shapeFlag]) with a point of the stage, or hitTest(target): whether the two
// clips' boxes on the stage meet.
Value HitTest(NativeCall& call) {
  VmImpl& vm = call.vm;
  Clip* clip = ThisClip(call);
  if (clip == nullptr || call.Count() == 0) return Value(false);
  if (call.Count() >= 2) {
    const double x = call.NumberArg(0);
    const double y = call.NumberArg(1);
    const bool shapeFlag = call.Has(2) && vm.ToBoolean(call.Arg(2));
    if (!std::isfinite(x) || !std::isfinite(y)) return Value(false);
    const Clip* root = clip;
    while (root->Parent() != nullptr) root = root->Parent();
    const auto fromStage = root->GetMatrix().Inverse();
    if (!fromStage) return Value(false);
    return Value(clip->HitTestPoint(fromStage->Apply({x * 20, y * 20}), shapeFlag));
  }
  Clip* other = ClipArg(call, 0, clip);
  if (other == nullptr) return Value(false);
  const TwipsRect a = clip->BoundsIn(ToStage(*clip));
  const TwipsRect b = other->BoundsIn(ToStage(*other));
  if (Empty(a) || Empty(b)) return Value(false);
  return Value(a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax && b.yMin <= a.yMax);
}

}  // namespace

void InstallMovieClipGeometry(VmImpl& vm, Object* global) {
  (void)global;
  Object* prototype = vm.protos.movieClip;
  DefineMethod(vm, prototype, "localToGlobal", LocalToGlobal);
  DefineMethod(vm, prototype, "globalToLocal", GlobalToLocal);
  DefineMethod(vm, prototype, "getBounds", GetBounds);
  DefineMethod(vm, prototype, "getRect", GetBounds, kHidden | kSwf8Up);
  DefineMethod(vm, prototype, "hitTest", HitTest);
}

}  // namespace swfplayer::avm1
