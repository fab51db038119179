// The movie as loaded: its dictionary of characters (shapes and glyphs with their paths and
// paints built once, texts laid out once, tweens, sprites and buttons with their timelines,
// bitmaps) and the root timeline's frames. Immutable while it plays; the timelines in
// Timeline.h are the playing instances.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "swfplayer/audio/SoundData.h"
#include "swfplayer/avm1/StaticText.h"
#include "swfplayer/format/ActionProgram.h"
#include "swfplayer/format/DisplayTags.h"
#include "swfplayer/format/EditText.h"
#include "swfplayer/format/MorphShape.h"
#include "swfplayer/format/Sound.h"
#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/text/EmbeddedFont.h"
#include "swfplayer/text/FieldFonts.h"

namespace swfplayer::player {

// An action block (DoAction, DoInitAction, a clip event's actions) as the movie stores it. The
// script engine compiles it the first time it runs and keeps the result here, so a block that
// never runs costs nothing but its bytes.
struct ScriptCode {
  std::vector<uint8_t> bytes;
  mutable std::shared_ptr<const format::ActionProgram> program;
  mutable bool refused = false;  // the engine could not compile it: it never runs
};
using Script = std::shared_ptr<const ScriptCode>;

// The clip events of a PlaceObject2 or PlaceObject3 (CLIPEVENTFLAGS bits, ClipActions.h), each
// with its actions.
struct ClipAction {
  uint32_t events = 0;
  uint8_t keyCode = 0;
  Script script;
};

// A PlaceObject as a timeline keeps it: the tag, its instance name decoded for scripts, and
// its clip events.
struct Placement {
  format::PlaceObject tag;
  std::optional<std::u16string> name;
  std::shared_ptr<const std::vector<ClipAction>> clipActions;  // null: none
};

struct FrameScript {  // DoAction
  Script script;
};

struct InitScript {  // DoInitAction: runs once, before the first frame that uses the sprite
  uint16_t spriteId = 0;
  Script script;
};

// What a frame holds, in the order of its tags: that order is the order in which the Flash
// Player places objects and queues scripts, and scripts can see it.
using FrameItem = std::variant<Placement, format::RemoveObject, FrameScript, InitScript>;

struct TimelineDefinition {
  int frameCount = 1;  // at least 1
  std::vector<std::vector<FrameItem>> frames;  // may be shorter: the frames after are empty
  std::vector<std::pair<std::u16string, int>> labels;
  // getBytesTotal: the movie's length for the root, the DefineSprite tag's for a sprite.
  uint32_t byteLength = 0;
  // Sound (SoundScheduler.h): the StartSound and StartSound2 tags of each frame (may be
  // shorter than the frames), and the stream its SoundStreamHead and blocks make (null
  // without a head).
  std::vector<std::vector<format::StartSoundTag>> soundStarts;
  std::shared_ptr<audio::StreamSound> stream;

  const std::vector<FrameItem>* Frame(int frame) const {
    return frame >= 0 && static_cast<size_t>(frame) < frames.size() ? &frames[frame] : nullptr;
  }
  // The first frame with this label (compared without case, as the Flash Player does).
  std::optional<int> FrameOfLabel(std::u16string_view label) const;
};

struct ShapeFill {
  Path path;
  Paint paint;
};

struct ShapeStroke {
  Path path;
  StrokeStyle stroke;
  Paint paint;
};

// One style layer: its fills, then its strokes, drawn above the layers before it.
struct ShapeLayerPaths {
  std::vector<ShapeFill> fills;
  std::vector<ShapeStroke> strokes;
};

struct ShapeCharacter {
  TwipsRect bounds;
  FillRule fillRule = FillRule::kEvenOdd;
  std::vector<ShapeLayerPaths> layers;
};

struct SpriteCharacter {
  TimelineDefinition timeline;
};

struct BitmapCharacter {
  std::shared_ptr<const Bitmap> bitmap;
};

// A font's glyph outlines as fill paths, in its own units; an empty path for a glyph without
// one (a space). A device font has no glyphs.
using GlyphPaths = std::vector<Path>;

struct FontCharacter {
  std::shared_ptr<const GlyphPaths> glyphs;
  double unitsToEm = 1.0 / 1024;  // a text's height in twips times this scales the glyphs
  // What edit text lays out with: the code table, advances and metrics; and the font's name
  // as the movie's strings decode. A DefineFont has both once its DefineFontInfo is read.
  std::shared_ptr<const text::EmbeddedFont> layout;
  std::u16string name;
};

// A text field's tag with its strings decoded for the movie's version, and its own font (the
// fields' default format names it; null when the tag names none or the font is missing).
struct EditTextCharacter {
  format::EditTextDefinition tag;
  std::u16string initialText;
  std::u16string variableName;
  std::u16string fontName;  // the font's, or the font class's name
  std::shared_ptr<const text::EmbeddedFont> font;
  uint8_t swfVersion = 8;
};

// One glyph of a static text: its outline (owned by a font in `fonts`), where it stands in the
// text's space (the text's matrix, the pen and the height folded in), and its colour.
struct TextGlyph {
  const Path* path = nullptr;
  Matrix matrix;
  Rgba color;
};

struct TextCharacter {
  TwipsRect bounds;
  std::vector<std::shared_ptr<const GlyphPaths>> fonts;  // keeps the glyphs' paths alive
  std::vector<TextGlyph> glyphs;
  // Every glyph of the records as the character it stands for, for scripts (TextSnapshot).
  std::shared_ptr<const avm1::StaticTextContent> content;
};

// A shape tween: drawn at each instance's ratio, its paths made when drawn.
struct MorphCharacter {
  format::MorphShapeDefinition morph;
  std::map<uint16_t, std::shared_ptr<const Bitmap>> bitmaps;  // its bitmap fills' bitmaps
};

// A button shows its up state: a one-frame timeline of the records flagged for it.
struct ButtonCharacter {
  TimelineDefinition upState;
};

using Character = std::variant<ShapeCharacter, SpriteCharacter, BitmapCharacter, FontCharacter,
                               TextCharacter, MorphCharacter, ButtonCharacter, EditTextCharacter>;

class Dictionary {
 public:
  // The first definition of an id wins; a later one with the same id is ignored.
  void Define(uint16_t id, Character character);
  // Replaces a definition (a font completed by its DefineFontInfo); nothing without one.
  void Redefine(uint16_t id, Character character);
  const Character* Find(uint16_t id) const;
  size_t Size() const { return characters_.size(); }

 private:
  std::map<uint16_t, std::unique_ptr<const Character>> characters_;
};

// The movie's event sounds, and the names scripts and StartSound2 find them by
// (ExportAssets, SymbolClass).
struct MovieSounds {
  std::map<uint16_t, audio::EventSound> events;
  std::map<std::string, uint16_t> names;
};

struct MovieDefinition {
  SwfMovie header;  // the frame size, rate, count, version and background colour
  bool useNetwork = false;  // FileAttributes: a local movie that asks for the network sandbox
  // ExportAssets: the characters scripts attach by name (attachMovie), by the name as given.
  std::map<std::u16string, uint16_t> exports;
  std::map<uint16_t, std::u16string> exportNames;  // the same, by character
  Dictionary dictionary;
  text::EmbeddedFonts fonts;  // the fonts with outlines, by name, for text fields
  TimelineDefinition root;
  MovieSounds sounds;
};

}  // namespace swfplayer::player
