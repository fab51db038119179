#include "standin/flash/MovieFile.h"

#include <windows.h>

#include <vector>

#include "standin/flash/DmoMp3Decoder.h"
#include "standin/flash/WicImageDecoder.h"

namespace swfsaver::flash {

std::unique_ptr<swfplayer::player::Player> LoadMovieFile(const std::wstring& path) {
  if (path.empty()) return nullptr;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  std::vector<uint8_t> bytes;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= swfplayer::kMaxMovieBytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    ok = bytes.empty() ||
         (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) != 0);
    bytes.resize(read);
  }
  CloseHandle(file);
  if (!ok) return nullptr;
  WicImageDecoder decoder;
  // Stateless; it makes the decoders of every movie's MP3 sounds, for as long as the DLL lives.
  static DmoMp3DecoderSource mp3;
  return swfplayer::player::Player::Load(bytes, decoder, &mp3).player;
}

}  // namespace swfsaver::flash
