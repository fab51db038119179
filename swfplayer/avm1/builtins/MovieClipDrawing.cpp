// MovieClip's drawing API: clear, lineStyle, beginFill, beginGradientFill, beginBitmapFill,
// moveTo, lineTo, curveTo and endFill. Arguments are read as the Flash Player reads them (pixels, colours as
// 0xRRGGBB numbers, alphas in percent) and handed to the clip as DrawCommands in twips.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;
using Kind = DrawCommand::Kind;

// A gradient has at most 15 stops, as in SWF 8 shapes.
constexpr size_t kMaxGradientStops = 15;

Clip* ThisClip(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  Clip* clip = self != nullptr ? self->GetClip(call.vm) : nullptr;
  return clip != nullptr && clip->IsMovieClip() ? clip : nullptr;
}

// Coordinates beyond what twips hold are clamped; NaN is 0, as the Flash Player takes it.
double Twips(double pixels) {
  if (std::isnan(pixels)) return 0;
  return std::clamp(pixels * 20, -2147483648.0, 2147483647.0);
}

double Clamped(double value, double low, double high, double otherwise) {
  return std::isnan(value) ? otherwise : std::clamp(value, low, high);
}

Rgba ColourArg(NativeCall& call, size_t colour, size_t alpha) {
  const uint32_t rgb = call.Has(colour) ? static_cast<uint32_t>(call.IntArg(colour)) : 0;
  const double percent = call.Has(alpha) && !call.Arg(alpha).IsUndefined() ? call.NumberArg(alpha) : 100;
  const auto a = static_cast<uint8_t>(Clamped(percent, 0, 100, 0) / 100 * 255);
  return Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb), a};
}

