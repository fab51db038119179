// A fake display and host for the interpreter's tests: clips with names, children, frames,
// labels, properties and frame scripts that behave as the player's will (a removed clip is
// destroyed, which tells the interpreter), and a host that records traces.
#pragma once

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swfplayer/avm1/Clip.h"
#include "swfplayer/avm1/Host.h"
#include "swfplayer/avm1/String.h"
#include "swfplayer/avm1/TextField.h"

namespace swfplayer::avm1::testing {

class FakeClip final : public Clip {
 public:
  explicit FakeClip(std::u16string name = u"", FakeClip* parent = nullptr, int32_t depth = 0, int frames = 1)
      : totalFrames(frames), name_(std::move(name)), parent_(parent), depth_(depth) {
    numbers_[static_cast<int>(DisplayProperty::kXScale)] = 100;
    numbers_[static_cast<int>(DisplayProperty::kYScale)] = 100;
    numbers_[static_cast<int>(DisplayProperty::kAlpha)] = 100;
    numbers_[static_cast<int>(DisplayProperty::kVisible)] = 1;
  }

  FakeClip& AddChild(std::u16string name, int32_t depth, int frames = 1) {
    children_.push_back(std::make_unique<FakeClip>(std::move(name), this, depth, frames));
    SortChildren();
    for (auto& child : children_) {
      if (child->depth_ == depth) return *child;
    }
    return *children_.back();
  }

  std::u16string Name() const override { return name_; }
  void SetName(std::u16string_view name) override { name_ = name; }
  Clip* Parent() const override { return parent_; }
  int32_t Depth() const override { return depth_; }
  Clip* ChildByName(std::u16string_view name, bool caseSensitive) const override {
    for (const auto& child : children_) {
      if (caseSensitive ? child->name_ == name : FoldedEqual(child->name_, name)) return child.get();
    }
    return nullptr;
  }
  Clip* ChildAtDepth(int32_t depth) const override {
    for (const auto& child : children_) {
      if (child->depth_ == depth) return child.get();
    }
    return nullptr;
  }
  std::vector<Clip*> Children() const override {
    std::vector<Clip*> out;
    for (const auto& child : children_) out.push_back(child.get());
    return out;
  }
  bool IsMovieClip() const override { return true; }

  int CurrentFrame() const override { return frame; }
  int TotalFrames() const override { return totalFrames; }
  int FramesLoaded() const override { return totalFrames; }
  uint32_t BytesTotal() const override { return 1234; }
  bool Playing() const override { return playing; }
  void Play() override { playing = true; }
  void Stop() override { playing = false; }
  void GotoFrame(int target, bool play) override {
    frame = target < 0 ? 0 : (target >= totalFrames ? totalFrames - 1 : target);
    playing = play;
    ++gotos;
  }
  std::optional<int> FrameOfLabel(std::u16string_view label) const override {
    for (const auto& [name, index] : labels) {
      if (FoldedEqual(name, label)) return index;
    }
    return std::nullopt;
  }
  std::vector<std::shared_ptr<const format::ActionProgram>> FrameScripts(int index) const override {
    const auto found = frameScripts.find(index);
    if (found == frameScripts.end()) return {};
    return found->second;
  }

  double NumberProperty(DisplayProperty property) const override { return numbers_[static_cast<int>(property)]; }
  std::u16string StringProperty(DisplayProperty property) const override {
    if (property == DisplayProperty::kUrl) return u"file:///test.swf";
    if (property == DisplayProperty::kQuality) return quality;
    return u"";
  }
  void SetNumberProperty(DisplayProperty property, double value) override {
    if ((property == DisplayProperty::kX || property == DisplayProperty::kY) && std::isnan(value)) return;
    numbers_[static_cast<int>(property)] = value;
  }
  void SetStringProperty(DisplayProperty property, std::u16string_view value) override {
    if (property == DisplayProperty::kQuality) quality = value;
  }
  Matrix GetMatrix() const override { return matrix; }
  void SetMatrix(const Matrix& m) override { matrix = m; }
  ColorTransform GetColorTransform() const override { return colorTransform; }
  void SetColorTransform(const ColorTransform& c) override { colorTransform = c; }
  DisplayEffects GetEffects() const override { return effects; }
  void SetEffects(const DisplayEffects& e) override { effects = e; }

