#include "swfplayer/player/EditTextInstance.h"

#include <algorithm>
#include <cmath>

#include "swfplayer/text/HtmlWriter.h"

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
      fonts_(embedded, device, character_.tag.useOutlines, character_.font, character_.fontName),
      field_(FieldPropertiesOf(character_), DefaultFormatOf(character_), fonts_),
      variableName_(character_.variableName),
      selectable_(!character_.tag.noSelect) {
  if (character.tag.html) {
    field_.SetHtmlText(character.initialText);
  } else {
    field_.SetText(character.initialText);
  }
}

void EditTextInstance::SetText(std::u16string_view text, bool html) {
  if (html && field_.Properties().html) {
    field_.SetHtmlText(text);
  } else {
    field_.SetText(text);
  }
}

std::u16string EditTextInstance::HtmlText() const {
  return field_.Properties().html ? text::WriteHtml(field_.Content()) : field_.Text();
}

bool EditTextInstance::Flag(avm1::TextFieldFlag flag) const {
  const text::FieldProperties& properties = field_.Properties();
  switch (flag) {
    case avm1::TextFieldFlag::kBackground: return properties.background;
    case avm1::TextFieldFlag::kBorder: return properties.border;
    case avm1::TextFieldFlag::kWordWrap: return properties.wordWrap;
    case avm1::TextFieldFlag::kMultiline: return properties.multiline;
    case avm1::TextFieldFlag::kEmbedFonts: return fonts_.UseEmbedded();
    case avm1::TextFieldFlag::kHtml: return properties.html;
    case avm1::TextFieldFlag::kPassword: return properties.password;
    case avm1::TextFieldFlag::kSelectable: return selectable_;
    case avm1::TextFieldFlag::kCondenseWhite: return properties.condenseWhite;
  }
  return false;
}

void EditTextInstance::SetFlag(avm1::TextFieldFlag flag, bool on) {
  const text::FieldProperties& properties = field_.Properties();
  switch (flag) {
    case avm1::TextFieldFlag::kBackground: field_.SetBackground(on, properties.backgroundColor); break;
    case avm1::TextFieldFlag::kBorder: field_.SetBorder(on, properties.borderColor); break;
    case avm1::TextFieldFlag::kWordWrap: field_.SetWordWrap(on); break;
    case avm1::TextFieldFlag::kMultiline: field_.SetMultiline(on); break;
    case avm1::TextFieldFlag::kEmbedFonts:
      fonts_.SetUseEmbedded(on);
      field_.FontsChanged();
      break;
    case avm1::TextFieldFlag::kHtml: field_.SetHtml(on); break;
    case avm1::TextFieldFlag::kPassword: field_.SetPassword(on); break;
    case avm1::TextFieldFlag::kSelectable: selectable_ = on; break;
    case avm1::TextFieldFlag::kCondenseWhite: field_.SetCondenseWhite(on); break;
  }
}

double EditTextInstance::Number(avm1::TextFieldNumber number) const {
  const text::FieldProperties& properties = field_.Properties();
  switch (number) {
    case avm1::TextFieldNumber::kTextColor: return field_.NewTextFormat().color.value_or(0);
    case avm1::TextFieldNumber::kBackgroundColor: return properties.backgroundColor;
    case avm1::TextFieldNumber::kBorderColor: return properties.borderColor;
    case avm1::TextFieldNumber::kScroll: field_.Layout(); return field_.Scroll();
    case avm1::TextFieldNumber::kMaxScroll: return field_.MaxScroll();
    case avm1::TextFieldNumber::kBottomScroll: return field_.BottomScroll();
    case avm1::TextFieldNumber::kHScroll: return field_.HScroll();
    case avm1::TextFieldNumber::kMaxHScroll: return field_.MaxHScroll();
    case avm1::TextFieldNumber::kTextWidth: return field_.TextWidth();
    case avm1::TextFieldNumber::kTextHeight: return field_.TextHeight();
    case avm1::TextFieldNumber::kLength: return static_cast<double>(field_.Text().size());
    case avm1::TextFieldNumber::kMaxChars: return properties.maxChars.value_or(0);
  }
  return 0;
}

void EditTextInstance::SetNumber(avm1::TextFieldNumber number, double value) {
  const text::FieldProperties& properties = field_.Properties();
  const auto color = static_cast<uint32_t>(std::clamp(value, 0.0, double{0xFFFFFF}));
  switch (number) {
    case avm1::TextFieldNumber::kTextColor: {
      // The whole text and what is written later take the colour.
      TextFormat format;
      format.color = color;
      field_.SetTextFormat(0, field_.Text().size(), format);
      field_.SetNewTextFormat(format);
      break;
    }
    case avm1::TextFieldNumber::kBackgroundColor: field_.SetBackground(properties.background, color); break;
    case avm1::TextFieldNumber::kBorderColor: field_.SetBorder(properties.border, color); break;
    case avm1::TextFieldNumber::kScroll:
      field_.SetScroll(static_cast<int>(std::clamp(value, -1e9, 1e9)));
      break;
    case avm1::TextFieldNumber::kHScroll: field_.SetHScroll(value); break;
    case avm1::TextFieldNumber::kMaxChars:
      field_.SetMaxChars(value >= 1 && value <= 65535 ? std::optional<uint16_t>(static_cast<uint16_t>(value))
                                                      : std::nullopt);
      break;
    default: break;  // read-only
  }
}

avm1::TextAutoSize EditTextInstance::AutoSize() const {
  switch (field_.Properties().autoSize) {
    case text::AutoSize::kLeft: return avm1::TextAutoSize::kLeft;
    case text::AutoSize::kCenter: return avm1::TextAutoSize::kCenter;
    case text::AutoSize::kRight: return avm1::TextAutoSize::kRight;
    case text::AutoSize::kNone: break;
  }
  return avm1::TextAutoSize::kNone;
}

void EditTextInstance::SetAutoSize(avm1::TextAutoSize mode) {
  switch (mode) {
    case avm1::TextAutoSize::kLeft: field_.SetAutoSize(text::AutoSize::kLeft); break;
    case avm1::TextAutoSize::kCenter: field_.SetAutoSize(text::AutoSize::kCenter); break;
    case avm1::TextAutoSize::kRight: field_.SetAutoSize(text::AutoSize::kRight); break;
    case avm1::TextAutoSize::kNone: field_.SetAutoSize(text::AutoSize::kNone); break;
  }
}

TextFormat EditTextInstance::GetTextFormat(size_t begin, size_t end) const {
  return field_.Content().FormatOf(begin, end);
}

void EditTextInstance::SetTextFormat(size_t begin, size_t end, const TextFormat& format) {
  field_.SetTextFormat(begin, end, format);
}

void EditTextInstance::ReplaceText(size_t begin, size_t end, std::u16string_view text) {
  field_.ReplaceText(begin, end, text);
}

EditTextCharacter ScriptTextField(double width, double height, uint8_t swfVersion) {
  EditTextCharacter character;
  character.swfVersion = swfVersion;
  auto twips = [](double pixels) {
    return static_cast<int32_t>(std::clamp(std::round(pixels * 20), -1e9, 1e9));
  };
  character.tag.bounds = TwipsRect{0, twips(width), 0, twips(height)};
  return character;
}

}  // namespace swfplayer::player
