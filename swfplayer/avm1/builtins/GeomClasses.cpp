// flash.geom (SWF 8): Point, Rectangle, Matrix, ColorTransform and Transform. The first four
// are plain objects whose fields scripts read and write (x, y, width, a, tx, redMultiplier,
// ...); their methods read the fields back each time, as the Flash Player's do. A Transform
// reads and sets a clip's matrix and colour transform; clip.transform makes one.
#include <algorithm>
#include <cmath>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

struct GeomState final : VmImpl::ExtensionState {
  Object* point = nullptr;  // the constructors, for the objects the methods make
  Object* rectangle = nullptr;
  Object* matrix = nullptr;
  Object* colorTransform = nullptr;
  Object* transform = nullptr;
  void Trace(Tracer& tracer) override {
    for (Object* object : {point, rectangle, matrix, colorTransform, transform}) tracer.Mark(object);
  }
};

GeomState& State(VmImpl& vm) { return vm.State<GeomState>("geom"); }

double Num(VmImpl& vm, Object* object, const char* name) {
  return object != nullptr ? vm.ToNumber(object->Get(vm, vm.Str(name))) : std::nan("");
}

void Put(VmImpl& vm, Object* object, const char* name, double value) {
  object->Set(vm, vm.Str(name), Value(value));
}

Object* Make(VmImpl& vm, Object* constructor, std::initializer_list<double> args) {
  std::vector<Value> values;
  for (double arg : args) values.push_back(Value(arg));
  const Value made = vm.Construct(Value(constructor), values);
  return made.IsObject() ? made.AsObject() : vm.NewObject();
}

// Fields set by a constructor: each argument, or its default when it is missing.
void Fill(NativeCall& call, std::initializer_list<std::pair<const char*, double>> fields) {
  Object* self = call.ThisObject();
  if (self == nullptr) return;
  size_t i = 0;
  for (const auto& [name, fallback] : fields) {
    self->Set(call.vm, call.vm.Str(name), call.Has(i) ? call.Arg(i) : Value(fallback));
    ++i;
  }
}

Value Text(VmImpl& vm, std::initializer_list<std::pair<const char*, Value>> fields) {
  std::u16string out = u"(";
  bool first = true;
  for (const auto& [name, value] : fields) {
    if (!first) out += u", ";
    first = false;
    for (const char* c = name; *c; ++c) out += static_cast<char16_t>(*c);
    out += u'=';
    out += vm.ToString(value)->View();
  }
  out += u')';
  return Value(vm.NewString(out));
}

Value Nothing(NativeCall&) { return Value(); }

// --- Point ---

Value PointConstruct(NativeCall& call) {
  Fill(call, {{"x", 0}, {"y", 0}});
  return Value();
}

Value PointLength(NativeCall& call) {
  Object* self = call.ThisObject();
  return Value(std::hypot(Num(call.vm, self, "x"), Num(call.vm, self, "y")));
}

Value PointToString(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  return Text(vm, {{"x", self->Get(vm, vm.Str("x"))}, {"y", self->Get(vm, vm.Str("y"))}});
}

Value PointAdd(NativeCall& call, double sign) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  Object* other = call.ObjectArg(0);
  return Value(Make(vm, State(vm).point, {Num(vm, self, "x") + sign * Num(vm, other, "x"),
                                          Num(vm, self, "y") + sign * Num(vm, other, "y")}));
}
Value PointPlus(NativeCall& call) { return PointAdd(call, 1); }
Value PointMinus(NativeCall& call) { return PointAdd(call, -1); }

Value PointClone(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  return Value(Make(vm, State(vm).point, {Num(vm, self, "x"), Num(vm, self, "y")}));
}

Value PointEquals(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  Object* other = call.ObjectArg(0);
  if (self == nullptr || other == nullptr) return Value(false);
  return Value(Num(vm, self, "x") == Num(vm, other, "x") && Num(vm, self, "y") == Num(vm, other, "y"));
}

