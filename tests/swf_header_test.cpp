// The frame size from the SWF header: the bit layout of the rectangle, and the reading of the
// 17 bytes from stored, zlib-compressed and LZMA-compressed movies through the kernel's file
// operations.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "swf/UnitGlobal.h"
#include "tests/error_message.h"
#include "tests/lzma_test_streams.h"
#include "tests/fakes/FakeCodePage.h"
#include "tests/fakes/FakeKernel.h"

namespace swfsaver {
namespace {

using Bytes = std::vector<uint8_t>;

std::string Header(const Bytes& bytes) {
  std::string header(bytes.begin(), bytes.end());
  header.resize(kSwfHeaderRectSize, '\0');
  return header;
}

// Nbits 15, Xmin 0, Xmax 11000, Ymin 0, Ymax 8000: a 550 x 400 movie. Separators mark the
// field boundaries inside a byte.
const Bytes k550x400 = {0b01111'000, 0b00000000, 0b0000'0101, 0b01011111, 0b000'00000,
                        0b00000000,  0b00'001111, 0b10100000, 0b0'0000000};

// A rectangle with 15-bit fields and the given Xmax and Ymax (their low 15 bits).
Bytes Rect15(uint32_t xmax, uint32_t ymax) {
  // Nbits | Xmin | Xmax | Ymin | Ymax, 65 bits, packed most significant bit first.
  const unsigned __int128 bits = (static_cast<unsigned __int128>(15) << 60) |
                                 (static_cast<unsigned __int128>(xmax & 0x7FFF) << 30) |
                                 (ymax & 0x7FFF);
  Bytes bytes(9, 0);
  for (int i = 0; i < 65; ++i) {
    if ((bits >> (64 - i)) & 1) bytes[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
  }
  return bytes;
}

TEST(SwfFrameSize, FieldsOfTheRectangle) {
  EXPECT_EQ(SwfRectBitCount(Header(k550x400)), 15);
  EXPECT_EQ(SwfFrameWidth(Header(k550x400)), 550);
  EXPECT_EQ(SwfFrameHeight(Header(k550x400)), 400);
  EXPECT_EQ(Header(Rect15(11000, 8000)), Header(k550x400));
  // Fractions of a pixel are dropped.
  EXPECT_EQ(SwfFrameWidth(Header(Rect15(10999, 19))), 549);
  EXPECT_EQ(SwfFrameHeight(Header(Rect15(10999, 19))), 0);
}

TEST(SwfFrameSize, NoBitsGiveZero) {
  const std::string header = Header({0b00000'111, 0xFF, 0xFF});  // the rest is not a field
  EXPECT_EQ(SwfRectBitCount(header), 0);
  EXPECT_EQ(SwfFrameWidth(header), 0);
  EXPECT_EQ(SwfFrameHeight(header), 0);
}

TEST(SwfFrameSize, ThirtyOneBitsReachTheSeventeenthByte) {
  // Xmin and Ymin zero, Xmax and Ymax all ones; Ymax ends in the top bit of byte 16.
  const Bytes bytes = {0b11111'000, 0x00, 0x00, 0x00, 0b0000'1111, 0xFF, 0xFF, 0xFF,
                       0b111'00000, 0x00, 0x00, 0x00, 0b00'111111, 0xFF, 0xFF, 0xFF,
                       0b1'1111111};  // bits after Ymax are padding
  EXPECT_EQ(SwfRectBitCount(Header(bytes)), 31);
  EXPECT_EQ(SwfFrameWidth(Header(bytes)), 2147483647 / 20);
  EXPECT_EQ(SwfFrameHeight(Header(bytes)), 2147483647 / 20);
  Bytes lastBitClear = bytes;
  lastBitClear[12] = 0b00'011111;  // Ymax = 2^30 - 1 with its top bit cleared ...
  lastBitClear[16] = 0b1'0000000;  // ... and its lowest bit still set
  EXPECT_EQ(SwfFrameHeight(Header(lastBitClear)), 1073741823 / 20);
}

TEST(SwfFrameSize, TopBitOfAFieldIsNotASign) {
  // Xmax -11000 in 15-bit two's complement reads as 32768 - 11000 = 21768 twips.
  EXPECT_EQ(SwfFrameWidth(Header(Rect15(0x8000 - 11000, 8000))), 21768 / 20);
}

// A stored movie of the given total size whose rectangle is k550x400, cut or padded.
Bytes StoredMovie(const char* signature, size_t size) {
  Bytes file = {uint8_t(signature[0]), uint8_t(signature[1]), uint8_t(signature[2]), 6,
                uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), 0};
  file.insert(file.end(), k550x400.begin(), k550x400.end());
  file.resize(size);
  return file;
}

// Everything after byte 7 of a movie, as an uncompressed movie would hold it: the rectangle,
// frame rate and count, then `tagBytes` of tag data that compresses like real content.
Bytes MovieBody(size_t tagBytes) {
  Bytes body = k550x400;
  body.insert(body.end(), {0x00, 0x0C, 0x01, 0x00});
  uint32_t noise = 12345;
  for (size_t i = 0; i < tagBytes; ++i) {
    noise = noise * 1103515245u + 12345u;
    body.push_back(static_cast<uint8_t>("SetBackgroundColor ShowFrame "[noise % 29] ^ (i % 7)));
  }
  return body;
}

Bytes StoredMovieOf(const Bytes& body) {
  const uint32_t length = static_cast<uint32_t>(body.size() + 8);
  Bytes file = {'F', 'W', 'S', 13, uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                uint8_t(length >> 24)};
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

Bytes CompressedMovie(const Bytes& body) {
  uLongf size = compressBound(body.size());
  Bytes compressed(size);
  EXPECT_EQ(compress(compressed.data(), &size, body.data(), body.size()), Z_OK);
  compressed.resize(size);
  const uint32_t length = static_cast<uint32_t>(body.size() + 8);
  Bytes file = {'C', 'W', 'S', 10, uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16),
                uint8_t(length >> 24)};
  file.insert(file.end(), compressed.begin(), compressed.end());
  return file;
}

class SwfHeaderRead : public ::testing::Test {
 protected:
  std::string Read(const std::string& path) {
    std::string header;
    ReadSwfHeaderRect(kernel, codePage, path, header);
    EXPECT_EQ(header.size(), kSwfHeaderRectSize);
    return header;
  }
  // The file is closed after every call, whatever happened.
  void TearDown() override { EXPECT_EQ(kernel.OpenFileCount(), 0); }

  fakes::FakeKernel kernel;
  fakes::FakeCodePage codePage{fakes::FakeCodePage::Kind::ShiftJis};
};

TEST_F(SwfHeaderRead, StoredMovieGivesBytes8To24FromTwentyBytesRead) {
  kernel.AddFile("C:\\m\\a.swf", StoredMovie("FWS", 25));
  EXPECT_EQ(Read("C:\\m\\a.swf"), Header(k550x400));
  EXPECT_EQ(kernel.bytesRead, 3u + 17u);  // the signature, then the rectangle
  kernel.AddFile("C:\\m\\big.swf", StoredMovie("FWS", 1 << 20));
  kernel.bytesRead = 0;
  EXPECT_EQ(SwfFrameWidth(Read("C:\\m\\big.swf")), 550);
  EXPECT_EQ(kernel.bytesRead, 20u);
}

TEST_F(SwfHeaderRead, OtherSignaturesAreReadAsStored) {
  for (const char* signature : {"GIF", "CW", "ZW"}) {
    kernel.AddFile("x.bin", StoredMovie(signature, 40));
    EXPECT_EQ(Read("x.bin"), Header(k550x400)) << signature;
  }
}

TEST_F(SwfHeaderRead, ShortFilesRaiseReadError) {
  for (size_t size : {0, 2, 3, 8, 24}) {
    kernel.AddFile("short.swf", StoredMovie("FWS", size));
    EXPECT_EQ(MessageOf<EReadError>([&] { Read("short.swf"); }), "ストリームからの読み込みエラー")
        << size;
  }
}

TEST_F(SwfHeaderRead, UnopenableFilesRaiseOpenErrorWithThePathAsPassed) {
  const std::string path = fakes::ShiftJis("映画\\表.swf");  // relative, 表 ends in 0x5C
  kernel.AddDirectory("C:\\folder");
  for (const std::string& missing : {path, std::string("C:\\folder"), std::string()}) {
    EXPECT_EQ(MessageOf<EFOpenError>([&] { Read(missing); }),
              "ファイル " + codePage.AnsiToUtf8(missing) + " は開けません");
  }
  kernel.AddFile(path, StoredMovie("FWS", 25));
  kernel.LockForWriting(path);  // another process holds it open for writing
  EXPECT_THROW(Read(path), EFOpenError);
  EXPECT_EQ(kernel.fileReads, 0);
}

TEST_F(SwfHeaderRead, CompressedMovieGivesItsTrueFrameSize) {
  for (size_t tagBytes : {4, 100, 50000}) {
    kernel.AddFile("c.swf", CompressedMovie(MovieBody(tagBytes)));
    kernel.bytesRead = 0;
    const std::string header = Read("c.swf");
    EXPECT_EQ(SwfFrameWidth(header), 550) << tagBytes;
    EXPECT_EQ(SwfFrameHeight(header), 400) << tagBytes;
    EXPECT_LE(kernel.bytesRead, 3u + 512u) << tagBytes;
  }
}

TEST_F(SwfHeaderRead, CompressedDataThatCannotYieldTheRectangleRaisesReadError) {
  const Bytes whole = CompressedMovie(MovieBody(50000));
  Bytes cut(whole.begin(), whole.begin() + 20);  // the rectangle's compressed bytes are cut
  Bytes tiny = CompressedMovie(Bytes(k550x400.begin(), k550x400.begin() + 9));  // 9 bytes only
  Bytes garbage = StoredMovie("CWS", 600);
  // Empty stored blocks: a valid stream that never yields a byte; the read stops at its bound.
  Bytes endless = {'C', 'W', 'S', 10, 0, 0, 0, 0, 0x78, 0x01};
  for (int i = 0; i < 1000; ++i) endless.insert(endless.end(), {0x00, 0x00, 0x00, 0xFF, 0xFF});
  for (const Bytes* file : {&cut, &tiny, &garbage, &endless}) {
    kernel.AddFile("bad.swf", *file);
    kernel.bytesRead = 0;
    EXPECT_THROW(Read("bad.swf"), EReadError);
    EXPECT_LE(kernel.bytesRead, 3u + 512u);
  }
}

TEST_F(SwfHeaderRead, LzmaMovieGivesItsTrueFrameSize) {
  for (size_t tagBytes : {4, 100, 50000}) {
    for (const bool endMarker : {true, false}) {
      const Bytes body = MovieBody(tagBytes);
      kernel.AddFile("z.swf", lzma::testing::ZwsFromFws(StoredMovieOf(body), {.endMarker = endMarker}));
      kernel.bytesRead = 0;
      const std::string header = Read("z.swf");
      EXPECT_EQ(header, std::string(body.begin(), body.begin() + kSwfHeaderRectSize)) << tagBytes;
      EXPECT_EQ(SwfFrameWidth(header), 550);
      EXPECT_EQ(SwfFrameHeight(header), 400);
      EXPECT_LE(kernel.bytesRead, 3u + 5u + 512u) << tagBytes;
    }
  }
}

TEST_F(SwfHeaderRead, LzmaDataThatCannotYieldTheRectangleRaisesReadError) {
  const Bytes whole = lzma::testing::ZwsFromFws(StoredMovieOf(MovieBody(50000)));
  Bytes cut(whole.begin(), whole.begin() + 22);  // the stream's first bytes only
  Bytes noStream(whole.begin(), whole.begin() + 17);
  Bytes badProperties = whole;
  badProperties[12] = 225;  // lc, lp and pb out of range
  Bytes tiny = lzma::testing::ZwsFromFws(StoredMovieOf(Bytes(k550x400.begin(), k550x400.begin() + 9)));
  Bytes garbage = StoredMovie("ZWS", 600);
  garbage[17] = 0x80;  // a range coder's first byte is always 0
  for (const Bytes* file : {&cut, &noStream, &badProperties, &tiny, &garbage}) {
    kernel.AddFile("bad.swf", *file);
    kernel.bytesRead = 0;
    EXPECT_THROW(Read("bad.swf"), EReadError);
    EXPECT_LE(kernel.bytesRead, 3u + 5u + 512u);
  }
}

}  // namespace
}  // namespace swfsaver
