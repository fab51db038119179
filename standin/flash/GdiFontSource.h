// The control's device fonts: the system's installed faces through GDI, as unhinted glyph
// outlines (GetGlyphOutlineW with GGO_UNHINTED) at 1024 units to the EM, drawn by the engine's
// own renderer like every other shape. A face keeps its own memory DC; the player asks for
// glyphs on its one thread.
#pragma once

#include "swfplayer/text/FontSource.h"

namespace swfsaver::flash {

class GdiFontSource final : public swfplayer::text::FontSource {
 public:
  // Null when no installed family has that name (GDI would otherwise substitute one).
  std::shared_ptr<const swfplayer::text::DeviceFace> Open(std::string_view family, bool bold,
                                                          bool italic) override;
  std::vector<std::string> Families() override;
};

}  // namespace swfsaver::flash
