// TextFormat: a plain bag of format properties, each null until set; new TextFormat(font, size,
// color, bold, italic, underline, url, target, align, leftMargin, rightMargin, indent, leading)
// sets them in that order. Text fields read and give them (TextFieldClass.cpp).
#include "swfplayer/avm1/builtins/TextFormatClass.h"

#include <cmath>

#include "swfplayer/avm1/ArrayObject.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// The properties in the order the constructor takes them, then the rest.
constexpr const char* kConstructorOrder[] = {"font",   "size",   "color",      "bold",        "italic",
                                             "underline", "url", "target",     "align",       "leftMargin",
                                             "rightMargin", "indent", "leading"};
constexpr const char* kOtherProperties[] = {"blockIndent", "bullet", "tabStops", "letterSpacing", "kerning"};

std::u16string_view AlignName(TextAlign align) {
  switch (align) {
    case TextAlign::kLeft: return u"left";
    case TextAlign::kRight: return u"right";
    case TextAlign::kCenter: return u"center";
    case TextAlign::kJustify: return u"justify";
  }
  return u"left";
}

std::optional<TextAlign> AlignNamed(std::u16string_view name) {
  auto is = [&](std::u16string_view want) {
    if (name.size() != want.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
      const char16_t c = name[i] >= u'A' && name[i] <= u'Z' ? char16_t(name[i] + 32) : name[i];
      if (c != want[i]) return false;
    }
    return true;
  };
  if (is(u"left")) return TextAlign::kLeft;
  if (is(u"right")) return TextAlign::kRight;
  if (is(u"center")) return TextAlign::kCenter;
  if (is(u"justify")) return TextAlign::kJustify;
  return std::nullopt;
}

Value Get(VmImpl& vm, Object* object, const char* name, bool& present) {
  const Value value = object->Get(vm, vm.Str(name));
  present = !value.IsNullish();
  return value;
}

Value TextFormatConstruct(NativeCall& call) {
  Object* self = call.ThisObject();
  if (self == nullptr) return Value();
  VmImpl& vm = call.vm;
  for (size_t i = 0; i < std::size(kConstructorOrder); ++i) {
    self->Set(vm, vm.Str(kConstructorOrder[i]), call.Has(i) ? call.Arg(i) : Value::Null());
  }
  for (const char* name : kOtherProperties) self->Set(vm, vm.Str(name), Value::Null());
  return Value();
}

Value TextFormatCall(NativeCall&) { return Value(); }

}  // namespace

TextFormat TextFormatOf(VmImpl& vm, Object* object) {
  TextFormat format;
  if (object == nullptr) return format;
  bool set = false;
  auto number = [&](const char* name) -> std::optional<double> {
    const Value value = Get(vm, object, name, set);
    if (!set) return std::nullopt;
    const double n = vm.ToNumber(value);
    return std::isnan(n) ? std::nullopt : std::optional<double>(n);
  };
  auto boolean = [&](const char* name) -> std::optional<bool> {
    const Value value = Get(vm, object, name, set);
    return set ? std::optional<bool>(vm.ToBoolean(value)) : std::nullopt;
  };
  auto string = [&](const char* name) -> std::optional<std::u16string> {
    const Value value = Get(vm, object, name, set);
    return set ? std::optional<std::u16string>(vm.ToString(value)->View()) : std::nullopt;
  };
  format.font = string("font");
  format.size = number("size");
  if (const Value color = Get(vm, object, "color", set); set) {
    format.color = static_cast<uint32_t>(vm.ToInt32(color)) & 0xFFFFFF;
  }
  format.bold = boolean("bold");
  format.italic = boolean("italic");
  format.underline = boolean("underline");
  format.url = string("url");
  format.target = string("target");
  if (const auto align = string("align")) format.align = AlignNamed(*align);
  format.leftMargin = number("leftMargin");
  format.rightMargin = number("rightMargin");
  format.indent = number("indent");
  format.blockIndent = number("blockIndent");
  format.leading = number("leading");
  format.bullet = boolean("bullet");
  format.letterSpacing = number("letterSpacing");
  format.kerning = boolean("kerning");
  if (const Value stops = Get(vm, object, "tabStops", set); set && stops.IsObject()) {
    Object* array = stops.AsObject();
    const double length = vm.ToNumber(array->Get(vm, vm.Str("length")));
    std::vector<double> values;
    for (size_t i = 0; i < 1024 && i < length; ++i) {
      const double stop = vm.ToNumber(array->Get(vm, vm.NumberString(static_cast<double>(i))));
      values.push_back(std::isnan(stop) ? 0 : stop);
    }
    format.tabStops = std::move(values);
  }
  return format;
}

Object* NewTextFormatObject(VmImpl& vm, const TextFormat& format) {
  const Value constructor = vm.Global()->Get(vm, vm.Str("TextFormat"));
  const Value made = vm.Construct(constructor, {});
  Object* object = made.IsObject() ? made.AsObject() : vm.NewObject();
  auto put = [&](const char* name, Value value) { object->Set(vm, vm.Str(name), value); };
  auto putNumber = [&](const char* name, const std::optional<double>& n) {
    put(name, n ? Value(*n) : Value::Null());
  };
  auto putBool = [&](const char* name, const std::optional<bool>& b) { put(name, b ? Value(*b) : Value::Null()); };
  auto putString = [&](const char* name, const std::optional<std::u16string>& s) {
    put(name, s ? Value(vm.NewString(*s)) : Value::Null());
  };
  putString("font", format.font);
  putNumber("size", format.size);
  putNumber("color", format.color ? std::optional<double>(*format.color) : std::nullopt);
  putBool("bold", format.bold);
  putBool("italic", format.italic);
  putBool("underline", format.underline);
  putString("url", format.url);
  putString("target", format.target);
  put("align", format.align ? Value(vm.NewString(AlignName(*format.align))) : Value::Null());
  putNumber("leftMargin", format.leftMargin);
  putNumber("rightMargin", format.rightMargin);
  putNumber("indent", format.indent);
  putNumber("leading", format.leading);
  putNumber("blockIndent", format.blockIndent);
  putBool("bullet", format.bullet);
  if (format.tabStops) {
    std::vector<Value> stops;
    for (double stop : *format.tabStops) stops.emplace_back(stop);
    put("tabStops", Value(vm.NewArray(stops)));
  } else {
    put("tabStops", Value::Null());
  }
  putNumber("letterSpacing", format.letterSpacing);
  putBool("kerning", format.kerning);
  return object;
}

void InstallTextFormatClass(VmImpl& vm, Object* global) {
  DefineClass(vm, global, "TextFormat", TextFormatCall, TextFormatConstruct, nullptr, kDontEnum | kSwf6Up);
}

}  // namespace swfplayer::avm1
