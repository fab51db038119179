// The stand-in control's movie parser: the header fields, compression, the tag stream, and
// damaged files that must be refused or cut short without reading outside the data.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "swfplayer/movie/SwfMovie.h"
#include "tools/SwfWriter.h"

namespace swfplayer {

namespace tools = ::swfsaver::tools;
namespace {

// A 550 x 400 pixel, 12 fps, 3-frame movie with a grey background, worked out by hand.
// The frame rectangle: 15-bit fields (11000 twips = 0b10101011111000 plus a sign bit).
const std::vector<uint8_t> kHandMadeMovie = {
    'F', 'W', 'S', 6,                 // signature, version
    0x22, 0x00, 0x00, 0x00,           // FileLength 34
    // Nbits=15 | Xmin=0 | Xmax=11000 | Ymin=0 | Ymax=8000 | padding
    0b01111'000, 0b00000000, 0b0000'0101, 0b01011111,
    0b000'00000, 0b00000000, 0b00'001111, 0b10100000, 0b0'0000000,
    0x00, 0x0C,                       // frame rate 12.0 (8.8, low byte first)
    0x03, 0x00,                       // frame count 3
    0b01'000011, 0b0000001'0, 0x60, 0x60, 0x60,  // SetBackgroundColor (9), length 3, RGB
    0b01'000000, 0x00,                // ShowFrame (1)
    0b01'000000, 0x00,
    0b01'000000, 0x00,
    0x00, 0x00,                       // End
};

std::vector<uint8_t> Bytes(const std::vector<uint8_t>& data, size_t count) {
  return {data.begin(), data.begin() + static_cast<std::ptrdiff_t>(count)};
}

TEST(StandinMovieParser, ReadsTheHandComputedHeader) {
  const MovieParseResult result = ParseSwfMovie(kHandMadeMovie);
  ASSERT_TRUE(result.ok()) << MovieErrorName(result.error);
  const SwfMovie& movie = result.movie;
  EXPECT_EQ(movie.compression, SwfCompression::kNone);
  EXPECT_EQ(movie.version, 6);
  EXPECT_EQ(movie.declaredLength, 34u);
  EXPECT_EQ(movie.availableLength, 34u);
  EXPECT_EQ(movie.frameSize, (TwipsRect{0, 11000, 0, 8000}));
  EXPECT_EQ(movie.WidthPixels(), 550);
  EXPECT_EQ(movie.HeightPixels(), 400);
  EXPECT_EQ(movie.frameRate, 12 << 8);
  EXPECT_EQ(movie.frameCount, 3);
  EXPECT_EQ(movie.backgroundColor, (Rgba{0x60, 0x60, 0x60, 255}));
  EXPECT_EQ(movie.showFrameTags, 3u);
  EXPECT_EQ(movie.tagCount, 5u);
  EXPECT_EQ(movie.tagStreamEnd, TagStreamEnd::kEndTag);
}

TEST(StandinMovieParser, WriterProducesTheHandComputedBytes) {
  tools::SwfOptions options;
  options.widthPixels = 550;
  options.heightPixels = 400;
  options.frameRate = tools::FrameRate(12);
  options.frameCount = 3;
  options.background = tools::SwfColor{0x60, 0x60, 0x60};
  EXPECT_EQ(tools::WriteSwf(options), kHandMadeMovie);
}

TEST(StandinMovieParser, CompressedMovieEqualsItsUncompressedTwin) {
  for (uint16_t frames : {1, 12, 60}) {
    tools::SwfOptions options;
    options.widthPixels = 1101;
    options.heightPixels = 800;
    options.frameCount = frames;
    const MovieParseResult plain = ParseSwfMovie(tools::WriteSwf(options));
    options.compressed = true;
    const std::vector<uint8_t> cws = tools::WriteSwf(options);
    ASSERT_EQ(cws[0], 'C');
    const MovieParseResult inflated = ParseSwfMovie(cws);
    ASSERT_TRUE(plain.ok());
    ASSERT_TRUE(inflated.ok()) << MovieErrorName(inflated.error);
    SwfMovie expected = plain.movie;
    expected.compression = SwfCompression::kZlib;
    EXPECT_EQ(inflated.movie, expected) << frames << " frames";
  }
}

TEST(StandinMovieParser, LongRecordHeadersReadLikeShortOnes) {
  tools::SwfOptions options;
  options.frameCount = 4;
  const MovieParseResult shortForm = ParseSwfMovie(tools::WriteSwf(options));
  options.longTagHeaders = true;
  const MovieParseResult longForm = ParseSwfMovie(tools::WriteSwf(options));
  ASSERT_TRUE(longForm.ok());
  EXPECT_EQ(longForm.movie.showFrameTags, 4u);
  EXPECT_EQ(longForm.movie.backgroundColor, shortForm.movie.backgroundColor);
  EXPECT_EQ(longForm.movie.tagStreamEnd, TagStreamEnd::kEndTag);
}

TEST(StandinMovieParser, RefusesWhatIsNotAPlayableMovie) {
  struct Case {
    std::vector<uint8_t> data;
    MovieError error;
  };
  const Case cases[] = {
      // A ZWS header without a decodable stream holds no frame rectangle.
      {{'Z', 'W', 'S', 13, 0x22, 0, 0, 0, 0, 0, 0, 0}, MovieError::kTruncatedHeader},
      {{'Z', 'W', 'S', 13, 0x22, 0, 0, 0, 9, 0, 0, 0, 0x5D, 0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0xFF},
       MovieError::kTruncatedHeader},
      {{'G', 'I', 'F', '8', '9', 'a', 0, 0}, MovieError::kNotSwf},
      {{'F', 'W', 'X', 6, 0x22, 0, 0, 0}, MovieError::kNotSwf},
      {{'X', 'W', 'S', 6, 0x22, 0, 0, 0}, MovieError::kNotSwf},
      {{'F', 'W', 'S', 6, 0xFF, 0xFF, 0xFF, 0xFF}, MovieError::kTooLarge},
      {{'C', 'W', 'S', 6, 0x01, 0x00, 0x00, 0x10}, MovieError::kTooLarge},
      {{}, MovieError::kTruncatedHeader},
      {{'F', 'W'}, MovieError::kTruncatedHeader},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSwfMovie(c.data).error, c.error) << MovieErrorName(c.error);
  }
}

TEST(StandinMovieParser, HeaderLengthThatLiesShortCutsTheMovie) {
  std::vector<uint8_t> data = kHandMadeMovie;
  data[4] = 10;  // FileLength ends inside the frame rectangle
  EXPECT_EQ(ParseSwfMovie(data).error, MovieError::kTruncatedHeader);

  data[4] = 25;  // ends inside the SetBackgroundColor record (bytes 21 to 25)
  const MovieParseResult cut = ParseSwfMovie(data);
  ASSERT_TRUE(cut.ok());
  EXPECT_EQ(cut.movie.frameCount, 3);
  EXPECT_EQ(cut.movie.availableLength, 25u);
  EXPECT_FALSE(cut.movie.backgroundColor.has_value());
  EXPECT_EQ(cut.movie.tagStreamEnd, TagStreamEnd::kTruncated);
}

TEST(StandinMovieParser, HeaderLengthThatLiesLongReadsOnlyTheData) {
  std::vector<uint8_t> data = kHandMadeMovie;
  data[4] = 0x00;
  data[5] = 0x10;  // 4096 bytes claimed, 34 present
  const MovieParseResult result = ParseSwfMovie(data);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.movie.declaredLength, 4096u);
  EXPECT_EQ(result.movie.availableLength, 34u);
  EXPECT_EQ(result.movie.showFrameTags, 3u);
}

