// libFuzzer target for the ActionScript interpreter: an input is a version byte (SWF 3 to 8)
// and an action block, decoded and, when accepted, run on a small fake clip tree with its
// timers and a clip method, then collected, twice. Bounds are small so every input ends
// quickly: the clock moves 5 ms at each look and the tick's budget is 5 ms of it.
// An exception leaving the Vm aborts the harness, as do the sanitizers' findings. Run without a
// corpus directory, it writes assembled seeds next to itself.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "swfplayer/avm1/Vm.h"
#include "swfplayer/avm1/VmImpl.h"
#include "tests/avm1_fakes.h"
#include "tests/avm1_script.h"
#include "tests/fuzz/SeedCorpus.h"

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

std::vector<uint8_t> Seed(uint8_t version, const char* script) {
  std::vector<uint8_t> seed{static_cast<uint8_t>(version - 3)};
  const std::vector<uint8_t> block = testing::ScriptAssembler::Assemble(script);
  seed.insert(seed.end(), block.begin(), block.end());
  return seed;
}

swfsaver::fuzzing::Seeds MakeSeeds() {
  return {
      Seed(7, "push \"a\" 1 2\nadd2\nsetvariable\npush \"a\"\ngetvariable\ntrace\n"),
      Seed(6, "function f x\npush \"x\"\ngetvariable\nincrement\nreturn\nend\npush 1 1 \"f\"\ncallfunction\ntrace\n"),
      Seed(8, "try e\npush 1\nthrow\ncatch\npush \"e\"\ngetvariable\ntrace\nfinally\npush 2\ntrace\nend\n"),
      Seed(7, "push \"o\" \"x\" 1 1\ninitobject\nsetvariable\npush \"o\"\ngetvariable\nwith\npush \"x\"\ngetvariable\n"
              "trace\nend\npush \"o\"\ngetvariable\nenumerate2\nloop:\nstoreregister 0\npush null\nequals2\nif end\n"
              "jump loop\nend:\n"),
      Seed(7, "function2 C regs=2 flags=0x1\npush r:1 \"n\" 1\nsetmember\nend\npush \"D\"\nfunction -\nend\n"
              "setvariable\npush \"D\"\ngetvariable\npush \"C\"\ngetvariable\nextends\npush \"d\" 0 \"D\"\nnewobject\n"
              "setvariable\n"),
      Seed(5, "push \"/child:v\" 3\nsetvariable\nsettarget \"child\"\npush \"v\"\ngetvariable\ntrace\nsettarget \"\"\n"
              "push \"child\" 0\ngetproperty\ntrace\npush \"child\" \"c2\" 16390\nclonesprite\n"),
      Seed(6, "push \"i\" 0\nsetvariable\nloop:\npush \"i\" \"i\"\ngetvariable\nincrement\nsetvariable\npush \"i\"\n"
              "getvariable\npush 100\nless2\nif loop\npush 50\nfunction -\nend\npush 2 \"setInterval\"\ncallfunction\n"),
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  swfsaver::fuzzing::UseSeedCorpus(argc, argv, "avm1_seeds", MakeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 65536) return 0;
  const uint8_t version = static_cast<uint8_t>(3 + data[0] % 6);
  Latin1 ansi;
  const format::ActionDecode decoded = format::DecodeActionProgram(std::span(data + 1, size - 1), version, ansi);
  if (!decoded.program) return 0;

  testing::FakeHost host;
  testing::FakeClip root(u"", nullptr, -16384, 3);
  testing::FakeClip& child = root.AddChild(u"child", 1, 2);
  root.frameScripts[1].push_back(decoded.program);
  host.root = &root;
  host.msPerRead = 5;
  Limits limits;
  limits.tickBudgetMs = 5;
  limits.maxHeapBytes = size_t{64} << 20;
  limits.maxStringUnits = size_t{1} << 20;
  limits.maxArrayLength = size_t{1} << 16;
  limits.maxStackValues = size_t{1} << 16;
  Vm vm(host, version, limits);
  for (int tick = 0; tick < 2; ++tick) {
    vm.BeginTick();
    vm.RunFrameScript(root, *decoded.program);
    if (root.ChildByName(u"child", true) == &child) vm.CallClipMethod(child, u"onEnterFrame");
    vm.RunTimers();
    vm.CollectGarbage();
  }
  return 0;
}
