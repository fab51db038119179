#include "swfplayer/avm1/ClipObject.h"

#include <cmath>

#include "swfplayer/avm1/Paths.h"
#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

Clip::~Clip() { ReleaseBinding(); }

void Clip::ReleaseBinding() {
  if (binding != nullptr) binding->ClipGone();
  binding = nullptr;
}

namespace {

struct NamedProperty {
  std::u16string_view name;
  DisplayProperty property;
};

constexpr NamedProperty kDisplayProperties[] = {
    {u"_x", DisplayProperty::kX},
    {u"_y", DisplayProperty::kY},
    {u"_xscale", DisplayProperty::kXScale},
    {u"_yscale", DisplayProperty::kYScale},
    {u"_currentframe", DisplayProperty::kCurrentFrame},
    {u"_totalframes", DisplayProperty::kTotalFrames},
    {u"_alpha", DisplayProperty::kAlpha},
    {u"_visible", DisplayProperty::kVisible},
    {u"_width", DisplayProperty::kWidth},
    {u"_height", DisplayProperty::kHeight},
    {u"_rotation", DisplayProperty::kRotation},
    {u"_target", DisplayProperty::kTarget},
    {u"_framesloaded", DisplayProperty::kFramesLoaded},
    {u"_name", DisplayProperty::kName},
    {u"_droptarget", DisplayProperty::kDropTarget},
    {u"_url", DisplayProperty::kUrl},
    {u"_highquality", DisplayProperty::kHighQuality},
    {u"_focusrect", DisplayProperty::kFocusRect},
    {u"_soundbuftime", DisplayProperty::kSoundBufTime},
    {u"_quality", DisplayProperty::kQuality},
    {u"_xmouse", DisplayProperty::kXMouse},
    {u"_ymouse", DisplayProperty::kYMouse},
};

bool EqualsFolded(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

}  // namespace

ClipObject::ClipObject(Value proto, Clip& clip)
    : Object(proto, ObjectClass::kMovieClip), clip_(&clip), path_(DotPathOf(clip)) {
  specialOwn_ = true;
}

ClipObject::~ClipObject() {
  if (clip_ != nullptr && clip_->binding == this) clip_->binding = nullptr;
}

std::u16string ClipObject::DotPathOf(const Clip& clip) {
  std::vector<const Clip*> chain;
  for (const Clip* c = &clip; c != nullptr && chain.size() < 1024; c = c->Parent()) chain.push_back(c);
  std::u16string path = u"_level0";
  for (size_t i = chain.size() - 1; i-- > 0;) {
    path += u'.';
    path += chain[i]->Name();
  }
  return path;
}

std::u16string ClipObject::SlashPathOf(const Clip& clip) {
  std::vector<const Clip*> chain;
  for (const Clip* c = &clip; c != nullptr && chain.size() < 1024; c = c->Parent()) chain.push_back(c);
  if (chain.size() == 1) return u"/";
  std::u16string path;
  for (size_t i = chain.size() - 1; i-- > 0;) {
    path += u'/';
    path += chain[i]->Name();
  }
  return path;
}

Clip* ClipObject::GetClip(VmImpl& vm) {
  if (clip_ != nullptr) return clip_;
  return ResolveTargetPath(vm, path_);
}

ClipObject* ClipObject::Live(VmImpl& vm) {
  if (clip_ != nullptr) return this;
  return vm.ObjectOf(ResolveTargetPath(vm, path_));
}

std::u16string ClipObject::TargetPath(VmImpl& vm) {
  Clip* clip = GetClip(vm);
  return clip != nullptr ? DotPathOf(*clip) : std::u16string();
}

std::u16string ClipObject::SlashPath(VmImpl& vm) {
  Clip* clip = GetClip(vm);
  return clip != nullptr ? SlashPathOf(*clip) : std::u16string();
}

void ClipObject::Renamed(VmImpl&) {
  if (clip_ != nullptr) path_ = DotPathOf(*clip_);
}

std::optional<DisplayProperty> ClipObject::PropertyNamed(std::u16string_view name) {
  if (name.empty() || name[0] != u'_') return std::nullopt;
  for (const NamedProperty& entry : kDisplayProperties) {
    if (EqualsFolded(entry.name, name)) return entry.property;
  }
  return std::nullopt;
}

Value ClipObject::GetDisplayProperty(VmImpl& vm, Clip& clip, DisplayProperty property) {
  switch (property) {
    case DisplayProperty::kCurrentFrame:
      return Value(static_cast<double>(clip.CurrentFrame() + 1));
    case DisplayProperty::kTotalFrames:
      return Value(static_cast<double>(clip.TotalFrames()));
    case DisplayProperty::kFramesLoaded:
      return Value(static_cast<double>(clip.FramesLoaded()));
    case DisplayProperty::kVisible:
      return Value(clip.NumberProperty(property) != 0);
    case DisplayProperty::kTarget:
      return Value(vm.NewString(SlashPathOf(clip)));
    case DisplayProperty::kName:
      return Value(vm.NewString(clip.Name()));
    case DisplayProperty::kUrl:
    case DisplayProperty::kDropTarget:
    case DisplayProperty::kQuality:
      return Value(vm.NewString(clip.StringProperty(property)));
    default:
      return Value(clip.NumberProperty(property));
  }
}

void ClipObject::SetDisplayProperty(VmImpl& vm, Clip& clip, DisplayProperty property, const Value& value) {
  switch (property) {
    case DisplayProperty::kCurrentFrame:
    case DisplayProperty::kTotalFrames:
    case DisplayProperty::kFramesLoaded:
    case DisplayProperty::kTarget:
    case DisplayProperty::kUrl:
    case DisplayProperty::kDropTarget:
    case DisplayProperty::kXMouse:
    case DisplayProperty::kYMouse:
      return;  // read-only
    case DisplayProperty::kName:
      clip.SetName(vm.ToString(value)->View());
      if (clip.binding != nullptr) static_cast<ClipObject*>(clip.binding)->Renamed(vm);
      return;
    case DisplayProperty::kQuality:
      clip.SetStringProperty(property, vm.ToString(value)->View());
      return;
    case DisplayProperty::kVisible: {
      const double number = value.IsBoolean() ? (value.AsBoolean() ? 1 : 0) : vm.ToNumber(value);
      if (!std::isnan(number)) clip.SetNumberProperty(property, number != 0 ? 1 : 0);
      return;
    }
    default:
      clip.SetNumberProperty(property, vm.ToNumber(value));
      return;
  }
}

bool ClipObject::FindOwn(VmImpl& vm, String* name, OwnSlot& slot) {
  if (clip_ == nullptr) {
    ClipObject* live = Live(vm);
    if (live != nullptr && live != this) return live->FindOwn(vm, name, slot);
    return Object::FindOwn(vm, name, slot);
  }
  if (Object::FindOwn(vm, name, slot)) return true;
  const bool magic = !name->Empty() && name->At(0) == u'_';
  slot.flags = property_flags::kDontEnum | property_flags::kDontDelete;
  if (magic) {
    const bool cs = vm.CaseSensitive();
    if (name->SameName(*vm.names.root, cs)) {
      slot.value = ObjectValue(vm.ObjectOf(vm.Root()));
      return true;
    }
    if (name->SameName(*vm.names.parent, cs)) {
      slot.value = ObjectValue(vm.ObjectOf(clip_->Parent()));
      return true;
    }
    if (name->SameName(*vm.names.global, cs)) {
      slot.value = Value(vm.Global());
      return true;
    }
    if (const auto level = LevelNumber(name->View(), cs)) {
      slot.value = ObjectValue(vm.ObjectOf(vm.host.Level(*level)));
      return true;
    }
  }
  if (Clip* child = clip_->ChildByName(name->View(), vm.CaseSensitive())) {
    slot.value = Value(vm.ObjectOf(child));
    return true;
  }
  if (magic) {
    if (const auto property = PropertyNamed(name->View())) {
      slot.value = GetDisplayProperty(vm, *clip_, *property);
      return true;
    }
  }
  return false;
}

bool ClipObject::OwnsProperty(VmImpl& vm, String* name) {
  if (clip_ == nullptr) {
    ClipObject* live = Live(vm);
    if (live != nullptr && live != this) return live->OwnsProperty(vm, name);
  }
  OwnSlot slot;
  return Object::FindOwn(vm, name, slot);
}

void ClipObject::PutOwn(VmImpl& vm, String* name, const Value& value) {
  if (clip_ == nullptr) {
    ClipObject* live = Live(vm);
    if (live != nullptr && live != this) return live->PutOwn(vm, name, value);
    return Object::PutOwn(vm, name, value);
  }
  if (FindStored(vm, name) == nullptr) {
    if (const auto property = PropertyNamed(name->View())) {
      SetDisplayProperty(vm, *clip_, *property, value);
      return;
    }
  }
  Object::PutOwn(vm, name, value);
}

bool ClipObject::DeleteOwn(VmImpl& vm, String* name) {
  if (clip_ == nullptr) {
    ClipObject* live = Live(vm);
    if (live != nullptr && live != this) return live->DeleteOwn(vm, name);
  }
  return Object::DeleteOwn(vm, name);
}

void ClipObject::OwnKeys(VmImpl& vm, std::vector<String*>& out) {
  Object::OwnKeys(vm, out);
  Clip* clip = GetClip(vm);
  if (clip == nullptr) return;
  const std::vector<Clip*> children = clip->Children();
  for (size_t i = children.size(); i-- > 0;) out.push_back(vm.NewString(children[i]->Name()));
}

}  // namespace swfplayer::avm1