Value PointOffset(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (Object* self = call.ThisObject()) {
    Put(vm, self, "x", Num(vm, self, "x") + call.NumberArg(0));
    Put(vm, self, "y", Num(vm, self, "y") + call.NumberArg(1));
  }
  return Value();
}

Value PointNormalize(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const double x = Num(vm, self, "x");
  const double y = Num(vm, self, "y");
  const double length = std::hypot(x, y);
  if (length > 0) {
    const double scale = call.NumberArg(0) / length;
    Put(vm, self, "x", x * scale);
    Put(vm, self, "y", y * scale);
  }
  return Value();
}

Value PointDistance(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* a = call.ObjectArg(0);
  Object* b = call.ObjectArg(1);
  if (a == nullptr || b == nullptr) return Value();
  return Value(std::hypot(Num(vm, a, "x") - Num(vm, b, "x"), Num(vm, a, "y") - Num(vm, b, "y")));
}

// interpolate(a, b, f): f = 1 gives a, 0 gives b.
Value PointInterpolate(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* a = call.ObjectArg(0);
  Object* b = call.ObjectArg(1);
  const double f = call.NumberArg(2);
  return Value(Make(vm, State(vm).point, {Num(vm, b, "x") + f * (Num(vm, a, "x") - Num(vm, b, "x")),
                                          Num(vm, b, "y") + f * (Num(vm, a, "y") - Num(vm, b, "y"))}));
}

Value PointPolar(NativeCall& call) {
  const double length = call.NumberArg(0);
  const double angle = call.NumberArg(1);
  return Value(Make(call.vm, State(call.vm).point, {length * std::cos(angle), length * std::sin(angle)}));
}

void InstallPoint(VmImpl& vm, Object* geom) {
  FunctionObject* point = DefineClass(vm, geom, "Point", PointConstruct, nullptr);
  State(vm).point = point;
  Object* prototype = point->Get(vm, vm.names.prototype).AsObject();
  DefineNativeProperty(vm, prototype, "length", PointLength, nullptr);
  DefineMethod(vm, prototype, "toString", PointToString);
  DefineMethod(vm, prototype, "add", PointPlus);
  DefineMethod(vm, prototype, "subtract", PointMinus);
  DefineMethod(vm, prototype, "clone", PointClone);
  DefineMethod(vm, prototype, "equals", PointEquals);
  DefineMethod(vm, prototype, "offset", PointOffset);
  DefineMethod(vm, prototype, "normalize", PointNormalize);
  DefineMethod(vm, point, "distance", PointDistance);
  DefineMethod(vm, point, "interpolate", PointInterpolate);
  DefineMethod(vm, point, "polar", PointPolar);
}

// --- Rectangle ---

struct Box {
  double x, y, width, height;
};

Box BoxOf(VmImpl& vm, Object* object) {
  return {Num(vm, object, "x"), Num(vm, object, "y"), Num(vm, object, "width"), Num(vm, object, "height")};
}

void SetBox(VmImpl& vm, Object* object, const Box& box) {
  Put(vm, object, "x", box.x);
  Put(vm, object, "y", box.y);
  Put(vm, object, "width", box.width);
  Put(vm, object, "height", box.height);
}

Value NewRectangle(VmImpl& vm, const Box& box) {
  return Value(Make(vm, State(vm).rectangle, {box.x, box.y, box.width, box.height}));
}

Value RectangleConstruct(NativeCall& call) {
  Fill(call, {{"x", 0}, {"y", 0}, {"width", 0}, {"height", 0}});
  return Value();
}

Value RectangleToString(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  return Text(vm, {{"x", self->Get(vm, vm.Str("x"))},
                   {"y", self->Get(vm, vm.Str("y"))},
                   {"w", self->Get(vm, vm.Str("width"))},
                   {"h", self->Get(vm, vm.Str("height"))}});
}

bool IsEmpty(const Box& box) { return !(box.width > 0 && box.height > 0); }

Value RectangleIsEmpty(NativeCall& call) { return Value(IsEmpty(BoxOf(call.vm, call.ThisObject()))); }

