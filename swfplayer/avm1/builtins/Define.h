// Helpers that built-ins define their members with (BUILTINS.md).
#pragma once

#include <string_view>

#include "swfplayer/avm1/Native.h"

namespace swfplayer::avm1 {

// A native method on target, DontEnum and DontDelete unless told otherwise (add a version flag
// of property_flags to hide it from older movies).
FunctionObject* DefineMethod(VmImpl& vm, Object* target, std::string_view name, NativeFunction function,
                             uint16_t flags = property_flags::kHidden);
// A value on target (constants are DontEnum, DontDelete and ReadOnly by default).
void DefineConstant(VmImpl& vm, Object* target, std::string_view name, const Value& value,
                    uint16_t flags = property_flags::kConstant);
// A property read and written through natives (setter may be null: read-only).
void DefineNativeProperty(VmImpl& vm, Object* target, std::string_view name, NativeFunction getter,
                          NativeFunction setter, uint16_t flags = property_flags::kHidden);
// A package object (`flash`, `flash.geom`): the one already on parent under name, else a new
// plain object defined there with flags. Installers of one package's classes share it.
Object* DefinePackage(VmImpl& vm, Object* parent, std::string_view name, uint16_t flags);
// A class: its constructor function (call runs for `X(...)`, construct for `new X(...)`; a
// null construct runs call for both), prototype (a new object inheriting Object.prototype when
// null) linked both ways, installed on the global object under name with flags.
FunctionObject* DefineClass(VmImpl& vm, Object* global, std::string_view name, NativeFunction call,
                            NativeFunction construct, Object* prototype = nullptr,
                            uint16_t flags = property_flags::kDontEnum);

}  // namespace swfplayer::avm1
