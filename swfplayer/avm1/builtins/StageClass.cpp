// Stage, Key, Mouse and Selection: the objects through which a movie hears of its window, the
// keyboard, the pointer and the focus. A screen saver's window never resizes and its input ends
// it, so their listeners are kept but never called, the keys read as up and the pointer as
// hidden; the focus is kept as the Flash Player keeps it, for the scripts that set and read it.
#include <cctype>
#include <string>

#include "swfplayer/avm1/ActionHandlers.h"
#include "swfplayer/avm1/ClipObject.h"
#include "swfplayer/avm1/builtins/AsBroadcaster.h"
#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

struct StageState final : VmImpl::ExtensionState {
  std::string scaleMode = "showAll";
  unsigned align = 0;  // the kAlign bits
  bool showMenu = true;
  Object* focus = nullptr;  // the clip object Selection gave the focus to
  void Trace(Tracer& tracer) override { tracer.Mark(focus); }
};

StageState& State(VmImpl& vm) { return vm.State<StageState>("stage"); }

Value Nothing(NativeCall&) { return Value(); }

// --- Stage ---

Value StageWidth(NativeCall& call) { return Value(static_cast<double>(call.vm.host.StageWidth())); }
Value StageHeight(NativeCall& call) { return Value(static_cast<double>(call.vm.host.StageHeight())); }

Value GetScaleMode(NativeCall& call) { return Value(call.vm.Str(State(call.vm).scaleMode)); }

// Only the four modes are taken (without case); anything else leaves the mode as it was.
Value SetScaleMode(NativeCall& call) {
  std::string asked = call.StringArg(0)->ToUtf8();
  for (char& c : asked) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* mode : {"showAll", "noBorder", "exactFit", "noScale"}) {
    std::string lower = mode;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (asked == lower) State(call.vm).scaleMode = mode;
  }
  return Value();
}

constexpr unsigned kLeft = 1, kTop = 2, kRight = 4, kBottom = 8;

// The letters L, T, R and B in any order and case; the answer names them in that order.
Value GetAlign(NativeCall& call) {
  const unsigned align = State(call.vm).align;
  std::string text;
  if (align & kLeft) text += 'L';
  if (align & kTop) text += 'T';
  if (align & kRight) text += 'R';
  if (align & kBottom) text += 'B';
  return Value(call.vm.Str(text));
}

Value SetAlign(NativeCall& call) {
  unsigned align = 0;
  for (char c : call.StringArg(0)->ToUtf8()) {
    switch (std::toupper(static_cast<unsigned char>(c))) {
      case 'L': align |= kLeft; break;
      case 'T': align |= kTop; break;
      case 'R': align |= kRight; break;
      case 'B': align |= kBottom; break;
      default: break;
    }
  }
  State(call.vm).align = align;
  return Value();
}

Value GetShowMenu(NativeCall& call) { return Value(State(call.vm).showMenu); }
Value SetShowMenu(NativeCall& call) {
  State(call.vm).showMenu = call.BoolArg(0);
  return Value();
}

Value DisplayState(NativeCall& call) { return Value(call.vm.Str("normal")); }

void InstallStage(VmImpl& vm, Object* global) {
  Object* stage = vm.NewObject();
  global->DefineValue(vm, vm.Str("Stage"), Value(stage), kDontEnum);
  InitializeBroadcaster(vm, stage);
  DefineNativeProperty(vm, stage, "width", StageWidth, nullptr);
  DefineNativeProperty(vm, stage, "height", StageHeight, nullptr);
  DefineNativeProperty(vm, stage, "scaleMode", GetScaleMode, SetScaleMode);
  DefineNativeProperty(vm, stage, "align", GetAlign, SetAlign);
  DefineNativeProperty(vm, stage, "showMenu", GetShowMenu, SetShowMenu);
  DefineNativeProperty(vm, stage, "displayState", DisplayState, Nothing, kHidden | kSwf8Up);
}

// --- Key: every key up, none pressed last ---

Value False(NativeCall&) { return Value(false); }
Value Zero(NativeCall&) { return Value(0); }

