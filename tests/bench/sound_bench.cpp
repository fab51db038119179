// sound_bench MP3FILE: the processor time sound costs for an MP3 stream: the file's frames cut
// into one block per frame of a 25 fps timeline, played as the timeline's stream through the
// engine and mixed in 20 ms buffers, as the control's output does; printed as a share of one
// core over the sound's length. Natively the MP3 goes through libmpg123, in the Windows build
// through Windows' MP3 decoder DMO (run it under Wine).
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "swfplayer/audio/Mp3Frames.h"
#include "swfplayer/audio/SoundEngine.h"

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#include "standin/flash/DmoMp3Decoder.h"
using Decoder = swfsaver::flash::DmoMp3DecoderSource;
double CpuSeconds() {
  FILETIME create, exit, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &create, &exit, &kernel, &user);
  auto seconds = [](FILETIME t) { return ((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) / 1e7; };
  return seconds(kernel) + seconds(user);
}
#else
#include <sys/resource.h>
#include "swfplayer/audio/native/Mpg123Decoder.h"
using Decoder = swfplayer::audio::Mpg123DecoderSource;
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
#endif

using namespace swfplayer;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sound_bench MP3FILE\n");
    return 2;
  }
#ifdef _WIN32
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);
#endif
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> mp3((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Blocks as an SWF writer cuts them: whole frames, as many as reach this frame's time.
  auto bytes = std::make_shared<std::vector<uint8_t>>();
  auto stream = std::make_shared<audio::StreamSound>();
  stream->framesPerSecond = 25;
  stream->head.stream = {format::SoundCodec::kMp3, 3, true, true};
  size_t position = 0, samples = 0, rate = 0;
  for (int frame = 0; position + 4 <= mp3.size(); ++frame) {
    const size_t blockStart = bytes->size();
    bytes->insert(bytes->end(), {0, 0, 0, 0});
    size_t blockSamples = 0;
    while (position + 4 <= mp3.size() && samples * 25 < size_t(frame + 1) * (rate ? rate : 44100)) {
      const auto header = audio::ReadMp3FrameHeader(std::span(mp3).subspan(position));
      if (!header) {
        ++position;
        continue;
      }
      rate = header->sampleRate;
      bytes->insert(bytes->end(), mp3.begin() + position, mp3.begin() + position + header->frameBytes);
      position += header->frameBytes;
      samples += header->samplesPerFrame;
      blockSamples += header->samplesPerFrame;
    }
    (*bytes)[blockStart] = static_cast<uint8_t>(blockSamples);
    (*bytes)[blockStart + 1] = static_cast<uint8_t>(blockSamples >> 8);
    stream->blocks.push_back({blockStart, static_cast<uint32_t>(bytes->size() - blockStart)});
  }
  auto store = std::make_shared<audio::SoundStore>();
  store->bytes = *bytes;
  store->keeper = bytes;
  stream->store = store;
  if (rate == 0) {
    std::fprintf(stderr, "sound_bench: %s holds no MP3 frame\n", argv[1]);
    return 1;
  }
  Decoder decoder;
  audio::SoundEngine engine(&decoder);
  engine.PlayStream(1, stream, 0, 1);
  std::vector<int16_t> buffer(audio::kOutputRate / 50 * 2);
  const double start = CpuSeconds();
  size_t mixed = 0;
  while (engine.StreamPlaying(1)) {
    engine.Mix(buffer);
    mixed += buffer.size() / 2;
  }
  const double cpu = CpuSeconds() - start;
  const double seconds = double(mixed) / audio::kOutputRate;
  std::printf("%zu Hz MP3 stream, %.1f s of sound in %zu blocks: %.3f s of processor time, %.2f%% of one core\n",
              rate, seconds, stream->blocks.size(), cpu, 100 * cpu / seconds);
  return 0;
}
