// MP3 in the control: Windows' MP3 decoder DMO (mp3dmod.dll, "MP3 Decoder DMO"), present on
// Windows since Vista and in Wine 8, which implements it with its own libmpg123. A system
// without it plays MP3 sounds as silence.
#pragma once

#include <memory>

#include "swfplayer/audio/Mp3Decoder.h"

namespace swfsaver::flash {

class DmoMp3DecoderSource final : public swfplayer::audio::Mp3DecoderSource {
 public:
  // One decoder per playing MP3 sound, made on the thread that mixes (COM initialised there).
  std::unique_ptr<swfplayer::audio::Mp3Decoder> NewDecoder() override;
};

}  // namespace swfsaver::flash