Value RectangleSetEmpty(NativeCall& call) {
  if (Object* self = call.ThisObject()) SetBox(call.vm, self, {0, 0, 0, 0});
  return Value();
}

Value RectangleClone(NativeCall& call) { return NewRectangle(call.vm, BoxOf(call.vm, call.ThisObject())); }

bool Contains(const Box& box, double x, double y) {
  return x >= box.x && y >= box.y && x < box.x + box.width && y < box.y + box.height;
}

Value RectangleContains(NativeCall& call) {
  return Value(Contains(BoxOf(call.vm, call.ThisObject()), call.NumberArg(0), call.NumberArg(1)));
}

Value RectangleContainsPoint(NativeCall& call) {
  Object* point = call.ObjectArg(0);
  if (point == nullptr) return Value(false);
  return Value(Contains(BoxOf(call.vm, call.ThisObject()), Num(call.vm, point, "x"), Num(call.vm, point, "y")));
}

Value RectangleContainsRectangle(NativeCall& call) {
  Object* other = call.ObjectArg(0);
  if (other == nullptr) return Value(false);
  const Box a = BoxOf(call.vm, call.ThisObject());
  const Box b = BoxOf(call.vm, other);
  return Value(b.x >= a.x && b.y >= a.y && b.x + b.width <= a.x + a.width && b.y + b.height <= a.y + a.height);
}

Value RectangleEquals(NativeCall& call) {
  Object* other = call.ObjectArg(0);
  if (other == nullptr) return Value(false);
  const Box a = BoxOf(call.vm, call.ThisObject());
  const Box b = BoxOf(call.vm, other);
  return Value(a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height);
}

Box Intersection(const Box& a, const Box& b) {
  const double left = std::max(a.x, b.x);
  const double top = std::max(a.y, b.y);
  const double right = std::min(a.x + a.width, b.x + b.width);
  const double bottom = std::min(a.y + a.height, b.y + b.height);
  if (!(right > left && bottom > top)) return {0, 0, 0, 0};
  return {left, top, right - left, bottom - top};
}

Value RectangleIntersection(NativeCall& call) {
  Object* other = call.ObjectArg(0);
  if (other == nullptr) return NewRectangle(call.vm, {0, 0, 0, 0});
  return NewRectangle(call.vm, Intersection(BoxOf(call.vm, call.ThisObject()), BoxOf(call.vm, other)));
}

Value RectangleIntersects(NativeCall& call) {
  Object* other = call.ObjectArg(0);
  if (other == nullptr) return Value(false);
  return Value(!IsEmpty(Intersection(BoxOf(call.vm, call.ThisObject()), BoxOf(call.vm, other))));
}

Value RectangleUnion(NativeCall& call) {
  Object* other = call.ObjectArg(0);
  const Box a = BoxOf(call.vm, call.ThisObject());
  if (other == nullptr) return NewRectangle(call.vm, a);
  const Box b = BoxOf(call.vm, other);
  if (IsEmpty(a)) return NewRectangle(call.vm, b);
  if (IsEmpty(b)) return NewRectangle(call.vm, a);
  const double left = std::min(a.x, b.x);
  const double top = std::min(a.y, b.y);
  return NewRectangle(call.vm, {left, top, std::max(a.x + a.width, b.x + b.width) - left,
                                std::max(a.y + a.height, b.y + b.height) - top});
}

void Grow(NativeCall& call, double dx, double dy, bool inflate) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return;
  Box box = BoxOf(vm, self);
  if (inflate) {
    box = {box.x - dx, box.y - dy, box.width + 2 * dx, box.height + 2 * dy};
  } else {
    box.x += dx;
    box.y += dy;
  }
  SetBox(vm, self, box);
}

