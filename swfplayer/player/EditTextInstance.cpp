#include "swfplayer/player/EditTextInstance.h"

namespace swfplayer::player {

text::FieldProperties FieldPropertiesOf(const EditTextCharacter& character) {
  const format::EditTextDefinition& tag = character.tag;
  text::FieldProperties properties;
  properties.bounds = tag.bounds;
  properties.wordWrap = tag.wordWrap;
  properties.multiline = tag.multiline;
  properties.password = tag.password;
  properties.html = tag.html;
  // The tag's border flag brings a white background with the black border.
  properties.border = tag.border;
  properties.background = tag.border;
  properties.autoSize = tag.autoSize ? text::AutoSize::kLeft : text::AutoSize::kNone;
  properties.maxChars = tag.maxLength;
  properties.swfVersion = character.swfVersion;
  return properties;
}

text::TextFormat DefaultFormatOf(const EditTextCharacter& character) {
  const format::EditTextDefinition& tag = character.tag;
  text::TextFormat format = text::TextFormat::Defaults();
  if (!character.fontName.empty()) format.font = character.fontName;
  // HTML text starts plain: its own <b> and <i> say where the bold and italic faces are used.
  if (character.font && !tag.html) {
    format.bold = character.font->Bold();
    format.italic = character.font->Italic();
  }
  if (tag.fontId || tag.fontClass) format.size = tag.height / 20.0;
  if (tag.color) format.color = (uint32_t{tag.color->r} << 16) | (uint32_t{tag.color->g} << 8) | tag.color->b;
  if (tag.layout) {
    switch (tag.layout->align) {
      case format::TextAlign::kLeft: format.align = text::Align::kLeft; break;
      case format::TextAlign::kRight: format.align = text::Align::kRight; break;
      case format::TextAlign::kCenter: format.align = text::Align::kCenter; break;
      case format::TextAlign::kJustify: format.align = text::Align::kJustify; break;
    }
    format.leftMargin = tag.layout->leftMargin / 20.0;
    format.rightMargin = tag.layout->rightMargin / 20.0;
    format.indent = tag.layout->indent / 20.0;
    format.leading = tag.layout->leading / 20.0;
  }
  return format;
}

EditTextInstance::EditTextInstance(const EditTextCharacter& character, text::DeviceFonts* device,
                                   const text::EmbeddedFonts* embedded)
    : character_(character),
      fonts_(embedded, device, character.tag.useOutlines, character.font, character.fontName),
      field_(FieldPropertiesOf(character), DefaultFormatOf(character), fonts_) {
  if (character.tag.html) {
    field_.SetHtmlText(character.initialText);
  } else {
    field_.SetText(character.initialText);
  }
}

}  // namespace swfplayer::player
