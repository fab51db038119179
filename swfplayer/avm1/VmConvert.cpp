// The conversions and comparisons of values as the Flash Player of the movie's version does
// them (README.md, "Conversions and versions").
#include <cmath>

#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {

bool IsClip(const Value& value) {
  return value.IsObject() && value.AsObject()->Class() == ObjectClass::kMovieClip;
}

}  // namespace

String* VmImpl::NumberString(double number) {
  if (number >= 0 && number < 10 && number == std::trunc(number)) return names.digits[static_cast<int>(number)];
  return Str(NumberToString(number));
}

double VmImpl::ToNumber(const Value& value) {
  switch (value.Type()) {
    case ValueType::kNumber:
      return value.AsNumber();
    case ValueType::kBoolean:
      return value.AsBoolean() ? 1 : 0;
    case ValueType::kString:
      return StringToNumber(value.AsString()->View(), version_);
    case ValueType::kObject: {
      const Value primitive = ToPrimitive(value);
      if (primitive.IsObject()) return version_ < 5 ? 0 : std::nan("");
      return ToNumber(primitive);
    }
    default:  // undefined, null
      return version_ < 7 ? 0 : std::nan("");
  }
}

String* VmImpl::ToString(const Value& value) {
  switch (value.Type()) {
    case ValueType::kString:
      return value.AsString();
    case ValueType::kNumber:
      return NumberString(value.AsNumber());
    case ValueType::kBoolean:
      if (version_ < 5) return names.digits[value.AsBoolean() ? 1 : 0];
      return value.AsBoolean() ? names.trueName : names.falseName;
    case ValueType::kNull:
      return names.null;
    case ValueType::kObject: {
      Object* object = value.AsObject();
      if (object->Class() == ObjectClass::kMovieClip) {
        return NewString(static_cast<ClipObject*>(object)->TargetPath(*this));
      }
      const Value result = CallMethod(value, names.toString, {}, false);
      if (result.IsString()) return result.AsString();
      return object->IsFunction() ? names.typeFunction : names.typeObject;
    }
    default:  // undefined
      return version_ < 7 ? names.empty : names.undefined;
  }
}

bool VmImpl::ToBoolean(const Value& value) const {
  switch (value.Type()) {
    case ValueType::kBoolean:
      return value.AsBoolean();
    case ValueType::kNumber:
      return !std::isnan(value.AsNumber()) && value.AsNumber() != 0;
    case ValueType::kString: {
      if (version_ >= 7) return !value.AsString()->Empty();
      const double number = StringToNumber(value.AsString()->View(), version_);
      return !std::isnan(number) && number != 0;
    }
    case ValueType::kObject:
      return true;
    default:
      return false;
  }
}

int32_t VmImpl::ToInt32(const Value& value) {
  if (value.IsNumber()) return DoubleToInt32(value.AsNumber());
  return DoubleToInt32(ToNumber(value));
}

uint32_t VmImpl::ToUint32(const Value& value) { return DoubleToUint32(ToNumber(value)); }

Value VmImpl::ToPrimitive(const Value& value) {
  if (!value.IsObject() || IsClip(value)) return value;
  return CallMethod(value, names.valueOf, {}, false);
}

Value VmImpl::ToPrimitiveForAdd(const Value& value) {
  if (!value.IsObject()) return value;
  if (IsClip(value)) {
    const Value result = CallMethod(value, names.valueOf, {}, false);
    return result.IsUndefined() ? Value(ToString(value)) : value;
  }
  const bool byString = version_ > 5 && value.AsObject()->Class() == ObjectClass::kDate;
  const Value result = CallMethod(value, byString ? names.toString : names.valueOf, {}, false);
  return result.IsPrimitive() ? result : value;
}

Object* VmImpl::ToObject(const Value& value) {
  if (value.IsObject()) return value.AsObject();
  if (Object* boxed = Box(value)) return boxed;
  return heap.New<Object>(Value());
}