std::string LowerArg(NativeCall& call, size_t index) {
  if (!call.Has(index) || call.Arg(index).IsNullish()) return {};
  std::string text = call.StringArg(index)->ToUtf8();
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

DrawCommand Command(Kind kind) {
  DrawCommand command;
  command.kind = kind;
  return command;
}

void Send(NativeCall& call, DrawCommand command) {
  if (Clip* clip = ThisClip(call)) clip->Draw(command);
}

Value Clear(NativeCall& call) {
  Send(call, Command(Kind::kClear));
  return Value();
}

// lineStyle(thickness, rgb, alpha, pixelHinting, noScale, capsStyle, jointStyle, miterLimit):
// no thickness (undefined) ends the lines; 0 is a hairline; past 255 is 255.
Value LineStyle(NativeCall& call) {
  if (!call.Has(0) || call.Arg(0).IsUndefined()) {
    Send(call, Command(Kind::kNoLine));
    return Value();
  }
  DrawCommand command = Command(Kind::kLineStyle);
  command.stroke.width = Clamped(call.NumberArg(0), 0, 255, 0) * 20;
  command.paint = ColourArg(call, 1, 2);
  command.stroke.pixelHinting = call.Has(3) && call.BoolArg(3);
  const std::string noScale = LowerArg(call, 4);
  command.stroke.scaleX = !(noScale == "none" || noScale == "horizontal");
  command.stroke.scaleY = !(noScale == "none" || noScale == "vertical");
  const std::string caps = LowerArg(call, 5);
  const Cap cap = caps == "none" ? Cap::kNone : caps == "square" ? Cap::kSquare : Cap::kRound;
  command.stroke.startCap = command.stroke.endCap = cap;
  const std::string joint = LowerArg(call, 6);
  command.stroke.join = joint == "miter" ? Join::kMiter : joint == "bevel" ? Join::kBevel : Join::kRound;
  if (call.Has(7)) command.stroke.miterLimit = Clamped(call.NumberArg(7), 1, 255, 3);
  Send(call, command);
  return Value();
}

// beginFill() with no colour fills nothing (the fill is still ended and begun, as its edges
// still cut the shape).
Value BeginFill(NativeCall& call) {
  DrawCommand command = Command(Kind::kBeginFill);
  if (!call.Has(0) || call.Arg(0).IsUndefined()) {
    command.paint = Rgba{0, 0, 0, 0};
  } else {
    command.paint = ColourArg(call, 0, 1);
  }
  Send(call, command);
  return Value();
}

double Field(VmImpl& vm, Object* object, const char* name) {
  return vm.ToNumber(object->Get(vm, vm.Str(name)));
}

// The gradient's matrix from its argument: a box ({matrixType: "box", x, y, w, h, r}), the old
// 3x3 form ({a, b, d, e, g, h}) or a flash.geom.Matrix ({a, b, c, d, tx, ty}). The gradient
// square spans 1638.4 pixels in the last form and 1 in the old one.
std::optional<Matrix> GradientMatrix(VmImpl& vm, Object* given) {
  if (given == nullptr) return std::nullopt;
  Matrix px;
  const Value type = given->Get(vm, vm.Str("matrixType"));
  if (type.IsString() && vm.ToString(type)->ToUtf8() == "box") {
    const double w = Field(vm, given, "w");
    const double h = Field(vm, given, "h");
    const double r = Field(vm, given, "r");
    px = {std::cos(r) * w / 1638.4, std::sin(r) * h / 1638.4, -std::sin(r) * w / 1638.4,
          std::cos(r) * h / 1638.4, Field(vm, given, "x") + w / 2, Field(vm, given, "y") + h / 2};
  } else if (given->Has(vm, vm.Str("tx"))) {
    px = {Field(vm, given, "a"), Field(vm, given, "b"), Field(vm, given, "c"), Field(vm, given, "d"),
          Field(vm, given, "tx"), Field(vm, given, "ty")};
  } else {
    px = {Field(vm, given, "a") / 1638.4, Field(vm, given, "b") / 1638.4, Field(vm, given, "d") / 1638.4,
          Field(vm, given, "e") / 1638.4, Field(vm, given, "g"), Field(vm, given, "h")};
  }
  for (double value : {px.a, px.b, px.c, px.d, px.tx, px.ty}) {
    if (!std::isfinite(value)) return std::nullopt;
  }
  return Matrix{px.a, px.b, px.c, px.d, px.tx * 20, px.ty * 20};
}

// beginGradientFill(type, colors, alphas, ratios, matrix[, spreadMethod, interpolationMethod,
// focalPointRatio]): the three arrays must be as long as each other, or nothing is filled.
Value BeginGradientFill(NativeCall& call) {
  VmImpl& vm = call.vm;
  DrawCommand command = Command(Kind::kBeginFill);
  command.paint = Rgba{0, 0, 0, 0};
  const std::string type = LowerArg(call, 0);
  Object* colors = call.ObjectArg(1);
  Object* alphas = call.ObjectArg(2);
  Object* ratios = call.ObjectArg(3);
  const auto matrix = GradientMatrix(vm, call.ObjectArg(4));
  const auto length = [&](Object* array) { return vm.ToNumber(array->Get(vm, vm.names.length)); };
  if ((type == "linear" || type == "radial") && colors && alphas && ratios && matrix) {
    const double count = length(colors);
    if (count >= 1 && count == length(alphas) && count == length(ratios)) {
      Gradient gradient;
      gradient.kind = type == "linear" ? GradientKind::kLinear : GradientKind::kRadial;
      gradient.matrix = *matrix;
      uint8_t lastRatio = 0;
      for (size_t i = 0; i < std::min<size_t>(static_cast<size_t>(count), kMaxGradientStops); ++i) {
        String* key = vm.NumberString(static_cast<double>(i));
        const uint32_t rgb = static_cast<uint32_t>(vm.ToInt32(colors->Get(vm, key)));
        const double alpha = Clamped(vm.ToNumber(alphas->Get(vm, key)), 0, 100, 0);
        const double ratio = Clamped(vm.ToNumber(ratios->Get(vm, key)), 0, 255, 0);
        lastRatio = std::max(lastRatio, static_cast<uint8_t>(ratio));  // ratios never go back
        gradient.stops.push_back({lastRatio, Rgba{static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8),
                                                  static_cast<uint8_t>(rgb),
                                                  static_cast<uint8_t>(alpha / 100 * 255)}});
      }
      const std::string spread = LowerArg(call, 5);
      gradient.spread = spread == "reflect" ? Spread::kReflect : spread == "repeat" ? Spread::kRepeat : Spread::kPad;
      if (LowerArg(call, 6) == "linearrgb") gradient.interpolation = Interpolation::kLinearRgb;
      if (call.Has(7) && gradient.kind == GradientKind::kRadial) {
        gradient.focalPoint = static_cast<float>(Clamped(call.NumberArg(7), -1, 1, 0));
        if (gradient.focalPoint != 0) gradient.kind = GradientKind::kFocal;
      }
      command.paint = std::move(gradient);
    }
  }
  Send(call, command);
  return Value();
}

