// A field's text as its htmlText reads: each paragraph a <P ALIGN>, each run of one format a
// <FONT FACE SIZE COLOR LETTERSPACING KERNING> with <B>, <I>, <U> and <A> inside, as the Flash
// Player writes them.
#pragma once

#include <string>

#include "swfplayer/text/StyledText.h"

namespace swfplayer::text {

std::u16string WriteHtml(const StyledText& text);

}  // namespace swfplayer::text
