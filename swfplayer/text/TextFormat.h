// The text layer names the plain format data (types/TextFormat.h) as its own.
#pragma once

#include "swfplayer/types/TextFormat.h"

namespace swfplayer::text {

using swfplayer::TextFormat;
using Align = swfplayer::TextAlign;

}  // namespace swfplayer::text
