#include "swfplayer/avm1/builtins/Timers.h"

#include <algorithm>
#include <cmath>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

// A timer that fell behind fires at most this many times in one run: a short interval on a
// slow frame catches up a little, not without end.
constexpr int kMaxCatchUp = 10;
// Timers a movie may have at once; more are refused (setInterval answers undefined).
constexpr size_t kMaxTimers = 4096;

struct Timer {
  int32_t id;
  Value function;      // a function, or the object whose method is called
  String* method;      // null for a function
  std::vector<Value> args;
  double interval;
  double due;
  bool repeat;
};

struct TimerState final : VmImpl::ExtensionState {
  std::vector<Timer> timers;
  int32_t nextId = 1;
  int32_t nextInternalId = -1;  // the built-ins' own calls count down, out of the scripts' way

  void Trace(Tracer& tracer) override {
    for (const Timer& timer : timers) {
      tracer.Mark(timer.function);
      tracer.Mark(timer.method);
      for (const Value& value : timer.args) tracer.Mark(value);
    }
  }
};

TimerState& State(VmImpl& vm) { return vm.State<TimerState>("timers"); }

// setInterval(function, ms, args...) or setInterval(object, "method", ms, args...).
Value AddTimer(NativeCall& call, bool repeat) {
  VmImpl& vm = call.vm;
  Object* first = call.ObjectArg(0);
  if (first == nullptr) return Value();
  Timer timer{};
  size_t next = 1;
  timer.function = Value(first);
  if (!first->IsFunction()) {
    timer.method = call.StringArg(1);
    next = 2;
  }
  if (call.Arg(next).IsUndefined()) return Value();
  TimerState& state = State(vm);
  if (state.timers.size() >= kMaxTimers) return Value();
  timer.interval = std::max(1, call.IntArg(next));
  timer.args.assign(call.args.begin() + static_cast<ptrdiff_t>(std::min(next + 1, call.args.size())), call.args.end());
  timer.due = vm.host.ElapsedMs() + timer.interval;
  timer.repeat = repeat;
  timer.id = state.nextId++;
  state.timers.push_back(std::move(timer));
  return Value(static_cast<double>(state.timers.back().id));
}

Value SetInterval(NativeCall& call) { return AddTimer(call, true); }
Value SetTimeout(NativeCall& call) { return AddTimer(call, false); }

Value ClearTimer(NativeCall& call) {
  const int32_t id = call.IntArg(0);
  if (id <= 0) return Value();
  auto& timers = State(call.vm).timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [id](const Timer& t) { return t.id == id; }), timers.end());
  return Value();
}

}  // namespace

void ScheduleCall(VmImpl& vm, Object* object, String* method, std::vector<Value> args, double delayMs) {
  TimerState& state = State(vm);
  // A second request on the same object replaces the first, as a new load cancels the one
  // in progress; beyond the timers' bound nothing more is scheduled.
  auto& timers = state.timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [&](const Timer& t) {
                                return t.id < 0 && t.function.AsObject() == object && t.method->Equals(*method);
                              }),
               timers.end());
  if (timers.size() >= kMaxTimers) return;
  Timer timer{};
  timer.id = state.nextInternalId--;
  timer.function = Value(object);
  timer.method = method;
  timer.args = std::move(args);
  timer.interval = delayMs;
  timer.due = vm.host.ElapsedMs() + delayMs;
  timer.repeat = false;
  state.timers.push_back(std::move(timer));
}

void RunDueTimers(VmImpl& vm) {
  const double now = vm.host.ElapsedMs();
  TimerState& state = State(vm);
  std::vector<int32_t> due;
  for (const Timer& timer : state.timers) {
    if (timer.due <= now) due.push_back(timer.id);
  }
  for (int32_t id : due) {
    for (int round = 0; round < kMaxCatchUp; ++round) {
      // The list may change under a callback: find the timer again each time.
      auto found = std::find_if(state.timers.begin(), state.timers.end(), [id](const Timer& t) { return t.id == id; });
      if (found == state.timers.end() || found->due > now) break;
      const Timer timer = *found;
      if (timer.repeat) {
        found->due += timer.interval;
      } else {
        state.timers.erase(found);
      }
      try {
        if (timer.method != nullptr) {
          vm.CallMethod(timer.function, timer.method, timer.args);
        } else {
          vm.Call(timer.function, Value(), timer.args);
        }
      } catch (const ScriptThrow&) {
        // A callback that throws ends itself, not the other timers.
      }
      if (!timer.repeat) break;
    }
    // A timer far behind starts again from now rather than firing a burst next time.
    auto found = std::find_if(state.timers.begin(), state.timers.end(), [id](const Timer& t) { return t.id == id; });
    if (found != state.timers.end() && found->due <= now) found->due = now + found->interval;
  }
}

void InstallTimers(VmImpl& vm, Object* global) {
  using namespace property_flags;
  DefineMethod(vm, global, "setInterval", SetInterval, kDontEnum);
  DefineMethod(vm, global, "clearInterval", ClearTimer, kDontEnum);
  DefineMethod(vm, global, "setTimeout", SetTimeout, kDontEnum);
  DefineMethod(vm, global, "clearTimeout", ClearTimer, kDontEnum);
}

}  // namespace swfplayer::avm1
