// The one place built-in classes and global functions are installed (BUILTINS.md says how
// one is written). Each installer adds its class to the global object of a new Vm.
#pragma once

#include <cstdint>

#include "swfplayer/avm1/Function.h"

namespace swfplayer::avm1 {

class VmImpl;
class Object;

using BuiltinInstaller = void (*)(VmImpl& vm, Object* global);

// Runs every installer of the table in Builtins.cpp, in its order.
void InstallBuiltins(VmImpl& vm);

// The installers (one per class or group; each in its own file of builtins/).
void InstallObjectClass(VmImpl& vm, Object* global);
void InstallFunctionClass(VmImpl& vm, Object* global);
void InstallArrayCore(VmImpl& vm, Object* global);
void InstallStringCore(VmImpl& vm, Object* global);
void InstallArrayClass(VmImpl& vm, Object* global);
void InstallStringClass(VmImpl& vm, Object* global);
void InstallMathClass(VmImpl& vm, Object* global);
void InstallBooleanClass(VmImpl& vm, Object* global);
void InstallNumberClass(VmImpl& vm, Object* global);
void InstallGlobalFunctions(VmImpl& vm, Object* global);
void InstallTimers(VmImpl& vm, Object* global);
void InstallErrorClass(VmImpl& vm, Object* global);
void InstallAsBroadcaster(VmImpl& vm, Object* global);
void InstallMovieClipClass(VmImpl& vm, Object* global);
void InstallMovieClipGeometry(VmImpl& vm, Object* global);
void InstallMovieClipDrawing(VmImpl& vm, Object* global);
void InstallMovieClipMembers(VmImpl& vm, Object* global);
void InstallStageClasses(VmImpl& vm, Object* global);
void InstallColorClass(VmImpl& vm, Object* global);
void InstallMovieClipLoaderClass(VmImpl& vm, Object* global);
void InstallGeomClasses(VmImpl& vm, Object* global);
void InstallTextFormatClass(VmImpl& vm, Object* global);
void InstallTextFieldClass(VmImpl& vm, Object* global);
void InstallTextSnapshotClass(VmImpl& vm, Object* global);
void InstallDateClass(VmImpl& vm, Object* global);
void InstallXmlNodeClass(VmImpl& vm, Object* global);
void InstallXmlClass(VmImpl& vm, Object* global);
void InstallLoadVarsClass(VmImpl& vm, Object* global);
void InstallSystemClass(VmImpl& vm, Object* global);
void InstallSharedObjectClass(VmImpl& vm, Object* global);
void InstallSoundClass(VmImpl& vm, Object* global);
void InstallBitmapDataClass(VmImpl& vm, Object* global);
void InstallFilterClasses(VmImpl& vm, Object* global);
void InstallMovieClipEffects(VmImpl& vm, Object* global);

// ASnative(200, index): the Math function of that index (a function that answers NaN for an
// index that has none).
NativeFunction MathNative(int32_t index);

}  // namespace swfplayer::avm1