  Clip* DuplicateClip(std::u16string_view newName, int32_t depth) override {
    if (parent_ == nullptr) return nullptr;
    parent_->RemoveAtDepth(depth);
    FakeClip& copy = parent_->AddChild(std::u16string(newName), depth, totalFrames);
    copy.numbers_ = numbers_;
    copy.scriptMade = true;
    return &copy;
  }
  Clip* AttachClip(std::u16string_view exportName, std::u16string_view newName, int32_t depth) override {
    if (exportName != u"symbol") return nullptr;
    RemoveAtDepth(depth);
    FakeClip& clip = AddChild(std::u16string(newName), depth, 3);
    clip.scriptMade = true;
    return &clip;
  }
  Clip* CreateEmptyClip(std::u16string_view newName, int32_t depth) override {
    RemoveAtDepth(depth);
    FakeClip& clip = AddChild(std::u16string(newName), depth);
    clip.scriptMade = true;
    return &clip;
  }
  bool RemoveClip() override {
    if (parent_ == nullptr || !scriptMade) return false;
    parent_->RemoveAtDepth(depth_);  // destroys this clip
    return true;
  }
  void SwapDepths(int32_t depth) override {
    if (parent_ == nullptr) return;
    if (FakeClip* other = static_cast<FakeClip*>(parent_->ChildAtDepth(depth))) other->depth_ = depth_;
    depth_ = depth;
    parent_->SortChildren();
  }
  int32_t NextHighestDepth() const override {
    int32_t highest = -1;
    for (const auto& child : children_) highest = std::max(highest, child->depth_);
    return highest + 1;
  }
  TwipsRect Bounds() const override { return TwipsRect{}; }
  TwipsRect BoundsIn(const Matrix&) const override { return TwipsRect{}; }
  Matrix ConcatenatedMatrix() const override { return Matrix{}; }
  bool HitTestPoint(Point, bool) const override { return false; }
  void Draw(const DrawCommand& command) override { drawn.push_back(command); }
  void SetMask(Clip* m) override { mask = m; }
  // Set to make the clip a text field.
  TextField* textField = nullptr;
  TextField* AsTextField() override { return textField; }

  // Removes (destroys) the child at depth, as the timeline or removeMovieClip does.
  void RemoveAtDepth(int32_t depth) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
      if ((*it)->depth_ == depth) {
        children_.erase(it);
        return;
      }
    }
  }

  int frame = 0;
  int totalFrames;
  bool playing = true;
  bool scriptMade = false;
  int gotos = 0;
  std::vector<DrawCommand> drawn;
  Clip* mask = nullptr;
  Matrix matrix;
  ColorTransform colorTransform;
  DisplayEffects effects;
  std::u16string quality = u"HIGH";
  std::map<std::u16string, int> labels;
  std::map<int, std::vector<std::shared_ptr<const format::ActionProgram>>> frameScripts;

 private:
  static bool FoldedEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
  }
  void SortChildren() {
    std::stable_sort(children_.begin(), children_.end(),
                     [](const auto& a, const auto& b) { return a->depth_ < b->depth_; });
  }

  std::u16string name_;
  FakeClip* parent_;
  int32_t depth_;
  std::array<double, kDisplayPropertyCount> numbers_{};
  std::vector<std::unique_ptr<FakeClip>> children_;
};

class FakeHost final : public Host {
 public:
  void Trace(std::string_view line) override { traces.emplace_back(line); }
  void Unsupported(std::string_view name) override { unsupported.emplace_back(name); }
  // Each read can move the clock on (msPerRead), so a script that runs forever sees time pass.
  double ElapsedMs() override { return elapsedMs += msPerRead; }
  double WallClockMs() override { return ElapsedMs(); }
  double UtcNowMs() override { return utcMs; }
  double LocalOffsetMinutes(double) override { return offsetMinutes; }
  uint32_t RandomSeed() override { return 12345; }
  int ScreenWidth() override { return 1024; }
  int ScreenHeight() override { return 768; }
  std::u16string_view MovieUrl() override { return u"file:///test.swf"; }
  Clip* Level(int level) override { return level == 0 ? root : nullptr; }
  void FsCommand(std::string_view command, std::string_view arguments) override {
    fsCommands.push_back(std::string(command) + "|" + std::string(arguments));
  }

  // The trace lines joined by newlines, for compact expectations.
  std::string Output() const {
    std::string out;
    for (const std::string& line : traces) out += line + "\n";
    return out;
  }

  std::vector<std::string> traces;
  std::vector<std::string> unsupported;
  std::vector<std::string> fsCommands;
  double elapsedMs = 0;
  double msPerRead = 0;
  double utcMs = 981158706000.0;  // 2001-02-03 00:05:06 UTC
  double offsetMinutes = 345;
  Clip* root = nullptr;
};

}  // namespace swfplayer::avm1::testing
