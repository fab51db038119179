// An action block (DoAction, DoInitAction, a clip event's actions) decoded once, at load, into
// a form the interpreter runs without decoding again (avm1/README.md, "Code"): one instruction
// per action, jumps resolved to instruction indexes, pushes as typed operand lists, strings in
// UTF-16, function bodies, `with` bodies and try/catch/finally parts as instruction ranges of
// the same program. The layout belongs to the decoder and the interpreter.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "swfplayer/movie/TextDecoding.h"

namespace swfplayer::format {

// The action codes, as the SWF format numbers them; kEnd also closes every code range.
enum class ActionCode : uint8_t {
  kEnd = 0x00,
  kNextFrame = 0x04,
  kPrevFrame = 0x05,
  kPlay = 0x06,
  kStop = 0x07,
  kToggleQuality = 0x08,
  kStopSounds = 0x09,
  kAdd = 0x0A,
  kSubtract = 0x0B,
  kMultiply = 0x0C,
  kDivide = 0x0D,
  kEquals = 0x0E,
  kLess = 0x0F,
  kAnd = 0x10,
  kOr = 0x11,
  kNot = 0x12,
  kStringEquals = 0x13,
  kStringLength = 0x14,
  kStringExtract = 0x15,
  kPop = 0x17,
  kToInteger = 0x18,
  kGetVariable = 0x1C,
  kSetVariable = 0x1D,
  kSetTarget2 = 0x20,
  kStringAdd = 0x21,
  kGetProperty = 0x22,
  kSetProperty = 0x23,
  kCloneSprite = 0x24,
  kRemoveSprite = 0x25,
  kTrace = 0x26,
  kStartDrag = 0x27,
  kEndDrag = 0x28,
  kStringLess = 0x29,
  kThrow = 0x2A,
  kCastOp = 0x2B,
  kImplementsOp = 0x2C,
  kRandomNumber = 0x30,
  kMBStringLength = 0x31,
  kCharToAscii = 0x32,
  kAsciiToChar = 0x33,
  kGetTime = 0x34,
  kMBStringExtract = 0x35,
  kMBCharToAscii = 0x36,
  kMBAsciiToChar = 0x37,
  kDelete = 0x3A,
  kDelete2 = 0x3B,
  kDefineLocal = 0x3C,
  kCallFunction = 0x3D,
  kReturn = 0x3E,
  kModulo = 0x3F,
  kNewObject = 0x40,
  kDefineLocal2 = 0x41,
  kInitArray = 0x42,
  kInitObject = 0x43,
  kTypeOf = 0x44,
  kTargetPath = 0x45,
  kEnumerate = 0x46,
  kAdd2 = 0x47,
  kLess2 = 0x48,
  kEquals2 = 0x49,
  kToNumber = 0x4A,
  kToString = 0x4B,
  kPushDuplicate = 0x4C,
  kStackSwap = 0x4D,
  kGetMember = 0x4E,
  kSetMember = 0x4F,
  kIncrement = 0x50,
  kDecrement = 0x51,
  kCallMethod = 0x52,
  kNewMethod = 0x53,
  kInstanceOf = 0x54,
  kEnumerate2 = 0x55,
  kBitAnd = 0x60,
  kBitOr = 0x61,
  kBitXor = 0x62,
  kBitLShift = 0x63,
  kBitRShift = 0x64,
  kBitURShift = 0x65,
  kStrictEquals = 0x66,
  kGreater = 0x67,
  kStringGreater = 0x68,
  kExtends = 0x69,
  kGotoFrame = 0x81,
  kGetUrl = 0x83,
  kStoreRegister = 0x87,
  kConstantPool = 0x88,
  kWaitForFrame = 0x8A,
  kSetTarget = 0x8B,
  kGotoLabel = 0x8C,
  kWaitForFrame2 = 0x8D,
  kDefineFunction2 = 0x8E,
  kTry = 0x8F,
  kWith = 0x94,
  kPush = 0x96,
  kJump = 0x99,
  kGetUrl2 = 0x9A,
  kDefineFunction = 0x9B,
  kIf = 0x9D,
  kCall = 0x9E,
  kGotoFrame2 = 0x9F,
  // Not a SWF code: an action this decoder does not know (skipped; `a` holds its code).
  kUnknown = 0xFF,
};

// One action. The operands by action:
//   Jump, If                     a: target instruction
//   WaitForFrame                 a: instruction after the actions to skip, b: frame
//   WaitForFrame2                a: instruction after the actions to skip
//   Push                         a: first PushItem, b: count
//   StoreRegister                byte: register
//   ConstantPool                 a: index into pools
//   GotoFrame                    a: frame (0-based)
//   GotoLabel, SetTarget         a: string
//   GetUrl                       a: url string, b: target string
//   GetUrl2                      byte: the flags byte
//   GotoFrame2                   byte: play (1) or stop (0), b: scene bias
//   DefineFunction(2)            a: index into functions (the body follows the instruction)
//   With                         a: end of the body (the body follows the instruction)
//   Try                          a: index into tries
struct Instruction {
  ActionCode code = ActionCode::kEnd;
  uint8_t byte = 0;
  uint32_t a = 0;
  uint32_t b = 0;
};

struct PushItem {
  enum class Kind : uint8_t { kString, kNumber, kNull, kUndefined, kRegister, kBoolean, kConstant };
  Kind kind = Kind::kUndefined;
  uint32_t index = 0;  // kString: string; kConstant: pool index; kRegister: register
  double number = 0;   // kNumber, kBoolean (0 or 1)
};

inline constexpr uint32_t kNoString = 0xFFFFFFFFu;

// DefineFunction2's flags (DefineFunction's bodies have none set).
namespace function_flags {
inline constexpr uint16_t kPreloadThis = 0x0001;
inline constexpr uint16_t kSuppressThis = 0x0002;
inline constexpr uint16_t kPreloadArguments = 0x0004;
inline constexpr uint16_t kSuppressArguments = 0x0008;
inline constexpr uint16_t kPreloadSuper = 0x0010;
inline constexpr uint16_t kSuppressSuper = 0x0020;
inline constexpr uint16_t kPreloadRoot = 0x0040;
inline constexpr uint16_t kPreloadParent = 0x0080;
inline constexpr uint16_t kPreloadGlobal = 0x0100;
}  // namespace function_flags

struct FunctionParam {
  uint8_t reg = 0;           // 0: the argument is a local variable named name
  uint32_t name = kNoString;
};

struct FunctionInfo {
  uint32_t name = kNoString;  // kNoString: anonymous (the function is pushed)
  uint32_t begin = 0;         // first instruction of the body
  uint32_t end = 0;           // the instruction after it
  bool isFunction2 = false;
  uint8_t registerCount = 0;  // DefineFunction2: local registers (register 0 is never used)
  uint16_t flags = 0;
  std::vector<FunctionParam> params;
};

struct TryInfo {
  uint32_t tryEnd = 0;        // the try body runs from the instruction after Try up to here
  uint32_t catchEnd = 0;      // the catch body (when hasCatch) runs from tryEnd up to here
  uint32_t finallyEnd = 0;    // the finally body (when hasFinally) runs from catchEnd up to here
  bool hasCatch = false;
  bool hasFinally = false;
  bool catchInRegister = false;
  uint8_t catchRegister = 0;
  uint32_t catchName = kNoString;
};

struct ActionProgram : std::enable_shared_from_this<ActionProgram> {
  uint8_t swfVersion = 0;
  // Every range (the block, each body) ends with the instruction after it; the block's own
  // range is [0, code.size() - 1) and its last instruction is a kEnd.
  std::vector<Instruction> code;
  std::vector<PushItem> pushes;
  std::vector<std::u16string> strings;
  std::vector<std::vector<uint32_t>> pools;  // strings of each ConstantPool
  std::vector<FunctionInfo> functions;
  std::vector<TryInfo> tries;

  // What the program holds in memory, for the player's bounds.
  size_t MemoryBytes() const;
};

struct ActionDecode {
  std::shared_ptr<const ActionProgram> program;  // null when the block is refused
  std::string refusal;                           // why, when it is
};

// Decodes every action of SWF 3 to 8. A damaged block (a length past the end, a jump that
// does not land on an action of its range, a body that crosses its parent's end, more than
// kMaxActionsPerProgram actions) is refused whole.
ActionDecode DecodeActionProgram(std::span<const uint8_t> actions, uint8_t swfVersion,
                                 const AnsiDecoder& ansi);

}  // namespace swfplayer::format
