// DoAction blocks for SwfTags.
#include <algorithm>
#include <bit>

#include "tools/ActionAssembler.h"
#include "tools/SwfBits.h"
#include "tools/SwfBuilder.h"
#include "tools/SwfFields.h"

namespace swfsaver::tools {

using detail::PutU16;
using detail::PutU32;

SwfActions& SwfActions::Code(uint8_t code, const std::vector<uint8_t>& payload) {
  bytes_.push_back(code);
  if (code >= 0x80) {
    PutU16(bytes_, static_cast<uint32_t>(payload.size()));
    bytes_.insert(bytes_.end(), payload.begin(), payload.end());
  }
  return *this;
}

SwfActions& SwfActions::GotoFrame(uint16_t frame) {
  std::vector<uint8_t> payload;
  PutU16(payload, frame);
  return Code(0x81, payload);
}

SwfActions& SwfActions::GotoLabel(const std::string& label) {
  std::vector<uint8_t> payload;
  detail::PutString(payload, label);
  return Code(0x8C, payload);
}

SwfActions& SwfActions::SetTarget(const std::string& path) {
  std::vector<uint8_t> payload;
  detail::PutString(payload, path);
  return Code(0x8B, payload);
}

SwfActions& SwfActions::PushString(const std::string& text) {
  std::vector<uint8_t> payload = {0};
  detail::PutString(payload, text);
  return Code(0x96, payload);
}

SwfActions& SwfActions::PushInteger(int32_t value) {
  std::vector<uint8_t> payload = {7};
  PutU32(payload, static_cast<uint32_t>(value));
  return Code(0x96, payload);
}

SwfActions& SwfActions::PushDouble(double value) {
  // The high half of the double first, each half little-endian.
  const uint64_t bits = std::bit_cast<uint64_t>(value);
  std::vector<uint8_t> payload = {6};
  PutU32(payload, static_cast<uint32_t>(bits >> 32));
  PutU32(payload, static_cast<uint32_t>(bits));
  return Code(0x96, payload);
}

SwfActions& SwfActions::GotoFrame2(bool play, std::optional<uint16_t> sceneBias) {
  std::vector<uint8_t> payload = {static_cast<uint8_t>((sceneBias ? 0x02 : 0) | (play ? 0x01 : 0))};
  if (sceneBias) PutU16(payload, *sceneBias);
  return Code(0x9F, payload);
}

SwfActions& SwfActions::Assemble(std::string_view source) {
  const std::vector<uint8_t> bytes = AssembleActions(source);
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return *this;
}

void SwfTags::DoInitAction(uint16_t sprite, const SwfActions& actions) {
  std::vector<uint8_t> body(2 + actions.Bytes().size() + 1, 0);  // the sprite, the actions, End
  body[0] = static_cast<uint8_t>(sprite & 0xFF);
  body[1] = static_cast<uint8_t>(sprite >> 8);
  std::copy(actions.Bytes().begin(), actions.Bytes().end(), body.begin() + 2);
  Tag(59, body);
}

void SwfTags::DoAction(const SwfActions& actions) {
  std::vector<uint8_t> body = actions.Bytes();
  body.push_back(0);  // End
  Tag(12, body);
}

}  // namespace swfsaver::tools
