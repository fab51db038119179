// What changed between two frames, from what each drew: every fill and stroke is summed up in
// a signature (a hash of its path's id (of its points, for a small one), full matrix, colour transform, paint and style, with
// its pixel bounds), and the frame's list of signatures is compared, in order, with the last
// frame's. Where two signatures differ, the bounds of both are damaged; a change in a clear or
// in the masks' structure damages everything. Equal lists: nothing changed, nothing is drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/DrawCommand.h"
#include "swfplayer/types/Geometry.h"
#include "swfplayer/types/Paint.h"
#include "swfplayer/types/Path.h"

namespace swfplayer::render {

struct DrawSignature {
  uint64_t hash = 0;
  PixelBox bounds;
  DrawOp op = DrawOp::kFill;
  bool operator==(const DrawSignature& o) const {
    return hash == o.hash && op == o.op && bounds.left == o.bounds.left &&
           bounds.top == o.bounds.top && bounds.right == o.bounds.right &&
           bounds.bottom == o.bounds.bottom;
  }
};

// Hashes of what decides a fill's or stroke's pixels (besides the masks it is drawn under,
// which are signatures of their own).
uint64_t FillHash(const Path& path, const Matrix& toDevice, FillRule rule, const Paint& paint,
                  const ColorTransform& colorTransform);
uint64_t StrokeHash(const Path& path, const Matrix& toDevice, const StrokeStyle& style,
                    const Paint& paint, const ColorTransform& colorTransform);

// What to draw again: boxes that share no row, top to bottom, and their union.
struct Damage {
  std::vector<PixelBox> boxes;
  PixelBox bounds;  // empty when nothing changed
  // Per strip of rows: the columns and rows the changed bounds reach there (reused).
  std::vector<PixelBox> strips;
};

// Rows are taken in strips of kDamageStripRows: a strip's damage is the box around the bounds
// of the signatures that differ, as far as they reach into it (those of both, where two
// differ), and strips that meet with the same columns make one box. Two objects moving far
// apart are drawn again in their own rows and columns, not in the box around both. All of
// canvas when a clear or a mask step differs; none when the lists are equal.
inline constexpr int kDamageStripRows = 16;
void DamageBetween(const std::vector<DrawSignature>& before,
                   const std::vector<DrawSignature>& after, const PixelBox& canvas,
                   Damage& damage);

}  // namespace swfplayer::render
