// System, System.capabilities and System.security, and getVersion(): what a movie learns about
// the player and the machine. The answers are those of the Flash Player 8 ActiveX control on
// Windows (what the screen saver stands in for), with the screen's real size.
#include <cstdio>
#include <string>

#include "swfplayer/avm1/builtins/Builtins.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

using namespace property_flags;

// kPlayerVersion as serverString carries it, URL-encoded.
constexpr const char* kVersionEncoded = "WIN%208%2C0%2C22%2C0";

struct SystemState final : VmImpl::ExtensionState {
  bool useCodepage = false;
  bool exactSettings = true;
  void Trace(Tracer&) override {}
};

SystemState& State(VmImpl& vm) { return vm.State<SystemState>("system"); }

Value GetVersion(NativeCall& call) { return Value(call.vm.Str(kPlayerVersion)); }
Value Nothing(NativeCall&) { return Value(); }

Value GetUseCodepage(NativeCall& call) { return Value(State(call.vm).useCodepage); }
Value SetUseCodepage(NativeCall& call) {
  State(call.vm).useCodepage = call.BoolArg(0);
  return Value();
}
Value GetExactSettings(NativeCall& call) { return Value(State(call.vm).exactSettings); }
Value SetExactSettings(NativeCall& call) {
  State(call.vm).exactSettings = call.BoolArg(0);
  return Value();
}

// --- capabilities ---

template <bool kValue>
Value Flag(NativeCall&) {
  return Value(kValue);
}
Value Language(NativeCall& call) { return Value(call.vm.Str("en")); }
Value Manufacturer(NativeCall& call) { return Value(call.vm.Str("Macromedia Windows")); }
Value Os(NativeCall& call) { return Value(call.vm.Str("Windows XP")); }
Value PlayerType(NativeCall& call) { return Value(call.vm.Str("ActiveX")); }
Value ScreenColor(NativeCall& call) { return Value(call.vm.Str("color")); }
Value PixelAspectRatio(NativeCall&) { return Value(1); }
Value ScreenDpi(NativeCall&) { return Value(72); }
Value ScreenWidth(NativeCall& call) { return Value(call.vm.host.ScreenWidth()); }
Value ScreenHeight(NativeCall& call) { return Value(call.vm.host.ScreenHeight()); }

// The capabilities as one query string, in the order and encoding the Flash Player sends them.
Value ServerString(NativeCall& call) {
  VmImpl& vm = call.vm;
  char text[512];
  std::snprintf(text, sizeof text,
                "A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=f&PR=t&SP=t&SB=f&DEB=f&V=%s"
                "&M=Macromedia%%20Windows&R=%dx%d&DP=72&COL=color&AR=1.0&OS=Windows%%20XP&L=en&PT=ActiveX"
                "&AVD=f&LFD=f",
                kVersionEncoded, vm.host.ScreenWidth(), vm.host.ScreenHeight());
  return Value(vm.Str(text));
}

void InstallCapabilities(VmImpl& vm, Object* system) {
  Object* capabilities = vm.NewObject();
  system->DefineValue(vm, vm.Str("capabilities"), Value(capabilities), kDontDelete);
  struct Entry {
    const char* name;
    NativeFunction getter;
  };
  // Defined last first: for-in lists the newest first.
  static constexpr Entry kEntries[] = {
      {"serverString", ServerString},
      {"version", GetVersion},
      {"screenResolutionY", ScreenHeight},
      {"screenResolutionX", ScreenWidth},
      {"screenDPI", ScreenDpi},
      {"screenColor", ScreenColor},
      {"playerType", PlayerType},
      {"pixelAspectRatio", PixelAspectRatio},
      {"os", Os},
      {"manufacturer", Manufacturer},
      {"localFileReadDisable", Flag<false>},
      {"language", Language},
      {"isDebugger", Flag<false>},
      {"hasVideoEncoder", Flag<true>},
      {"hasStreamingVideo", Flag<true>},
      {"hasStreamingAudio", Flag<true>},
      {"hasScreenPlayback", Flag<true>},
      {"hasScreenBroadcast", Flag<false>},
      {"hasPrinting", Flag<true>},
      {"hasMP3", Flag<true>},
      {"hasIME", Flag<true>},
      {"hasEmbeddedVideo", Flag<true>},
      {"hasAudioEncoder", Flag<true>},
      {"hasAudio", Flag<true>},
      {"hasAccessibility", Flag<true>},
      {"avHardwareDisable", Flag<false>},
  };
  for (const Entry& entry : kEntries) DefineNativeProperty(vm, capabilities, entry.name, entry.getter, nullptr, kDontDelete);
}

// --- security: a local movie may ask nothing of other domains; its sandbox is the one its
// FileAttributes chose ---

Value SandboxType(NativeCall& call) {
  return Value(call.vm.Str(call.vm.host.UsesNetworkSandbox() ? "localWithNetwork" : "localWithFile"));
}

void InstallSecurity(VmImpl& vm, Object* system) {
  Object* security = vm.NewObject();
  system->DefineValue(vm, vm.Str("security"), Value(security), kDontDelete);
  DefineMethod(vm, security, "allowDomain", Nothing);
  DefineMethod(vm, security, "allowInsecureDomain", Nothing);
  DefineMethod(vm, security, "loadPolicyFile", Nothing);
  DefineNativeProperty(vm, security, "sandboxType", SandboxType, nullptr);
}

}  // namespace

void InstallSystemClass(VmImpl& vm, Object* global) {
  State(vm).exactSettings = vm.SwfVersion() >= 7;
  Object* system = vm.NewObject();
  global->DefineValue(vm, vm.Str("System"), Value(system), kDontEnum);
  InstallCapabilities(vm, system);
  InstallSecurity(vm, system);
  DefineNativeProperty(vm, system, "useCodepage", GetUseCodepage, SetUseCodepage);
  DefineNativeProperty(vm, system, "exactSettings", GetExactSettings, SetExactSettings);
  // A screen saver leaves the clipboard and its settings alone.
  DefineMethod(vm, system, "setClipboard", Nothing);
  DefineMethod(vm, system, "showSettings", Nothing);
  DefineMethod(vm, system, "onStatus", Nothing);
  DefineMethod(vm, global, "getVersion", GetVersion, kDontEnum);
}

}  // namespace swfplayer::avm1