Value RectangleInflate(NativeCall& call) {
  Grow(call, call.NumberArg(0), call.NumberArg(1), true);
  return Value();
}
Value RectangleInflatePoint(NativeCall& call) {
  Object* p = call.ObjectArg(0);
  Grow(call, Num(call.vm, p, "x"), Num(call.vm, p, "y"), true);
  return Value();
}
Value RectangleOffset(NativeCall& call) {
  Grow(call, call.NumberArg(0), call.NumberArg(1), false);
  return Value();
}
Value RectangleOffsetPoint(NativeCall& call) {
  Object* p = call.ObjectArg(0);
  Grow(call, Num(call.vm, p, "x"), Num(call.vm, p, "y"), false);
  return Value();
}

// The edges as properties: left and top move one edge and keep the other.
template <int kEdge>
Value GetEdge(NativeCall& call) {
  const Box box = BoxOf(call.vm, call.ThisObject());
  switch (kEdge) {
    case 0: return Value(box.x);
    case 1: return Value(box.y);
    case 2: return Value(box.x + box.width);
    default: return Value(box.y + box.height);
  }
}

template <int kEdge>
Value SetEdge(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  Box box = BoxOf(vm, self);
  const double value = call.NumberArg(0);
  switch (kEdge) {
    case 0: box.width += box.x - value; box.x = value; break;
    case 1: box.height += box.y - value; box.y = value; break;
    case 2: box.width = value - box.x; break;
    default: box.height = value - box.y; break;
  }
  SetBox(vm, self, box);
  return Value();
}

Value RectangleTopLeft(NativeCall& call) {
  const Box box = BoxOf(call.vm, call.ThisObject());
  return Value(Make(call.vm, State(call.vm).point, {box.x, box.y}));
}
Value RectangleBottomRight(NativeCall& call) {
  const Box box = BoxOf(call.vm, call.ThisObject());
  return Value(Make(call.vm, State(call.vm).point, {box.x + box.width, box.y + box.height}));
}
Value RectangleSize(NativeCall& call) {
  const Box box = BoxOf(call.vm, call.ThisObject());
  return Value(Make(call.vm, State(call.vm).point, {box.width, box.height}));
}

void InstallRectangle(VmImpl& vm, Object* geom) {
  FunctionObject* rectangle = DefineClass(vm, geom, "Rectangle", RectangleConstruct, nullptr);
  State(vm).rectangle = rectangle;
  Object* p = rectangle->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, p, "toString", RectangleToString);
  DefineMethod(vm, p, "isEmpty", RectangleIsEmpty);
  DefineMethod(vm, p, "setEmpty", RectangleSetEmpty);
  DefineMethod(vm, p, "clone", RectangleClone);
  DefineMethod(vm, p, "contains", RectangleContains);
  DefineMethod(vm, p, "containsPoint", RectangleContainsPoint);
  DefineMethod(vm, p, "containsRectangle", RectangleContainsRectangle);
  DefineMethod(vm, p, "equals", RectangleEquals);
  DefineMethod(vm, p, "intersection", RectangleIntersection);
  DefineMethod(vm, p, "intersects", RectangleIntersects);
  DefineMethod(vm, p, "union", RectangleUnion);
  DefineMethod(vm, p, "inflate", RectangleInflate);
  DefineMethod(vm, p, "inflatePoint", RectangleInflatePoint);
  DefineMethod(vm, p, "offset", RectangleOffset);
  DefineMethod(vm, p, "offsetPoint", RectangleOffsetPoint);
  DefineNativeProperty(vm, p, "left", GetEdge<0>, SetEdge<0>);
  DefineNativeProperty(vm, p, "top", GetEdge<1>, SetEdge<1>);
  DefineNativeProperty(vm, p, "right", GetEdge<2>, SetEdge<2>);
  DefineNativeProperty(vm, p, "bottom", GetEdge<3>, SetEdge<3>);
  DefineNativeProperty(vm, p, "topLeft", RectangleTopLeft, nullptr);
  DefineNativeProperty(vm, p, "bottomRight", RectangleBottomRight, nullptr);
  DefineNativeProperty(vm, p, "size", RectangleSize, nullptr);
}

// --- Matrix: (a, b, c, d, tx, ty) in pixels ---