void InstallKey(VmImpl& vm, Object* global) {
  Object* key = vm.NewObject();
  global->DefineValue(vm, vm.Str("Key"), Value(key), kDontEnum);
  InitializeBroadcaster(vm, key);
  DefineMethod(vm, key, "isDown", False);
  DefineMethod(vm, key, "isToggled", False);
  DefineMethod(vm, key, "isAccessible", False);
  DefineMethod(vm, key, "getCode", Zero);
  DefineMethod(vm, key, "getAscii", Zero);
  struct Code {
    const char* name;
    int value;
  };
  static constexpr Code kCodes[] = {
      {"ALT", 18},    {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46},
      {"DOWN", 40},   {"END", 35},      {"ENTER", 13},    {"ESCAPE", 27},  {"HOME", 36},
      {"INSERT", 45}, {"LEFT", 37},     {"PGDN", 34},     {"PGUP", 33},    {"RIGHT", 39},
      {"SHIFT", 16},  {"SPACE", 32},    {"TAB", 9},       {"UP", 38},
  };
  for (const Code& code : kCodes) DefineConstant(vm, key, code.name, Value(code.value));
}

// --- Mouse: hiding and showing the pointer changes nothing (the saver has none); show and
// hide answer whether it was shown before, which it never is ---

void InstallMouse(VmImpl& vm, Object* global) {
  Object* mouse = vm.NewObject();
  global->DefineValue(vm, vm.Str("Mouse"), Value(mouse), kDontEnum);
  InitializeBroadcaster(vm, mouse);
  DefineMethod(vm, mouse, "show", Zero);
  DefineMethod(vm, mouse, "hide", Zero);
}

// --- Selection: the focus is a clip's (a text field's once they are in); no text is selected ---

Value MinusOne(NativeCall&) { return Value(-1); }

// A clip takes the focus when its focusEnabled is true, or when it acts as a button (it has a
// handler of the pointer's).
bool Focusable(VmImpl& vm, Object* clip) {
  if (vm.ToBoolean(clip->Get(vm, vm.Str("focusEnabled")))) return true;
  for (const char* handler : {"onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut",
                              "onDragOver", "onDragOut"}) {
    if (clip->Get(vm, vm.Str(handler)).IsObject()) return true;
  }
  return false;
}

Value GetFocus(NativeCall& call) {
  VmImpl& vm = call.vm;
  StageState& state = State(vm);
  if (state.focus == nullptr) return Value::Null();
  ClipObject* clip = static_cast<ClipObject*>(state.focus)->Live(vm);
  if (clip == nullptr || clip->Gone()) {
    state.focus = nullptr;
    return Value::Null();
  }
  return Value(vm.NewString(clip->TargetPath(vm)));
}

Value SetFocus(NativeCall& call) {
  VmImpl& vm = call.vm;
  StageState& state = State(vm);
  const Value target = call.Arg(0);
  if (target.IsNullish()) {
    state.focus = nullptr;
    return Value(true);
  }
  Object* object = nullptr;
  if (target.IsObject() && target.AsObject()->Class() == ObjectClass::kMovieClip) {
    object = target.AsObject();
  } else if (vm.activations != nullptr) {
    object = vm.ObjectOf(ResolveClip(*vm.activations, target, vm.Root(), false));
  }
  if (object == nullptr || !Focusable(vm, object)) return Value(false);
  state.focus = object;
  return Value(true);
}

void InstallSelection(VmImpl& vm, Object* global) {
  Object* selection = vm.NewObject();
  global->DefineValue(vm, vm.Str("Selection"), Value(selection), kDontEnum);
  InitializeBroadcaster(vm, selection);
  DefineMethod(vm, selection, "getFocus", GetFocus);
  DefineMethod(vm, selection, "setFocus", SetFocus);
  DefineMethod(vm, selection, "getBeginIndex", MinusOne);
  DefineMethod(vm, selection, "getEndIndex", MinusOne);
  DefineMethod(vm, selection, "getCaretIndex", MinusOne);
  DefineMethod(vm, selection, "setSelection", Nothing);
}

}  // namespace

void InstallStageClasses(VmImpl& vm, Object* global) {
  InstallStage(vm, global);
  InstallKey(vm, global);
  InstallMouse(vm, global);
  InstallSelection(vm, global);
}

}  // namespace swfplayer::avm1
