#include "swfplayer/player/Renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "swfplayer/format/Limits.h"
#include "swfplayer/player/CharacterBuild.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Drawing.h"
#include "swfplayer/player/Limits.h"

namespace swfplayer::player {
namespace {

// The canvas, the tweens' shapes kept between frames (may be null) and what is left of the
// frame's budgets.
struct Target {
  render::Canvas& canvas;
  render::FilterScale filterScale;  // device pixels per stage pixel
  MorphShapeCache* morphs = nullptr;
  size_t drawsLeft = kMaxDrawsPerFrame;
  size_t morphRecordsLeft = kMaxMorphRecordsPerFrame;
  Matrix rootToDevice;  // for masks set by scripts, which may sit anywhere in the tree
};

void DrawShape(Target& target, const ShapeCharacter& shape, const Matrix& toDevice,
               const ColorTransform& cx) {
  for (const ShapeLayerPaths& layer : shape.layers) {
    for (const ShapeFill& fill : layer.fills) {
      if (target.drawsLeft == 0) return;
      --target.drawsLeft;
      target.canvas.FillPath(fill.path, toDevice, shape.fillRule, fill.paint, cx);
    }
    for (const ShapeStroke& stroke : layer.strokes) {
      if (target.drawsLeft == 0) return;
      --target.drawsLeft;
      target.canvas.StrokePath(stroke.path, toDevice, stroke.stroke, stroke.paint, cx);
    }
  }
}

// The characters a script selected (TextSnapshot.setSelected) are highlighted: a box of the
// selection colour behind each, from the pen to its advance and from the font's ascent to its
// descent. The box is one unit square, the same path every frame, stretched by its matrix.
void DrawSelection(Target& target, const avm1::StaticText& scripted, const Matrix& toDevice,
                   const ColorTransform& cx) {
  static const Path unitSquare = [] {
    Path square;
    square.MoveTo({0, 0});
    square.LineTo({1, 0});
    square.LineTo({1, 1});
    square.LineTo({0, 1});
    square.Id();  // named now, so that copies keep the name
    return square;
  }();
  const avm1::StaticTextContent& content = scripted.Content();
  const Matrix toText = toDevice * content.matrix;
  for (size_t i = 0; i < content.glyphs.size(); ++i) {
    if (!scripted.Selected(i) || target.drawsLeft == 0) continue;
    const avm1::StaticTextGlyph& glyph = content.glyphs[i];
    if (glyph.run >= content.runs.size()) continue;
    const avm1::StaticTextRun& run = content.runs[glyph.run];
    --target.drawsLeft;
    const Matrix box{glyph.advance, 0, 0, run.ascent + run.descent, glyph.x, glyph.y - run.ascent};
    target.canvas.FillPath(unitSquare, toText * box, FillRule::kNonZero, scripted.SelectColor(), cx);
  }
}

// Glyphs are filled like shapes (even-odd), in their text's colour under the colour transform.
void DrawText(Target& target, const TextCharacter& text, const avm1::StaticText* scripted,
              const Matrix& toDevice, const ColorTransform& cx) {
  if (scripted && scripted->AnySelected()) DrawSelection(target, *scripted, toDevice, cx);
  for (const TextGlyph& glyph : text.glyphs) {
    if (target.drawsLeft == 0) return;
    --target.drawsLeft;
    target.canvas.FillPath(*glyph.path, toDevice * glyph.matrix, FillRule::kEvenOdd,
                           glyph.color, cx);
  }
}

// A text field: background, then its text (clipped to the field when it reaches outside),
// then its border. Inside a mask only the text's coverage counts and no clip can be pushed.
void DrawEditText(Target& target, EditTextInstance& instance, const Matrix& toDevice,
                  const ColorTransform& cx, bool inMask) {
  const text::FieldPicture& picture = instance.Field().Picture();
  auto fill = [&](const text::FieldPicture::Fill& item) {
    if (target.drawsLeft == 0) return;
    --target.drawsLeft;
    target.canvas.FillPath(*item.path, toDevice * item.matrix,
                           item.nonZero ? FillRule::kNonZero : FillRule::kEvenOdd, item.color, cx);
  };
  if (picture.background && !inMask) fill(*picture.background);
  const bool clip = picture.clip && !inMask;
  if (clip) {
    target.canvas.BeginMask();
    target.canvas.FillPath(*picture.clip, toDevice, FillRule::kNonZero, Rgba{0, 0, 0, 255}, ColorTransform{});
    target.canvas.EndMask();
  }
  for (const text::FieldPicture::Fill& item : picture.text) fill(item);
  if (clip) target.canvas.PopMask();
  if (picture.border && !inMask && target.drawsLeft > 0) {
    --target.drawsLeft;
    if (const auto pixels = text::BorderPixels(*picture.border, toDevice)) {
      target.canvas.FillPath(*pixels, Matrix{}, FillRule::kNonZero, picture.border->color, cx);
      return;
    }
    StrokeStyle hairline;
    hairline.width = 0;  // one device pixel
    hairline.scaleX = hairline.scaleY = false;
    hairline.join = Join::kMiter;
    hairline.pixelHinting = true;
    target.canvas.StrokePath(picture.border->path, toDevice, hairline, picture.border->color, cx);
  }
}

// A tween is made into a shape at the instance's ratio when drawn, or taken from the last
// frame's when it rests there; nothing is kept per instance, and the frame's budget bounds the
// work (counted alike either way, so that what is drawn never depends on the cache).
void DrawMorph(Target& target, const MorphCharacter& morph, uint16_t ratio,
               const Matrix& toDevice, const ColorTransform& cx) {
  const size_t records = morph.morph.records.size();
  if (records > target.morphRecordsLeft) {
    target.morphRecordsLeft = 0;
    return;
  }
  target.morphRecordsLeft -= records;
  const format::BitmapLookup lookup = [&morph](uint16_t id) -> std::shared_ptr<const Bitmap> {
    const auto found = morph.bitmaps.find(id);
    return found == morph.bitmaps.end() ? nullptr : found->second;
  };
  auto build = [&] {
    size_t points = format::kMaxMoviePathPoints;  // the movie's budget paid for it at load
    return BuildShapeCharacter(format::MorphShapeAt(morph.morph, ratio), lookup, points);
  };
  if (!target.morphs) {
    DrawShape(target, build(), toDevice, cx);
    return;
  }
  const ShapeCharacter* shape = target.morphs->Find(&morph, ratio);
  if (!shape) shape = target.morphs->Keep(&morph, ratio, build());
  DrawShape(target, *shape, toDevice, cx);
}

// An attached bitmap is a rectangle of its pixels, one stage pixel each. Snapped, it starts on
// a whole device pixel: always, or (auto) while it is drawn upright at its own size, so that
// its pixels land on the screen's unblurred.
void DrawAttachedBitmap(Target& target, const DisplayObject::AttachedBitmap& attached, Matrix toDevice,
                        const ColorTransform& cx) {
  const Bitmap& bitmap = *attached.bitmap;
  if (bitmap.width <= 0 || bitmap.height <= 0 || target.drawsLeft == 0) return;
  --target.drawsLeft;
  using Snapping = DisplayObject::PixelSnapping;
  const bool natural = toDevice.b == 0 && toDevice.c == 0 && std::abs(toDevice.a * 20 - 1) < 1e-3 &&
                       std::abs(toDevice.d * 20 - 1) < 1e-3;
  if (attached.snapping == Snapping::kAlways || (attached.snapping == Snapping::kAuto && natural)) {
    toDevice.tx = std::round(toDevice.tx);
    toDevice.ty = std::round(toDevice.ty);
  }
  const double w = bitmap.width * 20.0, h = bitmap.height * 20.0;
  Path rect;
  rect.MoveTo({0, 0});
  rect.LineTo({w, 0});
  rect.LineTo({w, h});
  rect.LineTo({0, h});
  const BitmapFill fill{attached.bitmap, Matrix::Scale(20, 20), /*repeat=*/false, attached.smoothing};
  target.canvas.FillPath(rect, toDevice, FillRule::kNonZero, fill, cx);
}

// inMask: drawing the content of a mask, where only coverage counts and masks cannot nest
// (the canvas takes one mask at a time between BeginMask and EndMask): clip layers inside
// it are left out and what they would clip is drawn whole.
void DrawList(Target& target, const Timeline& timeline, const Matrix& toDevice,
              const ColorTransform& cx, bool inMask);

void DrawContent(Target& target, const DisplayObject& object, const Matrix& toDevice,
                 const ColorTransform& cx, bool inMask) {
  const Character* character = object.Definition();
  if (const auto* shape = std::get_if<ShapeCharacter>(character)) {
    DrawShape(target, *shape, toDevice, cx);
  } else if (const auto* text = std::get_if<TextCharacter>(character)) {
    DrawText(target, *text, object.ScriptStaticText(), toDevice, cx);
  } else if (const auto* morph = std::get_if<MorphCharacter>(character)) {
    DrawMorph(target, *morph, object.Ratio(), toDevice, cx);
  } else if (const DisplayObject::AttachedBitmap* attached = object.Attached()) {
    DrawAttachedBitmap(target, *attached, toDevice, cx);
  } else if (EditTextInstance* field = object.EditText()) {
    DrawEditText(target, *field, toDevice, cx, inMask);
  } else if (object.Sprite()) {
    if (const Drawing* drawing = object.Drawn()) DrawShape(target, drawing->Shape(), toDevice, cx);
    DrawList(target, *object.Sprite(), toDevice, cx, inMask);
  }
}

// Where a layer's content is drawn. A filtered or cached object goes into a bitmap snapped to
// whole pixels at the top left of its bounds (render::SnapLayerContent); an object with only a
// blend mode is drawn where it stands.
Matrix LayerContentMatrix(const DisplayObject& object, const Matrix& toDevice) {
  const DisplayEffects& effects = object.Effects();
  if (effects.filters.empty() && !effects.cacheAsBitmap) return toDevice;
  // In twentieths of a device pixel; a box around nothing has every edge at 0x7FFFFFF.
  const TwipsRect box = object.BoundsIn(Matrix::Scale(20, 20) * toDevice);
  constexpr int32_t kNoBounds = 0x7FFFFFF;
  if (box.xMin == kNoBounds && box.xMax == kNoBounds) return toDevice;
  return render::SnapLayerContent(toDevice, {box.xMin / 20.0, box.yMin / 20.0});
}

// An object with filters, a blend mode or cached as a bitmap is drawn into a layer of the
// canvas's, which applies its colour transform to the layer as a whole.
void DrawObject(Target& target, const DisplayObject& object, const Matrix& toDevice,
                const ColorTransform& cx, bool inMask) {
  // A script's empty clip and its text fields have no character of their own.
  if (!object.Definition() && !object.Sprite() && !object.EditText() && !object.Attached()) return;
  const DisplayEffects& effects = object.Effects();
  if (!inMask && effects.NeedsLayer()) {
    const Matrix inside = LayerContentMatrix(object, toDevice);
    if (target.canvas.BeginLayer(inside, cx, effects, target.filterScale)) {
      DrawContent(target, object, inside, ColorTransform{}, inMask);
      target.canvas.EndLayer();
      return;
    }
  }
  DrawContent(target, object, toDevice, cx, inMask);
}

void DrawList(Target& target, const Timeline& timeline, const Matrix& toDevice,
              const ColorTransform& cx, bool inMask) {
  // The clip depth up to which each pushed mask applies; an inner mask never outlasts the one
  // it is drawn under, so the top of the stack always ends first.
  std::vector<int32_t> masks;
  for (const auto& [depth, object] : timeline.DisplayList()) {
    while (!masks.empty() && depth > masks.back()) {
      target.canvas.PopMask();
      masks.pop_back();
    }
    // Hidden objects draw nothing; a hidden mask still masks, as in the Flash Player.
    const int32_t clipDepth = object->ClipDepth();
    if (!object->Visible() && clipDepth == 0) continue;
    const Matrix matrix = toDevice * object->LocalMatrix();
    const ColorTransform transform = cx * object->LocalColorTransform();
    if (object->MaskOf() && !object->MaskOf()->Removed()) continue;  // a script's mask is not drawn
    const DisplayObject* scriptMask = object->Mask();
    if (clipDepth == 0 && scriptMask && !scriptMask->Removed() && !inMask) {
      target.canvas.BeginMask();
      DrawObject(target, *scriptMask, target.rootToDevice * scriptMask->ConcatenatedMatrix(), ColorTransform{},
                 /*inMask=*/true);
      target.canvas.EndMask();
      DrawObject(target, *object, matrix, transform, inMask);
      target.canvas.PopMask();
      continue;
    }
    if (clipDepth == 0) {
      DrawObject(target, *object, matrix, transform, inMask);
      continue;
    }
    if (inMask || clipDepth <= depth) continue;
    target.canvas.BeginMask();
    DrawObject(target, *object, matrix, transform, /*inMask=*/true);
    target.canvas.EndMask();
    masks.push_back(masks.empty() ? clipDepth : std::min(clipDepth, masks.back()));
  }
  for (size_t i = 0; i < masks.size(); ++i) target.canvas.PopMask();
}

}  // namespace

void RenderTimeline(render::Canvas& canvas, const Timeline& timeline, const Matrix& toDevice,
                    const ColorTransform& colorTransform, MorphShapeCache* morphs) {
  // Twips to device pixels, times the 20 twips of a stage pixel.
  const render::FilterScale scale{std::hypot(toDevice.a, toDevice.b) * 20,
                                  std::hypot(toDevice.c, toDevice.d) * 20};
  Target target{canvas, scale, morphs, kMaxDrawsPerFrame, kMaxMorphRecordsPerFrame, toDevice};
  DrawList(target, timeline, toDevice, colorTransform, /*inMask=*/false);
}

void RenderObjectContent(render::Canvas& canvas, const DisplayObject& object, const Matrix& toDevice,
                         const ColorTransform& colorTransform) {
  const render::FilterScale scale{std::hypot(toDevice.a, toDevice.b) * 20,
                                  std::hypot(toDevice.c, toDevice.d) * 20};
  // A mask a script set somewhere in the tree is placed from the root's coordinates.
  const Matrix rootToDevice = toDevice * object.ConcatenatedMatrix().Inverse().value_or(Matrix{});
  Target target{canvas, scale, nullptr, kMaxDrawsPerFrame, kMaxMorphRecordsPerFrame, rootToDevice};
  DrawContent(target, object, toDevice, colorTransform, /*inMask=*/false);
}

}  // namespace swfplayer::player
