// swf_trace MOVIE [--frames N] [--real-clock]: plays a movie headless for N frames (1 unless
// told) with its scripts and prints each trace line on standard output, as the Flash Player's
// trace output writes it. On standard error, once each, `unsupported: NAME` for every action,
// built-in or member the movie used that the player lacks, so that what real movies miss can
// be counted.
//
// By default the run is reproducible (FixedHost: frames back to back, timers advancing one
// frame period per frame, a fixed date and zone); --real-clock plays in real time with the
// system's clock and zone instead. fscommand("quit") ends the run at the end of its frame.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/text/native/FreeTypeFontSource.h"
#include "tools/avm1/FixedHost.h"

namespace {

using swfsaver::tools::FixedHost;

// The system's clock and zone; the elapsed time is real.
class RealClockHost final : public FixedHost {
 public:
  double ElapsedMs() override {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
  }
  double UtcNowMs() override {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::system_clock::now().time_since_epoch())
                                   .count());
  }
  double LocalOffsetMinutes(double utcMs) override {
    const std::time_t seconds = static_cast<std::time_t>(utcMs / 1000);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return 0;
    return static_cast<double>(local.tm_gmtoff) / 60;
  }
  uint32_t RandomSeed() override { return static_cast<uint32_t>(std::time(nullptr)); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

int Usage() {
  std::fprintf(stderr, "usage: swf_trace MOVIE [--frames N] [--real-clock]\n");
  return 2;
}

// A carriage return (how text fields end their lines) starts a new line, as in the Flash
// Player's log.
void PrintLine(std::FILE* stream, std::string_view prefix, std::string_view text) {
  std::fwrite(prefix.data(), 1, prefix.size(), stream);
  for (char c : text) std::fputc(c == '\r' ? '\n' : c, stream);
  std::fputc('\n', stream);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* path = argv[1];
  long frames = 1;
  bool realClock = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
      char* end = nullptr;
      frames = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || frames < 1 || frames > 10'000'000) return Usage();
    } else if (std::strcmp(argv[i], "--real-clock") == 0) {
      realClock = true;
    } else {
      return Usage();
    }
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "swf_trace: cannot open %s\n", path);
    return 1;
  }
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::shared_ptr<FixedHost> host = realClock ? std::make_shared<RealClockHost>() : std::make_shared<FixedHost>();
  host->onTrace = [](std::string_view line) { PrintLine(stdout, "", line); };
  host->onUnsupported = [](std::string_view name) { PrintLine(stderr, "unsupported: ", name); };
  static const swfplayer::IconvAnsiDecoder ansi;  // the stand-in's machines: Windows-1252
  swfplayer::image::NativeImageDecoder images;
  swfplayer::text::FreeTypeFontSource fonts;  // text fields measure their text in these
  swfplayer::player::PlayerLoad load =
      swfplayer::player::Player::Load(bytes, images, {.ansi = &ansi, .fonts = &fonts, .host = host});
  if (!load.ok()) {
    std::fprintf(stderr, "swf_trace: %s: %.*s\n", path, static_cast<int>(swfplayer::MovieErrorName(load.error).size()),
                 swfplayer::MovieErrorName(load.error).data());
    return 1;
  }
  swfplayer::player::Player& player = *load.player;
  const double rate = player.Header().frameRate / 256.0;
  const double periodMs = 1000.0 / (rate > 0 ? rate : 1.0);
  // Loading played the first frame.
  const auto started = std::chrono::steady_clock::now();
  for (long frame = 1; frame < frames && !host->quit; ++frame) {
    if (realClock) {
      std::this_thread::sleep_until(started + std::chrono::duration<double, std::milli>(periodMs * frame));
    } else {
      host->elapsedMs = periodMs * static_cast<double>(frame);
    }
    player.Advance();
  }
  std::fflush(stdout);
  return 0;
}
