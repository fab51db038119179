// avm1_bench: the ActionScript interpreter's speed on loops a movie runs (a program, not a
// test; meaningful in the release preset). Each figure is the fastest of five runs of
// processor time; avm1_bench.js has the same loops for `node --jitless` beside it. Last, a
// movie that makes and drops 10,000 objects a frame runs 10,000 frames: the heap's peak after
// 1,000 frames and after all of them.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "swfplayer/avm1/Vm.h"
#include "swfplayer/avm1/VmImpl.h"
#include "tests/avm1_fakes.h"
#include "tests/avm1_script.h"

namespace {

using namespace swfplayer;
using namespace swfplayer::avm1;

class Latin1 final : public AnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string out;
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
  }
};

// The process's peak resident memory (Linux's VmHWM), or 0 where it cannot be read.
long PeakResidentKiB() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  long kib = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  }
  std::fclose(status);
  return kib;
}

double Seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

struct Bench {
  testing::FakeHost host;
  testing::FakeClip root{u"", nullptr, -16384, 1};
  Latin1 ansi;
  std::unique_ptr<Vm> vm;

  Bench() {
    host.root = &root;
    Limits limits;
    limits.tickBudgetMs = 1e12;  // the clock does not move: no budget
    vm = std::make_unique<Vm>(host, 8, limits);
  }

  std::shared_ptr<const format::ActionProgram> Program(const std::string& text) {
    const std::vector<uint8_t> bytes = testing::ScriptAssembler::Assemble(text);
    return format::DecodeActionProgram(bytes, 8, ansi).program;
  }

  // The fastest of runs, in milliseconds; the script's last trace line in result.
  double Time(const std::string& text, int runs, std::string& result) {
    const auto program = Program(text);
    double best = 1e100;
    for (int i = 0; i < runs; ++i) {
      host.traces.clear();
      vm->BeginTick();
      const double start = Seconds();
      vm->RunFrameScript(root, *program);
      best = std::min(best, Seconds() - start);
      vm->CollectGarbage();
    }
    result = host.traces.empty() ? "(nothing)" : host.traces.back();
    return best * 1000;
  }
};

// function f() { var s = 0; for (var i = 0; i < 1000000; i++) s += i; return s; } in
// registers (what the compiler makes of a DefineFunction2 body).
constexpr const char* kRegisterLoop = R"(
  function2 f regs=3 flags=0x2a
    push 0
    storeregister 1
    pop
    push 0
    storeregister 2
    pop
    loop:
    push r:1 r:2
    add2
    storeregister 1
    pop
    push r:2
    increment
    storeregister 2
    pop
    push r:2 1000000
    less2
    if loop
    push r:1
    return
  end
  push 0 "f"
  callfunction
  trace
)";

// The same with the locals as variables (a DefineFunction body).
constexpr const char* kVariableLoop = R"(
  function f
    push "s" 0
    definelocal
    push "i" 0
    definelocal
    loop:
    push "s" "s"
    getvariable
    push "i"
    getvariable
    add2
    setvariable
    push "i" "i"
    getvariable
    increment
    setvariable
    push "i"
    getvariable
    push 1000000
    less2
    if loop
    push "s"
    getvariable
    return
  end
  push 0 "f"
  callfunction
  trace
)";

// var s = ""; for (var i = 0; i < 100000; i++) s += "ab" + i; trace(s.length)
constexpr const char* kStringBuilding = R"(
  function2 f regs=3 flags=0x2a
    push ""
    storeregister 1
    pop
    push 0
    storeregister 2
    pop
    loop:
    push r:1 "ab" r:2
    add2
    add2
    storeregister 1
    pop
    push r:2
    increment
    storeregister 2
    pop
    push r:2 100000
    less2
    if loop
    push r:1 "length"
    getmember
    return
  end
  push 0 "f"
  callfunction
  trace
)";

