// The script object of a movie clip: an ordinary object (scripts add their own properties to
// it) whose further own properties come from the clip, in the Flash Player's order: stored
// properties, then `_root`, `_parent`, `_global` and `_levelN`, then the children by instance
// name, then the display properties (`_x`, `_alpha`, ..., named without case in every
// version). When the clip leaves the display the object forgets it; from then on it stands
// for whatever clip is at its old target path, if any, as the Flash Player's references do.
#pragma once

#include <optional>
#include <string>

#include "swfplayer/avm1/Clip.h"
#include "swfplayer/avm1/Object.h"

namespace swfplayer::avm1 {

// The interpreter's side of a clip, as Clip.h knows it: told when the clip is destroyed.
class ClipBinding {
 public:
  virtual void ClipGone() = 0;

 protected:
  ~ClipBinding() = default;
};

class ClipObject final : public Object, public ClipBinding {
 public:
  ClipObject(Value proto, Clip& clip);
  ~ClipObject() override;

  // The clip, or the clip now at the old target path once it is gone; null when there is none.
  Clip* GetClip(VmImpl& vm);
  // The object that answers for this one: itself while its clip lives, else the object of the
  // clip at its old path (or null).
  ClipObject* Live(VmImpl& vm);
  void ClipGone() override { clip_ = nullptr; }
  // Whether its own clip left the display (the object may still find another at its path).
  bool Gone() const { return clip_ == nullptr; }

  // "_level0.a.b" (what TargetPath and ToString give) and "/a/b" (what _target gives).
  std::u16string TargetPath(VmImpl& vm);
  std::u16string SlashPath(VmImpl& vm);
  // The dot path of its clip, or the one it had when it left the display.
  std::u16string KnownPath() const { return clip_ != nullptr ? DotPathOf(*clip_) : path_; }
  // Called when the clip's name changes, so the remembered path follows.
  void Renamed(VmImpl& vm);

  static std::u16string DotPathOf(const Clip& clip);
  static std::u16string SlashPathOf(const Clip& clip);
  // The display property a name stands for (compared without case), if any.
  static std::optional<DisplayProperty> PropertyNamed(std::u16string_view name);
  // A display property's value as scripts see it, and setting one from a script.
  static Value GetDisplayProperty(VmImpl& vm, Clip& clip, DisplayProperty property);
  static void SetDisplayProperty(VmImpl& vm, Clip& clip, DisplayProperty property, const Value& value);

 protected:
  bool FindOwn(VmImpl& vm, String* name, OwnSlot& slot) override;
  void PutOwn(VmImpl& vm, String* name, const Value& value) override;
  bool DeleteOwn(VmImpl& vm, String* name) override;
  void OwnKeys(VmImpl& vm, std::vector<String*>& out) override;
  bool OwnsProperty(VmImpl& vm, String* name) override;

 private:
  Clip* clip_;
  std::u16string path_;  // the dot path when last known
};

}  // namespace swfplayer::avm1
