// TextField: the class of text fields' script objects. Its properties are getters and setters
// on the prototype that reach the field through TextField (TextField.h); the display
// properties (_x, _alpha, ...) and instance names are ClipObject's, as for every clip. A
// field bound to a variable shows the variable's value (read again whenever a script reads
// the text) and writes a script's text back to it. MovieClip.createTextField is here too.
#include <algorithm>
#include <cmath>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/TextField.h"
#include "swfplayer/avm1/TextVariables.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"
#include "swfplayer/avm1/builtins/TextFormatClass.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

Clip* ThisClip(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  return self != nullptr ? self->GetClip(call.vm) : nullptr;
}

TextField* ThisField(NativeCall& call) {
  Clip* clip = ThisClip(call);
  return clip != nullptr ? clip->AsTextField() : nullptr;
}

// The field shows its variable's value once the variable changes (TextField::BoundValue).
void FollowVariable(VmImpl& vm, Clip& clip, TextField& field) {
  const std::u16string name = field.VariableName();
  if (name.empty() || clip.Parent() == nullptr) return;
  if (auto value = ReadTextVariable(vm, *clip.Parent(), name); value && value != field.BoundValue()) {
    field.SetText(*value, field.Flag(TextFieldFlag::kHtml));
    field.SetBoundValue(std::move(value));
  }
}

void SetFieldText(NativeCall& call, bool html) {
  Clip* clip = ThisClip(call);
  TextField* field = clip != nullptr ? clip->AsTextField() : nullptr;
  if (field == nullptr || !call.Has(0)) return;
  const std::u16string text(call.StringArg(0)->View());
  field->SetText(text, html);
  const std::u16string name = field->VariableName();
  if (!name.empty() && clip->Parent() != nullptr) {
    WriteTextVariable(call.vm, *clip->Parent(), name, html ? field->HtmlText() : field->Text());
    field->SetBoundValue(ReadTextVariable(call.vm, *clip->Parent(), name));
  }
}

Value TextGet(NativeCall& call) {
  Clip* clip = ThisClip(call);
  TextField* field = clip != nullptr ? clip->AsTextField() : nullptr;
  if (field == nullptr) return Value();
  FollowVariable(call.vm, *clip, *field);
  return Value(call.vm.NewString(field->Text()));
}

Value TextSet(NativeCall& call) {
  SetFieldText(call, false);
  return Value();
}

Value HtmlTextGet(NativeCall& call) {
  Clip* clip = ThisClip(call);
  TextField* field = clip != nullptr ? clip->AsTextField() : nullptr;
  if (field == nullptr) return Value();
  FollowVariable(call.vm, *clip, *field);
  return Value(call.vm.NewString(field->Flag(TextFieldFlag::kHtml) ? field->HtmlText() : field->Text()));
}

Value HtmlTextSet(NativeCall& call) {
  SetFieldText(call, true);
  return Value();
}

Value VariableGet(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr) return Value();
  const std::u16string name = field->VariableName();
  return name.empty() ? Value::Null() : Value(call.vm.NewString(name));
}

Value VariableSet(NativeCall& call) {
  Clip* clip = ThisClip(call);
  TextField* field = clip != nullptr ? clip->AsTextField() : nullptr;
  if (field == nullptr) return Value();
  const Value name = call.Arg(0);
  field->SetVariableName(name.IsNullish() ? std::u16string_view() : call.StringArg(0)->View());
  field->SetBoundValue(std::nullopt);  // a new binding takes whatever the variable holds
  FollowVariable(call.vm, *clip, *field);
  return Value();
}

template <TextFieldFlag kFlag>
Value FlagGet(NativeCall& call) {
  TextField* field = ThisField(call);
  return field != nullptr ? Value(field->Flag(kFlag)) : Value();
}

template <TextFieldFlag kFlag>
Value FlagSet(NativeCall& call) {
  if (TextField* field = ThisField(call); field != nullptr && call.Has(0)) field->SetFlag(kFlag, call.BoolArg(0));
  return Value();
}

template <TextFieldNumber kNumber>
Value NumberGet(NativeCall& call) {
  TextField* field = ThisField(call);
  return field != nullptr ? Value(field->Number(kNumber)) : Value();
}

template <TextFieldNumber kNumber>
Value NumberSet(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr || !call.Has(0)) return Value();
  if constexpr (kNumber == TextFieldNumber::kTextColor || kNumber == TextFieldNumber::kBackgroundColor ||
                kNumber == TextFieldNumber::kBorderColor) {
    field->SetNumber(kNumber, static_cast<double>(static_cast<uint32_t>(call.IntArg(0)) & 0xFFFFFF));
  } else {
    const double value = call.NumberArg(0);
    if (!std::isnan(value)) field->SetNumber(kNumber, value);
  }
  return Value();
}

Value MaxCharsGet(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr) return Value();
  const double chars = field->Number(TextFieldNumber::kMaxChars);
  return chars > 0 ? Value(chars) : Value::Null();
}

