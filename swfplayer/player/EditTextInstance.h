// A text field on a display list: the field made from its DefineEditText (bounds, flags,
// the default format of its font, height, colour and layout) showing the tag's initial text
// (as HTML when the tag says so), with the fonts it draws in.
#pragma once

#include "swfplayer/player/Characters.h"
#include "swfplayer/text/EditField.h"

namespace swfplayer::player {

class EditTextInstance {
 public:
  EditTextInstance(const EditTextCharacter& character, text::DeviceFonts* device,
                   const text::EmbeddedFonts* embedded);
  EditTextInstance(const EditTextInstance&) = delete;
  EditTextInstance& operator=(const EditTextInstance&) = delete;

  text::EditField& Field() { return field_; }
  const EditTextCharacter& Character() const { return character_; }

  // What scripts read and write (the text property, htmlText, a bound variable's value).
  const std::u16string& Text() const { return field_.Text(); }
  void SetText(std::u16string_view text) { field_.SetText(text); }
  // As HTML in an HTML field, as plain text in any other.
  void SetHtmlText(std::u16string_view html) { field_.SetHtmlText(html); }
  // The variable the tag binds the field to (empty: none).
  const std::u16string& VariableName() const { return character_.variableName; }

 private:
  const EditTextCharacter& character_;
  text::FieldFonts fonts_;
  text::EditField field_;
};

// The properties and default format a DefineEditText gives its fields.
text::FieldProperties FieldPropertiesOf(const EditTextCharacter& character);
text::TextFormat DefaultFormatOf(const EditTextCharacter& character);

}  // namespace swfplayer::player
