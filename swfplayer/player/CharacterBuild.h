// Turns decoded definitions into the dictionary's characters: the paths and paints a shape or
// a tween draws, a font's glyph paths, a text laid out glyph by glyph, a button's up state.
// Everything a movie holds counts against the movie's path point budget (format/Limits.h).
#pragma once

#include <cstddef>
#include <optional>

#include "swfplayer/format/Button.h"
#include "swfplayer/format/EditText.h"
#include "swfplayer/format/Font.h"
#include "swfplayer/format/MorphShape.h"
#include "swfplayer/format/Shape.h"
#include "swfplayer/format/Styles.h"
#include "swfplayer/format/Text.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

// Fills then strokes per style layer; edges past pointBudget are dropped.
ShapeCharacter BuildShapeCharacter(const format::ShapeDefinition& shape,
                                   const format::BitmapLookup& lookup, size_t& pointBudget);

// The strings and codes decode for the movie's version (the ANSI code page before SWF 6).
FontCharacter BuildFont(const format::FontDefinition& font, uint8_t swfVersion, const AnsiDecoder& ansi,
                        size_t& pointBudget);
// A DefineFont completed by its DefineFontInfo: the same outlines, now with codes and a name.
FontCharacter CompleteFont(const FontCharacter& outlines, format::FontDefinition font,
                           const format::FontInfo& info, uint8_t swfVersion, const AnsiDecoder& ansi);

EditTextCharacter BuildEditText(format::EditTextDefinition tag, const Dictionary& dictionary,
                                uint8_t swfVersion, const AnsiDecoder& ansi);

// Glyphs in fonts the dictionary does not hold, in fonts without outlines, or past the
// font's glyphs are skipped; each glyph placed takes 4 points of the budget (what it holds).
TextCharacter BuildText(const format::TextDefinition& text, const Dictionary& dictionary,
                        size_t& pointBudget);

// Nothing when the tween does not fit the budget (5 points a record).
std::optional<MorphCharacter> BuildMorph(format::MorphShapeDefinition morph,
                                         const format::BitmapLookup& lookup, size_t& pointBudget);

// The up state's records as PlaceObject tags of a one-frame timeline. controlTagsLeft is the
// movie's budget of control tags; records past it are left out.
ButtonCharacter BuildButton(const format::ButtonDefinition& button, size_t& controlTagsLeft);

}  // namespace swfplayer::player
