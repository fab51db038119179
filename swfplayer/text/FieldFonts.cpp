#include "swfplayer/text/FieldFonts.h"

#include "swfplayer/text/Unicode.h"

namespace swfplayer::text {

void EmbeddedFonts::Add(std::u16string_view name, std::shared_ptr<const EmbeddedFont> font) {
  if (!font || !font->HasGlyphs()) return;
  byName_[FoldCase(name)].push_back(std::move(font));
}

std::shared_ptr<const EmbeddedFont> EmbeddedFonts::Find(std::u16string_view name, bool bold, bool italic) const {
  const auto found = byName_.find(FoldCase(name));
  if (found == byName_.end()) return nullptr;
  for (const auto& font : found->second) {
    if (font->Bold() == bold && font->Italic() == italic) return font;
  }
  return found->second.front();
}

std::shared_ptr<const LayoutFont> FieldFonts::Resolve(const TextFormat& format) {
  const std::u16string name = format.font.value_or(u"");
  const bool bold = format.bold.value_or(false);
  const bool italic = format.italic.value_or(false);
  if (useEmbedded_) {
    if (preferred_ && FoldCase(name) == FoldCase(preferredName_) && preferred_->Bold() == bold &&
        preferred_->Italic() == italic) {
      return preferred_;
    }
    auto found = embedded_ ? embedded_->Find(name, bold, italic) : nullptr;
    if (!found && preferred_ && FoldCase(name) == FoldCase(preferredName_)) found = preferred_;
    return found;
  }
  return device_ ? device_->Font(name, bold, italic) : nullptr;
}

}  // namespace swfplayer::text
