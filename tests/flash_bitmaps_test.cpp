// Bitmap tags and the native image decoder: every lossless format with its row padding, the
// JPEG tags with their SWF repairs (stray markers, JPEGTables, an alpha plane), PNG and GIF
// data, and the limits that are checked before anything large is allocated. The JPEG and
// PNG data is made here with libjpeg and libpng.
#include <gtest/gtest.h>

#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include "flash_player_support.h"
#include "swfplayer/format/Bitmaps.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/image/NativeImageDecoder.h"

namespace swfplayer::format {
namespace {

using Bytes = std::vector<uint8_t>;

// scans: 0 for a baseline JPEG, 1 for libjpeg's usual progression (ten scans), otherwise a
// progression of one scan per coefficient band and bit, a legal but absurd 379 scans.
Bytes MakeJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b, int scans = 0) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  std::vector<jpeg_scan_info> script;
  if (scans == 1) jpeg_simple_progression(&info);
  if (scans > 1) {
    script.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int c = 0; c < 3; ++c) {
      for (int bit : {1, 0}) {
        for (int band = 1; band < 64; ++band) script.push_back({1, {c, 0, 0, 0}, band, band, bit == 0, bit});
      }
    }
    info.scan_info = script.data();
    info.num_scans = static_cast<int>(script.size());
  }
  jpeg_start_compress(&info, TRUE);
  Bytes row;
  for (int x = 0; x < width; ++x) row.insert(row.end(), {r, g, b});
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

// A whole JPEG as DefineBits and JPEGTables hold it: the quantisation and Huffman tables in a
// stream of their own, and the image without them, each between SOI and EOI.
std::pair<Bytes, Bytes> SplitTables(const Bytes& jpeg) {
  Bytes tables = {0xFF, 0xD8}, image = {0xFF, 0xD8};
  size_t i = 2;
  while (i + 4 <= jpeg.size() && jpeg[i + 1] != 0xDA) {  // segments up to start-of-scan
    const size_t length = 2 + (size_t{jpeg[i + 2]} << 8 | jpeg[i + 3]);
    Bytes& to = (jpeg[i + 1] == 0xDB || jpeg[i + 1] == 0xC4) ? tables : image;
    to.insert(to.end(), jpeg.begin() + i, jpeg.begin() + i + length);
    i += length;
  }
  image.insert(image.end(), jpeg.begin() + i, jpeg.end());
  tables.insert(tables.end(), {0xFF, 0xD9});
  return {tables, image};
}

Bytes MakePng(int width, int height, const Bytes& rgba) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  Bytes out(size);
  EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr));
  out.resize(size);
  return out;
}

// The bitmap the player holds for the first definition of a one-bitmap movie.
std::shared_ptr<const Bitmap> Defined(const tools::SwfMovieBuilder& movie) {
  auto player = testing::LoadMovie(movie);
  const player::Character* character = player ? player->Characters().Find(1) : nullptr;
  const auto* bitmap = character ? std::get_if<player::BitmapCharacter>(character) : nullptr;
  return bitmap ? bitmap->bitmap : nullptr;
}

void ExpectNear(uint32_t got, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    EXPECT_NEAR(int((got >> shift) & 0xFF), int((expected >> shift) & 0xFF), tolerance)
        << std::hex << got << " vs " << expected;
  }
}

TEST(FlashLosslessBitmaps, EachFormatWithItsRowPadding) {
  struct Case {
    const char* what;
    int version;
    uint8_t format;
    uint16_t width, height, tableSize;
    Bytes payload;
    std::vector<uint32_t> pixels;
  };
  const Case cases[] = {
      {"8-bit, RGB table, rows of 3 padded to 4", 1, 3, 3, 2, 2,
       {255, 0, 0, 0, 255, 0, /*rows*/ 0, 1, 0, 9, 1, 1, 5, 9},
       {0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0x00000000}},
      {"8-bit, premultiplied RGBA table", 2, 3, 2, 1, 2,
       {128, 0, 0, 128, 200, 0, 0, 100, /*row*/ 0, 1, 9, 9},
       {0x80800000, 0x64640000}},
      {"15-bit, one pixel rows padded to 4 bytes", 1, 4, 1, 2, 0,
       {0x7C, 0x00, 9, 9, 0x03, 0xE1, 9, 9},
       {0xFFFF0000, 0xFF00FF08}},
      {"24-bit, the first byte of each pixel unused", 1, 5, 2, 1, 0,
       {0x00, 1, 2, 3, 0x55, 4, 5, 6},
       {0xFF010203, 0xFF040506}},
      {"32-bit premultiplied ARGB, colour over alpha clamped", 2, 5, 2, 1, 0,
       {0x80, 0x40, 0x20, 0x10, 0x10, 0xFF, 0, 0},
       {0x80402010, 0x10100000}},
  };
  for (const Case& c : cases) {
    tools::SwfMovieBuilder movie;
    movie.DefineLossless(c.version, c.format, c.width, c.height, c.payload, c.tableSize);
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap) << c.what;
    EXPECT_EQ(bitmap->width, c.width) << c.what;
    EXPECT_EQ(bitmap->height, c.height) << c.what;
    EXPECT_EQ(bitmap->pixels, c.pixels) << c.what;
  }
}

