// A text field's variable: the path a DefineEditText or a script names ("score", "_root.a.b:c",
// "/a/b:c", "../x"), from the timeline the field stands on. The field shows the variable's
// value and a script's text for the field is written to it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "swfplayer/avm1/Clip.h"

namespace swfplayer::avm1 {

class Object;
class String;
class VmImpl;

// The object the variable lives on, and its name there; null when the path leads nowhere.
Object* VariableHolder(VmImpl& vm, Clip& timeline, std::u16string_view path, String** name);

// The variable's value as a string (toString may run script); nothing while it is undefined
// or missing.
std::optional<std::u16string> ReadTextVariable(VmImpl& vm, Clip& timeline, std::u16string_view path);
void WriteTextVariable(VmImpl& vm, Clip& timeline, std::u16string_view path, std::u16string_view value);

}  // namespace swfplayer::avm1
