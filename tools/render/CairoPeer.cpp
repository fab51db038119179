#include "tools/render/CairoPeer.h"

#include <algorithm>
#include <cstring>
#include <variant>

#if SWFSAVER_HAS_CAIRO
#include <cairo.h>
#endif

namespace swfsaver::tools {

using swfplayer::ColorTransform;
using swfplayer::FillRule;
using swfplayer::Matrix;
using swfplayer::Paint;
using swfplayer::Path;
using swfplayer::Rgba;

bool CairoPeer::Available() { return SWFSAVER_HAS_CAIRO != 0; }

CairoPeer::CairoPeer(int width, int height) : width_(width), height_(height) {
  outlines_.SetCanvas(width, height);
}

CairoPeer::~CairoPeer() = default;

void CairoPeer::Clear(Rgba color) {
  Item item{};
  item.clear = true;
  item.clearColor = color;
  items_.push_back(std::move(item));
}

void CairoPeer::Add(const swfplayer::render::Outline& outline, FillRule rule, const Paint& paint,
                    const Matrix& toDevice, const ColorTransform& colorTransform) {
  if (outline.bounds.Empty()) return;
  Item item{};
  item.rule = rule;
  item.paint = paint;
  item.toDevice = toDevice;
  item.colorTransform = colorTransform;
  const swfplayer::render::Contours& from = *outline.contours;
  for (size_t c = 0; c < from.ContourCount(); ++c) {
    item.contours.BeginContour();
    for (size_t i = from.ContourBegin(c); i < from.ContourEnd(c); ++i) {
      const swfplayer::Point p = from.At(i);
      item.contours.Add({p.x + outline.offset.x, p.y + outline.offset.y});
    }
  }
  item.contours.EndContour();
  items_.push_back(std::move(item));
}

void CairoPeer::FillPath(const Path& path, const Matrix& toDevice, FillRule rule,
                         const Paint& paint, const ColorTransform& colorTransform) {
  Add(outlines_.Fill(path, toDevice, false, spare_), rule, paint, toDevice, colorTransform);
}

void CairoPeer::StrokePath(const Path& path, const Matrix& toDevice,
                           const swfplayer::StrokeStyle& stroke, const Paint& paint,
                           const ColorTransform& colorTransform) {
  Add(outlines_.Stroke(path, toDevice, stroke, false, spare_), FillRule::kNonZero, paint,
      toDevice, colorTransform);
}

#if SWFSAVER_HAS_CAIRO
namespace {

void SetColor(cairo_t* cr, Rgba c) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

// Cairo's pattern matrix maps user space (the device here) to pattern space.
void SetPatternMatrix(cairo_pattern_t* pattern, const Matrix& toDevice) {
  const auto inverse = toDevice.Inverse();
  if (!inverse) return;
  cairo_matrix_t m;
  cairo_matrix_init(&m, inverse->a, inverse->b, inverse->c, inverse->d, inverse->tx, inverse->ty);
  cairo_pattern_set_matrix(pattern, &m);
}

cairo_pattern_t* GradientPattern(const swfplayer::Gradient& g, const Matrix& toDevice,
                                 const ColorTransform& cx) {
  cairo_pattern_t* pattern =
      g.kind == swfplayer::GradientKind::kLinear
          ? cairo_pattern_create_linear(-16384, 0, 16384, 0)
          : cairo_pattern_create_radial(
                g.kind == swfplayer::GradientKind::kFocal ? g.focalPoint * 16384.0 : 0, 0, 0, 0,
                0, 16384);
  for (const swfplayer::GradientStop& stop : g.stops) {
    const Rgba c = cx.Apply(stop.color);
    cairo_pattern_add_color_stop_rgba(pattern, stop.ratio / 255.0, c.r / 255.0, c.g / 255.0,
                                      c.b / 255.0, c.a / 255.0);
  }
  cairo_pattern_set_extend(pattern, g.spread == swfplayer::Spread::kPad       ? CAIRO_EXTEND_PAD
                                    : g.spread == swfplayer::Spread::kReflect ? CAIRO_EXTEND_REFLECT
                                                                              : CAIRO_EXTEND_REPEAT);
  SetPatternMatrix(pattern, toDevice * g.matrix);
  return pattern;
}

}  // namespace

void CairoPeer::Draw(uint32_t* out) {
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(out), CAIRO_FORMAT_ARGB32, width_, height_, width_ * 4);
  cairo_t* cr = cairo_create(surface);
  std::vector<cairo_surface_t*> bitmaps;
  for (const Item& item : items_) {
    if (item.clear) {
      cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
      SetColor(cr, item.clearColor);
      cairo_paint(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      continue;
    }
    cairo_new_path(cr);
    const swfplayer::render::Contours& contours = item.contours;
    for (size_t c = 0; c < contours.ContourCount(); ++c) {
      const size_t begin = contours.ContourBegin(c), end = contours.ContourEnd(c);
      cairo_move_to(cr, contours.At(begin).x, contours.At(begin).y);
      for (size_t i = begin + 1; i < end; ++i) cairo_line_to(cr, contours.At(i).x, contours.At(i).y);
      cairo_close_path(cr);
    }
    cairo_set_fill_rule(cr, item.rule == FillRule::kEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD
                                                            : CAIRO_FILL_RULE_WINDING);
    cairo_pattern_t* pattern = nullptr;
    if (const auto* color = std::get_if<Rgba>(&item.paint)) {
      SetColor(cr, item.colorTransform.Apply(*color));
    } else if (const auto* g = std::get_if<swfplayer::Gradient>(&item.paint)) {
      pattern = GradientPattern(*g, item.toDevice, item.colorTransform);
    } else if (const auto* fill = std::get_if<swfplayer::BitmapFill>(&item.paint)) {
      if (!fill->bitmap) continue;
      const swfplayer::Bitmap& b = *fill->bitmap;
      cairo_surface_t* image = cairo_image_surface_create_for_data(
          reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(b.pixels.data())),
          CAIRO_FORMAT_ARGB32, b.width, b.height, b.width * 4);
      bitmaps.push_back(image);
      pattern = cairo_pattern_create_for_surface(image);
      cairo_pattern_set_extend(pattern, fill->repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_PAD);
      cairo_pattern_set_filter(pattern, fill->smooth ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
      SetPatternMatrix(pattern, item.toDevice * fill->matrix);
    }
    if (pattern) cairo_set_source(cr, pattern);
    cairo_fill(cr);
    if (pattern) cairo_pattern_destroy(pattern);
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  for (cairo_surface_t* image : bitmaps) cairo_surface_destroy(image);
}
#else
void CairoPeer::Draw(uint32_t*) {}
#endif

}  // namespace swfsaver::tools
