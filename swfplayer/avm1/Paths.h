// Clips by path: the target paths ActionScript prints and parses ("_level0.a.b", "/a/b",
// "_levelN"). The interpreter's variable paths (slash and dot syntax through any object) are
// the interpreter's own (Variables.cpp); these are what references to clips need.
#pragma once

#include <optional>
#include <string_view>

#include "swfplayer/avm1/Clip.h"

namespace swfplayer::avm1 {

class VmImpl;

// The clip at a dot path that starts at a level ("_level0.a.b"); null when there is none.
Clip* ResolveTargetPath(VmImpl& vm, std::u16string_view dotPath);

// N for "_levelN" (and its old synonym "_flashN"), compared as names of the version are.
std::optional<int> LevelNumber(std::u16string_view name, bool caseSensitive);

}  // namespace swfplayer::avm1
