#include "tools/ActionAssembler.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "tools/SwfBits.h"

namespace swfsaver::tools {
namespace {

using detail::PutU16;
using detail::PutU32;

// The actions without a payload, by the names the format's documentation gives them.
const std::map<std::string, uint8_t, std::less<>>& PlainActions() {
  static const std::map<std::string, uint8_t, std::less<>> table = {
      {"nextFrame", 0x04}, {"prevFrame", 0x05}, {"play", 0x06}, {"stop", 0x07},
      {"toggleQuality", 0x08}, {"stopSounds", 0x09}, {"add", 0x0A}, {"subtract", 0x0B},
      {"multiply", 0x0C}, {"divide", 0x0D}, {"equals", 0x0E}, {"less", 0x0F}, {"and", 0x10},
      {"or", 0x11}, {"not", 0x12}, {"stringEquals", 0x13}, {"stringLength", 0x14},
      {"stringExtract", 0x15}, {"pop", 0x17}, {"toInteger", 0x18}, {"getVariable", 0x1C},
      {"setVariable", 0x1D}, {"setTarget2", 0x20}, {"stringAdd", 0x21}, {"getProperty", 0x22},
      {"setProperty", 0x23}, {"cloneSprite", 0x24}, {"removeSprite", 0x25}, {"trace", 0x26},
      {"startDrag", 0x27}, {"endDrag", 0x28}, {"stringLess", 0x29}, {"throw", 0x2A},
      {"castOp", 0x2B}, {"implementsOp", 0x2C}, {"randomNumber", 0x30},
      {"mbStringLength", 0x31}, {"charToAscii", 0x32}, {"asciiToChar", 0x33}, {"getTime", 0x34},
      {"mbStringExtract", 0x35}, {"mbCharToAscii", 0x36}, {"mbAsciiToChar", 0x37},
      {"delete", 0x3A}, {"delete2", 0x3B}, {"defineLocal", 0x3C}, {"callFunction", 0x3D},
      {"return", 0x3E}, {"modulo", 0x3F}, {"newObject", 0x40}, {"defineLocal2", 0x41},
      {"initArray", 0x42}, {"initObject", 0x43}, {"typeOf", 0x44}, {"targetPath", 0x45},
      {"enumerate", 0x46}, {"add2", 0x47}, {"less2", 0x48}, {"equals2", 0x49},
      {"toNumber", 0x4A}, {"toString", 0x4B}, {"pushDuplicate", 0x4C}, {"stackSwap", 0x4D},
      {"getMember", 0x4E}, {"setMember", 0x4F}, {"increment", 0x50}, {"decrement", 0x51},
      {"callMethod", 0x52}, {"newMethod", 0x53}, {"instanceOf", 0x54}, {"enumerate2", 0x55},
      {"bitAnd", 0x60}, {"bitOr", 0x61}, {"bitXor", 0x62}, {"bitLShift", 0x63},
      {"bitRShift", 0x64}, {"bitURShift", 0x65}, {"strictEquals", 0x66}, {"greater", 0x67},
      {"stringGreater", 0x68}, {"extends", 0x69},
  };
  return table;
}

// DefineFunction2's flag bits, low byte first.
const std::map<std::string, uint16_t, std::less<>>& FunctionFlags() {
  static const std::map<std::string, uint16_t, std::less<>> flags = {
      {"preloadThis", 0x0001}, {"suppressThis", 0x0002}, {"preloadArguments", 0x0004},
      {"suppressArguments", 0x0008}, {"preloadSuper", 0x0010}, {"suppressSuper", 0x0020},
      {"preloadRoot", 0x0040}, {"preloadParent", 0x0080}, {"preloadGlobal", 0x0100},
  };
  return flags;
}

class Assembler {
 public:
  std::vector<uint8_t> Run(std::string_view source) {
    while (!source.empty()) {
      ++line_;
      const size_t newline = source.find('\n');
      Line(source.substr(0, newline));
      source = newline == std::string_view::npos ? std::string_view() : source.substr(newline + 1);
    }
    if (!functions_.empty()) Fail("a function has no end");
    for (const auto& [at, label] : branches_) {
      const auto target = labels_.find(label.first);
      line_ = label.second;
      if (target == labels_.end()) Fail("no label " + label.first);
      const long offset = static_cast<long>(target->second) - static_cast<long>(at + 2);
      if (offset < -32768 || offset > 32767) Fail("branch too far");
      out_[at] = static_cast<uint8_t>(offset & 0xFF);
      out_[at + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    }
    return std::move(out_);
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw std::invalid_argument("line " + std::to_string(line_) + ": " + why);
  }

  void Line(std::string_view text) {
    std::vector<std::string> words = Split(text);
    if (words.empty()) return;
    if (words.size() == 1 && words[0].size() > 1 && words[0].back() == ':') {
      const std::string label = words[0].substr(0, words[0].size() - 1);
      if (!labels_.emplace(label, out_.size()).second) Fail("label " + label + " twice");
      return;
    }
    const std::string name = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (auto plain = PlainActions().find(name); plain != PlainActions().end()) {
      if (!args.empty()) Fail(name + " takes no operand");
      out_.push_back(plain->second);
    } else if (name == "push") {
      if (args.empty()) Fail("push needs a value");
      std::vector<uint8_t> payload;
      for (const auto& arg : args) PushValue(payload, arg);
      Action(0x96, payload);
    } else if (name == "constants") {
      std::vector<uint8_t> payload;
      PutU16(payload, static_cast<uint32_t>(args.size()));
      for (const auto& arg : args) PutText(payload, String(arg));
      Action(0x88, payload);
    } else if (name == "jump" || name == "if") {
      Expect(args, 1, name);
      out_.push_back(name == "jump" ? 0x99 : 0x9D);
      PutU16(out_, 2);
      branches_.push_back({out_.size(), {args[0], line_}});
      PutU16(out_, 0);
    } else if (name == "function" || name == "function2") {
      Function(name == "function2", args);
    } else if (name == "end") {
      if (!args.empty() || functions_.empty()) Fail("end without a function");
      const auto [sizeAt, start] = functions_.back();
      functions_.pop_back();
      const size_t size = out_.size() - start;
      if (size > 0xFFFF) Fail("function body too long");
      out_[sizeAt] = static_cast<uint8_t>(size & 0xFF);
      out_[sizeAt + 1] = static_cast<uint8_t>(size >> 8);
    } else {
      WithPayload(name, args);
    }
  }

  void WithPayload(const std::string& name, const std::vector<std::string>& args) {
    std::vector<uint8_t> payload;
    if (name == "gotoFrame") {
      Expect(args, 1, name);
      PutU16(payload, static_cast<uint32_t>(Integer(args[0], 0, 0xFFFF)));
      Action(0x81, payload);
    } else if (name == "gotoLabel" || name == "setTarget") {
      Expect(args, 1, name);
      PutText(payload, String(args[0]));
      Action(name == "gotoLabel" ? 0x8C : 0x8B, payload);
    } else if (name == "getURL") {
      Expect(args, 2, name);
      PutText(payload, String(args[0]));
      PutText(payload, String(args[1]));
      Action(0x83, payload);
    } else if (name == "getURL2" || name == "storeRegister") {
      Expect(args, 1, name);
      payload.push_back(static_cast<uint8_t>(Integer(args[0], 0, 255)));
      Action(name == "getURL2" ? 0x9A : 0x87, payload);
    } else if (name == "gotoFrame2") {
      if (args.empty() || args.size() > 2 || (args[0] != "play" && args[0] != "stop")) {
        Fail("gotoFrame2 play|stop [, bias]");
      }
      payload.push_back(static_cast<uint8_t>((args.size() == 2 ? 0x02 : 0) | (args[0] == "play" ? 1 : 0)));
      if (args.size() == 2) PutU16(payload, static_cast<uint32_t>(Integer(args[1], 0, 0xFFFF)));
      Action(0x9F, payload);
    } else {
      Fail("unknown action " + name);
    }
  }

  void Function(bool version2, const std::vector<std::string>& args) {
    if (args.empty()) Fail("a function needs a name (\"\" for none)");
    std::vector<uint8_t> payload;
    PutText(payload, String(args[0]));
    size_t next = 1;
    uint8_t registers = 0;
    uint16_t flags = 0;
    if (version2) {
      if (args.size() < 2) Fail("function2 needs a register count");
      registers = static_cast<uint8_t>(Integer(args[1], 0, 255));
      for (next = 2; next < args.size() && args[next][0] != '"'; ++next) {
        const auto flag = FunctionFlags().find(args[next]);
        if (flag == FunctionFlags().end()) Fail("unknown function2 flag " + args[next]);
        flags |= flag->second;
      }
    }
    PutU16(payload, static_cast<uint32_t>(args.size() - next));
    if (version2) {
      payload.push_back(registers);
      PutU16(payload, flags);
    }
    for (; next < args.size(); ++next) {
      std::string param = args[next];
      uint8_t reg = 0;
      if (const size_t equals = param.rfind("=r"); version2 && equals != std::string::npos &&
                                                   param.back() != '"') {
        reg = static_cast<uint8_t>(Integer(param.substr(equals + 2), 0, 255));
        param.resize(equals);
      }
      if (version2) payload.push_back(reg);
      PutText(payload, String(param));
    }
    payload.push_back(0);  // the body's size, set at its end
    payload.push_back(0);
    Action(version2 ? 0x8E : 0x9B, payload);
    functions_.push_back({out_.size() - 2, out_.size()});
  }

  void PushValue(std::vector<uint8_t>& payload, const std::string& arg) {
    if (arg[0] == '"') {
      payload.push_back(0);
      PutText(payload, String(arg));
    } else if (arg == "null" || arg == "undefined") {
      payload.push_back(arg == "null" ? 2 : 3);
    } else if (arg == "true" || arg == "false") {
      payload.push_back(5);
      payload.push_back(arg == "true" ? 1 : 0);
    } else if (arg.size() > 1 && arg[0] == 'r' && std::isdigit(static_cast<unsigned char>(arg[1]))) {
      payload.push_back(4);
      payload.push_back(static_cast<uint8_t>(Integer(arg.substr(1), 0, 255)));
    } else if (arg.size() > 1 && arg[0] == 'c' && std::isdigit(static_cast<unsigned char>(arg[1]))) {
      const long index = Integer(arg.substr(1), 0, 0xFFFF);
      payload.push_back(index < 256 ? 8 : 9);
      if (index < 256) payload.push_back(static_cast<uint8_t>(index));
      else PutU16(payload, static_cast<uint32_t>(index));
    } else if (const auto whole = WholeNumber(arg)) {
      payload.push_back(7);
      PutU32(payload, static_cast<uint32_t>(*whole));
    } else {
      char* end = nullptr;
      const double value = std::strtod(arg.c_str(), &end);
      if (end != arg.c_str() + arg.size()) Fail("not a value: " + arg);
      // A double is written high half first, each half little-endian.
      const uint64_t bits = std::bit_cast<uint64_t>(value);
      payload.push_back(6);
      PutU32(payload, static_cast<uint32_t>(bits >> 32));
      PutU32(payload, static_cast<uint32_t>(bits));
    }
  }

  static std::optional<int32_t> WholeNumber(const std::string& text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }

  long Integer(const std::string& text, long low, long high) const {
    const auto value = WholeNumber(text);
    if (!value || *value < low || *value > high) Fail("not a number from " + std::to_string(low) +
                                                      " to " + std::to_string(high) + ": " + text);
    return *value;
  }

  // A quoted literal's bytes, escapes resolved.
  std::string String(const std::string& arg) const {
    if (arg.size() < 2 || arg.front() != '"' || arg.back() != '"') Fail("not a string: " + arg);
    std::string text;
    for (size_t i = 1; i + 1 < arg.size(); ++i) {
      if (arg[i] != '\\') {
        text += arg[i];
        continue;
      }
      const char escaped = ++i + 1 < arg.size() ? arg[i] : '\0';
      if (escaped == 'n') text += '\n';
      else if (escaped == 't') text += '\t';
      else if (escaped == '"' || escaped == '\\') text += escaped;
      else if (escaped == 'x' && i + 3 < arg.size()) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(arg.data() + i + 1, arg.data() + i + 3, value, 16);
        if (error != std::errc() || end != arg.data() + i + 3) Fail("bad \\x escape in " + arg);
        text += static_cast<char>(value);
        i += 2;
      } else {
        Fail("bad escape in " + arg);
      }
    }
    if (text.find('\0') != std::string::npos) Fail("a string cannot hold a NUL");
    return text;
  }

