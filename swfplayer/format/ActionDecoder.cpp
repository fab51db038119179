// The action decoder: one pass over the bytes in order (function, `with` and try bodies are
// inline, so they are decoded where they stand, each a range the pass opens and closes), then
// every jump resolved to the instruction it lands on.
#include <algorithm>
#include <bit>
#include <string_view>
#include <unordered_map>

#include "swfplayer/format/ActionProgram.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {

size_t ActionProgram::MemoryBytes() const {
  size_t bytes = sizeof(ActionProgram) + code.capacity() * sizeof(Instruction) +
                 pushes.capacity() * sizeof(PushItem) + tries.capacity() * sizeof(TryInfo) +
                 functions.capacity() * sizeof(FunctionInfo);
  for (const std::u16string& string : strings) bytes += sizeof(std::u16string) + string.capacity() * 2;
  for (const auto& pool : pools) bytes += sizeof(pool) + pool.capacity() * sizeof(uint32_t);
  for (const FunctionInfo& function : functions) bytes += function.params.capacity() * sizeof(FunctionParam);
  return bytes;
}

namespace {

// A body being decoded: where its bytes end, and what its end instruction closes.
struct OpenRange {
  enum class Kind : uint8_t { kFunction, kWith, kTry, kCatch, kFinally };
  Kind kind;
  size_t endOffset;
  uint32_t owner;  // the function, the With instruction, or the try
};

bool IsKnown(ActionCode code) {
  switch (code) {
    case ActionCode::kEnd: case ActionCode::kNextFrame: case ActionCode::kPrevFrame:
    case ActionCode::kPlay: case ActionCode::kStop: case ActionCode::kToggleQuality:
    case ActionCode::kStopSounds: case ActionCode::kAdd: case ActionCode::kSubtract:
    case ActionCode::kMultiply: case ActionCode::kDivide: case ActionCode::kEquals:
    case ActionCode::kLess: case ActionCode::kAnd: case ActionCode::kOr: case ActionCode::kNot:
    case ActionCode::kStringEquals: case ActionCode::kStringLength: case ActionCode::kStringExtract:
    case ActionCode::kPop: case ActionCode::kToInteger: case ActionCode::kGetVariable:
    case ActionCode::kSetVariable: case ActionCode::kSetTarget2: case ActionCode::kStringAdd:
    case ActionCode::kGetProperty: case ActionCode::kSetProperty: case ActionCode::kCloneSprite:
    case ActionCode::kRemoveSprite: case ActionCode::kTrace: case ActionCode::kStartDrag:
    case ActionCode::kEndDrag: case ActionCode::kStringLess: case ActionCode::kThrow:
    case ActionCode::kCastOp: case ActionCode::kImplementsOp: case ActionCode::kRandomNumber:
    case ActionCode::kMBStringLength: case ActionCode::kCharToAscii: case ActionCode::kAsciiToChar:
    case ActionCode::kGetTime: case ActionCode::kMBStringExtract: case ActionCode::kMBCharToAscii:
    case ActionCode::kMBAsciiToChar: case ActionCode::kDelete: case ActionCode::kDelete2:
    case ActionCode::kDefineLocal: case ActionCode::kCallFunction: case ActionCode::kReturn:
    case ActionCode::kModulo: case ActionCode::kNewObject: case ActionCode::kDefineLocal2:
    case ActionCode::kInitArray: case ActionCode::kInitObject: case ActionCode::kTypeOf:
    case ActionCode::kTargetPath: case ActionCode::kEnumerate: case ActionCode::kAdd2:
    case ActionCode::kLess2: case ActionCode::kEquals2: case ActionCode::kToNumber:
    case ActionCode::kToString: case ActionCode::kPushDuplicate: case ActionCode::kStackSwap:
    case ActionCode::kGetMember: case ActionCode::kSetMember: case ActionCode::kIncrement:
    case ActionCode::kDecrement: case ActionCode::kCallMethod: case ActionCode::kNewMethod:
    case ActionCode::kInstanceOf: case ActionCode::kEnumerate2: case ActionCode::kBitAnd:
    case ActionCode::kBitOr: case ActionCode::kBitXor: case ActionCode::kBitLShift:
    case ActionCode::kBitRShift: case ActionCode::kBitURShift: case ActionCode::kStrictEquals:
    case ActionCode::kGreater: case ActionCode::kStringGreater: case ActionCode::kExtends:
    case ActionCode::kCall:
      return true;
    default:
      return false;
  }
}

struct PendingJump {
  uint32_t instruction;
  int64_t targetOffset;
  size_t rangeBegin;  // the bytes of the function (or block) the jump must stay in
  size_t rangeEnd;
};

class Decoder {
 public:
  Decoder(std::span<const uint8_t> bytes, uint8_t version, const AnsiDecoder& ansi)
      : bytes_(bytes), version_(version), ansi_(ansi), program_(std::make_shared<ActionProgram>()) {
    program_->swfVersion = version;
  }

