// The native MP3 decoder, libmpg123 (Debian libmpg123-dev), for the tools and tests; the
// control uses Windows' own decoder instead.
#pragma once

#include <memory>

#include "swfplayer/audio/Mp3Decoder.h"

namespace swfplayer::audio {

class Mpg123DecoderSource final : public Mp3DecoderSource {
 public:
  std::unique_ptr<Mp3Decoder> NewDecoder() override;
};

}  // namespace swfplayer::audio