Matrix MatrixOf(VmImpl& vm, Object* object) {
  return {Num(vm, object, "a"), Num(vm, object, "b"), Num(vm, object, "c"),
          Num(vm, object, "d"), Num(vm, object, "tx"), Num(vm, object, "ty")};
}

void SetMatrixFields(VmImpl& vm, Object* object, const Matrix& m) {
  Put(vm, object, "a", m.a);
  Put(vm, object, "b", m.b);
  Put(vm, object, "c", m.c);
  Put(vm, object, "d", m.d);
  Put(vm, object, "tx", m.tx);
  Put(vm, object, "ty", m.ty);
}

Value NewMatrix(VmImpl& vm, const Matrix& m) {
  return Value(Make(vm, State(vm).matrix, {m.a, m.b, m.c, m.d, m.tx, m.ty}));
}

Value MatrixConstruct(NativeCall& call) {
  Fill(call, {{"a", 1}, {"b", 0}, {"c", 0}, {"d", 1}, {"tx", 0}, {"ty", 0}});
  return Value();
}

Value MatrixToString(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  return Text(vm, {{"a", self->Get(vm, vm.Str("a"))},
                   {"b", self->Get(vm, vm.Str("b"))},
                   {"c", self->Get(vm, vm.Str("c"))},
                   {"d", self->Get(vm, vm.Str("d"))},
                   {"tx", self->Get(vm, vm.Str("tx"))},
                   {"ty", self->Get(vm, vm.Str("ty"))}});
}

// Applies after the matrix (outer * this), as the Flash Player's concat, rotate, scale and
// translate do.
void Then(NativeCall& call, const Matrix& outer) {
  if (Object* self = call.ThisObject()) SetMatrixFields(call.vm, self, outer * MatrixOf(call.vm, self));
}

Value MatrixConcat(NativeCall& call) {
  if (Object* other = call.ObjectArg(0)) Then(call, MatrixOf(call.vm, other));
  return Value();
}
Value MatrixRotate(NativeCall& call) {
  const double r = call.NumberArg(0);
  Then(call, {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0});
  return Value();
}
Value MatrixScale(NativeCall& call) {
  Then(call, Matrix::Scale(call.NumberArg(0), call.NumberArg(1)));
  return Value();
}
Value MatrixTranslate(NativeCall& call) {
  Then(call, Matrix::Translate(call.NumberArg(0), call.NumberArg(1)));
  return Value();
}
Value MatrixIdentity(NativeCall& call) {
  if (Object* self = call.ThisObject()) SetMatrixFields(call.vm, self, Matrix{});
  return Value();
}
// A matrix that cannot be inverted becomes all zeros (it maps everything to one point).
Value MatrixInvert(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const auto inverse = MatrixOf(call.vm, self).Inverse();
  SetMatrixFields(call.vm, self, inverse ? *inverse : Matrix{0, 0, 0, 0, 0, 0});
  return Value();
}
Value MatrixClone(NativeCall& call) { return NewMatrix(call.vm, MatrixOf(call.vm, call.ThisObject())); }

Value MatrixTransformPoint(NativeCall& call, bool delta) {
  VmImpl& vm = call.vm;
  Object* point = call.ObjectArg(0);
  if (point == nullptr) return Value();
  const Matrix m = MatrixOf(vm, call.ThisObject());
  const Point in{Num(vm, point, "x"), Num(vm, point, "y")};
  const Point out = delta ? m.ApplyVector(in) : m.Apply(in);
  return Value(Make(vm, State(vm).point, {out.x, out.y}));
}
Value MatrixTransform(NativeCall& call) { return MatrixTransformPoint(call, false); }
Value MatrixDeltaTransform(NativeCall& call) { return MatrixTransformPoint(call, true); }