Value AutoSizeGet(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr) return Value();
  switch (field->AutoSize()) {
    case TextAutoSize::kLeft: return Value(call.vm.Str("left"));
    case TextAutoSize::kCenter: return Value(call.vm.Str("center"));
    case TextAutoSize::kRight: return Value(call.vm.Str("right"));
    case TextAutoSize::kNone: break;
  }
  return Value(call.vm.Str("none"));
}

// Whether name is word, without case (as the Flash Player compares the names of modes).
bool SameName(std::u16string_view name, std::u16string_view word) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
  return std::equal(name.begin(), name.end(), word.begin(), word.end(),
                    [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
}

// true means "left"; any other value is a name, compared without case; anything else is
// "none".
Value AutoSizeSet(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr || !call.Has(0)) return Value();
  const Value value = call.Arg(0);
  TextAutoSize mode = TextAutoSize::kNone;
  if (value.IsBoolean()) {
    mode = value.AsBoolean() ? TextAutoSize::kLeft : TextAutoSize::kNone;
  } else {
    const std::u16string_view name = call.StringArg(0)->View();
    if (SameName(name, u"left")) mode = TextAutoSize::kLeft;
    if (SameName(name, u"center")) mode = TextAutoSize::kCenter;
    if (SameName(name, u"right")) mode = TextAutoSize::kRight;
  }
  field->SetAutoSize(mode);
  return Value();
}

Value TypeGet(NativeCall& call) {
  return ThisField(call) != nullptr ? Value(call.vm.Str("dynamic")) : Value();
}

Value GetDepth(NativeCall& call) {
  Clip* clip = ThisClip(call);
  return clip != nullptr ? Value(static_cast<double>(clip->Depth())) : Value();
}

Value RemoveTextField(NativeCall& call) {
  if (Clip* clip = ThisClip(call); clip != nullptr && clip->AsTextField() != nullptr) clip->RemoveClip();
  return Value();
}

// The range [begin, end) of the arguments before the format: none (the whole text), one index
// (that character) or two; indexes past the text are clamped, a range that is empty or
// backwards is nothing.
struct Range {
  size_t begin = 0, end = 0;
  bool valid = false;
};

Range RangeOf(NativeCall& call, size_t count, size_t length) {
  Range range{0, length, true};
  auto index = [&](size_t i) {
    const double n = call.NumberArg(i);
    if (std::isnan(n) || n < 0) return static_cast<double>(-1);
    return std::floor(n);
  };
  if (count >= 1) {
    const double begin = index(0);
    const double end = count >= 2 ? index(1) : begin + 1;
    if (begin < 0) return range;  // a negative index means the whole text
    range.begin = static_cast<size_t>(std::min<double>(begin, static_cast<double>(length)));
    range.end = end < 0 ? length : static_cast<size_t>(std::min<double>(end, static_cast<double>(length)));
    range.valid = range.begin < range.end;
  }
  return range;
}

Value SetTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr || call.Count() == 0) return Value();
  Object* formatObject = call.ObjectArg(call.Count() - 1);
  if (formatObject == nullptr) return Value();
  const Range range = RangeOf(call, std::min<size_t>(call.Count() - 1, 2), field->Text().size());
  const TextFormat format = TextFormatOf(call.vm, formatObject);
  if (range.valid) field->SetTextFormat(range.begin, range.end, format);
  return Value();
}

Value GetTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr) return Value();
  const size_t length = field->Text().size();
  const Range range = RangeOf(call, std::min<size_t>(call.Count(), 2), length);
  if (!range.valid && length > 0 && call.Count() > 0) return Value(NewTextFormatObject(call.vm, TextFormat{}));
  return Value(NewTextFormatObject(call.vm, range.valid ? field->GetTextFormat(range.begin, range.end)
                                                        : field->NewTextFormat()));
}

Value SetNewTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field != nullptr && call.ObjectArg(0) != nullptr) {
    field->SetNewTextFormat(TextFormatOf(call.vm, call.ObjectArg(0)));
  }
  return Value();
}

Value GetNewTextFormat(NativeCall& call) {
  TextField* field = ThisField(call);
  return field != nullptr ? Value(NewTextFormatObject(call.vm, field->NewTextFormat())) : Value();
}

// Nothing is ever selected on a saver's screen: the text goes where the caret rests, at the
// end of the text.
Value ReplaceSel(NativeCall& call) {
  TextField* field = ThisField(call);
  if (field == nullptr || !call.Has(0)) return Value();
  const size_t end = field->Text().size();
  field->ReplaceText(end, end, call.StringArg(0)->View());
  return Value();
}

Value GetFontList(NativeCall& call) {
  std::vector<Value> names;
  for (const std::u16string& name : call.vm.host.DeviceFontNames()) names.emplace_back(call.vm.NewString(name));
  return Value(call.vm.NewArray(names));
}

