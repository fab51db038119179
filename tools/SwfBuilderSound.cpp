// The builder's sound tags.
#include "tools/SwfBits.h"
#include "tools/SwfBuilder.h"
#include "tools/SwfFields.h"

namespace swfsaver::tools {

void SwfTags::StartSound(uint16_t sound, const SwfSoundInfo& info) {
  std::vector<uint8_t> body;
  detail::PutU16(body, sound);
  PutSoundInfo(body, info);
  Tag(15, body);
}

void SwfTags::StartSound2(const std::string& className, const SwfSoundInfo& info) {
  std::vector<uint8_t> body;
  detail::PutString(body, className);
  PutSoundInfo(body, info);
  Tag(89, body);
}

void SwfTags::SoundStreamHead(int version, SwfSoundFormat playback, SwfSoundFormat stream,
                              uint16_t samplesPerBlock, int16_t latencySeek) {
  std::vector<uint8_t> body;
  body.push_back(playback.Byte() & 0x0F);
  body.push_back(stream.Byte());
  detail::PutU16(body, samplesPerBlock);
  if (stream.codec == SwfSoundCodec::kMp3) detail::PutU16(body, static_cast<uint16_t>(latencySeek));
  Tag(version == 1 ? 18 : 45, body);
}

void SwfTags::SoundStreamBlock(const std::vector<uint8_t>& data) { Tag(19, data); }

void SwfTags::ExportName(uint16_t character, const std::string& name, uint16_t code) {
  std::vector<uint8_t> body;
  detail::PutU16(body, 1);
  detail::PutU16(body, character);
  detail::PutString(body, name);
  Tag(code, body);
}

uint16_t SwfMovieBuilder::DefineSound(SwfSoundFormat format, uint32_t sampleCount,
                                      const std::vector<uint8_t>& data) {
  const uint16_t id = nextId_++;
  std::vector<uint8_t> body;
  detail::PutU16(body, id);
  body.push_back(format.Byte());
  detail::PutU32(body, sampleCount);
  body.insert(body.end(), data.begin(), data.end());
  Tag(14, body);
  return id;
}

}  // namespace swfsaver::tools