  static void PutText(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
  }

  void Action(uint8_t code, const std::vector<uint8_t>& payload) {
    if (payload.size() > 0xFFFF) Fail("action too long");
    out_.push_back(code);
    PutU16(out_, static_cast<uint32_t>(payload.size()));
    out_.insert(out_.end(), payload.begin(), payload.end());
  }

  void Expect(const std::vector<std::string>& args, size_t count, const std::string& name) const {
    if (args.size() != count) Fail(name + " takes " + std::to_string(count) + " operand(s)");
  }

  // The mnemonic, then the operands between commas; a string's commas and semicolons are its
  // own.
  std::vector<std::string> Split(std::string_view text) const {
    std::vector<std::string> parts;  // the mnemonic and the operands' text, untrimmed
    std::string part;
    bool quoted = false, mnemonicDone = false;
    for (size_t i = 0; i < text.size(); ++i) {
      const char c = text[i];
      if (quoted) {
        part += c;
        if (c == '\\' && i + 1 < text.size()) part += text[++i];
        else if (c == '"') quoted = false;
      } else if (c == ';') {
        break;
      } else if (!mnemonicDone && (c == ' ' || c == '\t') && Trim(part).size() > 0) {
        parts.push_back(part);
        part.clear();
        mnemonicDone = true;
      } else if (c == ',' && mnemonicDone) {
        parts.push_back(part);
        part.clear();
      } else {
        quoted = c == '"';
        part += c;
      }
    }
    if (quoted) Fail("a string has no closing quote");
    parts.push_back(part);
    std::vector<std::string> words;
    for (const auto& each : parts) words.push_back(Trim(each));
    if (words.size() == 2 && words[1].empty()) words.pop_back();  // a mnemonic alone
    if (words.size() == 1 && words[0].empty()) return {};
    for (const auto& word : words) {
      if (word.empty()) Fail("an empty operand");
    }
    return words;
  }

  static std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
  }

  std::vector<uint8_t> out_;
  int line_ = 0;
  std::map<std::string, size_t> labels_;
  std::vector<std::pair<size_t, std::pair<std::string, int>>> branches_;  // offset at, label, line
  std::vector<std::pair<size_t, size_t>> functions_;  // size at, body start
};

}  // namespace

std::vector<uint8_t> AssembleActions(std::string_view source) {
  return Assembler().Run(source);
}

}  // namespace swfsaver::tools
