#include "standin/flash/MovieFile.h"

#include <windows.h>

#include "standin/flash/DmoMp3Decoder.h"
#include "standin/flash/GdiFontSource.h"
#include "standin/flash/ScriptHost.h"
#include "standin/flash/WicImageDecoder.h"

namespace swfsaver::flash {

std::unique_ptr<swfplayer::player::Player> LoadMovieFile(const std::wstring& path) {
  if (path.empty()) return nullptr;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size{};
  // The file is mapped, not read: an uncompressed movie's sound plays from the mapping (its
  // pages the system's to drop and read again), so a long soundtrack costs no memory of its
  // own. The bound is the header's, with room for a little trailing data.
  HANDLE mapping = nullptr;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= swfplayer::kMaxMovieBytes + 65536ll) {
    mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  }
  CloseHandle(file);
  if (!mapping) return nullptr;
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  CloseHandle(mapping);
  if (!view) return nullptr;
  const std::shared_ptr<const void> keeper(view, [](const void* v) { UnmapViewOfFile(v); });
  const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(view), static_cast<size_t>(size.QuadPart));
  WicImageDecoder decoder;
  // Stateless; it makes the decoders of every movie's MP3 sounds, for as long as the DLL lives.
  static DmoMp3DecoderSource mp3;
  // Stateless too: each player keeps the faces it opened.
  static GdiFontSource fonts;
  static const SystemAnsiDecoder ansi;
  swfplayer::player::PlayerOptions options;
  options.ansi = &ansi;
  options.fonts = &fonts;
  options.host = std::make_shared<ScriptHost>(path);
  options.mp3 = &mp3;
  options.keeper = keeper;
  return swfplayer::player::Player::Load(bytes, decoder, options).player;
}

}  // namespace swfsaver::flash
