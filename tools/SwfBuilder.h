// A tag-level builder for test and sample movies: shapes (solid, gradient and bitmap fills,
// line styles, straight and curved edges, style changes with new styles), sprites, lossless
// and JPEG bitmaps, fonts and static texts, shape tweens, buttons, PlaceObject/RemoveObject in
// all their versions, frame labels and DoAction blocks. Values are written as given, so tests
// can also write what a damaged movie holds. Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tools/SwfSound.h"
#include "tools/SwfWriter.h"

namespace swfsaver::tools {

struct SwfRgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

// a = ScaleX, b = RotateSkew0, c = RotateSkew1, d = ScaleY; translation in twips.
struct SwfMatrix {
  double a = 1, b = 0, c = 0, d = 1;
  int32_t tx = 0, ty = 0;
  static SwfMatrix Translate(int32_t x, int32_t y) { return {1, 0, 0, 1, x, y}; }
};

// Multipliers in 8.8 (256 = 1.0), additions in channel units.
struct SwfColorTransform {
  int16_t mulR = 256, mulG = 256, mulB = 256, mulA = 256;
  int16_t addR = 0, addG = 0, addB = 0, addA = 0;
};

struct SwfFill {
  enum class Kind : uint8_t { kSolid, kLinear, kRadial, kFocal, kBitmap };
  Kind kind = Kind::kSolid;
  SwfRgba color;
  std::vector<std::pair<uint8_t, SwfRgba>> stops;  // ratio, colour
  SwfMatrix matrix;
  uint8_t spread = 0;         // 0 pad, 1 reflect, 2 repeat
  uint8_t interpolation = 0;  // 0 RGB, 1 linear RGB
  int16_t focalPoint = 0;     // 8.8
  uint16_t bitmapId = 0;
  bool clipped = false;
  bool smooth = true;

  static SwfFill Solid(SwfRgba color) { SwfFill f; f.color = color; return f; }
  static SwfFill Gradient(Kind kind, SwfMatrix matrix, std::vector<std::pair<uint8_t, SwfRgba>> stops);
  static SwfFill Bitmap(uint16_t id, SwfMatrix matrix, bool clipped, bool smooth);
};

// LINESTYLE in DefineShape 1 to 3; LINESTYLE2 in DefineShape4.
struct SwfLine {
  uint16_t width = 20;
  SwfRgba color;
  std::optional<SwfFill> fill;  // LINESTYLE2 only
  uint8_t startCap = 0, endCap = 0, join = 0;  // 0 round; caps 1 none, 2 square; join 1 bevel, 2 miter
  int16_t miterLimit = 3 << 8;                 // 8.8, written for miter joins
  bool noHScale = false, noVScale = false, pixelHinting = false, noClose = false;

  static SwfLine Solid(uint16_t width, SwfRgba color) {
    SwfLine line;
    line.width = width;
    line.color = color;
    return line;
  }
};

struct SwfStyleChange {
  std::optional<std::pair<int32_t, int32_t>> moveTo;
  std::optional<uint32_t> fill0, fill1, line;
  bool newStyles = false;
  std::vector<SwfFill> fills;
  std::vector<SwfLine> lines;
};
struct SwfStraightEdge { int32_t dx = 0, dy = 0; };
struct SwfCurvedEdge { int32_t controlDx = 0, controlDy = 0, anchorDx = 0, anchorDy = 0; };
using SwfShapeRecord = std::variant<SwfStyleChange, SwfStraightEdge, SwfCurvedEdge>;

struct SwfShape {
  int version = 3;  // DefineShape 1 to 4
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // bounds in twips
  bool nonZeroWinding = false;  // DefineShape4
  std::vector<SwfFill> fills;
  std::vector<SwfLine> lines;
  std::vector<SwfShapeRecord> records;

