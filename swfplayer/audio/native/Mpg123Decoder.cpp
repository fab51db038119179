#include "swfplayer/audio/native/Mpg123Decoder.h"

#include <mpg123.h>

#include <mutex>

namespace swfplayer::audio {
namespace {

class Mpg123Decoder final : public Mp3Decoder {
 public:
  explicit Mpg123Decoder(mpg123_handle* handle) : handle_(handle) { Open(); }
  ~Mpg123Decoder() override { mpg123_delete(handle_); }

  void DecodeFrame(std::span<const uint8_t> frame, const Mp3FrameHeader& header,
                   std::vector<int16_t>& out) override {
    if (mpg123_feed(handle_, frame.data(), frame.size()) != MPG123_OK) return;
    for (;;) {
      off_t number = 0;
      unsigned char* audio = nullptr;
      size_t bytes = 0;
      const int result = mpg123_decode_frame(handle_, &number, &audio, &bytes);
      if (result == MPG123_NEW_FORMAT) continue;
      if (result != MPG123_OK) return;  // needs more data, or the frame is damaged
      // Always two channels (MPG123_FORCE_STEREO): mono frames come doubled.
      const auto* samples = reinterpret_cast<const int16_t*>(audio);
      const size_t count = std::min<size_t>(bytes / sizeof(int16_t), header.samplesPerFrame * 2);
      out.insert(out.end(), samples, samples + count);
      return;
    }
  }

  void Reset() override {
    mpg123_close(handle_);
    Open();
  }

 private:
  void Open() { mpg123_open_feed(handle_); }

  mpg123_handle* handle_;
};

}  // namespace

std::unique_ptr<Mp3Decoder> Mpg123DecoderSource::NewDecoder() {
  // Needed before libmpg123 1.27, harmless after.
  static std::once_flag initialised;
  std::call_once(initialised, [] { mpg123_init(); });
  int error = 0;
  mpg123_handle* handle = mpg123_new(nullptr, &error);
  if (!handle) return nullptr;
  mpg123_param(handle, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0);
  mpg123_format_none(handle);
  static constexpr long kRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  for (long rate : kRates) mpg123_format(handle, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  return std::make_unique<Mpg123Decoder>(handle);
}

}  // namespace swfplayer::audio