// createBox(scaleX, scaleY, rotation, tx, ty) and createGradientBox(width, height, rotation,
// tx, ty): the second maps the gradient square (1638.4 pixels) onto the box.
void SetBoxMatrix(NativeCall& call, double sx, double sy, double tx, double ty) {
  const double r = call.Has(2) ? call.NumberArg(2) : 0;
  if (Object* self = call.ThisObject()) {
    SetMatrixFields(call.vm, self, {sx * std::cos(r), sy * std::sin(r), -sx * std::sin(r), sy * std::cos(r), tx, ty});
  }
}
Value MatrixCreateBox(NativeCall& call) {
  SetBoxMatrix(call, call.NumberArg(0), call.NumberArg(1), call.Has(3) ? call.NumberArg(3) : 0,
      call.Has(4) ? call.NumberArg(4) : 0);
  return Value();
}
Value MatrixCreateGradientBox(NativeCall& call) {
  const double w = call.NumberArg(0);
  const double h = call.NumberArg(1);
  SetBoxMatrix(call, w / 1638.4, h / 1638.4, (call.Has(3) ? call.NumberArg(3) : 0) + w / 2,
      (call.Has(4) ? call.NumberArg(4) : 0) + h / 2);
  return Value();
}

void InstallMatrix(VmImpl& vm, Object* geom) {
  FunctionObject* matrix = DefineClass(vm, geom, "Matrix", MatrixConstruct, nullptr);
  State(vm).matrix = matrix;
  Object* p = matrix->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, p, "toString", MatrixToString);
  DefineMethod(vm, p, "concat", MatrixConcat);
  DefineMethod(vm, p, "rotate", MatrixRotate);
  DefineMethod(vm, p, "scale", MatrixScale);
  DefineMethod(vm, p, "translate", MatrixTranslate);
  DefineMethod(vm, p, "identity", MatrixIdentity);
  DefineMethod(vm, p, "invert", MatrixInvert);
  DefineMethod(vm, p, "clone", MatrixClone);
  DefineMethod(vm, p, "transformPoint", MatrixTransform);
  DefineMethod(vm, p, "deltaTransformPoint", MatrixDeltaTransform);
  DefineMethod(vm, p, "createBox", MatrixCreateBox);
  DefineMethod(vm, p, "createGradientBox", MatrixCreateGradientBox);
}

// --- ColorTransform ---

constexpr const char* kColorFields[] = {"redMultiplier", "greenMultiplier", "blueMultiplier", "alphaMultiplier",
                                        "redOffset",     "greenOffset",     "blueOffset",     "alphaOffset"};

ColorTransform ColorOf(VmImpl& vm, Object* object) {
  float v[8];
  for (int i = 0; i < 8; ++i) v[i] = static_cast<float>(Num(vm, object, kColorFields[i]));
  return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
}

Value NewColorTransform(VmImpl& vm, const ColorTransform& c) {
  return Value(Make(vm, State(vm).colorTransform,
                    {c.mulR, c.mulG, c.mulB, c.mulA, c.addR, c.addG, c.addB, c.addA}));
}

Value ColorTransformConstruct(NativeCall& call) {
  Fill(call, {{kColorFields[0], 1}, {kColorFields[1], 1}, {kColorFields[2], 1}, {kColorFields[3], 1},
              {kColorFields[4], 0}, {kColorFields[5], 0}, {kColorFields[6], 0}, {kColorFields[7], 0}});
  return Value();
}

Value ColorTransformToString(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  auto field = [&](int i) { return std::pair<const char*, Value>{kColorFields[i], self->Get(vm, vm.Str(kColorFields[i]))}; };
  return Text(vm, {field(0), field(1), field(2), field(3), field(4), field(5), field(6), field(7)});
}

// rgb: setting it makes the colour the offsets with no multiplier (alpha kept).
Value GetRgb(NativeCall& call) {
  const ColorTransform c = ColorOf(call.vm, call.ThisObject());
  auto channel = [](float offset) { return static_cast<int32_t>(offset) & 0xFF; };
  return Value((channel(c.addR) << 16) | (channel(c.addG) << 8) | channel(c.addB));
}
Value SetRgb(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  const uint32_t rgb = static_cast<uint32_t>(call.IntArg(0));
  Put(vm, self, "redMultiplier", 0);
  Put(vm, self, "greenMultiplier", 0);
  Put(vm, self, "blueMultiplier", 0);
  Put(vm, self, "redOffset", (rgb >> 16) & 0xFF);
  Put(vm, self, "greenOffset", (rgb >> 8) & 0xFF);
  Put(vm, self, "blueOffset", rgb & 0xFF);
  return Value();
}

