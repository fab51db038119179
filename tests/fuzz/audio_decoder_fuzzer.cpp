// Arbitrary bytes as sound: the first bytes choose the format and how it is started (sound
// info with in and out points, loops and an envelope), the rest is the sound's data, played
// as an event sound and as a stream split into blocks, MP3 through libmpg123, a quarter second of
// output mixed. Checks that the decoders and the mixer never read outside the data, never
// hang and keep within their bounds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "swfplayer/audio/SoundEngine.h"
#include "swfplayer/audio/native/Mpg123Decoder.h"
#include "tests/audio_mp3_encoder.h"
#include "tests/fuzz/SeedCorpus.h"
#include "tools/SwfSound.h"

using namespace swfplayer;

namespace {

// A seed: the eight steering bytes, then the data.
std::vector<uint8_t> Seed(std::vector<uint8_t> steering, const std::vector<uint8_t>& data) {
  steering.insert(steering.end(), data.begin(), data.end());
  return steering;
}

swfsaver::fuzzing::Seeds SoundSeeds() {
  std::vector<int16_t> tone;
  for (int i = 0; i < 6000; ++i) tone.push_back(static_cast<int16_t>((i * 37 % 200 - 100) * 100));
  namespace tools = swfsaver::tools;
  return {
      Seed({0x59, 0x07, 20, 40, 2, 2, 10, 128}, tools::EncodeAdpcm(tone, true, 4)),   // ADPCM stereo
      Seed({0x11, 0x00, 0, 0, 0, 0, 0, 0}, tools::EncodeAdpcm(tone, false, 2)),       // ADPCM 2-bit
      Seed({0x33, 0x06, 5, 90, 1, 1, 3, 200}, tools::Pcm16(tone, false)),             // PCM
      Seed({0x28, 0x00, 8, 30, 4, 0, 0, 0}, tools::Pcm16(tone, true)),                // native, big-endian
      Seed({0x5A, 0x01, 0, 0, 8, 0, 0, 0}, swfsaver::testing::EncodeMp3(tone, 22050, true, 64)),
      Seed({0x1A, 0x00, 0, 0, 2, 0, 0, 0}, swfsaver::testing::EncodeMp3(tone, 11025, false, 16)),
  };
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  swfsaver::fuzzing::UseSeedCorpus(argc, argv, "audio_corpus", SoundSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  static audio::Mpg123DecoderSource mp3;
  // 0: codec (PCM native, ADPCM, MP3, PCM little-endian, Nellymoser), rate, size, channels.
  static constexpr format::SoundCodec kCodecs[] = {format::SoundCodec::kPcmNative, format::SoundCodec::kAdpcm,
                                                   format::SoundCodec::kMp3, format::SoundCodec::kPcmLittle,
                                                   format::SoundCodec::kNellymoser};
  const format::SoundFormat soundFormat{kCodecs[data[0] % 5], static_cast<uint8_t>((data[0] >> 3) & 3),
                                        (data[0] & 0x20) != 0, (data[0] & 0x40) != 0};
  // 1 to 7: how it starts.
  format::SoundInfo info;
  info.syncNoMultiple = data[1] & 1;
  if (data[1] & 2) info.inPoint = uint32_t{data[2]} * 97;
  if (data[1] & 4) info.outPoint = uint32_t{data[3]} * 131;
  info.loops = static_cast<uint16_t>(1 + (data[4] & 7));
  for (int i = 0; i < (data[5] & 3); ++i) {
    info.envelope.push_back({uint32_t{data[6]} * 50u * static_cast<uint32_t>(i), static_cast<uint16_t>(data[7] * 128),
                             static_cast<uint16_t>(32768 - data[7] * 128)});
  }
  auto bytes = std::make_shared<std::vector<uint8_t>>(data + 8, data + size);
  auto store = std::make_shared<audio::SoundStore>();
  store->bytes = *bytes;
  store->keeper = bytes;

  audio::SoundEngine engine(&mp3);
  audio::EventSound sound;
  sound.store = store;
  sound.format = soundFormat;
  sound.sampleCount = static_cast<uint32_t>(bytes->size() * 3);
  sound.data = {0, static_cast<uint32_t>(bytes->size())};
  engine.DefineSound(1, sound);
  engine.Start({1, info, audio::kMovieOwner});
  engine.Start({1, info, 7});
  engine.SetTransform(7, audio::SoundTransform::Panned(data[6] % 201 - 100, data[7] % 120));

  // The same bytes as a stream: blocks of a length the data chooses, every fifth frame without.
  auto stream = std::make_shared<audio::StreamSound>();
  stream->store = store;
  stream->head.stream = soundFormat;
  stream->head.samplesPerBlock = static_cast<uint16_t>(data[2] * 8);
  stream->framesPerSecond = 1 + data[3] % 60;
  const size_t block = 1 + data[4] * 16u;
  for (size_t at = 0; at < bytes->size() && stream->blocks.size() < 4096; at += block) {
    stream->blocks.push_back(stream->blocks.size() % 5 == 3
                                 ? audio::ByteRange{}
                                 : audio::ByteRange{at, static_cast<uint32_t>(std::min(block, bytes->size() - at))});
  }
  engine.PlayStream(9, stream, data[5] % 3, 9);

  std::vector<int16_t> out(1102 * 2);
  for (int chunk = 0; chunk < 10; ++chunk) engine.Mix(out);
  engine.StreamFrame(9);
  engine.TakeFinished();
  return 0;
}
