// The SWF writer and the sample movies: each sample reads back with the size, rate, count and
// colour it was written with, the short sample is too short for a frame rectangle, and the
// animated ones play in the player as their names say, moving.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/player/Stage.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tools/SampleMovies.h"
#include "tools/SwfWriter.h"
#include "tools/avm1/FixedHost.h"

namespace swfsaver::tools {
namespace {

TEST(SwfWriterSamples, EverySampleReadsBackAsWritten) {
  for (const SampleMovie& sample : SampleMovies()) {
    if (sample.truncateTo != 0) continue;
    const swfplayer::MovieParseResult result = swfplayer::ParseSwfMovie(sample.Bytes());
    ASSERT_TRUE(result.ok()) << sample.name;
    const swfplayer::SwfMovie& movie = result.movie;
    EXPECT_EQ(movie.WidthPixels(), static_cast<int32_t>(sample.options.widthPixels)) << sample.name;
    EXPECT_EQ(movie.HeightPixels(), static_cast<int32_t>(sample.options.heightPixels)) << sample.name;
    EXPECT_EQ(movie.frameRate, sample.options.frameRate) << sample.name;
    EXPECT_EQ(movie.frameCount, sample.options.frameCount) << sample.name;
    EXPECT_EQ(movie.showFrameTags, sample.options.frameCount) << sample.name;
    EXPECT_EQ(movie.compression == swfplayer::SwfCompression::kZlib, sample.options.compressed);
    EXPECT_EQ(movie.declaredLength, movie.availableLength) << sample.name;
    ASSERT_TRUE(movie.backgroundColor.has_value());
    EXPECT_EQ(movie.backgroundColor->r, sample.options.background->red);
  }
}

TEST(SwfWriterSamples, CoverTheSizesCountsAndFormsTheTestsNeed) {
  std::set<std::pair<uint32_t, uint32_t>> sizes;
  std::set<uint16_t> counts;
  bool plain = false, compressed = false, shortFile = false;
  for (const SampleMovie& sample : SampleMovies()) {
    if (sample.truncateTo != 0) {
      shortFile = sample.Bytes().size() < 25;
      EXPECT_NE(swfplayer::ParseSwfMovie(sample.Bytes()).error, swfplayer::MovieError::kNone);
      continue;
    }
    sizes.insert({sample.options.widthPixels, sample.options.heightPixels});
    counts.insert(sample.options.frameCount);
    (sample.options.compressed ? compressed : plain) = true;
  }
  EXPECT_TRUE(sizes.count({550, 400}) && sizes.count({1101, 800}) && sizes.count({320, 240}));
  EXPECT_TRUE(counts.count(1) && counts.count(12) && counts.count(60));
  EXPECT_TRUE(plain && compressed && shortFile);
}

std::vector<uint32_t> DrawSmall(const swfplayer::player::Player& player) {
  std::vector<uint32_t> pixels(64 * 48);
  swfplayer::render::RasterCanvas canvas(pixels.data(), 64, 48, 64, swfplayer::render::Quality::kHigh);
  swfplayer::player::DrawStage(&player, canvas, std::nullopt);
  return pixels;
}

TEST(SwfWriterSamples, AnimatedSamplesPlayWithTheSizeRateAndLengthTheirNamesSay) {
  const std::regex kName(R"(^[a-z_]+_(\d+)x(\d+)_(\d+)fps_(\d+)f\.swf$)");
  int animated = 0;
  for (const SampleMovie& sample : SampleMovies()) {
    if (sample.write == nullptr) continue;
    ++animated;
    std::smatch name;
    ASSERT_TRUE(std::regex_match(sample.name, name, kName)) << sample.name;
    swfplayer::image::NativeImageDecoder decoder;
    // The scripted samples move only when their scripts run, on a clock that goes on.
    auto host = std::make_shared<swfsaver::tools::FixedHost>();
    const auto load = swfplayer::player::Player::Load(sample.Bytes(), decoder, {.host = host});
    ASSERT_TRUE(load.ok()) << sample.name;
    swfplayer::player::Player& player = *load.player;
    const swfplayer::TwipsRect frame{0, std::stoi(name[1]) * 20, 0, std::stoi(name[2]) * 20};
    EXPECT_EQ(player.Header().frameSize, frame) << sample.name;
    EXPECT_EQ(player.Header().frameRate, std::stoi(name[3]) << 8) << sample.name;
    EXPECT_EQ(player.TotalFrames(), std::stoi(name[4])) << sample.name;
    EXPECT_GT(player.DisplayObjects(), 0u) << sample.name;
    EXPECT_LT(player.DisplayObjects(), swfplayer::player::kMaxObjectsPerTimeline / 10) << sample.name;
    if (sample.name.starts_with("dense_")) {
      EXPECT_GE(player.DisplayObjects(), 300u);
    }
    const std::vector<uint32_t> first = DrawSmall(player);
    for (int i = 0; i < std::max(player.TotalFrames() / 3, 2); ++i) {
      host->elapsedMs += 256000.0 / player.Header().frameRate;
      player.Advance();
    }
    if (sample.name.starts_with("stopped_")) {  // stops on its first frame, for good
      EXPECT_EQ(DrawSmall(player), first) << sample.name;
      EXPECT_EQ(player.CurrentFrame(), 0);
    } else {
      EXPECT_NE(DrawSmall(player), first) << sample.name << " stands still";
    }
  }
  EXPECT_GE(animated, 4);
}

TEST(SwfWriterSamples, RectangleUsesTheFewestBits) {
  SwfOptions options;
  options.widthPixels = 1;   // 20 twips: 5 digits and a sign bit
  options.heightPixels = 1;
  const std::vector<uint8_t> bytes = WriteSwf(options);
  EXPECT_EQ(bytes[8] >> 3, 6);
  options.widthPixels = 0;
  options.heightPixels = 0;
  EXPECT_EQ(WriteSwf(options)[8] >> 3, 1);
}

TEST(SwfWriterSamples, OversizedFrameIsRefused) {
  SwfOptions options;
  options.widthPixels = 200'000'000;  // 4e9 twips do not fit a 31-bit field
  EXPECT_THROW(WriteSwf(options), std::invalid_argument);
}

TEST(SwfWriterSamples, WritesFilesAndReportsThoseItCannot) {
  // A folder of this process's own: test runs of other checkouts on the machine use the name too.
  const auto directory = std::filesystem::temp_directory_path() /
                         ("swfwriter_samples_test_" + std::to_string(::getpid()));
  std::filesystem::remove_all(directory);
  std::filesystem::create_directories(directory);
  EXPECT_TRUE(WriteSampleMovies(directory.string()).empty());
  for (const SampleMovie& sample : SampleMovies()) {
    std::ifstream file(directory / sample.name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_EQ(bytes, sample.Bytes()) << sample.name;
  }
  std::filesystem::remove_all(directory);
  EXPECT_EQ(WriteSampleMovies(directory.string()).size(), SampleMovies().size());
}

}  // namespace
}  // namespace swfsaver::tools