TEST(StandinMovieParser, RecordLongerThanTheDataEndsTheStream) {
  std::vector<uint8_t> data = Bytes(kHandMadeMovie, 21);
  // A long record header claiming 0x7FFFFFF0 bytes, followed by a few.
  for (uint8_t byte : {0b01'111111, 0b0000001'0, 0xF0, 0xFF, 0xFF, 0x7F, 1, 2, 3}) data.push_back(byte);
  data[4] = static_cast<uint8_t>(data.size());
  const MovieParseResult result = ParseSwfMovie(data);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.movie.tagCount, 0u);
  EXPECT_EQ(result.movie.tagStreamEnd, TagStreamEnd::kTruncated);
}

TEST(StandinMovieParser, ShortBackgroundRecordIsSkipped) {
  std::vector<uint8_t> data = Bytes(kHandMadeMovie, 21);
  for (uint8_t byte : {0b01'000010, 0b0000001'0, 0x11, 0x22,  // SetBackgroundColor, 2 bytes
                       0b01'000011, 0b0000001'0, 0x33, 0x44, 0x55, 0x00, 0x00}) {
    data.push_back(byte);
  }
  data[4] = static_cast<uint8_t>(data.size());
  const MovieParseResult result = ParseSwfMovie(data);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.movie.backgroundColor, (Rgba{0x33, 0x44, 0x55, 255}));
  EXPECT_EQ(result.movie.tagStreamEnd, TagStreamEnd::kEndTag);
}

// Run under AddressSanitizer: every prefix of a movie, plain and compressed, parses without
// reading outside its own buffer (each prefix is a fresh allocation of exactly its size).
TEST(StandinMovieParser, EveryTruncationParsesWithoutFault) {
  for (bool compressed : {false, true}) {
    tools::SwfOptions options;
    options.frameCount = 12;
    options.compressed = compressed;
    const std::vector<uint8_t> full = tools::WriteSwf(options);
    const MovieParseResult whole = ParseSwfMovie(full);
    ASSERT_TRUE(whole.ok());
    size_t firstPlayable = full.size();
    for (size_t length = 0; length <= full.size(); ++length) {
      const std::vector<uint8_t> prefix = Bytes(full, length);
      const MovieParseResult result = ParseSwfMovie(prefix);
      if (result.ok()) {
        firstPlayable = std::min(firstPlayable, length);
        EXPECT_EQ(result.movie.frameCount, 12);
        EXPECT_LE(result.movie.showFrameTags, 12u);
        // zlib yields the End record before the stream's checksum, so only the plain movie
        // needs every byte to end properly.
        if (!compressed || length == full.size()) {
          EXPECT_EQ(result.movie.tagStreamEnd == TagStreamEnd::kEndTag, length == full.size())
              << length;
        }
      } else {
        EXPECT_EQ(result.error, MovieError::kTruncatedHeader) << length;
        EXPECT_LT(length, firstPlayable) << "a longer prefix failed after a shorter one played";
      }
    }
    if (!compressed) {
      EXPECT_EQ(firstPlayable, 21u);  // 8 + 9-byte rectangle + rate + count
    }
  }
}

TEST(StandinMovieParser, DamagedCompressedBodyKeepsWhatInflated) {
  tools::SwfOptions options;
  options.frameCount = 60;
  options.compressed = true;
  std::vector<uint8_t> data = tools::WriteSwf(options);
  data[9] ^= 0xFF;  // the zlib header's second byte: the stream is unreadable from the start
  EXPECT_EQ(ParseSwfMovie(data).error, MovieError::kTruncatedHeader);
}

}  // namespace
}  // namespace swfplayer
