// An action block (DoAction, DoInitAction, a clip event's actions) decoded once, at load, into
// a form the interpreter runs without decoding again (avm1/README.md, "Code").
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "swfplayer/movie/TextDecoding.h"

namespace swfplayer::format {

struct ActionProgram;  // the decoded block; its layout belongs to the decoder and the interpreter

struct ActionDecode {
  std::shared_ptr<const ActionProgram> program;  // null when the block is refused
  std::string refusal;                           // why, when it is
};

// Decodes every action of SWF 3 to 8. A damaged block is refused whole.
ActionDecode DecodeActionProgram(std::span<const uint8_t> actions, uint8_t swfVersion,
                                 const AnsiDecoder& ansi);

}  // namespace swfplayer::format