  ActionDecode Run() {
    if (!Decode()) return {nullptr, refusal_};
    return {std::move(program_), {}};
  }

 private:
  bool Refuse(std::string why) {
    refusal_ = std::move(why);
    return false;
  }

  uint32_t Intern(const std::string& raw) {
    const auto found = strings_.find(raw);
    if (found != strings_.end()) return found->second;
    const auto index = static_cast<uint32_t>(program_->strings.size());
    program_->strings.push_back(DecodeSwfString(raw, version_, ansi_));
    strings_.emplace(raw, index);
    return index;
  }

  // A NUL-terminated string of the payload, interned; false when it has no NUL.
  bool ReadString(Reader& in, uint32_t& index) {
    const std::string raw = in.String();
    if (!in.Ok()) return false;
    index = Intern(raw);
    return true;
  }

  // The byte range of the innermost function (or the block) the current action is in.
  std::pair<size_t, size_t> FunctionRange() const {
    for (size_t i = open_.size(); i-- > 0;) {
      if (open_[i].kind == OpenRange::Kind::kFunction) {
        return {functionStarts_[open_[i].owner], open_[i].endOffset};
      }
    }
    return {0, blockEnd_};
  }

  // Opens a body of size bytes starting at begin; it must end within its parent.
  bool Open(OpenRange::Kind kind, size_t begin, size_t size, uint32_t owner) {
    const size_t parentEnd = open_.empty() ? bytes_.size() : open_.back().endOffset;
    if (begin + size > parentEnd) return Refuse("a body runs past the end of what holds it");
    open_.push_back(OpenRange{kind, begin + size, owner});
    return true;
  }

  // Closes every range that ends at offset: their end is the next instruction.
  void CloseAt(size_t offset) {
    while (!open_.empty() && open_.back().endOffset == offset) {
      const OpenRange range = open_.back();
      open_.pop_back();
      const auto end = static_cast<uint32_t>(program_->code.size());
      switch (range.kind) {
        case OpenRange::Kind::kFunction:
          program_->functions[range.owner].end = end;
          break;
        case OpenRange::Kind::kWith:
          program_->code[range.owner].a = end;
          break;
        case OpenRange::Kind::kTry:
          program_->tries[range.owner].tryEnd = end;
          break;
        case OpenRange::Kind::kCatch:
          program_->tries[range.owner].catchEnd = end;
          break;
        case OpenRange::Kind::kFinally:
          program_->tries[range.owner].finallyEnd = end;
          break;
      }
    }
  }

  bool Decode();
  bool DecodePayload(Instruction& instruction, std::span<const uint8_t> payload, size_t next);
  bool DecodePush(Instruction& instruction, Reader& in);
  bool ResolveJumps();