Value ColorTransformConcat(NativeCall& call) {
  VmImpl& vm = call.vm;
  Object* self = call.ThisObject();
  Object* other = call.ObjectArg(0);
  if (self == nullptr || other == nullptr) return Value();
  const ColorTransform c = ColorOf(vm, self) * ColorOf(vm, other);
  const float values[] = {c.mulR, c.mulG, c.mulB, c.mulA, c.addR, c.addG, c.addB, c.addA};
  for (int i = 0; i < 8; ++i) Put(vm, self, kColorFields[i], values[i]);
  return Value();
}

void InstallColorTransform(VmImpl& vm, Object* geom) {
  FunctionObject* colorTransform = DefineClass(vm, geom, "ColorTransform", ColorTransformConstruct, nullptr);
  State(vm).colorTransform = colorTransform;
  Object* p = colorTransform->Get(vm, vm.names.prototype).AsObject();
  DefineMethod(vm, p, "toString", ColorTransformToString);
  DefineMethod(vm, p, "concat", ColorTransformConcat);
  DefineNativeProperty(vm, p, "rgb", GetRgb, SetRgb);
}

// --- Transform: new Transform(clip); its fields read and set the clip each time ---

String* ClipKey(VmImpl& vm) { return vm.Str("__clip"); }

Clip* TransformClip(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return nullptr;
  const Value clip = self->Get(call.vm, ClipKey(call.vm));
  if (!clip.IsObject() || clip.AsObject()->Class() != ObjectClass::kMovieClip) return nullptr;
  return static_cast<ClipObject*>(clip.AsObject())->GetClip(call.vm);
}

Value TransformConstruct(NativeCall& call) {
  Object* self = call.ThisObject();
  const Value clip = call.Arg(0);
  if (self != nullptr && clip.IsObject() && clip.AsObject()->Class() == ObjectClass::kMovieClip) {
    self->DefineValue(call.vm, ClipKey(call.vm), clip, kHidden);
  }
  return Value();
}

Matrix ToPixels(Matrix m) {
  m.tx /= 20;
  m.ty /= 20;
  return m;
}

Value GetMatrix(NativeCall& call) {
  Clip* clip = TransformClip(call);
  return clip != nullptr ? NewMatrix(call.vm, ToPixels(clip->GetMatrix())) : Value();
}
Value SetMatrix(NativeCall& call) {
  Clip* clip = TransformClip(call);
  Object* given = call.ObjectArg(0);
  if (clip == nullptr || given == nullptr) return Value();
  Matrix m = MatrixOf(call.vm, given);
  for (double value : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
    if (!std::isfinite(value)) return Value();
  }
  m.tx *= 20;
  m.ty *= 20;
  clip->SetMatrix(m);
  return Value();
}
Value GetConcatenatedMatrix(NativeCall& call) {
  Clip* clip = TransformClip(call);
  if (clip == nullptr) return Value();
  const Clip* root = clip;
  while (root->Parent() != nullptr) root = root->Parent();
  return NewMatrix(call.vm, ToPixels(root->GetMatrix() * clip->ConcatenatedMatrix()));
}
Value GetColor(NativeCall& call) {
  Clip* clip = TransformClip(call);
  return clip != nullptr ? NewColorTransform(call.vm, clip->GetColorTransform()) : Value();
}
Value SetColor(NativeCall& call) {
  Clip* clip = TransformClip(call);
  Object* given = call.ObjectArg(0);
  if (clip == nullptr || given == nullptr) return Value();
  ColorTransform c = ColorOf(call.vm, given);
  for (float* v : {&c.mulR, &c.mulG, &c.mulB, &c.mulA, &c.addR, &c.addG, &c.addB, &c.addA}) {
    if (!std::isfinite(*v)) *v = 0;
  }
  clip->SetColorTransform(c);
  return Value();
}
Value GetConcatenatedColor(NativeCall& call) {
  Clip* clip = TransformClip(call);
  if (clip == nullptr) return Value();
  ColorTransform c = clip->GetColorTransform();
  for (const Clip* at = clip->Parent(); at != nullptr; at = at->Parent()) c = at->GetColorTransform() * c;
  return NewColorTransform(call.vm, c);
}
Value GetPixelBounds(NativeCall& call) {
  Clip* clip = TransformClip(call);
  if (clip == nullptr) return Value();
  const Clip* root = clip;
  while (root->Parent() != nullptr) root = root->Parent();
  const TwipsRect box = clip->BoundsIn(root->GetMatrix() * clip->ConcatenatedMatrix());
  return NewRectangle(call.vm, {box.xMin / 20.0, box.yMin / 20.0, (int64_t{box.xMax} - box.xMin) / 20.0,
                                (int64_t{box.yMax} - box.yMin) / 20.0});
}

