// Runs assembled scripts (avm1_script.h) on a Vm over the fake clip tree (avm1_fakes.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "swfplayer/avm1/Vm.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/VmImpl.h"
#include "tests/avm1_fakes.h"
#include "tests/avm1_script.h"

namespace swfplayer::avm1::testing {

// Bytes as Latin-1 (what a Western code page gives for the ASCII the tests use).
class Latin1Decoder final : public AnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string out;
    for (char c : bytes) out.push_back(static_cast<unsigned char>(c));
    return out;
  }
};

class ScriptTest : public ::testing::Test {
 protected:
  void Make(uint8_t version, Limits limits = {}) {
    host.root = &root;
    vm = std::make_unique<Vm>(host, version, limits);
    version_ = version;
  }

  std::shared_ptr<const format::ActionProgram> Assemble(const std::string& text) {
    const std::vector<uint8_t> bytes = ScriptAssembler::Assemble(text);
    const format::ActionDecode decoded = format::DecodeActionProgram(bytes, version_, ansi);
    EXPECT_TRUE(decoded.program) << decoded.refusal;
    programs.push_back(decoded.program);
    return decoded.program;
  }

  // Runs a block on clip (the root by default) and answers what it traced, a line each.
  std::string Run(const std::string& text, Clip* clip = nullptr) {
    const auto program = Assemble(text);
    host.traces.clear();
    if (program) {
      vm->BeginTick();
      vm->RunFrameScript(clip != nullptr ? *clip : root, *program);
    }
    return host.Output();
  }

  VmImpl& Impl() { return vm->Impl(); }

  FakeHost host;
  FakeClip root{u"", nullptr, -16384, 5};
  Latin1Decoder ansi;
  std::unique_ptr<Vm> vm;
  std::vector<std::shared_ptr<const format::ActionProgram>> programs;
  uint8_t version_ = 8;
};

}  // namespace swfplayer::avm1::testing
