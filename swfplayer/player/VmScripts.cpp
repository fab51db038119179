#include "swfplayer/player/VmScripts.h"

#include <string>
#include <utility>

#include "swfplayer/avm1/Vm.h"
#include "swfplayer/player/BitmapDrawing.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/PlayContext.h"

namespace swfplayer::player {
namespace {

class ByteDecoder final : public AnsiDecoder {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    return std::u16string(bytes.begin(), bytes.end());
  }
};

// The host as the interpreter sees it: the embedder's, with the player's root as _level0.
class LevelHost final : public avm1::Host {
 public:
  LevelHost(avm1::Host& inner, bool useNetwork, avm1::SoundControl* sounds, std::function<DisplayObject*()> root,
            text::FontSource* fonts)
      : inner_(inner), useNetwork_(useNetwork), sounds_(sounds), root_(std::move(root)), fonts_(fonts) {}

  void Trace(std::string_view line) override { inner_.Trace(line); }
  void Unsupported(std::string_view name) override { inner_.Unsupported(name); }
  double ElapsedMs() override { return inner_.ElapsedMs(); }
  double UtcNowMs() override { return inner_.UtcNowMs(); }
  double LocalOffsetMinutes(double utcMs) override { return inner_.LocalOffsetMinutes(utcMs); }
  uint32_t RandomSeed() override { return inner_.RandomSeed(); }
  int ScreenWidth() override { return inner_.ScreenWidth(); }
  int ScreenHeight() override { return inner_.ScreenHeight(); }
  std::u16string_view MovieUrl() override { return inner_.MovieUrl(); }
  int StageWidth() override { return StageSize().first; }
  int StageHeight() override { return StageSize().second; }
  avm1::Clip* Level(int level) override { return level == 0 ? root_() : nullptr; }
  double WallClockMs() override { return inner_.WallClockMs(); }
  bool UsesNetworkSandbox() override { return useNetwork_; }
  avm1::SoundControl* Sounds() override { return sounds_; }
  std::vector<std::u16string> DeviceFontNames() override {
    std::vector<std::u16string> names;
    if (fonts_) {
      for (const std::string& name : fonts_->Families()) names.push_back(DecodeUtf8(name));
    }
    return names;
  }
  void FsCommand(std::string_view command, std::string_view arguments) override {
    inner_.FsCommand(command, arguments);
  }
  bool DrawIntoBitmap(Bitmap& target, bool transparent, const avm1::BitmapDraw& draw) override {
    return player::DrawIntoBitmap(target, transparent, draw);
  }
  bool ApplyBitmapFilter(const Filter& filter, uint32_t* pixels, int width, int height) override {
    return player::ApplyBitmapFilter(filter, pixels, width, height);
  }
  std::shared_ptr<const Bitmap> ExportedBitmap(std::u16string_view name) override {
    const DisplayObject* root = root_();
    return root ? player::ExportedBitmap(root->Context(), name) : nullptr;
  }

 private:
  std::pair<int, int> StageSize() {
    const DisplayObject* root = root_();
    if (!root) return {0, 0};
    const TwipsRect& frame = root->Context().movie.header.frameSize;
    return {static_cast<int>((int64_t{frame.xMax} - frame.xMin) / 20),
            static_cast<int>((int64_t{frame.yMax} - frame.yMin) / 20)};
  }

  avm1::Host& inner_;
  bool useNetwork_;
  avm1::SoundControl* sounds_;
  std::function<DisplayObject*()> root_;
  text::FontSource* fonts_;
};

class VmScripts final : public ScriptEngine {
 public:
  VmScripts(avm1::Host& host, uint8_t swfVersion, bool useNetwork, avm1::SoundControl* sounds,
            const AnsiDecoder* ansi, std::function<DisplayObject*()> root, text::FontSource* fonts)
      : host_(host, useNetwork, sounds, std::move(root), fonts), vm_(host_, swfVersion), version_(swfVersion),
        ansi_(ansi ? *ansi : bytes_) {}

  void RunFrameScript(DisplayObject& clip, const ScriptCode& code) override {
    if (const format::ActionProgram* program = Compile(code)) vm_.RunFrameScript(clip, *program);
  }
  void RunInitScript(DisplayObject& clip, const ScriptCode& code) override {
    if (const format::ActionProgram* program = Compile(code)) vm_.RunInitScript(clip, *program);
  }
  void RunClipEvent(DisplayObject& clip, const ScriptCode& code) override {
    if (const format::ActionProgram* program = Compile(code)) vm_.RunClipEvent(clip, *program);
  }
  void CallClipMethod(DisplayObject& clip, std::u16string_view name) override {
    vm_.CallClipMethod(clip, name);
  }
  bool HasClipMethod(DisplayObject& clip, std::u16string_view name) override { return vm_.HasClipMethod(clip, name); }
  void ConstructClip(DisplayObject& clip, std::u16string_view exportName) override {
    vm_.ConstructClip(clip, exportName);
  }
  std::shared_ptr<const format::ActionProgram> Compiled(const ScriptCode& code) override {
    Compile(code);
    return code.program;
  }
  void BeginTick() override { vm_.BeginTick(); }
  bool TickBudgetSpent() const override { return vm_.TickBudgetSpent(); }
  void RunTimers() override { vm_.RunTimers(); }
  void CollectGarbage() override { vm_.CollectGarbage(); }
  std::optional<std::u16string> ReadVariable(DisplayObject& timeline, std::u16string_view path) override {
    return vm_.ReadVariable(timeline, path);
  }
  void WriteVariable(DisplayObject& timeline, std::u16string_view path, std::u16string_view value) override {
    vm_.WriteVariable(timeline, path, value);
  }

 private:
  // A block that cannot be decoded never runs; why is told once, where unsupported things go.
  const format::ActionProgram* Compile(const ScriptCode& code) {
    if (!code.program && !code.refused) {
      format::ActionDecode decoded = format::DecodeActionProgram(code.bytes, version_, ansi_);
      if (decoded.program) {
        code.program = std::move(decoded.program);
      } else {
        code.refused = true;
        host_.Unsupported("damaged action block: " + decoded.refusal);
      }
    }
    return code.program.get();
  }

  ByteDecoder bytes_;
  LevelHost host_;
  avm1::Vm vm_;
  uint8_t version_;
  const AnsiDecoder& ansi_;
};

}  // namespace

std::unique_ptr<ScriptEngine> MakeVmScripts(avm1::Host& host, uint8_t swfVersion, bool useNetwork, avm1::SoundControl* sounds,
                                            const AnsiDecoder* ansi,
                                            std::function<DisplayObject*()> root,
                                            text::FontSource* fonts) {
  return std::make_unique<VmScripts>(host, swfVersion, useNetwork, sounds, ansi, std::move(root), fonts);
}

}  // namespace swfplayer::player
