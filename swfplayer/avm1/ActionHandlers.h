// The actions the interpreter's loop hands off (Interpreter.cpp runs the simple ones itself):
// variables and paths, calls and classes, the timeline and the display.
#pragma once

#include <string_view>

#include "swfplayer/avm1/Interpreter.h"

namespace swfplayer::avm1 {

// --- variables and paths (VariableActions.cpp) ---
// GetVariable and SetVariable, slash and dot paths included ("/a/b:c", "_root.a.b").
Value GetVariable(Activation& activation, String* path);
void SetVariable(Activation& activation, String* path, const Value& value);
// A plain name through the scope chain; the object it was found on (null when not found).
Value LookupName(Activation& activation, String* name, Object** foundOn);
void DefineLocal(Activation& activation, String* name, const Value& value);
void DefineLocal2(Activation& activation, String* name);
bool DeleteVariable(Activation& activation, String* name);
// Pushes the undefined sentinel and the names for-in visits (the first on top).
void PushEnumeration(Activation& activation, const Value& object);
// A target path ("a.b", "/a/b", "../c", "_root.x") from start through clips and objects.
Object* ResolveTargetPath(Activation& activation, Object* start, std::u16string_view path,
                          bool firstElement, bool pathHasSlash);
// The clip a target value names: a clip object, or a path from start.
Clip* ResolveClip(Activation& activation, const Value& target, Clip* start, bool allowEmpty);
// tellTarget: SetTarget's name, SetTarget2's value.
void SetTargetPath(Activation& activation, std::u16string_view path);
void SetTargetValue(Activation& activation, const Value& target);
// The clip timeline actions act on (null after a failed tellTarget) and the one paths start
// from (the root then).
Clip* TargetClip(Activation& activation);
Clip* TargetOrRoot(Activation& activation);
// `arguments` and `super` of a function, made when first asked for.
void MaterializeLazyLocals(Activation& activation, String* name);

// --- members, calls and classes (CallActions.cpp) ---
Value GetMember(Activation& activation, const Value& object, const Value& name);
void SetMember(Activation& activation, const Value& object, const Value& name, const Value& value);
// Each pops its operands and pushes its result; false when the activation must end (its
// timeline was removed by the call).
bool CallFunctionAction(Activation& activation);
bool CallMethodAction(Activation& activation);
bool NewObjectAction(Activation& activation);
bool NewMethodAction(Activation& activation);
void DefineFunctionAction(Activation& activation, const format::Instruction& instruction);
void InitArrayAction(Activation& activation);
void InitObjectAction(Activation& activation);
void ExtendsAction(Activation& activation);
void ImplementsAction(Activation& activation);
bool IsInstanceOf(VmImpl& vm, const Value& object, Object* constructor);

// --- the timeline and the display (TimelineActions.cpp) ---
void TimelineAction(Activation& activation, const format::Instruction& instruction);
void GotoFrame2Action(Activation& activation, const format::Instruction& instruction);
// gotoAndPlay/gotoAndStop of a clip: a frame number, or a string (a number, a label, or
// "path:frame"); bias is GotoFrame2's scene bias.
void GotoFrameValue(Activation& activation, Clip* clip, const Value& frame, bool play, int bias);
void GetPropertyAction(Activation& activation);
void SetPropertyAction(Activation& activation);
void CloneSpriteAction(Activation& activation);
void RemoveSpriteAction(Activation& activation);
void CallFrameAction(Activation& activation);
void GetUrlAction(Activation& activation, const format::Instruction& instruction);
void GetUrl2Action(Activation& activation, const format::Instruction& instruction);
void StartDragAction(Activation& activation);
bool FrameLoaded(Activation& activation, const Value& frame);

}  // namespace swfplayer::avm1
