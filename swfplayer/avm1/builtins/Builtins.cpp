#include "swfplayer/avm1/builtins/Builtins.h"

#include <iterator>

#include "swfplayer/avm1/VmImpl.h"

namespace swfplayer::avm1 {

namespace {

// Every built-in, in the order they are installed: Object and Function first (the others'
// prototypes inherit theirs), then the cores of Array and String (the interpreter needs their
// prototypes), then the rest. A new built-in class adds its installer here and nowhere else.
constexpr BuiltinInstaller kInstallers[] = {
    InstallObjectClass,
    InstallFunctionClass,
    InstallArrayCore,
    InstallStringCore,
    InstallArrayClass,
    InstallStringClass,
    InstallMathClass,
    InstallBooleanClass,
    InstallNumberClass,
    InstallGlobalFunctions,
    InstallTimers,
    InstallErrorClass,
    InstallAsBroadcaster,
    InstallMovieClipClass,
    InstallMovieClipGeometry,
    InstallMovieClipDrawing,
    InstallMovieClipMembers,
    InstallStageClasses,
    InstallColorClass,
    InstallMovieClipLoaderClass,
    InstallGeomClasses,
    InstallTextFormatClass,
    InstallTextFieldClass,  // after MovieClip: it adds createTextField to its prototype
    InstallTextSnapshotClass,  // after MovieClip: it adds getTextSnapshot
    InstallDateClass,
    InstallXmlNodeClass,
    InstallXmlClass,
    InstallLoadVarsClass,
    InstallSystemClass,
    InstallSharedObjectClass,
    InstallSoundClass,
    InstallBitmapDataClass,
    InstallFilterClasses,     // after flash.geom: mapPoint makes Points
    InstallMovieClipEffects,  // after TextField: text fields have them too
};

}  // namespace

void InstallBuiltins(VmImpl& vm) {
  for (BuiltinInstaller install : kInstallers) install(vm, vm.Global());
}

}  // namespace swfplayer::avm1
