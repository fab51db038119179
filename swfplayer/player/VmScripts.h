// The ActionScript interpreter as the player's script engine: compiles each action block the
// first time it runs and hands the player's clips to the interpreter. The interpreter sees the
// root as _level0 through the host it is given.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "swfplayer/avm1/Host.h"
#include "swfplayer/avm1/SoundControl.h"
#include "swfplayer/movie/TextDecoding.h"
#include "swfplayer/player/ScriptEngine.h"
#include "swfplayer/text/FontSource.h"

namespace swfplayer::player {

// root answers the clip of _level0 (null while there is none). ansi decodes the strings of
// movies before SWF 6; without one each byte is taken as one character. useNetwork is the
// movie's FileAttributes' choice of sandbox; sounds the movie's sound (null: silent). fonts:
// the system's font families scripts may list (may be null).
std::unique_ptr<ScriptEngine> MakeVmScripts(avm1::Host& host, uint8_t swfVersion, bool useNetwork, avm1::SoundControl* sounds,
                                            const AnsiDecoder* ansi,
                                            std::function<DisplayObject*()> root,
                                            text::FontSource* fonts = nullptr);

}  // namespace swfplayer::player
