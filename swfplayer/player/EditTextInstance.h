// A text field on a display list: the field made from its DefineEditText (bounds, flags,
// the default format of its font, height, colour and layout) showing the tag's initial text
// (as HTML when the tag says so), with the fonts it draws in; or an empty one a script made.
// Scripts reach it as an avm1::TextField.
#pragma once

#include "swfplayer/avm1/TextField.h"
#include "swfplayer/player/Characters.h"
#include "swfplayer/text/EditField.h"

namespace swfplayer::player {

class EditTextInstance final : public avm1::TextField {
 public:
  EditTextInstance(const EditTextCharacter& character, text::DeviceFonts* device,
                   const text::EmbeddedFonts* embedded);
  EditTextInstance(const EditTextInstance&) = delete;
  EditTextInstance& operator=(const EditTextInstance&) = delete;
  ~EditTextInstance() = default;

  text::EditField& Field() { return field_; }
  const EditTextCharacter& Character() const { return character_; }

  // --- avm1::TextField ---
  std::u16string Text() const override { return field_.Text(); }
  void SetText(std::u16string_view text, bool html) override;
  std::u16string HtmlText() const override;
  std::u16string VariableName() const override { return variableName_; }
  void SetVariableName(std::u16string_view name) override { variableName_ = name; }
  bool Flag(avm1::TextFieldFlag flag) const override;
  void SetFlag(avm1::TextFieldFlag flag, bool on) override;
  double Number(avm1::TextFieldNumber number) const override;
  void SetNumber(avm1::TextFieldNumber number, double value) override;
  avm1::TextAutoSize AutoSize() const override;
  void SetAutoSize(avm1::TextAutoSize mode) override;
  TextFormat GetTextFormat(size_t begin, size_t end) const override;
  void SetTextFormat(size_t begin, size_t end, const TextFormat& format) override;
  TextFormat NewTextFormat() const override { return field_.NewTextFormat(); }
  void SetNewTextFormat(const TextFormat& format) override { field_.SetNewTextFormat(format); }
  void ReplaceText(size_t begin, size_t end, std::u16string_view text) override;

 private:
  EditTextCharacter character_;  // a copy: a script's field has no tag in the dictionary
  text::FieldFonts fonts_;
  // Layout is made when asked for; the numbers scripts read lay the text out first.
  mutable text::EditField field_;
  std::u16string variableName_;
  bool selectable_ = true;
};

// The character of a field a script makes (createTextField): width by height pixels from its
// origin, no border, no text, the default format, device fonts.
EditTextCharacter ScriptTextField(double width, double height, uint8_t swfVersion);

// The properties and default format a DefineEditText gives its fields.
text::FieldProperties FieldPropertiesOf(const EditTextCharacter& character);
text::TextFormat DefaultFormatOf(const EditTextCharacter& character);

}  // namespace swfplayer::player
