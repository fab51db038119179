// swf_audio MOVIE OUT.wav [--seconds S]: plays the movie headless for S seconds of movie time
// (default 10), its frames stepping at its own rate, and writes what it sounds like: the mix
// as 16-bit stereo 44.1 kHz PCM. A file it cannot play: one line on stderr, exit code 1.
// With SWF_AUDIO_TIMES set it prints how long loading and the whole run took (stderr).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "swfplayer/audio/WavHeader.h"
#include "swfplayer/audio/native/Mpg123Decoder.h"
#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/Player.h"

namespace {

using namespace swfplayer;

// The peak and the present memory of the process: private (anonymous) pages apart from the
// pages of mapped files, which the system can drop and read again.
void PrintMemory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM", 0) == 0 || line.rfind("RssAnon", 0) == 0 || line.rfind("RssFile", 0) == 0) {
      std::fprintf(stderr, "%s\n", line.c_str());
    }
  }
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "swf_audio: %s\n", message.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--seconds")) {
    std::fprintf(stderr, "usage: swf_audio MOVIE OUT.wav [--seconds S]\n");
    return 2;
  }
  double seconds = 10;
  if (argc == 5) {
    char* end = nullptr;
    seconds = std::strtod(argv[4], &end);
    if (*end != '\0' || !(seconds >= 0 && seconds <= 3600)) return Fail("seconds: a number from 0 to 3600");
  }
  // Mapped as the control maps it: an uncompressed movie's sound plays from the file.
  const int fd = open(argv[1], O_RDONLY);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return Fail(std::string(argv[1]) + ": cannot be opened");
  if (info.st_size == 0 || info.st_size > off_t{kMaxMovieBytes} + 65536) return Fail(std::string(argv[1]) + ": " + std::string(MovieErrorName(MovieError::kTooLarge)));
  void* view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (view == MAP_FAILED) return Fail(std::string(argv[1]) + ": cannot be read");
  const size_t size = static_cast<size_t>(info.st_size);
  const std::shared_ptr<const void> keeper(view, [size](const void* v) { munmap(const_cast<void*>(v), size); });
  image::NativeImageDecoder images;
  audio::Mpg123DecoderSource mp3;
  const auto started = std::chrono::steady_clock::now();
  player::PlayerLoad load = player::Player::Load({static_cast<const uint8_t*>(view), size}, images, {.mp3 = &mp3, .keeper = keeper});
  const double loadMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  if (!load.ok()) return Fail(std::string(argv[1]) + ": " + std::string(MovieErrorName(load.error)));
  if (std::getenv("SWF_AUDIO_TIMES")) {
    std::fprintf(stderr, "load %.1f ms\n", loadMs);
    PrintMemory();
  }
  player::Player& movie = *load.player;

  const double rate = movie.Header().frameRate == 0 ? 1.0 : movie.Header().frameRate / 256.0;
  const uint64_t total = static_cast<uint64_t>(std::llround(seconds * audio::kOutputRate));
  std::vector<int16_t> pcm;
  pcm.reserve(total * 2);
  std::vector<int16_t> chunk;
  // Frame k sounds from k / rate seconds until the next frame comes.
  for (uint64_t frame = 0, done = 0; done < total; ++frame) {
    const auto next = std::min<uint64_t>(total, static_cast<uint64_t>(std::llround((frame + 1) * audio::kOutputRate / rate)));
    chunk.assign((next - done) * 2, 0);
    movie.Sound()->Mix(chunk);
    pcm.insert(pcm.end(), chunk.begin(), chunk.end());
    done = next;
    movie.Advance();
  }
  std::ofstream out(argv[2], std::ios::binary);
  const auto header = audio::WavHeader(static_cast<uint32_t>(pcm.size() * 2));
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  for (int16_t sample : pcm) {
    const char bytes[2] = {static_cast<char>(sample & 0xFF), static_cast<char>((sample >> 8) & 0xFF)};
    out.write(bytes, 2);
  }
  if (!out) return Fail(std::string(argv[2]) + ": cannot be written");
  if (std::getenv("SWF_AUDIO_TIMES")) {
    const double totalMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "load and play %.1f ms\n", totalMs);
  }
  return 0;
}