Object* VmImpl::Box(const Value& value) {
  ObjectClass objectClass;
  Object* prototype;
  Object* original;
  String* name;
  switch (value.Type()) {
    case ValueType::kNumber:
      objectClass = ObjectClass::kNumber;
      prototype = protos.number;
      original = protos.numberConstructor;
      name = names.numberClass;
      break;
    case ValueType::kBoolean:
      objectClass = ObjectClass::kBoolean;
      prototype = protos.boolean;
      original = protos.booleanConstructor;
      name = names.booleanClass;
      break;
    case ValueType::kString:
      objectClass = ObjectClass::kString;
      prototype = protos.string;
      original = protos.stringConstructor;
      name = names.stringClass;
      break;
    default:
      return nullptr;
  }
  // While the movie left the class alone, the box is made directly.
  const Property* global = global_->Properties().Find(name, CaseSensitive());
  if (global != nullptr && global->value.IsObject() && global->value.AsObject() == original) {
    const Property* own = original->Properties().Find(names.prototype, CaseSensitive());
    if (own != nullptr && own->value.IsObject() && own->value.AsObject() == prototype) {
      return heap.New<BoxedObject>(Value(prototype), objectClass, value);
    }
  }
  Value constructor;
  if (!global_->TryGet(*this, name, constructor) || !IsCallable(constructor)) return nullptr;
  const Value boxed = Construct(constructor, std::span<const Value>(&value, 1));
  return boxed.IsObject() ? boxed.AsObject() : nullptr;
}

String* VmImpl::TypeOf(const Value& value) {
  switch (value.Type()) {
    case ValueType::kNumber:
      return names.number;
    case ValueType::kBoolean:
      return names.boolean;
    case ValueType::kString:
      return names.string;
    case ValueType::kNull:
      return names.null;
    case ValueType::kObject:
      if (value.AsObject()->IsFunction()) return names.function;
      if (value.AsObject()->Class() == ObjectClass::kMovieClip) {
        // Buttons and text fields are display objects too, but typeof calls them objects.
        Clip* clip = static_cast<ClipObject*>(value.AsObject())->GetClip(*this);
        return clip == nullptr || clip->IsMovieClip() ? names.movieclip : names.object;
      }
      return names.object;
    default:
      return names.undefined;
  }
}

bool VmImpl::StrictEquals(const Value& a, const Value& b) {
  if (a.Type() != b.Type()) return false;
  switch (a.Type()) {
    case ValueType::kNumber:
      return a.AsNumber() == b.AsNumber() || (std::isnan(a.AsNumber()) && std::isnan(b.AsNumber()));
    case ValueType::kBoolean:
      return a.AsBoolean() == b.AsBoolean();
    case ValueType::kString:
      return a.AsString()->Equals(*b.AsString());
    case ValueType::kObject:
      // A reference to a movie clip stands for its target path, as the Flash Player's do: two
      // clips of the same path (one a rewind put back in place of another) are equal.
      if (a.AsObject() != b.AsObject() && a.AsObject()->Class() == ObjectClass::kMovieClip &&
          b.AsObject()->Class() == ObjectClass::kMovieClip) {
        return static_cast<ClipObject*>(a.AsObject())->KnownPath() ==
               static_cast<ClipObject*>(b.AsObject())->KnownPath();
      }
      return a.AsObject() == b.AsObject();
    default:
      return true;
  }
}

bool VmImpl::LooseEquals(const Value& left, const Value& right) {
  // SWF 5 asks valueOf of both sides first, even of two objects.
  Value a = right;
  Value b = left;
  if (version_ <= 5) {
    a = ToPrimitive(right);
    b = ToPrimitive(left);
  }
  if (a.IsNullish() && b.IsNullish()) return true;
  if (a.Type() == b.Type() && a.Type() != ValueType::kUndefined && a.Type() != ValueType::kNull) {
    return StrictEquals(a, b);
  }
  if (a.IsBoolean()) return LooseEquals(b, Value(a.AsBoolean() ? 1.0 : 0.0));
  if (b.IsBoolean()) return LooseEquals(a, Value(b.AsBoolean() ? 1.0 : 0.0));
  if (a.IsNumber() && b.IsString()) return a.AsNumber() == StringToNumber(b.AsString()->View(), version_);
  if (a.IsString() && b.IsNumber()) return b.AsNumber() == StringToNumber(a.AsString()->View(), version_);
  if (a.IsObject() || b.IsObject()) {
    const Value& object = a.IsObject() ? a : b;
    const Value& other = a.IsObject() ? b : a;
    if (other.IsObject()) return false;
    const Value primitive = ToPrimitive(object);
    return primitive.IsPrimitive() && LooseEquals(other, primitive);
  }
  return false;
}

Value VmImpl::LessThan(const Value& left, const Value& right) {
  const Value a = ToPrimitive(left);
  if (a.IsObject() && !IsClip(a)) return Value(false);
  const Value b = ToPrimitive(right);
  if (b.IsObject() && !IsClip(b)) return Value(false);
  if (a.IsString() && b.IsString()) return Value(a.AsString()->Compare(*b.AsString()) < 0);
  const double x = ToNumber(a);
  const double y = ToNumber(b);
  if (std::isnan(x) || std::isnan(y)) return Value();
  return Value(x < y);
}

}  // namespace swfplayer::avm1
