// Math: the constants and the functions, which are also ASnative(200, n). Each function, as in
// the Flash Player, converts its first two arguments to numbers, whether it uses them or not
// (their valueOf runs, in order) and ignores the rest; a missing argument is NaN. So min and max
// compare two values only (one argument gives NaN, none gives the infinity), pow(1) is 1
// (1 to the NaN), and an index of table 200 that is no function still converts and answers NaN.
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The functions by their ASnative(200, n) index.
enum MathIndex {
  kAbs, kMin, kMax, kSin, kCos, kAtan2, kTan, kExp, kLog, kSqrt, kRound, kRandom, kFloor, kCeil,
  kAtan, kAsin, kAcos, kPow, kIsNaN, kIsFinite, kMathFunctions
};

// Equal operands (0 and -0 too) answer the first.
double Min(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return kNaN;
  return b < a ? b : a;
}
double Max(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) return kNaN;
  return b > a ? b : a;
}

Value Compute(VmImpl& vm, int index, size_t count, double a, double b) {
  switch (index) {
    case kAbs: return Value(std::fabs(a));
    case kMin: return Value(count == 0 ? kInfinity : Min(a, b));
    case kMax: return Value(count == 0 ? -kInfinity : Max(a, b));
    case kSin: return Value(std::sin(a));
    case kCos: return Value(std::cos(a));
    case kAtan2: return Value(std::atan2(a, b));
    case kTan: return Value(std::tan(a));
    case kExp: return Value(std::exp(a));
    case kLog: return Value(std::log(a));
    case kSqrt: return Value(std::sqrt(a));
    case kRound: return Value(std::floor(a + 0.5));  // halves go up: round(-12.5) is -12
    // 31 random bits, as the Flash Player makes them: a movie may rely on their granularity.
    case kRandom: return Value(vm.RandomBelow(0x7FFFFFFF) / 2147483648.0);
    case kFloor: return Value(std::floor(a));
    case kCeil: return Value(std::ceil(a));
    case kAtan: return Value(std::atan(a));
    case kAsin: return Value(std::asin(a));
    case kAcos: return Value(std::acos(a));
    case kPow: return Value(std::pow(a, b));
    case kIsNaN: return Value(std::isnan(a));
    case kIsFinite: return Value(std::isfinite(a));
    default: return Value(kNaN);
  }
}

template <int kIndex>
Value MathFunction(NativeCall& call) {
  const double a = call.Has(0) ? call.NumberArg(0) : kNaN;
  const double b = call.Has(1) ? call.NumberArg(1) : kNaN;
  return Compute(call.vm, kIndex, call.Count(), a, b);
}

template <int... kIndexes>
constexpr auto MakeTable(std::integer_sequence<int, kIndexes...>) {
  return std::array<NativeFunction, sizeof...(kIndexes)>{&MathFunction<kIndexes>...};
}
constexpr auto kFunctions = MakeTable(std::make_integer_sequence<int, kMathFunctions>());

struct Member {
  const char* name;
  MathIndex index;
};
constexpr Member kMembers[] = {
    {"abs", kAbs},   {"min", kMin},     {"max", kMax},     {"sin", kSin},   {"cos", kCos},     {"atan2", kAtan2},
    {"tan", kTan},   {"exp", kExp},     {"log", kLog},     {"sqrt", kSqrt}, {"round", kRound}, {"random", kRandom},
    {"floor", kFloor}, {"ceil", kCeil}, {"atan", kAtan},   {"asin", kAsin}, {"acos", kAcos},   {"pow", kPow},
};

}  // namespace

NativeFunction MathNative(int32_t index) {
  if (index < 0 || index >= kMathFunctions) return &MathFunction<kMathFunctions>;
  return kFunctions[static_cast<size_t>(index)];
}

void InstallMathClass(VmImpl& vm, Object* global) {
  Object* math = vm.NewObject();
  global->DefineValue(vm, vm.Str("Math"), Value(math), kDontEnum);
  for (const Member& member : kMembers) DefineMethod(vm, math, member.name, kFunctions[member.index], kConstant);
  DefineConstant(vm, math, "E", Value(std::numbers::e));
  DefineConstant(vm, math, "LN10", Value(std::numbers::ln10));
  DefineConstant(vm, math, "LN2", Value(std::numbers::ln2));
  DefineConstant(vm, math, "LOG10E", Value(std::numbers::log10e));
  DefineConstant(vm, math, "LOG2E", Value(std::numbers::log2e));
  DefineConstant(vm, math, "PI", Value(std::numbers::pi));
  DefineConstant(vm, math, "SQRT1_2", Value(0.70710678118654752440));
  DefineConstant(vm, math, "SQRT2", Value(std::numbers::sqrt2));
}

}  // namespace swfplayer::avm1
