#include "standin/flash/player/Renderer.h"

#include <algorithm>
#include <vector>

namespace swfsaver::flash::player {
namespace {

void DrawShape(render::Canvas& canvas, const ShapeCharacter& shape, const render::Matrix& toDevice,
               const render::ColorTransform& cx) {
  for (const ShapeLayerPaths& layer : shape.layers) {
    for (const ShapeFill& fill : layer.fills) {
      canvas.FillPath(fill.path, toDevice, shape.fillRule, fill.paint, cx);
    }
    for (const ShapeStroke& stroke : layer.strokes) {
      canvas.StrokePath(stroke.path, toDevice, stroke.stroke, stroke.paint, cx);
    }
  }
}

// inMask: drawing the content of a mask, where only coverage counts and masks cannot nest
// (the canvas takes one mask at a time between BeginMask and EndMask): clip layers inside
// it are left out and what they would clip is drawn whole.
void DrawList(render::Canvas& canvas, const Timeline& timeline, const render::Matrix& toDevice,
              const render::ColorTransform& cx, bool inMask);

void DrawObject(render::Canvas& canvas, const DisplayObject& object, const render::Matrix& toDevice,
                const render::ColorTransform& cx, bool inMask) {
  const Character* character = object.Definition();
  if (!character) return;
  if (const auto* shape = std::get_if<ShapeCharacter>(character)) {
    DrawShape(canvas, *shape, toDevice, cx);
  } else if (object.Sprite()) {
    DrawList(canvas, *object.Sprite(), toDevice, cx, inMask);
  }
}

void DrawList(render::Canvas& canvas, const Timeline& timeline, const render::Matrix& toDevice,
              const render::ColorTransform& cx, bool inMask) {
  // The clip depth up to which each pushed mask applies; an inner mask never outlasts the one
  // it is drawn under, so the top of the stack always ends first.
  std::vector<uint16_t> masks;
  for (const auto& [depth, object] : timeline.DisplayList()) {
    while (!masks.empty() && depth > masks.back()) {
      canvas.PopMask();
      masks.pop_back();
    }
    const Placement& state = object.State();
    const render::Matrix matrix = toDevice * state.matrix;
    const render::ColorTransform transform = cx * state.colorTransform;
    if (state.clipDepth == 0) {
      DrawObject(canvas, object, matrix, transform, inMask);
      continue;
    }
    if (inMask || state.clipDepth <= depth) continue;
    canvas.BeginMask();
    DrawObject(canvas, object, matrix, transform, /*inMask=*/true);
    canvas.EndMask();
    masks.push_back(masks.empty() ? state.clipDepth : std::min(state.clipDepth, masks.back()));
  }
  for (size_t i = 0; i < masks.size(); ++i) canvas.PopMask();
}

}  // namespace

void RenderTimeline(render::Canvas& canvas, const Timeline& timeline, const render::Matrix& toDevice,
                    const render::ColorTransform& colorTransform) {
  DrawList(canvas, timeline, toDevice, colorTransform, /*inMask=*/false);
}

}  // namespace swfsaver::flash::player