  std::span<const uint8_t> bytes_;
  uint8_t version_;
  const AnsiDecoder& ansi_;
  std::shared_ptr<ActionProgram> program_;
  std::string refusal_;
  std::unordered_map<std::string, uint32_t> strings_;
  std::vector<OpenRange> open_;
  std::vector<size_t> offsets_;         // the byte offset of each instruction
  std::vector<size_t> functionStarts_;  // the byte offset of each function's body
  std::vector<PendingJump> jumps_;
  std::vector<std::pair<uint32_t, uint32_t>> skips_;  // WaitForFrame: instruction, actions
  size_t blockEnd_ = 0;
};

bool Decoder::Decode() {
  size_t pos = 0;
  blockEnd_ = bytes_.size();
  std::vector<Instruction>& code = program_->code;
  while (true) {
    CloseAt(pos);
    if (pos >= bytes_.size()) break;
    const uint8_t op = bytes_[pos];
    if (op == 0 && open_.empty()) {
      blockEnd_ = pos;  // the block's End: what follows is not part of it
      break;
    }
    size_t length = 0;
    size_t payloadStart = pos + 1;
    if (op >= 0x80) {
      if (pos + 3 > bytes_.size()) return Refuse("an action's length runs past the end");
      length = bytes_[pos + 1] | (size_t{bytes_[pos + 2]} << 8);
      payloadStart = pos + 3;
    }
    const size_t next = payloadStart + length;
    const size_t limit = open_.empty() ? bytes_.size() : open_.back().endOffset;
    if (next > limit) return Refuse("an action's length runs past the end of its body");
    if (code.size() >= kMaxActionsPerProgram) {
      return Refuse("more than " + std::to_string(kMaxActionsPerProgram) + " actions");
    }
    Instruction instruction;
    instruction.code = static_cast<ActionCode>(op);
    offsets_.push_back(pos);
    code.push_back(instruction);
    if (!DecodePayload(code.back(), bytes_.subspan(payloadStart, length), next)) return false;
    pos = next;
  }
  if (!open_.empty()) return Refuse("a body runs past the end of the block");
  offsets_.push_back(blockEnd_);
  code.push_back(Instruction{ActionCode::kEnd, 0, 0, 0});
  return ResolveJumps();
}

bool Decoder::DecodePayload(Instruction& instruction, std::span<const uint8_t> payload, size_t next) {
  Reader in(payload);
  const auto index = static_cast<uint32_t>(program_->code.size() - 1);
  switch (instruction.code) {
    case ActionCode::kGotoFrame:
      instruction.a = in.U16();
      break;
    case ActionCode::kGetUrl: {
      uint32_t url = 0;
      uint32_t target = 0;
      if (!ReadString(in, url) || !ReadString(in, target)) return Refuse("GetURL without its strings");
      instruction.a = url;
      instruction.b = target;
      return true;
    }
    case ActionCode::kStoreRegister:
    case ActionCode::kGetUrl2:
      instruction.byte = in.U8();
      break;
    case ActionCode::kWaitForFrame:
      instruction.b = in.U16();
      skips_.emplace_back(index, in.U8());
      break;
    case ActionCode::kWaitForFrame2:
      skips_.emplace_back(index, in.U8());
      break;
    case ActionCode::kSetTarget:
    case ActionCode::kGotoLabel: {
      uint32_t text = 0;
      if (!ReadString(in, text)) return Refuse("an action without its string");
      instruction.a = text;
      return true;
    }
    case ActionCode::kGotoFrame2: {
      const uint8_t flags = in.U8();
      instruction.byte = flags & 1;
      if (flags & 2) instruction.b = in.U16();
      break;
    }
    case ActionCode::kConstantPool: {
      const uint16_t count = in.U16();
      if (!in.Ok()) return Refuse("a ConstantPool without its count");
      std::vector<uint32_t> pool;
      pool.reserve(count);
      for (uint16_t i = 0; i < count; ++i) {
        uint32_t string = 0;
        if (!ReadString(in, string)) return Refuse("a ConstantPool shorter than its count");
        pool.push_back(string);
      }
      instruction.a = static_cast<uint32_t>(program_->pools.size());
      program_->pools.push_back(std::move(pool));
      return true;
    }
    case ActionCode::kPush:
      return DecodePush(instruction, in);
    case ActionCode::kJump:
    case ActionCode::kIf: {
      const int16_t offset = in.S16();
      if (!in.Ok()) return Refuse("a jump without its offset");
      const auto [begin, end] = FunctionRange();
      jumps_.push_back(PendingJump{index, static_cast<int64_t>(next) + offset, begin, end});
      return true;
    }
    case ActionCode::kDefineFunction:
    case ActionCode::kDefineFunction2: {
      FunctionInfo function;
      function.isFunction2 = instruction.code == ActionCode::kDefineFunction2;
      uint32_t name = 0;
      if (!ReadString(in, name)) return Refuse("a function without its name");
      function.name = program_->strings[name].empty() ? kNoString : name;
      const uint16_t params = in.U16();
      if (function.isFunction2) {
        function.registerCount = in.U8();
        function.flags = in.U16();
      }
      for (uint16_t i = 0; i < params && in.Ok(); ++i) {
        FunctionParam param;
        if (function.isFunction2) param.reg = in.U8();
        if (!ReadString(in, param.name)) return Refuse("a function's parameter without its name");
        function.params.push_back(param);
      }
      const uint16_t size = in.U16();
      if (!in.Ok()) return Refuse("a function without its size");
      function.begin = index + 1;
      instruction.a = static_cast<uint32_t>(program_->functions.size());
      program_->functions.push_back(std::move(function));
      functionStarts_.resize(program_->functions.size());
      functionStarts_.back() = next;
      return Open(OpenRange::Kind::kFunction, next, size, instruction.a);
    }
    case ActionCode::kWith: {
      const uint16_t size = in.U16();
      if (!in.Ok()) return Refuse("a With without its size");
      return Open(OpenRange::Kind::kWith, next, size, index);
    }
    case ActionCode::kTry: {
      const uint8_t flags = in.U8();
      const uint16_t trySize = in.U16();
      const uint16_t catchSize = in.U16();
      const uint16_t finallySize = in.U16();
      TryInfo info;
      info.hasCatch = flags & 1;
      info.hasFinally = flags & 2;
      info.catchInRegister = flags & 4;
      if (info.catchInRegister) {
        info.catchRegister = in.U8();
      } else if (!ReadString(in, info.catchName)) {
        return Refuse("a Try without its catch name");
      }
      if (!in.Ok()) return Refuse("a Try without its sizes");
      instruction.a = static_cast<uint32_t>(program_->tries.size());
      program_->tries.push_back(info);
      // Innermost first: the try body, then the catch, then the finally close in that order.
      if (!Open(OpenRange::Kind::kFinally, next + trySize + catchSize, finallySize, instruction.a) ||
          !Open(OpenRange::Kind::kCatch, next + trySize, catchSize, instruction.a) ||
          !Open(OpenRange::Kind::kTry, next, trySize, instruction.a)) {
        return false;
      }
      // Parts that end where they begin close at once; the rest close as the pass reaches them.
      return true;
    }
    default:
      // Codes the format does not define are kept as unknown (and skipped when run).
      if (!IsKnown(instruction.code)) {
        instruction.a = static_cast<uint8_t>(instruction.code);
        instruction.code = ActionCode::kUnknown;
      }
      return true;
  }
  if (!in.Ok()) return Refuse("an action shorter than its operands");
  return true;
}

bool Decoder::DecodePush(Instruction& instruction, Reader& in) {
  std::vector<PushItem>& pushes = program_->pushes;
  instruction.a = static_cast<uint32_t>(pushes.size());
  while (in.RemainingBytes() > 0) {
    PushItem item;
    const uint8_t type = in.U8();
    switch (type) {
      case 0:
        item.kind = PushItem::Kind::kString;
        if (!ReadString(in, item.index)) return Refuse("a pushed string without its end");
        break;
      case 1:
        item.kind = PushItem::Kind::kNumber;
        item.number = std::bit_cast<float>(in.U32());
        break;
      case 2:
        item.kind = PushItem::Kind::kNull;
        break;
      case 3:
        item.kind = PushItem::Kind::kUndefined;
        break;
      case 4:
        item.kind = PushItem::Kind::kRegister;
        item.index = in.U8();
        break;
      case 5:
        item.kind = PushItem::Kind::kBoolean;
        item.number = in.U8() != 0 ? 1 : 0;
        break;
      case 6: {
        // The two 32-bit halves are stored high half first.
        const uint64_t high = in.U32();
        item.kind = PushItem::Kind::kNumber;
        item.number = std::bit_cast<double>((high << 32) | in.U32());
        break;
      }
      case 7:
        item.kind = PushItem::Kind::kNumber;
        item.number = static_cast<int32_t>(in.U32());
        break;
      case 8:
        item.kind = PushItem::Kind::kConstant;
        item.index = in.U8();
        break;
      case 9:
        item.kind = PushItem::Kind::kConstant;
        item.index = in.U16();
        break;
      default:
        return Refuse("a push of an unknown type " + std::to_string(type));
    }
    if (!in.Ok()) return Refuse("a push shorter than its values");
    pushes.push_back(item);
  }
  instruction.b = static_cast<uint32_t>(pushes.size()) - instruction.a;
  return true;
}

bool Decoder::ResolveJumps() {
  std::vector<Instruction>& code = program_->code;
  const auto endIndex = static_cast<uint32_t>(code.size() - 1);
  for (const PendingJump& jump : jumps_) {
    const bool topLevel = jump.rangeBegin == 0 && jump.rangeEnd == bytes_.size();
    if (jump.targetOffset < static_cast<int64_t>(jump.rangeBegin) ||
        jump.targetOffset > static_cast<int64_t>(jump.rangeEnd)) {
      return Refuse("a jump out of its block or function");
    }
    const auto target = static_cast<size_t>(jump.targetOffset);
    if (topLevel && target >= blockEnd_) {
      code[jump.instruction].a = endIndex;  // to the block's End, or past it: the block ends
      continue;
    }
    const auto found = std::lower_bound(offsets_.begin(), offsets_.end(), target);
    if (found == offsets_.end() || *found != target) return Refuse("a jump into the middle of an action");
    code[jump.instruction].a = static_cast<uint32_t>(found - offsets_.begin());
  }
  for (const auto& [instruction, count] : skips_) {
    code[instruction].a = std::min<uint32_t>(instruction + 1 + count, endIndex);
  }
  return true;
}

}  // namespace

ActionDecode DecodeActionProgram(std::span<const uint8_t> actions, uint8_t swfVersion, const AnsiDecoder& ansi) {
  return Decoder(actions, swfVersion, ansi).Run();
}

}  // namespace swfplayer::format
