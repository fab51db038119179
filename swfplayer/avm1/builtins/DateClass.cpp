// Date: new Date(...) in its four forms, Date() as a string, Date.UTC, and every getter and
// setter in local time and UTC. Local time comes from the host's clock and zone
// (Host::UtcNowMs, Host::LocalOffsetMinutes), so runs with a fixed clock are repeatable.
// The arithmetic is DateMath's; this file is how methods read their arguments and where the
// Flash Player's special cases sit.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/DateMath.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace date;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class DateObject final : public Object {
 public:
  explicit DateObject(Value proto) : Object(proto, ObjectClass::kDate) {}
  double time = kNaN;
  // Only objects the constructor ran on are dates for the methods (Date.prototype is not).
  bool isDate = false;
};

Object* NewDate(VmImpl& vm, const Value& proto) { return vm.heap.New<DateObject>(proto); }

// The zone's offset at a UTC time; times no calendar reaches ask about the nearest one.
double OffsetMs(VmImpl& vm, double utc) {
  const double at = std::isnan(utc) ? 0.0 : std::clamp(utc, -kMaxTime, kMaxTime);
  return vm.host.LocalOffsetMinutes(at) * kMsPerMinute;
}
double ToLocal(VmImpl& vm, double utc) { return utc + OffsetMs(vm, utc); }
// The offset is the one in force at the UTC time the local time is (daylight saving moves it).
double ToUtc(VmImpl& vm, double local) { return local - OffsetMs(vm, local - OffsetMs(vm, local)); }

std::string FormatUtc(VmImpl& vm, double utc) {
  return Format(ToLocal(vm, utc), OffsetMs(vm, utc) / kMsPerMinute);
}

// Date methods take at most 7 numbers; an undefined argument ends the list (what follows it is
// not even converted), so setHours(1, undefined, 5) sets only the hours.
struct Numbers {
  double values[7];
  size_t count = 0;
};
Numbers ReadNumbers(NativeCall& call) {
  Numbers numbers;
  for (size_t i = 0; i < call.Count() && i < 7; ++i) {
    if (call.Arg(i).IsUndefined()) break;
    numbers.values[numbers.count++] = call.NumberArg(i);
  }
  return numbers;
}

// From year, month and the optional day and time fields (days default to 1, the rest to 0).
double FromFields(const Numbers& n) {
  const auto at = [&](size_t i, double fallback) { return i < n.count ? n.values[i] : fallback; };
  return MakeFullDate(n.values[0], n.values[1], at(2, 1), at(3, 0), at(4, 0), at(5, 0), at(6, 0));
}

Value DateCall(NativeCall& call) { return Value(call.vm.Str(FormatUtc(call.vm, call.vm.host.UtcNowMs()))); }

Value DateConstruct(NativeCall& call) {
  VmImpl& vm = call.vm;
  const Numbers n = ReadNumbers(call);
  auto* self = call.This<DateObject>(ObjectClass::kDate);
  if (self == nullptr) return Value();
  if (n.count == 0) {
    const double now = vm.host.UtcNowMs();
    self->time = vm.SwfVersion() > 7 ? std::round(now) : now;
  } else if (n.count == 1) {
    self->time = n.values[0];
  } else {
    self->time = ToUtc(vm, FromFields(n));
  }
  self->isDate = true;
  return Value();
}

Value DateUtc(NativeCall& call) {
  const Numbers n = ReadNumbers(call);
  if (n.count < 2) return Value();
  return Value(FromFields(n));
}

// The methods, numbered so that a setter's fields follow one another: setFullYear(y, m, d)
// reads the fields from its own onwards.
enum Method : int {
  kGetFullYear,
  kGetYear,
  kGetMonth,
  kGetDate,
  kGetDay,
  kGetHours,
  kGetMinutes,
  kGetSeconds,
  kGetMilliseconds,
  kSetFullYear,
  kSetMonth,
  kSetDate,
  kSetHours,
  kSetMinutes,
  kSetSeconds,
  kSetMilliseconds,
  kGetTime,
  kSetTime,
  kGetTimezoneOffset,
  kToString,
  kSetYear,
};

Value Getter(int method, double time) {
  switch (method) {
    case kGetFullYear: return Value(YearFromTime(time));
    case kGetYear: return Value(static_cast<double>(int64_t{YearFromTime(time)} - 1900));
    case kGetMonth: return Value(MonthFromTime(time));
    case kGetDate: return Value(DateFromTime(time));
    case kGetDay: return Value(WeekDay(time));
    case kGetHours: return Value(HourFromTime(time));
    case kGetMinutes: return Value(MinFromTime(time));
    case kGetSeconds: return Value(SecFromTime(time));
    default: return Value(MsFromTime(time));
  }
}