  SwfShape& Style(std::optional<uint32_t> fill0, std::optional<uint32_t> fill1,
                  std::optional<uint32_t> line, std::optional<std::pair<int32_t, int32_t>> moveTo);
  SwfShape& MoveTo(int32_t x, int32_t y);
  SwfShape& LineBy(int32_t dx, int32_t dy);
  SwfShape& CurveBy(int32_t cdx, int32_t cdy, int32_t adx, int32_t ady);
  SwfShape& NewStyles(std::vector<SwfFill> newFills, std::vector<SwfLine> newLines);
  // A closed rectangle from the pen, clockwise on screen (y down).
  SwfShape& Rectangle(int32_t x, int32_t y, int32_t width, int32_t height);
};

struct SwfPlace {
  int version = 2;  // PlaceObject2 or PlaceObject3 (use PlaceV1 for PlaceObject)
  uint16_t depth = 1;
  bool move = false;
  std::optional<uint16_t> character;
  std::optional<SwfMatrix> matrix;
  std::optional<SwfColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
  // PlaceObject3 only.
  std::optional<std::string> className;
  bool blurAndGlowFilters = false;  // a filter list of a blur and a gradient glow
  std::vector<uint8_t> filterList;  // else, when not empty, this FILTERLIST as it is
  std::optional<uint8_t> blendMode;
  std::optional<uint8_t> cacheAsBitmap;
  std::optional<bool> visible;
};

// A glyph outline: records with fill style 1 (Style(0, 1, ...) or Style(1, 0, ...)) in the
// font's units, 1024 to the EM (DefineFont3: 20480); a shape's fills, lines and bounds are not
// written.
using SwfGlyph = SwfShape;

struct SwfFont {
  int version = 3;  // DefineFont, DefineFont2 or DefineFont3
  std::string name = "Sample";
  std::vector<SwfGlyph> glyphs;  // none: a device font
  std::vector<uint16_t> codes;   // the characters the glyphs stand for (0 where missing)
  bool wideOffsets = false;
};

struct SwfTextGlyph {
  uint32_t index = 0;
  int32_t advance = 0;
};

struct SwfTextRecord {
  std::optional<uint16_t> font;  // written with height
  uint16_t height = 240;         // twips
  std::optional<SwfRgba> color;  // DefineText writes RGB only
  std::optional<int16_t> x, y;
  std::vector<SwfTextGlyph> glyphs;
};

struct SwfText {
  int version = 1;  // DefineText or DefineText2
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  SwfMatrix matrix;
  std::vector<SwfTextRecord> records;
};

// A fill that tweens from start to end; both must be of the same kind (and a gradient's two
// ends have the same number of stops).
// A DefineEditText; without outlines its font is a device font (a DefineFont2 without glyphs
// naming the face, "_sans" for one).
struct SwfEditText {
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  std::optional<uint16_t> font;  // written with height
  uint16_t height = 240;         // twips
  std::optional<SwfRgba> color;
  std::string variable;
  std::optional<std::string> text;
  bool wordWrap = false, multiline = false, readOnly = true, noSelect = true, border = false,
       html = false, useOutlines = false, autoSize = false;
  uint8_t align = 0;  // 0 left, 1 right, 2 centre, 3 justify; written with the margins
  std::optional<std::pair<uint16_t, uint16_t>> margins;  // left, right
};

struct SwfMorphFill {
  SwfFill start, end;
};

struct SwfMorphLine {
  uint16_t startWidth = 20, endWidth = 20;
  SwfRgba startColor, endColor;
  std::optional<SwfMorphFill> fill;  // DefineMorphShape2 only
  uint8_t startCap = 0, endCap = 0, join = 0;  // DefineMorphShape2 only, as in SwfLine
};

struct SwfMorphShape {
  int version = 1;  // DefineMorphShape or DefineMorphShape2
  int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // bounds of both ends
  std::vector<SwfMorphFill> fills;
  std::vector<SwfMorphLine> lines;
  SwfShape start;  // the records (and style changes) of the start
  SwfShape end;    // the end's edges and moves only
  bool wrongEndOffset = false;  // writes 0 for the end edges' offset, as some writers do
};

struct SwfButtonRecord {
  uint8_t states = 0x01;  // 1 up, 2 over, 4 down, 8 hit test
  uint16_t character = 0;
  uint16_t depth = 1;
  SwfMatrix matrix;
  SwfColorTransform colorTransform;  // DefineButton2 only
};

struct SwfButton {
  int version = 2;  // DefineButton or DefineButton2
  std::vector<SwfButtonRecord> records;
};

// The actions of one DoAction block, in order; End is added when it is written.
class SwfActions {
 public:
  SwfActions& Stop() { return Code(0x07); }
  SwfActions& Play() { return Code(0x06); }
  SwfActions& NextFrame() { return Code(0x04); }
  SwfActions& PrevFrame() { return Code(0x05); }
  SwfActions& StopSounds() { return Code(0x09); }
  SwfActions& GotoFrame(uint16_t frame);  // 0-based
  SwfActions& GotoLabel(const std::string& label);
  SwfActions& SetTarget(const std::string& path);
  SwfActions& PushString(const std::string& text);
  SwfActions& PushInteger(int32_t value);
  SwfActions& PushDouble(double value);
  // name = value, as a movie's start-up settings are given.
  SwfActions& SetVariable(const std::string& name, int32_t value) {
    return PushString(name).PushInteger(value).Code(0x1D);
  }
  SwfActions& GotoFrame2(bool play, std::optional<uint16_t> sceneBias = std::nullopt);
  // Actions written as text (ActionAssembler.h); a fault in the text throws.
  SwfActions& Assemble(std::string_view source);
  // Any action: a code below 0x80 takes no payload, one from 0x80 its length and payload.
  SwfActions& Code(uint8_t code, const std::vector<uint8_t>& payload = {});

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// A stream of control tags: the root's or a sprite's.
class SwfTags {
 public:
  void Tag(uint16_t code, const std::vector<uint8_t>& body);
  void ShowFrame();
  void Label(const std::string& name);
  void Place(const SwfPlace& place);
  void PlaceV1(uint16_t character, uint16_t depth, SwfMatrix matrix,
               std::optional<SwfColorTransform> colorTransform = std::nullopt);
  void Remove(uint16_t depth);                      // RemoveObject2
  void RemoveV1(uint16_t character, uint16_t depth);
  void DoAction(const SwfActions& actions);
  // DoInitAction: run once, before the first frame that places the sprite.
  void DoInitAction(uint16_t sprite, const SwfActions& actions);
  // Sound (tools/SwfSound.h): StartSound; SoundStreamHead (version 1) or SoundStreamHead2,
  // the MP3 latency seek written only for MP3; one SoundStreamBlock of raw block data (an MP3
  // block starts with its sample count and seek, as the caller writes them).
  void StartSound(uint16_t sound, const SwfSoundInfo& info = {});
  void StartSound2(const std::string& className, const SwfSoundInfo& info = {});
  void SoundStreamHead(int version, SwfSoundFormat playback, SwfSoundFormat stream,
                       uint16_t samplesPerBlock, int16_t latencySeek = 0);
  void SoundStreamBlock(const std::vector<uint8_t>& data);
  // ExportAssets (or SymbolClass with code 76) naming one character.
  void ExportName(uint16_t character, const std::string& name, uint16_t code = 56);

  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  uint16_t Frames() const { return frames_; }

