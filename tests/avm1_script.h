// A small assembler for action blocks in tests: one action a line, as the SWF format names them
// (case does not matter), so a test states its script as a reader would disassemble it.
//
//   push "text" 12 1.5 true null undefined r:1 c:0    values of every Push type
//   constantpool "a" "b"
//   label:            a jump target;  jump label / if label
//   function name a b ... end                      DefineFunction
//   function2 name regs=3 flags=0x5 r1:a b ... end DefineFunction2 (r0: a named parameter)
//   with ... end
//   try e | try r:2, then the try body, "catch", its body, "finally", its body, "end"
//   storeregister 1, gotoframe 3, gotolabel "x", settarget "x", geturl "u" "t",
//   gotoframe2 play|stop [bias], waitforframe frame skip, waitforframe2 skip, geturl2 flags
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace swfplayer::avm1::testing {

class ScriptAssembler {
 public:
  // The bytes of the block (with its closing End).
  static std::vector<uint8_t> Assemble(const std::string& text) {
    ScriptAssembler assembler;
    std::istringstream lines(text);
    std::vector<std::string> all;
    for (std::string line; std::getline(lines, line);) all.push_back(line);
    size_t index = 0;
    std::vector<uint8_t> out = assembler.Block(all, index, "");
    assembler.Fix(out);
    out.push_back(0);
    return out;
  }

 private:
  struct Fixup {
    size_t at;         // where the 16-bit offset goes
    size_t after;      // the end of the jump action
    std::string label;
  };

  static std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
      if (line[i] == ' ' || line[i] == '\t' || line[i] == ',') {
        ++i;
      } else if (line[i] == '"') {
        std::string token = "\"";
        for (++i; i < line.size() && line[i] != '"'; ++i) {
          if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
            token += line[i] == 'n' ? '\n' : line[i] == 't' ? '\t' : line[i];
          } else {
            token += line[i];
          }
        }
        ++i;
        tokens.push_back(token);
      } else if (line[i] == '#') {
        break;
      } else {
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != ',') ++i;
        tokens.push_back(line.substr(start, i - start));
      }
    }
    return tokens;
  }

  static std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  }

  static void U16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value & 0xFF));
    out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
  }
  static void Str(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
  }
  static void Action(std::vector<uint8_t>& out, uint8_t code, const std::vector<uint8_t>& payload) {
    out.push_back(code);
    if (code >= 0x80) {
      U16(out, static_cast<uint32_t>(payload.size()));
      out.insert(out.end(), payload.begin(), payload.end());
    }
  }

  static uint8_t CodeOf(const std::string& name) {
    static const std::map<std::string, uint8_t> kCodes = {
        {"nextframe", 0x04}, {"prevframe", 0x05}, {"play", 0x06}, {"stop", 0x07}, {"togglequality", 0x08},
        {"stopsounds", 0x09}, {"add", 0x0A}, {"subtract", 0x0B}, {"multiply", 0x0C}, {"divide", 0x0D},
        {"equals", 0x0E}, {"less", 0x0F}, {"and", 0x10}, {"or", 0x11}, {"not", 0x12}, {"stringequals", 0x13},
        {"stringlength", 0x14}, {"stringextract", 0x15}, {"pop", 0x17}, {"tointeger", 0x18},
        {"getvariable", 0x1C}, {"setvariable", 0x1D}, {"settarget2", 0x20}, {"stringadd", 0x21},
        {"getproperty", 0x22}, {"setproperty", 0x23}, {"clonesprite", 0x24}, {"removesprite", 0x25},
        {"trace", 0x26}, {"startdrag", 0x27}, {"enddrag", 0x28}, {"stringless", 0x29}, {"throw", 0x2A},
        {"castop", 0x2B}, {"implementsop", 0x2C}, {"randomnumber", 0x30}, {"mbstringlength", 0x31},
        {"chartoascii", 0x32}, {"asciitochar", 0x33}, {"gettime", 0x34}, {"mbstringextract", 0x35},
        {"mbchartoascii", 0x36}, {"mbasciitochar", 0x37}, {"delete", 0x3A}, {"delete2", 0x3B},
        {"definelocal", 0x3C}, {"callfunction", 0x3D}, {"return", 0x3E}, {"modulo", 0x3F},
        {"newobject", 0x40}, {"definelocal2", 0x41}, {"initarray", 0x42}, {"initobject", 0x43},
        {"typeof", 0x44}, {"targetpath", 0x45}, {"enumerate", 0x46}, {"add2", 0x47}, {"less2", 0x48},
        {"equals2", 0x49}, {"tonumber", 0x4A}, {"tostring", 0x4B}, {"pushduplicate", 0x4C},
        {"stackswap", 0x4D}, {"getmember", 0x4E}, {"setmember", 0x4F}, {"increment", 0x50},
        {"decrement", 0x51}, {"callmethod", 0x52}, {"newmethod", 0x53}, {"instanceof", 0x54},
        {"enumerate2", 0x55}, {"bitand", 0x60}, {"bitor", 0x61}, {"bitxor", 0x62}, {"bitlshift", 0x63},
        {"bitrshift", 0x64}, {"biturshift", 0x65}, {"strictequals", 0x66}, {"greater", 0x67},
        {"stringgreater", 0x68}, {"extends", 0x69}, {"call", 0x9E}, {"end", 0x00}};
    const auto found = kCodes.find(name);
    if (found == kCodes.end()) throw std::runtime_error("unknown action " + name);
    return found->second;
  }

  void PushValue(std::vector<uint8_t>& payload, const std::string& token) {
    if (!token.empty() && token[0] == '"') {
      payload.push_back(0);
      Str(payload, token.substr(1));
    } else if (token == "null") {
      payload.push_back(2);
    } else if (token == "undefined") {
      payload.push_back(3);
    } else if (token.rfind("r:", 0) == 0) {
      payload.push_back(4);
      payload.push_back(static_cast<uint8_t>(std::stoi(token.substr(2))));
    } else if (token == "true" || token == "false") {
      payload.push_back(5);
      payload.push_back(token == "true" ? 1 : 0);
    } else if (token.rfind("c:", 0) == 0) {
      const int index = std::stoi(token.substr(2));
      if (index < 256) {
        payload.push_back(8);
        payload.push_back(static_cast<uint8_t>(index));
      } else {
        payload.push_back(9);
        U16(payload, static_cast<uint32_t>(index));
      }
    } else {
      const double number = token == "nan" ? 0.0 / 0.0 : std::stod(token);
      if (token.find_first_of(".en") == std::string::npos && number >= -2147483648.0 && number <= 2147483647.0) {
        payload.push_back(7);
        const auto value = static_cast<uint32_t>(static_cast<int32_t>(number));
        for (int i = 0; i < 4; ++i) payload.push_back(static_cast<uint8_t>(value >> (8 * i)));
      } else {
        payload.push_back(6);
        uint64_t bits;
        std::memcpy(&bits, &number, 8);
        const auto high = static_cast<uint32_t>(bits >> 32);
        const auto low = static_cast<uint32_t>(bits);
        for (int i = 0; i < 4; ++i) payload.push_back(static_cast<uint8_t>(high >> (8 * i)));
        for (int i = 0; i < 4; ++i) payload.push_back(static_cast<uint8_t>(low >> (8 * i)));
      }
    }
  }

  // Assembles lines until one of the stop words; labels are resolved within the result.
  std::vector<uint8_t> Block(const std::vector<std::string>& lines, size_t& index, const std::string& stops) {
    std::vector<uint8_t> out;
    while (index < lines.size()) {
      const std::vector<std::string> tokens = Tokens(lines[index]);
      if (tokens.empty()) {
        ++index;
        continue;
      }
      const std::string op = Lower(tokens[0]);
      if (!stops.empty() && (" " + stops + " ").find(" " + op + " ") != std::string::npos) return out;
      ++index;
      if (op.back() == ':') {
        labels_[op.substr(0, op.size() - 1)] = base_ + out.size();
        continue;
      }
      std::vector<uint8_t> payload;
      if (op == "push") {
        for (size_t i = 1; i < tokens.size(); ++i) PushValue(payload, tokens[i]);
        Action(out, 0x96, payload);
      } else if (op == "constantpool") {
        U16(payload, static_cast<uint32_t>(tokens.size() - 1));
        for (size_t i = 1; i < tokens.size(); ++i) Str(payload, tokens[i].substr(1));
        Action(out, 0x88, payload);
      } else if (op == "jump" || op == "if") {
        U16(payload, 0);
        Action(out, op == "jump" ? 0x99 : 0x9D, payload);
        fixups_.push_back(Fixup{base_ + out.size() - 2, base_ + out.size(), Lower(tokens[1])});
      } else if (op == "storeregister") {
        payload.push_back(static_cast<uint8_t>(std::stoi(tokens[1])));
        Action(out, 0x87, payload);
      } else if (op == "gotoframe") {
        U16(payload, static_cast<uint32_t>(std::stoi(tokens[1])));
        Action(out, 0x81, payload);
      } else if (op == "gotolabel" || op == "settarget") {
        Str(payload, tokens[1].substr(1));
        Action(out, op == "gotolabel" ? 0x8C : 0x8B, payload);
      } else if (op == "geturl") {
        Str(payload, tokens[1].substr(1));
        Str(payload, tokens[2].substr(1));
        Action(out, 0x83, payload);
      } else if (op == "geturl2") {
        payload.push_back(static_cast<uint8_t>(std::stoi(tokens[1])));
        Action(out, 0x9A, payload);
      } else if (op == "gotoframe2") {
        const bool bias = tokens.size() > 2;
        payload.push_back(static_cast<uint8_t>((Lower(tokens[1]) == "play" ? 1 : 0) | (bias ? 2 : 0)));
        if (bias) U16(payload, static_cast<uint32_t>(std::stoi(tokens[2])));
        Action(out, 0x9F, payload);
      } else if (op == "waitforframe") {
        U16(payload, static_cast<uint32_t>(std::stoi(tokens[1])));
        payload.push_back(static_cast<uint8_t>(std::stoi(tokens[2])));
        Action(out, 0x8A, payload);
      } else if (op == "waitforframe2") {
        payload.push_back(static_cast<uint8_t>(std::stoi(tokens[1])));
        Action(out, 0x8D, payload);
      } else if (op == "function" || op == "function2") {
        Function(out, tokens, op == "function2", lines, index);
      } else if (op == "with") {
        const size_t headerAt = out.size();
        Action(out, 0x94, {0, 0});
        const size_t saved = base_;
        base_ = saved + out.size();
        const std::vector<uint8_t> body = Block(lines, index, "end");
        base_ = saved;
        ++index;
        out[headerAt + 3] = static_cast<uint8_t>(body.size() & 0xFF);
        out[headerAt + 4] = static_cast<uint8_t>(body.size() >> 8);
        out.insert(out.end(), body.begin(), body.end());
      } else if (op == "try") {
        Try(out, tokens, lines, index);
      } else {
        Action(out, CodeOf(op), payload);
      }
    }
    return out;
  }

  void Function(std::vector<uint8_t>& out, const std::vector<std::string>& tokens, bool two,
                const std::vector<std::string>& lines, size_t& index) {
    std::vector<uint8_t> header;
    const std::string name = tokens.size() > 1 && tokens[1] != "-" ? tokens[1] : "";
    Str(header, name);
    int registers = 0;
    int flags = 0;
    std::vector<std::pair<int, std::string>> params;
    for (size_t i = 2; i < tokens.size(); ++i) {
      if (tokens[i].rfind("regs=", 0) == 0) {
        registers = std::stoi(tokens[i].substr(5));
      } else if (tokens[i].rfind("flags=", 0) == 0) {
        flags = std::stoi(tokens[i].substr(6), nullptr, 0);
      } else if (tokens[i][0] == 'r' && tokens[i].find(':') != std::string::npos && two) {
        const size_t colon = tokens[i].find(':');
        params.emplace_back(std::stoi(tokens[i].substr(1, colon - 1)), tokens[i].substr(colon + 1));
      } else {
        params.emplace_back(0, tokens[i]);
      }
    }
    U16(header, static_cast<uint32_t>(params.size()));
    if (two) {
      header.push_back(static_cast<uint8_t>(registers));
      U16(header, static_cast<uint32_t>(flags));
    }
    for (const auto& [reg, param] : params) {
      if (two) header.push_back(static_cast<uint8_t>(reg));
      Str(header, param);
    }
    const size_t sizeAt = header.size();
    U16(header, 0);
    const size_t saved = base_;
    base_ = saved + out.size() + 3 + header.size();
    const std::vector<uint8_t> body = Block(lines, index, "end");
    base_ = saved;
    ++index;
    header[sizeAt] = static_cast<uint8_t>(body.size() & 0xFF);
    header[sizeAt + 1] = static_cast<uint8_t>(body.size() >> 8);
    Action(out, two ? 0x8E : 0x9B, header);
    out.insert(out.end(), body.begin(), body.end());
  }

  void Try(std::vector<uint8_t>& out, const std::vector<std::string>& tokens, const std::vector<std::string>& lines,
           size_t& index) {
    std::vector<uint8_t> header;
    const bool inRegister = tokens.size() > 1 && tokens[1].rfind("r:", 0) == 0;
    header.push_back(0);
    U16(header, 0);
    U16(header, 0);
    U16(header, 0);
    if (inRegister) {
      header.push_back(static_cast<uint8_t>(std::stoi(tokens[1].substr(2))));
    } else {
      Str(header, tokens.size() > 1 ? tokens[1] : "e");
    }
    const size_t saved = base_;
    base_ = saved + out.size() + 3 + header.size();
    std::vector<uint8_t> tryBody = Block(lines, index, "catch finally end");
    std::vector<uint8_t> catchBody, finallyBody;
    bool hasCatch = false, hasFinally = false;
    while (index < lines.size()) {
      const std::string word = Lower(Tokens(lines[index])[0]);
      ++index;
      if (word == "end") break;
      base_ = saved + out.size() + 3 + header.size() + tryBody.size() + catchBody.size();
      if (word == "catch") {
        hasCatch = true;
        catchBody = Block(lines, index, "finally end");
      } else {
        hasFinally = true;
        base_ += 0;
        finallyBody = Block(lines, index, "end");
      }
    }
    base_ = saved;
    header[0] = static_cast<uint8_t>((hasCatch ? 1 : 0) | (hasFinally ? 2 : 0) | (inRegister ? 4 : 0));
    const auto put = [&](size_t at, size_t value) {
      header[at] = static_cast<uint8_t>(value & 0xFF);
      header[at + 1] = static_cast<uint8_t>(value >> 8);
    };
    put(1, tryBody.size());
    put(3, catchBody.size());
    put(5, finallyBody.size());
    Action(out, 0x8F, header);
    out.insert(out.end(), tryBody.begin(), tryBody.end());
    out.insert(out.end(), catchBody.begin(), catchBody.end());
    out.insert(out.end(), finallyBody.begin(), finallyBody.end());
  }

  void Fix(std::vector<uint8_t>& out) {
    for (const Fixup& fixup : fixups_) {
      const auto found = labels_.find(fixup.label);
      if (found == labels_.end()) throw std::runtime_error("unknown label " + fixup.label);
      const auto offset = static_cast<int32_t>(found->second) - static_cast<int32_t>(fixup.after);
      out[fixup.at] = static_cast<uint8_t>(offset & 0xFF);
      out[fixup.at + 1] = static_cast<uint8_t>((offset >> 8) & 0xFF);
    }
  }

  std::map<std::string, size_t> labels_;
  std::vector<Fixup> fixups_;
  size_t base_ = 0;  // where the block being assembled starts in the whole
};

}  // namespace swfplayer::avm1::testing