Value RunMethod(NativeCall& call, int method, bool utc) {
  VmImpl& vm = call.vm;
  const Numbers n = ReadNumbers(call);
  auto* self = call.This<DateObject>(ObjectClass::kDate);
  if (self == nullptr || !self->isDate) return Value();
  const double time = self->time;
  switch (method) {
    case kGetTime: return Value(time);
    case kSetTime: return Value(self->time = TimeClip(n.count > 0 ? n.values[0] : kNaN));
    case kGetTimezoneOffset: return Value((time - ToLocal(vm, time)) / kMsPerMinute);
    case kToString: return Value(vm.Str(FormatUtc(vm, time)));
    default: break;
  }
  if (method <= kGetMilliseconds) {
    if (std::isnan(time)) return Value(kNaN);
    return Getter(method, utc ? time : ToLocal(vm, time));
  }
  const bool setYear = method == kSetYear;
  if (setYear) method = kSetFullYear;
  // The field numbered `field` as this setter's arguments give it: none for the fields before
  // its own, NaN for its own when it has no argument.
  const auto field = [&](int fieldIndex, bool& given) -> double {
    given = false;
    if (fieldIndex < method) return 0;
    const size_t index = static_cast<size_t>(fieldIndex - method);
    if (index < n.count) {
      given = true;
      return n.values[index];
    }
    given = fieldIndex == method;
    return kNaN;
  };
  const double zoned = utc ? time : ToLocal(vm, time);
  const auto store = [&](double day, double within) {
    double result = MakeDate(day, within);
    if (!utc) result = ToUtc(vm, result);
    self->time = TimeClip(result);
    return Value(self->time);
  };
  bool given = false;
  if (method <= kSetDate) {
    double year = field(kSetFullYear, given);
    if (!given) {
      year = YearFromTime(zoned);
    } else if (setYear && year >= 0 && year <= 99) {
      year += 1900;
    }
    double month = field(kSetMonth, given);
    if (!given) month = MonthFromTime(zoned);
    // setMonth() without a month goes to January rather than to an invalid date.
    if (method == kSetMonth && std::isnan(month)) month = 0;
    double day = field(kSetDate, given);
    if (!given) day = DateFromTime(zoned);
    return store(MakeDay(year, month, day), TimeWithinDay(zoned, vm.SwfVersion()));
  }
  double hours = field(kSetHours, given);
  if (!given) hours = HourFromTime(zoned);
  double minutes = field(kSetMinutes, given);
  if (!given) minutes = MinFromTime(zoned);
  double seconds = field(kSetSeconds, given);
  if (!given) seconds = SecFromTime(zoned);
  double milliseconds = field(kSetMilliseconds, given);
  if (!given) milliseconds = MsFromTime(zoned);
  if (method == kSetMinutes) {
    // setMinutes passes its fields through 32-bit integers: NaN and infinities become INT32_MIN.
    minutes = ClampToInt32(minutes);
    seconds = ClampToInt32(seconds);
    milliseconds = ClampToInt32(milliseconds);
  }
  return store(Day(zoned), MakeTime(hours, minutes, seconds, milliseconds));
}

template <int kMethod, bool kUtc>
Value DateMethod(NativeCall& call) {
  return RunMethod(call, kMethod, kUtc);
}

}  // namespace

void InstallDateClass(VmImpl& vm, Object* global) {
  Object* prototype = NewDate(vm, Value(vm.protos.object));
  vm.Pin(prototype);
  vm.RegisterInstanceFactory(ObjectClass::kDate, NewDate);
  FunctionObject* constructor = DefineClass(vm, global, "Date", DateCall, DateConstruct, prototype);
  DefineMethod(vm, constructor, "UTC", DateUtc, property_flags::kConstant);

  struct Entry {
    const char* name;
    NativeFunction function;
  };
  static constexpr Entry kMethods[] = {
      {"getFullYear", DateMethod<kGetFullYear, false>},
      {"getYear", DateMethod<kGetYear, false>},
      {"getMonth", DateMethod<kGetMonth, false>},
      {"getDate", DateMethod<kGetDate, false>},
      {"getDay", DateMethod<kGetDay, false>},
      {"getHours", DateMethod<kGetHours, false>},
      {"getMinutes", DateMethod<kGetMinutes, false>},
      {"getSeconds", DateMethod<kGetSeconds, false>},
      {"getMilliseconds", DateMethod<kGetMilliseconds, false>},
      {"setFullYear", DateMethod<kSetFullYear, false>},
      {"setMonth", DateMethod<kSetMonth, false>},
      {"setDate", DateMethod<kSetDate, false>},
      {"setHours", DateMethod<kSetHours, false>},
      {"setMinutes", DateMethod<kSetMinutes, false>},
      {"setSeconds", DateMethod<kSetSeconds, false>},
      {"setMilliseconds", DateMethod<kSetMilliseconds, false>},
      {"getTime", DateMethod<kGetTime, false>},
      {"valueOf", DateMethod<kGetTime, false>},
      {"setTime", DateMethod<kSetTime, false>},
      {"getTimezoneOffset", DateMethod<kGetTimezoneOffset, false>},
      {"toString", DateMethod<kToString, false>},
      {"setYear", DateMethod<kSetYear, false>},
      {"getUTCFullYear", DateMethod<kGetFullYear, true>},
      {"getUTCYear", DateMethod<kGetYear, true>},
      {"getUTCMonth", DateMethod<kGetMonth, true>},
      {"getUTCDate", DateMethod<kGetDate, true>},
      {"getUTCDay", DateMethod<kGetDay, true>},
      {"getUTCHours", DateMethod<kGetHours, true>},
      {"getUTCMinutes", DateMethod<kGetMinutes, true>},
      {"getUTCSeconds", DateMethod<kGetSeconds, true>},
      {"getUTCMilliseconds", DateMethod<kGetMilliseconds, true>},
      {"setUTCFullYear", DateMethod<kSetFullYear, true>},
      {"setUTCMonth", DateMethod<kSetMonth, true>},
      {"setUTCDate", DateMethod<kSetDate, true>},
      {"setUTCHours", DateMethod<kSetHours, true>},
      {"setUTCMinutes", DateMethod<kSetMinutes, true>},
      {"setUTCSeconds", DateMethod<kSetSeconds, true>},
      {"setUTCMilliseconds", DateMethod<kSetMilliseconds, true>},
  };
  for (const Entry& entry : kMethods) DefineMethod(vm, prototype, entry.name, entry.function);
}

}  // namespace swfplayer::avm1
