// giflib record by record rather than DGifSlurp, so that only the first frame is decoded and
// its size is checked before its rows are allocated.
#include <algorithm>
#include <cstring>

#include <gif_lib.h>

#include "swfplayer/image/NativeImageDecoder.h"

namespace swfplayer::image {
namespace {

struct Source {
  std::span<const uint8_t> data;
  size_t position = 0;
};

int ReadFromSource(GifFileType* file, GifByteType* buffer, int count) {
  auto* source = static_cast<Source*>(file->UserData);
  const size_t take = std::min(static_cast<size_t>(std::max(count, 0)),
                               source->data.size() - source->position);
  std::memcpy(buffer, source->data.data() + source->position, take);
  source->position += take;
  return static_cast<int>(take);
}

struct GifCloser {
  GifFileType* file;
  ~GifCloser() {
    int error = 0;
    if (file) DGifCloseFile(file, &error);
  }
};

// The transparent colour index of a graphic control extension, or -1.
int TransparentIndex(GifFileType* file, int& transparent) {
  GifByteType* extension = nullptr;
  int code = 0;
  if (DGifGetExtension(file, &code, &extension) == GIF_ERROR) return GIF_ERROR;
  if (code == GRAPHICS_EXT_FUNC_CODE && extension && extension[0] >= 4 && (extension[1] & 1)) {
    transparent = extension[4];
  }
  while (extension) {
    if (DGifGetExtensionNext(file, &extension) == GIF_ERROR) return GIF_ERROR;
  }
  return GIF_OK;
}

}  // namespace

std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data) {
  Source source{data};
  int error = 0;
  GifCloser gif{DGifOpen(&source, ReadFromSource, &error)};
  GifFileType* file = gif.file;
  if (!file || !FitsBitmapLimits(file->SWidth, file->SHeight)) return std::nullopt;
  int transparent = -1;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(file, &type) == GIF_ERROR) return std::nullopt;
    if (type == TERMINATE_RECORD_TYPE) return std::nullopt;  // no image at all
    if (type == EXTENSION_RECORD_TYPE) {
      if (TransparentIndex(file, transparent) == GIF_ERROR) return std::nullopt;
      continue;
    }
    if (type == IMAGE_DESC_RECORD_TYPE) break;
  }
  if (DGifGetImageDesc(file) == GIF_ERROR) return std::nullopt;
  const GifImageDesc& desc = file->Image;
  const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : file->SColorMap;
  if (!map || !FitsBitmapLimits(desc.Width, desc.Height)) return std::nullopt;

  Bitmap bitmap;
  bitmap.width = file->SWidth;
  bitmap.height = file->SHeight;
  bitmap.pixels.assign(size_t(bitmap.width) * size_t(bitmap.height), 0);
  std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
  // Interlaced rows come in four passes: every 8th from 0, every 8th from 4, every 4th
  // from 2, every 2nd from 1.
  static constexpr int kStart[] = {0, 4, 2, 1};
  static constexpr int kStep[] = {8, 8, 4, 2};
  const int passes = desc.Interlace ? 4 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const int start = desc.Interlace ? kStart[pass] : 0;
    const int step = desc.Interlace ? kStep[pass] : 1;
    for (int row = start; row < desc.Height; row += step) {
      if (DGifGetLine(file, line.data(), desc.Width) == GIF_ERROR) return std::nullopt;
      const int y = desc.Top + row;
      if (y < 0 || y >= bitmap.height) continue;
      for (int x = 0; x < desc.Width; ++x) {
        const int dx = desc.Left + x;
        const int index = line[static_cast<size_t>(x)];
        if (dx < 0 || dx >= bitmap.width || index == transparent || index >= map->ColorCount) continue;
        const GifColorType& c = map->Colors[index];
        bitmap.pixels[size_t(y) * size_t(bitmap.width) + size_t(dx)] =
            0xFF000000u | (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue;
      }
    }
  }
  return bitmap;
}

}  // namespace swfplayer::image
