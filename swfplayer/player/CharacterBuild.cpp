#include "swfplayer/player/CharacterBuild.h"

#include "swfplayer/format/ShapeLayers.h"

namespace swfplayer::player {
namespace {

// Some writers end a font's name with its NUL.
std::u16string FontName(std::string name, uint8_t swfVersion, const AnsiDecoder& ansi) {
  while (!name.empty() && name.back() == '\0') name.pop_back();
  return DecodeSwfString(name, swfVersion, ansi);
}

constexpr size_t kPointsPerGlyph = 4;
constexpr size_t kPointsPerCharacter = 2;  // what a glyph read back as text holds (32 bytes)
constexpr size_t kPointsPerMorphRecord = 5;

bool Charge(size_t& budget, size_t points) {
  if (points > budget) return false;
  budget -= points;
  return true;
}

void NoteBitmap(const format::FillStyle& fill, const format::BitmapLookup& lookup, MorphCharacter& morph) {
  const auto* bitmap = std::get_if<format::BitmapFillStyle>(&fill);
  if (!bitmap || !lookup) return;
  if (auto found = lookup(bitmap->bitmapId)) morph.bitmaps.emplace(bitmap->bitmapId, std::move(found));
}

// A run of a static text: the font's name and metrics at the record's height.
avm1::StaticTextRun RunOf(const FontCharacter* font, double height, Rgba color) {
  avm1::StaticTextRun run;
  run.height = height;
  run.color = color;
  run.ascent = height;  // the EM, for a font without a layout
  if (!font) return run;
  run.font = font->name;
  if (const text::EmbeddedFont* layout = font->layout.get();
      layout && (layout->Ascent() > 0 || layout->Descent() > 0)) {
    run.ascent = layout->Ascent() / layout->UnitsPerEm() * height;
    run.descent = layout->Descent() / layout->UnitsPerEm() * height;
  }
  return run;
}

char16_t CharacterOf(const FontCharacter* font, uint32_t glyph) {
  const auto character = font && font->layout ? font->layout->CharacterOfGlyph(glyph) : std::nullopt;
  if (!character || *character > 0xFFFF) return u'\uFFFD';
  return static_cast<char16_t>(*character);
}

}  // namespace

ShapeCharacter BuildShapeCharacter(const format::ShapeDefinition& shape,
                                   const format::BitmapLookup& lookup, size_t& pointBudget) {
  ShapeCharacter character;
  character.bounds = shape.bounds;
  character.fillRule = shape.nonZeroWinding ? FillRule::kNonZero : FillRule::kEvenOdd;
  for (format::ShapeLayer& layer : format::BuildShapeLayers(shape, pointBudget)) {
    ShapeLayerPaths& paths = character.layers.emplace_back();
    for (format::StyledPath& fill : layer.fillPaths) {
      paths.fills.push_back({std::move(fill.path), format::MakePaint(layer.fills[fill.style], lookup)});
    }
    for (format::StyledPath& stroke : layer.strokePaths) {
      const format::LineStyle& style = layer.lines[stroke.style];
      paths.strokes.push_back({std::move(stroke.path), style.stroke, format::MakePaint(style.fill, lookup)});
    }
  }
  return character;
}

FontCharacter BuildFont(const format::FontDefinition& font, uint8_t swfVersion, const AnsiDecoder& ansi,
                        size_t& pointBudget) {
  auto glyphs = std::make_shared<GlyphPaths>(font.glyphs.size());
  format::ShapeDefinition outline;
  outline.fills = {Rgba{}};  // glyphs name fill style 1 and carry no styles of their own
  for (size_t i = 0; i < font.glyphs.size(); ++i) {
    outline.records = font.glyphs[i];
    std::vector<format::ShapeLayer> layers = format::BuildShapeLayers(outline, pointBudget);
    if (!layers.empty() && !layers.front().fillPaths.empty()) {
      (*glyphs)[i] = std::move(layers.front().fillPaths.front().path);
    }
  }
  FontCharacter character{glyphs, font.UnitsToEm(), nullptr, {}};
  character.layout = std::make_shared<const text::EmbeddedFont>(font, glyphs, swfVersion, ansi);
  character.name = FontName(font.name, swfVersion, ansi);
  return character;
}

FontCharacter CompleteFont(const FontCharacter& outlines, format::FontDefinition font,
                           const format::FontInfo& info, uint8_t swfVersion, const AnsiDecoder& ansi) {
  font.glyphs.resize(outlines.glyphs ? outlines.glyphs->size() : 0);
  format::ApplyFontInfo(font, info);
  FontCharacter character = outlines;
  if (outlines.glyphs) {
    character.layout = std::make_shared<const text::EmbeddedFont>(font, outlines.glyphs, swfVersion, ansi);
  }
  character.name = FontName(font.name, swfVersion, ansi);
  return character;
}

EditTextCharacter BuildEditText(format::EditTextDefinition tag, const Dictionary& dictionary,
                                uint8_t swfVersion, const AnsiDecoder& ansi) {
  EditTextCharacter character;
  character.swfVersion = swfVersion;
  character.initialText = DecodeSwfString(tag.initialText.value_or(""), swfVersion, ansi);
  character.variableName = DecodeSwfString(tag.variableName, swfVersion, ansi);
  if (tag.fontId) {
    const Character* found = dictionary.Find(*tag.fontId);
    if (const auto* font = found ? std::get_if<FontCharacter>(found) : nullptr) {
      character.fontName = font->name;
      if (font->layout && font->layout->HasGlyphs()) character.font = font->layout;
    }
  } else if (tag.fontClass) {
    character.fontName = DecodeSwfString(*tag.fontClass, swfVersion, ansi);
  }
  character.tag = std::move(tag);
  return character;
}

TextCharacter BuildText(const format::TextDefinition& text, const Dictionary& dictionary,
                        size_t& pointBudget) {
  TextCharacter character;
  character.bounds = text.bounds;
  auto content = std::make_shared<avm1::StaticTextContent>();
  content->matrix = text.matrix;
  const FontCharacter* font = nullptr;
  double height = 0;
  Rgba color{0, 0, 0, 255};
  double x = 0, y = 0;
  bool newRun = true;  // the font or colour changed since the last run
  for (const format::TextRecord& record : text.records) {
    if (record.fontId) {
      const Character* found = dictionary.Find(*record.fontId);
      font = found ? std::get_if<FontCharacter>(found) : nullptr;
      height = record.height;
      if (font && font->glyphs && !font->glyphs->empty()) character.fonts.push_back(font->glyphs);
    }
    if (record.color) color = *record.color;
    if (record.x) x = *record.x;
    if (record.y) y = *record.y;
    newRun = newRun || record.fontId || record.color;
    if (newRun && !record.glyphs.empty()) {
      content->runs.push_back(RunOf(font, height, color));
      newRun = false;
    }
    for (const format::GlyphEntry& entry : record.glyphs) {
      if (Charge(pointBudget, kPointsPerCharacter)) {
        content->glyphs.push_back({CharacterOf(font, entry.index),
                                   static_cast<uint32_t>(content->runs.size() - 1), x, y,
                                   static_cast<double>(entry.advance)});
      }
      const bool drawn = font && font->glyphs && entry.index < font->glyphs->size() &&
                         !(*font->glyphs)[entry.index].Empty() && height > 0;
      if (drawn && Charge(pointBudget, kPointsPerGlyph)) {
        const double scale = height * font->unitsToEm;
        character.glyphs.push_back({&(*font->glyphs)[entry.index],
                                    text.matrix * Matrix{scale, 0, 0, scale, x, y}, color});
      }
      x += entry.advance;
    }
  }
  character.content = std::move(content);
  return character;
}

std::optional<MorphCharacter> BuildMorph(format::MorphShapeDefinition morph,
                                         const format::BitmapLookup& lookup, size_t& pointBudget) {
  if (morph.records.size() > pointBudget / kPointsPerMorphRecord) return std::nullopt;
  pointBudget -= morph.records.size() * kPointsPerMorphRecord;
  MorphCharacter character;
  for (const format::MorphFillStyle& fill : morph.fills) NoteBitmap(fill.start, lookup, character);
  for (const format::MorphLineStyle& line : morph.lines) NoteBitmap(line.start.fill, lookup, character);
  character.morph = std::move(morph);
  return character;
}

ButtonCharacter BuildButton(const format::ButtonDefinition& button, size_t& controlTagsLeft) {
  ButtonCharacter character;
  std::vector<FrameItem> frame;
  for (const format::ButtonRecord& record : button.records) {
    if ((record.states & format::kButtonUp) == 0) continue;
    if (controlTagsLeft == 0) break;
    --controlTagsLeft;
    FrameItem& item = frame.emplace_back(std::in_place_type<Placement>);
    format::PlaceObject& place = std::get<Placement>(item).tag;
    place.depth = record.depth;
    place.characterId = record.characterId;
    place.matrix = record.matrix;
    place.colorTransform = record.colorTransform;
    if (!record.effects.filters.empty()) place.filters = record.effects.filters;
    if (record.effects.blendMode != BlendMode::kNormal) {
      place.blendMode = static_cast<uint8_t>(record.effects.blendMode);
    }
  }
  character.upState.frames.push_back(std::move(frame));
  return character;
}

}  // namespace swfplayer::player
