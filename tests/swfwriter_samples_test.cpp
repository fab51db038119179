// The SWF writer and the sample movies: each sample reads back with the size, rate, count and
// colour it was written with, and the short sample is too short for a frame rectangle.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "standin/flash/movie/SwfMovie.h"
#include "tools/SampleMovies.h"
#include "tools/SwfWriter.h"

namespace swfsaver::tools {
namespace {

TEST(SwfWriterSamples, EverySampleReadsBackAsWritten) {
  for (const SampleMovie& sample : SampleMovies()) {
    if (sample.truncateTo != 0) continue;
    const flash::MovieParseResult result = flash::ParseSwfMovie(sample.Bytes());
    ASSERT_TRUE(result.ok()) << sample.name;
    const flash::SwfMovie& movie = result.movie;
    EXPECT_EQ(movie.WidthPixels(), static_cast<int32_t>(sample.options.widthPixels)) << sample.name;
    EXPECT_EQ(movie.HeightPixels(), static_cast<int32_t>(sample.options.heightPixels)) << sample.name;
    EXPECT_EQ(movie.frameRate, sample.options.frameRate) << sample.name;
    EXPECT_EQ(movie.frameCount, sample.options.frameCount) << sample.name;
    EXPECT_EQ(movie.showFrameTags, sample.options.frameCount) << sample.name;
    EXPECT_EQ(movie.compression == flash::SwfCompression::kZlib, sample.options.compressed);
    EXPECT_EQ(movie.declaredLength, movie.availableLength) << sample.name;
    ASSERT_TRUE(movie.backgroundColor.has_value());
    EXPECT_EQ(movie.backgroundColor->red, sample.options.background->red);
  }
}

TEST(SwfWriterSamples, CoverTheSizesCountsAndFormsTheTestsNeed) {
  std::set<std::pair<uint32_t, uint32_t>> sizes;
  std::set<uint16_t> counts;
  bool plain = false, compressed = false, shortFile = false;
  for (const SampleMovie& sample : SampleMovies()) {
    if (sample.truncateTo != 0) {
      shortFile = sample.Bytes().size() < 25;
      EXPECT_NE(flash::ParseSwfMovie(sample.Bytes()).error, flash::MovieError::kNone);
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
  const auto directory = std::filesystem::temp_directory_path() / "swfwriter_samples_test";
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