// beginBitmapFill(bitmap, matrix, repeat = true, smoothing = false): matrix takes the
// bitmap's pixels to the clip's (a flash.geom.Matrix). Without a live BitmapData nothing is
// filled, though the fill still begins, as beginFill() without a colour.
Value BeginBitmapFill(NativeCall& call) {
  VmImpl& vm = call.vm;
  DrawCommand command = Command(Kind::kBeginFill);
  command.paint = Rgba{0, 0, 0, 0};
  if (BitmapDataObject* bitmap = LiveBitmapData(call.Arg(0))) {
    Matrix px;
    if (Object* given = call.ObjectArg(1)) {
      px = {Field(vm, given, "a"), Field(vm, given, "b"), Field(vm, given, "c"), Field(vm, given, "d"),
            Field(vm, given, "tx"), Field(vm, given, "ty")};
    }
    if (std::isfinite(px.a) && std::isfinite(px.b) && std::isfinite(px.c) && std::isfinite(px.d) &&
        std::isfinite(px.tx) && std::isfinite(px.ty)) {
      const bool repeat = !call.Has(2) || call.Arg(2).IsUndefined() || call.BoolArg(2);
      const bool smooth = call.Has(3) && call.BoolArg(3);
      KeepWhileShown(vm, *bitmap);
      command.paint = BitmapFill{bitmap->bitmap, Matrix::Scale(20, 20) * px, repeat, smooth};
    }
  }
  Send(call, command);
  return Value();
}

Value EndFill(NativeCall& call) {
  Send(call, Command(Kind::kEndFill));
  return Value();
}

// moveTo and lineTo need both coordinates; curveTo all four.
Value MoveOrLine(NativeCall& call, Kind kind) {
  if (call.Count() < 2) return Value();
  DrawCommand command = Command(kind);
  command.anchor = {Twips(call.NumberArg(0)), Twips(call.NumberArg(1))};
  Send(call, command);
  return Value();
}

Value MoveTo(NativeCall& call) { return MoveOrLine(call, Kind::kMoveTo); }
Value LineTo(NativeCall& call) { return MoveOrLine(call, Kind::kLineTo); }

Value CurveTo(NativeCall& call) {
  if (call.Count() < 4) return Value();
  DrawCommand command = Command(Kind::kCurveTo);
  command.control = {Twips(call.NumberArg(0)), Twips(call.NumberArg(1))};
  command.anchor = {Twips(call.NumberArg(2)), Twips(call.NumberArg(3))};
  Send(call, command);
  return Value();
}

}  // namespace

void InstallMovieClipDrawing(VmImpl& vm, Object* global) {
  (void)global;
  Object* prototype = vm.protos.movieClip;
  const uint16_t flags = kHidden | kSwf6Up;
  DefineMethod(vm, prototype, "clear", Clear, flags);
  DefineMethod(vm, prototype, "lineStyle", LineStyle, flags);
  DefineMethod(vm, prototype, "beginFill", BeginFill, flags);
  DefineMethod(vm, prototype, "beginGradientFill", BeginGradientFill, flags);
  DefineMethod(vm, prototype, "beginBitmapFill", BeginBitmapFill, kHidden | kSwf8Up);
  DefineMethod(vm, prototype, "endFill", EndFill, flags);
  DefineMethod(vm, prototype, "moveTo", MoveTo, flags);
  DefineMethod(vm, prototype, "lineTo", LineTo, flags);
  DefineMethod(vm, prototype, "curveTo", CurveTo, flags);
}

}  // namespace swfplayer::avm1
