// A small assembler for ActionScript 1/2 action blocks, so sample and test movies carry scripts
// written as readable text rather than as bytes. One instruction a line:
//
//   ; a comment runs to the end of the line
//   constants "x", "speed"         ConstantPool
//   push "x", c1, 2, 0.5, r1, true, false, null, undefined
//                                  strings ("\"", "\\", "\n", "\t", "\xNN" for a raw byte, so
//                                  that an SWF 5 movie can hold Shift-JIS), constants c0..,
//                                  integers (32-bit), numbers, registers r0..r255
//   loop:                          a label; `jump loop`, `if loop` branch to it
//   function "name", "a", "b"      DefineFunction; its body runs to the matching `end`
//   function2 "name", 3, preloadThis, suppressArguments, "dx"=r2, "dy"
//                                  DefineFunction2: register count, flags (preloadThis,
//                                  preloadArguments, preloadSuper, preloadRoot, preloadParent,
//                                  preloadGlobal, suppressThis, suppressArguments,
//                                  suppressSuper), parameters with their registers (none: 0)
//   end
//   gotoFrame 3 | gotoLabel "s" | setTarget "s" | getURL "u", "t" | getURL2 0 |
//   storeRegister 1 | gotoFrame2 play|stop [, bias]
//   add2, getVariable, setMember, callMethod, ...: every action without a payload, by its
//   name in lower camel case (the names in ActionAssembler.cpp's table).
//
// Portable. Faults in the text are the writer's: they throw std::invalid_argument naming the
// line.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace swfsaver::tools {

// The actions' bytes, without the End action that closes a block.
std::vector<uint8_t> AssembleActions(std::string_view source);

}  // namespace swfsaver::tools