 private:
  std::vector<uint8_t> bytes_;
  uint16_t frames_ = 0;
};

// A whole movie: definitions get ids from 1 up in the order they are made.
class SwfMovieBuilder : public SwfTags {
 public:
  uint16_t DefineShape(const SwfShape& shape);
  // frameCount defaults to the sprite's ShowFrame count.
  uint16_t DefineSprite(const SwfTags& content, std::optional<uint16_t> frameCount = std::nullopt);
  // data is the uncompressed payload (colour table and rows as SWF lays them out); the
  // builder compresses it. tableSize is the colour count for format 3.
  uint16_t DefineLossless(int version, uint8_t format, uint16_t width, uint16_t height,
                          const std::vector<uint8_t>& data, uint16_t tableSize = 0);
  void JpegTables(const std::vector<uint8_t>& tables);
  uint16_t DefineBits(const std::vector<uint8_t>& jpeg);   // needs JpegTables
  uint16_t DefineJpeg2(const std::vector<uint8_t>& image);
  uint16_t DefineJpeg3(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& alpha);
  uint16_t DefineFont(const SwfFont& font);
  uint16_t DefineText(const SwfText& text);
  uint16_t DefineEditText(const SwfEditText& field);
  uint16_t DefineMorphShape(const SwfMorphShape& morph);
  uint16_t DefineButton(const SwfButton& button);
  // data as the tag carries it (an MP3 sound starts with its seek samples).
  uint16_t DefineSound(SwfSoundFormat format, uint32_t sampleCount, const std::vector<uint8_t>& data);

  // The movie with options' frame size, rate, background and compression; the header's
  // frame count is options.frameCount when given here, otherwise the ShowFrame count.
  std::vector<uint8_t> Finish(SwfOptions options, std::optional<uint16_t> headerFrames = std::nullopt) const;

 private:
  uint16_t nextId_ = 1;
};

}  // namespace swfsaver::tools
