// The HTML subset text fields take: <p align>, <br>, <b>, <i>, <u>, <font face size color
// letterSpacing kerning>, <a href target> (shown as text, never followed), <li> (a bullet),
// <textformat leftmargin rightmargin indent blockindent leading tabstops>, <span> and any other
// tag as plain text around its content, the entities &lt; &gt; &amp; &quot; &apos; &nbsp; and
// numeric ones. As the Flash Player reads it: names without case, an end tag that does not
// close the innermost open tag is ignored, a tag left open runs to the end, a '<' that never
// closes ends the text, and nothing it is given can fail.
#pragma once

#include <cstdint>
#include <string_view>

#include "swfplayer/text/StyledText.h"

namespace swfplayer::text {

struct HtmlOptions {
  bool multiline = true;       // single-line fields take no breaks from <br>, </p> or <li>
  uint8_t swfVersion = 8;      // up to SWF 7 text that is only white space is dropped
  bool condenseWhite = false;  // runs of white space (line ends too) become one space
};

// base: the field's format, which tags change.
StyledText ParseHtml(std::u16string_view html, const TextFormat& base, const HtmlOptions& options);

}  // namespace swfplayer::text