TEST(FlashLosslessBitmaps, SizeLimitsAndTheMemoryBudgetRefuseBeforeInflating) {
  auto body = [](uint16_t width, uint16_t height, size_t payload) {
    tools::SwfMovieBuilder movie;
    movie.DefineLossless(2, 5, width, height, Bytes(payload, 0xFF));
    return testing::FirstTagBody(movie, 36);
  };
  size_t budget = kMaxMovieBitmapBytes;
  EXPECT_FALSE(DecodeLossless(body(8192, 1, 0), 2, budget));
  EXPECT_FALSE(DecodeLossless(body(8191, 2049, 0), 2, budget));  // 16,783,359 pixels
  EXPECT_FALSE(DecodeLossless(body(0, 5, 0), 2, budget));
  EXPECT_FALSE(DecodeLossless(body(2, 2, 15), 2, budget));  // data ends early
  EXPECT_EQ(budget, kMaxMovieBitmapBytes);
  budget = 15;
  EXPECT_FALSE(DecodeLossless(body(2, 2, 16), 2, budget));
  budget = 16;
  EXPECT_TRUE(DecodeLossless(body(2, 2, 16), 2, budget));
  EXPECT_EQ(budget, 0u);
}

TEST(FlashJpegBitmaps, Jpeg2Jpeg3AndDefineBitsWithTables) {
  const Bytes jpeg = MakeJpeg(8, 8, 200, 100, 50);
  const uint32_t opaque = 0xFFC86432;
  {
    tools::SwfMovieBuilder movie;
    movie.DefineJpeg2(jpeg);
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap);
    ExpectNear(bitmap->pixels[27], opaque, 3);
  }
  {
    Bytes stray = jpeg;
    stray.insert(stray.begin(), {0xFF, 0xD9, 0xFF, 0xD8});
    tools::SwfMovieBuilder movie;
    movie.DefineJpeg2(stray);
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap);
    ExpectNear(bitmap->pixels[0], opaque, 3);
  }
  {
    tools::SwfMovieBuilder movie;
    movie.DefineJpeg3(jpeg, Bytes(64, 0x40));
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap);
    ExpectNear(bitmap->pixels[63], 0x4032190D, 2);  // premultiplied by 64/255
  }
  {
    const auto [tables, image] = SplitTables(jpeg);
    ASSERT_GT(tables.size(), 100u);
    tools::SwfMovieBuilder movie;
    movie.JpegTables(tables);
    movie.DefineBits(image);
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap);
    ExpectNear(bitmap->pixels[9], opaque, 3);
    EXPECT_EQ(RepairJpeg(tables, image).size(), jpeg.size());
  }
}

TEST(FlashJpegBitmaps, PngInsideJpegTagsKeepsItsOwnAlpha) {
  const Bytes png = MakePng(2, 1, {255, 0, 0, 128, 10, 20, 30, 0});
  for (const bool jpeg3 : {false, true}) {
    tools::SwfMovieBuilder movie;
    if (jpeg3) {
      movie.DefineJpeg3(png, Bytes(2, 0xFF));
    } else {
      movie.DefineJpeg2(png);
    }
    const auto bitmap = Defined(movie);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixels, (std::vector<uint32_t>{0x80800000, 0x00000000}));
  }
}

TEST(FlashImageDecoder, DamagedDataAndOversizedImagesFailCleanly) {
  image::NativeImageDecoder decoder;
  const Bytes jpeg = MakeJpeg(16, 16, 1, 2, 3);
  for (size_t size : {size_t{2}, size_t{20}, jpeg.size() / 2, jpeg.size() - 2}) {
    const Bytes cut(jpeg.begin(), jpeg.begin() + size);
    const auto decoded = decoder.Decode(cut);  // libjpeg may pad a cut scan; it must not exit
    if (decoded) {
      EXPECT_EQ(decoded->pixels.size(), 256u);
    }
  }
  Bytes garbage = jpeg;
  for (size_t i = 20; i < garbage.size(); i += 7) garbage[i] ^= 0x5A;
  (void)decoder.Decode(garbage);
  EXPECT_FALSE(decoder.Decode(Bytes{0xFF, 0xD8, 0xFF}));
  EXPECT_TRUE(decoder.Decode(MakeJpeg(16, 16, 1, 2, 3, /*scans=*/1)));
  EXPECT_FALSE(decoder.Decode(MakeJpeg(16, 16, 1, 2, 3, /*scans=*/379)));  // over 256 scans
  EXPECT_FALSE(decoder.Decode(Bytes{'n', 'o', 'p', 'e'}));

  EXPECT_FALSE(decoder.Decode(MakePng(8192, 1, Bytes(8192 * 4, 0))));
  EXPECT_TRUE(decoder.Decode(MakePng(8191, 1, Bytes(8191 * 4, 0))));
  Bytes png = MakePng(4, 4, Bytes(64, 7));
  png.resize(png.size() - 20);
  EXPECT_FALSE(decoder.Decode(png));
}

TEST(FlashImageDecoder, GifFirstFrameWithTransparency) {
  // 1 x 1, a two-colour table (white, black), pixel index 0, then a graphic control block
  // whose flag byte says whether index 0 is transparent.
  auto gif = [](uint8_t transparentFlag, uint8_t width) {
    return Bytes{'G', 'I', 'F', '8', '9', 'a', width, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,
                 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, transparentFlag, 0x00,
                 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,
                 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
  };
  image::NativeImageDecoder decoder;
  const auto opaque = decoder.Decode(gif(0x00, 1));
  ASSERT_TRUE(opaque);
  EXPECT_EQ(opaque->pixels, std::vector<uint32_t>{0xFFFFFFFF});
  const auto transparent = decoder.Decode(gif(0x01, 1));
  ASSERT_TRUE(transparent);
  EXPECT_EQ(transparent->pixels, std::vector<uint32_t>{0});
  EXPECT_FALSE(decoder.Decode(gif(0x00, 0)));  // a zero-wide screen
  Bytes cut = gif(0x00, 1);
  cut.resize(30);
  EXPECT_FALSE(decoder.Decode(cut));
}

}  // namespace
}  // namespace swfplayer::format
