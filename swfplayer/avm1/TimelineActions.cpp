// The actions that reach the display through Clip: frames, properties by index, clips made and
// removed by SWF 4 actions, frame calls, and what reaches for the outside (getURL, fscommand).
#include <cmath>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/Convert.h"

namespace swfplayer::avm1 {

namespace {

// Depths of SWF 4's CloneSprite count from the timeline's first depth, ActionScript's from
// 16384 above it.
constexpr int32_t kDepthBias = 16384;

bool StartsWithFold(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldCase(text[i]) != FoldCase(prefix[i])) return false;
  }
  return true;
}

// "FSCommand:name" URLs go to the host; nothing else leaves the player.
void OpenUrl(VmImpl& vm, std::u16string_view url, std::u16string_view target) {
  constexpr std::u16string_view kPrefix = u"FSCommand:";
  if (StartsWithFold(url, kPrefix)) vm.host.FsCommand(ToUtf8(url.substr(kPrefix.size())), ToUtf8(target));
}

// The clip and frame a "path:frame" string names (a plain frame names one of start's).
bool SplitFramePath(Activation& activation, Clip* start, String* text, Clip*& clip, std::u16string& frame) {
  const std::u16string_view view = text->View();
  const size_t separator = view.find_last_of(u":.");
  clip = start;
  frame = view;
  if (separator == std::u16string_view::npos) return clip != nullptr;
  frame = view.substr(separator + 1);
  clip = nullptr;
  for (Scope* scope = activation.scope; scope != nullptr; scope = scope->parent) {
    Object* object = ResolveTargetPath(activation, scope->object, view.substr(0, separator), true, true);
    if (object != nullptr && object->Class() == ObjectClass::kMovieClip) {
      clip = static_cast<ClipObject*>(object)->GetClip(activation.vm);
      break;
    }
  }
  return clip != nullptr;
}

// A frame number (1-based) from a frame string: a number when it parses as one, else a label.
std::optional<int64_t> FrameOf(VmImpl& vm, Clip& clip, std::u16string_view frame) {
  const double number = StringToNumber(frame, 7);
  if (!std::isnan(number) && !frame.empty()) return DoubleToInt32(number);
  if (const auto labelled = clip.FrameOfLabel(frame)) return int64_t{*labelled} + 1;
  (void)vm;
  return std::nullopt;
}

}  // namespace

void TimelineAction(Activation& activation, const format::Instruction& instruction) {
  Clip* clip = TargetClip(activation);
  if (clip == nullptr || !clip->IsMovieClip()) return;
  switch (instruction.code) {
    case format::ActionCode::kPlay:
      clip->Play();
      break;
    case format::ActionCode::kStop:
      clip->Stop();
      break;
    case format::ActionCode::kNextFrame:
      if (clip->CurrentFrame() + 1 < clip->TotalFrames()) clip->GotoFrame(clip->CurrentFrame() + 1, false);
      else clip->Stop();
      break;
    case format::ActionCode::kPrevFrame:
      if (clip->CurrentFrame() > 0) clip->GotoFrame(clip->CurrentFrame() - 1, false);
      else clip->Stop();
      break;
    case format::ActionCode::kGotoFrame:
      clip->GotoFrame(static_cast<int>(instruction.a), false);
      break;
    case format::ActionCode::kGotoLabel:
      if (const auto frame = clip->FrameOfLabel(activation.program->strings[instruction.a])) {
        clip->GotoFrame(*frame, false);
      }
      break;
    default:
      break;
  }
}

void GotoFrameValue(Activation& activation, Clip* clip, const Value& frame, bool play, int bias) {
  VmImpl& vm = activation.vm;
  if (clip == nullptr) return;
  Clip* destination = clip;
  int64_t number = 0;
  if (frame.IsNumber() && frame.AsNumber() == std::trunc(frame.AsNumber())) {
    number = DoubleToInt32(frame.AsNumber());
  } else {
    std::u16string text;
    if (!SplitFramePath(activation, clip, vm.ToString(frame), destination, text)) return;
    const auto found = FrameOf(vm, *destination, text);
    if (!found) return;
    number = *found;
  }
  number += bias;
  // Frames at or below 0 go nowhere; past the end go to the last.
  if (number < 1 || !destination->IsMovieClip()) return;
  destination->GotoFrame(static_cast<int>(std::min<int64_t>(number - 1, destination->TotalFrames() - 1)), play);
}