void InstallTransform(VmImpl& vm, Object* geom) {
  FunctionObject* transform = DefineClass(vm, geom, "Transform", Nothing, TransformConstruct);
  State(vm).transform = transform;
  Object* p = transform->Get(vm, vm.names.prototype).AsObject();
  DefineNativeProperty(vm, p, "matrix", GetMatrix, SetMatrix);
  DefineNativeProperty(vm, p, "concatenatedMatrix", GetConcatenatedMatrix, nullptr);
  DefineNativeProperty(vm, p, "colorTransform", GetColor, SetColor);
  DefineNativeProperty(vm, p, "concatenatedColorTransform", GetConcatenatedColor, nullptr);
  DefineNativeProperty(vm, p, "pixelBounds", GetPixelBounds, nullptr);
}

// clip.transform: a new Transform of the clip each time; setting one copies its matrix and
// colour transform onto the clip.
Value ClipTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  if (call.This<ClipObject>(ObjectClass::kMovieClip) == nullptr) return Value();
  const Value args[] = {call.thisValue};
  return vm.Construct(Value(State(vm).transform), args);
}

Value SetClipTransform(NativeCall& call) {
  VmImpl& vm = call.vm;
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  Object* given = call.ObjectArg(0);
  Clip* clip = self != nullptr ? self->GetClip(vm) : nullptr;
  if (given == nullptr || clip == nullptr) return Value();
  const Value matrix = given->Get(vm, vm.Str("matrix"));
  if (matrix.IsObject()) {
    Matrix m = MatrixOf(vm, matrix.AsObject());
    if (std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
        std::isfinite(m.tx) && std::isfinite(m.ty)) {
      m.tx *= 20;
      m.ty *= 20;
      clip->SetMatrix(m);
    }
  }
  const Value color = given->Get(vm, vm.Str("colorTransform"));
  if (color.IsObject()) {
    ColorTransform c = ColorOf(vm, color.AsObject());
    for (float* v : {&c.mulR, &c.mulG, &c.mulB, &c.mulA, &c.addR, &c.addG, &c.addB, &c.addA}) {
      if (!std::isfinite(*v)) *v = 0;
    }
    clip->SetColorTransform(c);
  }
  return Value();
}

}  // namespace

void InstallGeomClasses(VmImpl& vm, Object* global) {
  Object* flash = DefinePackage(vm, global, "flash", kDontEnum | kSwf8Up);
  Object* geom = DefinePackage(vm, flash, "geom", kDontEnum);
  InstallPoint(vm, geom);
  InstallRectangle(vm, geom);
  InstallMatrix(vm, geom);
  InstallColorTransform(vm, geom);
  InstallTransform(vm, geom);
  DefineNativeProperty(vm, vm.protos.movieClip, "transform", ClipTransform, SetClipTransform, kHidden | kSwf8Up);
}

}  // namespace swfplayer::avm1