Value CreateTextField(NativeCall& call) {
  auto* self = call.This<ClipObject>(ObjectClass::kMovieClip);
  Clip* clip = self != nullptr ? self->GetClip(call.vm) : nullptr;
  if (clip == nullptr || !clip->IsMovieClip() || call.Count() < 6) return Value();
  double numbers[5];
  for (size_t i = 0; i < 5; ++i) {
    numbers[i] = call.NumberArg(i + 1);
    if (!std::isfinite(numbers[i])) numbers[i] = 0;
  }
  Clip* made = clip->CreateTextField(call.StringArg(0)->View(), call.vm.ToInt32(Value(numbers[0])), numbers[1],
                                     numbers[2], numbers[3], numbers[4]);
  // SWF 8 answers the new field; earlier versions nothing.
  if (made == nullptr || call.vm.SwfVersion() < 8) return Value();
  return ObjectValue(call.vm.ObjectOf(made));
}

Value TextFieldCall(NativeCall&) { return Value(); }

template <TextFieldFlag kFlag>
void DefineFlag(VmImpl& vm, Object* prototype, std::string_view name) {
  DefineNativeProperty(vm, prototype, name, FlagGet<kFlag>, FlagSet<kFlag>);
}

template <TextFieldNumber kNumber>
void DefineNumber(VmImpl& vm, Object* prototype, std::string_view name, bool writable) {
  DefineNativeProperty(vm, prototype, name, NumberGet<kNumber>, writable ? NumberSet<kNumber> : nullptr);
}

}  // namespace

void InstallTextFieldClass(VmImpl& vm, Object* global) {
  Object* prototype = vm.protos.textField = vm.NewObject();
  FunctionObject* textField = DefineClass(vm, global, "TextField", TextFieldCall, nullptr, prototype);
  DefineMethod(vm, textField, "getFontList", GetFontList);
  DefineNativeProperty(vm, prototype, "text", TextGet, TextSet);
  DefineNativeProperty(vm, prototype, "htmlText", HtmlTextGet, HtmlTextSet);
  DefineNativeProperty(vm, prototype, "variable", VariableGet, VariableSet);
  DefineNativeProperty(vm, prototype, "autoSize", AutoSizeGet, AutoSizeSet);
  DefineNativeProperty(vm, prototype, "maxChars", MaxCharsGet, NumberSet<TextFieldNumber::kMaxChars>);
  DefineNativeProperty(vm, prototype, "type", TypeGet, nullptr);
  DefineFlag<TextFieldFlag::kBackground>(vm, prototype, "background");
  DefineFlag<TextFieldFlag::kBorder>(vm, prototype, "border");
  DefineFlag<TextFieldFlag::kWordWrap>(vm, prototype, "wordWrap");
  DefineFlag<TextFieldFlag::kMultiline>(vm, prototype, "multiline");
  DefineFlag<TextFieldFlag::kEmbedFonts>(vm, prototype, "embedFonts");
  DefineFlag<TextFieldFlag::kHtml>(vm, prototype, "html");
  DefineFlag<TextFieldFlag::kPassword>(vm, prototype, "password");
  DefineFlag<TextFieldFlag::kSelectable>(vm, prototype, "selectable");
  DefineFlag<TextFieldFlag::kCondenseWhite>(vm, prototype, "condenseWhite");
  DefineNumber<TextFieldNumber::kTextColor>(vm, prototype, "textColor", true);
  DefineNumber<TextFieldNumber::kBackgroundColor>(vm, prototype, "backgroundColor", true);
  DefineNumber<TextFieldNumber::kBorderColor>(vm, prototype, "borderColor", true);
  DefineNumber<TextFieldNumber::kScroll>(vm, prototype, "scroll", true);
  DefineNumber<TextFieldNumber::kMaxScroll>(vm, prototype, "maxscroll", false);
  DefineNumber<TextFieldNumber::kBottomScroll>(vm, prototype, "bottomScroll", false);
  DefineNumber<TextFieldNumber::kHScroll>(vm, prototype, "hscroll", true);
  DefineNumber<TextFieldNumber::kMaxHScroll>(vm, prototype, "maxhscroll", false);
  DefineNumber<TextFieldNumber::kTextWidth>(vm, prototype, "textWidth", false);
  DefineNumber<TextFieldNumber::kTextHeight>(vm, prototype, "textHeight", false);
  DefineNumber<TextFieldNumber::kLength>(vm, prototype, "length", false);
  DefineMethod(vm, prototype, "getDepth", GetDepth);
  DefineMethod(vm, prototype, "removeTextField", RemoveTextField);
  DefineMethod(vm, prototype, "setTextFormat", SetTextFormat);
  DefineMethod(vm, prototype, "getTextFormat", GetTextFormat);
  DefineMethod(vm, prototype, "setNewTextFormat", SetNewTextFormat);
  DefineMethod(vm, prototype, "getNewTextFormat", GetNewTextFormat);
  DefineMethod(vm, prototype, "replaceSel", ReplaceSel);
  if (vm.protos.movieClip != nullptr) {
    DefineMethod(vm, vm.protos.movieClip, "createTextField", CreateTextField, kHidden | kSwf6Up);
  }
}

}  // namespace swfplayer::avm1