void GotoFrame2Action(Activation& activation, const format::Instruction& instruction) {
  const Value frame = Pop(activation);
  GotoFrameValue(activation, TargetOrRoot(activation), frame, instruction.byte != 0, static_cast<int>(instruction.b));
}

namespace {

Clip* PropertyTarget(Activation& activation, const Value& target) {
  if (Clip* clip = TargetClip(activation)) return ResolveClip(activation, target, clip, true);
  Clip* base = activation.baseClip != nullptr ? activation.baseClip->GetClip(activation.vm) : nullptr;
  return ResolveClip(activation, target, base, false);
}

std::optional<DisplayProperty> PropertyIndex(double index) {
  if (!std::isfinite(index) || index <= -1 || index >= kDisplayPropertyCount) return std::nullopt;
  return static_cast<DisplayProperty>(static_cast<int>(index < 0 ? 0 : index));
}

}  // namespace

void GetPropertyAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const double index = vm.ToNumber(Pop(activation));
  const Value target = Pop(activation);
  Clip* clip = PropertyTarget(activation, target);
  const auto property = PropertyIndex(index);
  Push(activation, clip != nullptr && property ? ClipObject::GetDisplayProperty(vm, *clip, *property) : Value());
}

void SetPropertyAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const Value value = Pop(activation);
  const double index = vm.ToNumber(Pop(activation));
  const Value target = Pop(activation);
  Clip* clip = PropertyTarget(activation, target);
  const auto property = PropertyIndex(index);
  if (clip != nullptr && property) ClipObject::SetDisplayProperty(vm, *clip, *property, value);
}

void CloneSpriteAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const int32_t depth = vm.ToInt32(Pop(activation));
  String* name = vm.ToString(Pop(activation));
  const Value source = Pop(activation);
  Clip* clip = ResolveClip(activation, source, TargetOrRoot(activation), true);
  if (clip != nullptr && clip->IsMovieClip()) clip->DuplicateClip(name->View(), depth - kDepthBias);
}

void RemoveSpriteAction(Activation& activation) {
  const Value target = Pop(activation);
  if (Clip* clip = ResolveClip(activation, target, TargetOrRoot(activation), true)) clip->RemoveClip();
}

void CallFrameAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  const Value frame = Pop(activation);
  Clip* target = TargetOrRoot(activation);
  if (target == nullptr) return;
  Clip* clip = target;
  int64_t number = 0;
  if (frame.IsNumber()) {
    number = DoubleToUint32(frame.AsNumber());
  } else {
    std::u16string text;
    if (!SplitFramePath(activation, target, vm.ToString(frame), clip, text)) return;
    const auto found = FrameOf(vm, *clip, text);
    if (!found) return;
    number = *found;
  }
  if (number < 1 || number > 65535 || !clip->IsMovieClip()) return;
  // The frame's scripts run now, on that timeline, without moving it; a script that removes
  // the timeline ends the call.
  ClipObject* object = vm.ObjectOf(clip);
  for (const auto& program : clip->FrameScripts(static_cast<int>(number - 1))) {
    if (object->Gone()) break;
    if (program != nullptr) vm.RunBlock(*object->GetClip(vm), *program);
  }
}

void GetUrlAction(Activation& activation, const format::Instruction& instruction) {
  const auto& strings = activation.program->strings;
  OpenUrl(activation.vm, strings[instruction.a], strings[instruction.b]);
}

void GetUrl2Action(Activation& activation, const format::Instruction&) {
  VmImpl& vm = activation.vm;
  String* target = vm.ToString(Pop(activation));
  String* url = vm.ToString(Pop(activation));
  OpenUrl(vm, url->View(), target->View());
}

void StartDragAction(Activation& activation) {
  VmImpl& vm = activation.vm;
  Pop(activation);  // the target: nothing is dragged without a pointer
  Pop(activation);  // lock to the centre
  if (vm.ToInt32(Pop(activation)) != 0) {
    for (int i = 0; i < 4; ++i) Pop(activation);  // the constraint rectangle
  }
}

bool FrameLoaded(Activation& activation, const Value& frame) {
  // Every frame is loaded; the Flash Player still answers no past its frame limit.
  const double number = activation.vm.ToNumber(frame);
  return !(number > 16001);
}

}  // namespace swfplayer::avm1