// var a = []; for (i < 100000) a.push((i * 7919) % 100003); a.sort(function(x, y) { return x - y; });
constexpr const char* kSort = R"(
  push "a" 0
  initarray
  setvariable
  push "i" 0
  setvariable
  loop:
  push "a"
  getvariable
  push "i"
  getvariable
  push "i"
  getvariable
  push 7919
  multiply
  push 100003
  modulo
  setmember
  push "i" "i"
  getvariable
  increment
  setvariable
  push "i"
  getvariable
  push 100000
  less2
  if loop
  function2 - regs=3 flags=0x2a r1:x r2:y
    push r:1 r:2
    subtract
    return
  end
  push 1 "a"
  getvariable
  push "sort"
  callmethod
  pop
  push "a"
  getvariable
  push 99999
  getmember
  trace
)";

// Each frame makes 10,000 objects in a new array and drops the last frame's.
constexpr const char* kChurn = R"(
  push "keep" 0
  initarray
  setvariable
  push "i" 0
  setvariable
  loop:
  push "keep"
  getvariable
  push "i"
  getvariable
  push "n" "i"
  getvariable
  push 1
  initobject
  setmember
  push "i" "i"
  getvariable
  increment
  setvariable
  push "i"
  getvariable
  push 10000
  less2
  if loop
)";

}  // namespace

int main(int argc, char** argv) {
  // An argument picks one figure (register, variable, string, sort, churn), for profiling.
  const std::string only = argc > 1 ? argv[1] : "";
  const auto runs = [&](const char* name) { return only.empty() || only == name; };
  Bench bench;
  std::string result;
  std::printf("avm1_bench: processor time, fastest of 5 runs\n");
  double ms = 0;
  if (runs("register")) {
    ms = bench.Time(kRegisterLoop, 5, result);
    std::printf("register loop, 1,000,000 additions (DefineFunction2): %8.1f ms  (%s)\n", ms, result.c_str());
  }
  if (runs("variable")) {
    ms = bench.Time(kVariableLoop, 5, result);
    std::printf("variable loop, 1,000,000 additions (DefineFunction):  %8.1f ms  (%s)\n", ms, result.c_str());
  }
  if (runs("string")) {
    ms = bench.Time(kStringBuilding, 5, result);
    std::printf("string building, 100,000 appends:                    %8.1f ms  (length %s)\n", ms, result.c_str());
  }
  const bool sorts = bench.vm->Impl().protos.array->Get(bench.vm->Impl(), bench.vm->Impl().Str("sort")).IsObject();
  if (!runs("sort")) {
  } else if (sorts) {
    ms = bench.Time(kSort, 5, result);
    std::printf("sort of 100,000 numbers (with the fill):             %8.1f ms  (last %s)\n", ms, result.c_str());
  } else {
    std::printf("sort of 100,000 numbers: Array.prototype.sort is not installed\n");
  }

  if (!runs("churn")) return 0;
  // Memory over 10,000 frames of churn, collected as the player collects (when the heap has
  // grown enough, at a safe point), not forced each frame.
  Bench churn;
  const auto program = churn.Program(kChurn);
  size_t peakAt1000 = 0;
  size_t peak = 0;
  long residentAt1000 = 0;
  const double start = Seconds();
  for (int frame = 1; frame <= 10000; ++frame) {
    churn.vm->BeginTick();
    churn.vm->RunFrameScript(churn.root, *program);
    peak = std::max(peak, churn.vm->HeapBytes());
    if (frame == 1000) {
      peakAt1000 = peak;
      residentAt1000 = PeakResidentKiB();
    }
  }
  const long resident = PeakResidentKiB();
  std::printf("10,000 objects a frame for 10,000 frames: heap peak %.1f MiB after 1,000 frames, %.1f MiB after 10,000 (%+.1f%%); "
              "process peak %.1f MiB, then %.1f MiB (%+.1f%%); %.1f s\n",
              peakAt1000 / 1048576.0, peak / 1048576.0, 100.0 * (double(peak) - double(peakAt1000)) / double(peakAt1000),
              residentAt1000 / 1024.0, resident / 1024.0,
              residentAt1000 > 0 ? 100.0 * double(resident - residentAt1000) / double(residentAt1000) : 0.0,
              Seconds() - start);
  return 0;
}
