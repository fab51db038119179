#include "swfplayer/format/Sound.h"

#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

SoundFormat ReadFormat(Reader& in, uint32_t codec) {
  SoundFormat format;
  format.codec = static_cast<SoundCodec>(codec);
  format.rateIndex = static_cast<uint8_t>(in.Bits(2));
  format.sixteenBit = in.Flag();
  format.stereo = in.Flag();
  return format;
}

std::optional<SoundInfo> ReadSoundInfo(Reader& in) {
  SoundInfo info;
  in.Bits(2);
  info.syncStop = in.Flag();
  info.syncNoMultiple = in.Flag();
  const bool hasEnvelope = in.Flag();
  const bool hasLoops = in.Flag();
  const bool hasOut = in.Flag();
  const bool hasIn = in.Flag();
  if (hasIn) info.inPoint = in.U32();
  if (hasOut) info.outPoint = in.U32();
  if (hasLoops) info.loops = in.U16();
  if (info.loops == 0) info.loops = 1;
  if (!in.Ok()) return std::nullopt;
  if (hasEnvelope) {
    const uint8_t points = in.U8();
    for (uint8_t i = 0; i < points && in.Ok(); ++i) {
      EnvelopePoint point;
      point.position44 = in.U32();
      point.left = in.U16();
      point.right = in.U16();
      // A broken-off envelope keeps the points read whole.
      if (in.Ok()) info.envelope.push_back(point);
    }
  }
  return info;
}

}  // namespace

std::optional<DefineSoundTag> DecodeDefineSound(std::span<const uint8_t> body) {
  Reader in(body);
  DefineSoundTag sound;
  sound.id = in.U16();
  sound.format = ReadFormat(in, in.Bits(4));
  sound.sampleCount = in.U32();
  sound.data = in.Rest();
  if (!in.Ok()) return std::nullopt;
  return sound;
}

std::optional<StartSoundTag> DecodeStartSound(std::span<const uint8_t> body) {
  Reader in(body);
  StartSoundTag start;
  start.id = in.U16();
  auto info = ReadSoundInfo(in);
  if (!info) return std::nullopt;
  start.info = std::move(*info);
  return start;
}

std::optional<StartSoundTag> DecodeStartSound2(std::span<const uint8_t> body) {
  Reader in(body);
  StartSoundTag start;
  start.className = in.String();
  auto info = in.Ok() ? ReadSoundInfo(in) : std::nullopt;
  if (!info) return std::nullopt;
  start.info = std::move(*info);
  return start;
}

std::optional<SoundStreamHeadTag> DecodeSoundStreamHead(std::span<const uint8_t> body) {
  Reader in(body);
  SoundStreamHeadTag head;
  in.Bits(4);
  head.playback = ReadFormat(in, static_cast<uint32_t>(SoundCodec::kPcmLittle));
  head.stream = ReadFormat(in, in.Bits(4));
  head.samplesPerBlock = in.U16();
  if (!in.Ok()) return std::nullopt;
  // Some writers leave the seek out of MP3 heads; it is only a hint.
  if (head.stream.codec == SoundCodec::kMp3 && in.RemainingBytes() >= 2) head.latencySeek = in.S16();
  return head;
}

std::vector<std::pair<uint16_t, std::string>> DecodeNamedSymbols(std::span<const uint8_t> body) {
  Reader in(body);
  std::vector<std::pair<uint16_t, std::string>> symbols;
  const uint16_t count = in.U16();
  for (uint16_t i = 0; i < count; ++i) {
    const uint16_t id = in.U16();
    std::string name = in.String();
    if (!in.Ok()) break;
    symbols.emplace_back(id, std::move(name));
  }
  return symbols;
}

}  // namespace swfplayer::format
