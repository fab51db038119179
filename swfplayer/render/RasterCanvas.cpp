#include "swfplayer/render/RasterCanvas.h"

#include <algorithm>
#include <variant>

#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

// Rows per band at least: thinner bands cost more in edges walked twice than they win.
constexpr int kMinBandRows = 16;
// Bands per thread, so that a thread done early takes over work from a busy part of the frame.
constexpr int kBandsPerThread = 4;

}  // namespace

RasterCanvas::RasterCanvas(uint32_t* pixels, int width, int height, int strideInPixels,
                           Quality quality)
    : quality_(quality) {
  if (pixels && width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
      strideInPixels >= width) {
    pixels_ = pixels;
    width_ = width;
    height_ = height;
    stride_ = strideInPixels;
  }
  outlines_.SetCanvas(width_, height_);
  bands_.push_back(std::make_unique<BandRenderer>());
}

RasterCanvas::~RasterCanvas() = default;

void RasterCanvas::SetQuality(Quality quality) {
  if (quality == quality_) return;
  quality_ = quality;
  wholeFrame_ = true;
  immediateReady_ = false;
}

void RasterCanvas::SetThreads(int threads) {
  threads = std::clamp(threads, 1, WorkerPool::kMaxThreads);
  if (threads == Threads()) return;
  pool_.reset();
  if (threads > 1) pool_ = std::make_unique<WorkerPool>(threads);
  while (static_cast<int>(bands_.size()) < threads) {
    bands_.push_back(std::make_unique<BandRenderer>());
  }
}

void RasterCanvas::BeginFrame() {
  recording_ = true;
  commands_.clear();
  signatures_.clear();
  sparesUsed_ = 0;
  gradientsUsed_ = bitmapsUsed_ = 0;
}

PixelBox RasterCanvas::EndFrame() {
  if (!recording_) return {};
  recording_ = false;
  const PixelBox damage = wholeFrame_ ? Whole() : DamageBetween(previous_, signatures_, Whole());
  wholeFrame_ = false;
  if (!damage.Empty()) DrawBands(damage);
  previous_.swap(signatures_);
  outlines_.EndFrame();
  immediateReady_ = false;
  return damage;
}

void RasterCanvas::DrawBands(const PixelBox& damage) {
  const int rows = damage.bottom - damage.top;
  const int threads = Threads();
  const int count =
      threads == 1 ? 1 : std::clamp(rows / kMinBandRows, 1, threads * kBandsPerThread);
  const int bandRows = (rows + count - 1) / count;
  const CanvasPixels canvas = Pixels();
  auto band = [&](int index, int thread) {
    BandRenderer& renderer = *bands_[thread];
    const int top = damage.top + index * bandRows;
    const PixelBox window{damage.left, top, damage.right, std::min(top + bandRows, damage.bottom)};
    renderer.Begin(canvas, window, top, bandRows);
    renderer.Draw(commands_.data(), commands_.size());
    renderer.End();
  };
  if (pool_ && count > 1) {
    pool_->Run(count, band);
  } else {
    for (int i = 0; i < count; ++i) band(i, 0);
  }
}

Contours& RasterCanvas::Spare() {
  if (sparesUsed_ == spares_.size()) spares_.push_back(std::make_unique<Contours>());
  Contours& spare = *spares_[sparesUsed_++];
  spare.Clear();
  return spare;
}

void RasterCanvas::Record(DrawCommand command, uint64_t hash) {
  if (recording_) {
    const PixelBox bounds = command.op == DrawOp::kFill || command.op == DrawOp::kStroke
                                ? command.bounds
                                : Whole();
    signatures_.push_back({hash, bounds, command.op});
    commands_.push_back(command);
    return;
  }
  // Drawn at once, on this thread; the next frame cannot rely on the last one's pixels.
  wholeFrame_ = true;
  if (!immediateReady_) {
    bands_[0]->Begin(Pixels(), Whole(), 0, height_);
    immediateReady_ = true;
  }
  bands_[0]->Draw(&command, 1);
  sparesUsed_ = 0;
  gradientsUsed_ = bitmapsUsed_ = 0;
}

void RasterCanvas::Clear(Rgba color) {
  DrawCommand command = DrawCommand::Of(DrawOp::kClear);
  command.solid = Premultiply(color);
  Record(command, command.solid);
}

void RasterCanvas::SetPaint(DrawCommand& command, const Paint& paint, const Matrix& toDevice,
                            const ColorTransform& colorTransform) {
  if (const auto* color = std::get_if<Rgba>(&paint)) {
    command.solid = Premultiply(colorTransform.Apply(*color));
    command.paintless = command.solid == 0;
  } else if (const auto* gradient = std::get_if<Gradient>(&paint)) {
    if (gradientsUsed_ == gradients_.size()) gradients_.emplace_back();
    GradientPainter& painter = gradients_[gradientsUsed_++];
    painter.Setup(*gradient, toDevice * gradient->matrix, colorTransform);
    command.painter = &painter;
  } else if (const auto* fill = std::get_if<BitmapFill>(&paint)) {
    if (bitmapsUsed_ == bitmaps_.size()) bitmaps_.emplace_back();
    BitmapPainter& painter = bitmaps_[bitmapsUsed_++];
    command.paintless = !painter.Setup(*fill, toDevice * fill->matrix, colorTransform, quality_);
    command.painter = command.paintless ? nullptr : &painter;
  }
}

void RasterCanvas::FillPath(const Path& path, const Matrix& toDevice, FillRule rule,
                            const Paint& paint, const ColorTransform& colorTransform) {
  if (width_ == 0 || path.Empty()) return;
  const Outline outline = outlines_.Fill(path, toDevice, recording_, Spare());
  if (outline.bounds.Empty()) return;
  DrawCommand command = DrawCommand::Of(DrawOp::kFill, rule);
  command.contours = outline.contours;
  command.offset = outline.offset;
  command.bounds = outline.bounds;
  SetPaint(command, paint, toDevice, colorTransform);
  Record(command, recording_ ? FillHash(path, toDevice, rule, paint, colorTransform) : 0);
}

void RasterCanvas::StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                              const Paint& paint, const ColorTransform& colorTransform) {
  if (width_ == 0 || path.Empty()) return;
  const Outline outline = outlines_.Stroke(path, toDevice, stroke, recording_, Spare());
  if (outline.bounds.Empty()) return;
  DrawCommand command = DrawCommand::Of(DrawOp::kStroke);
  command.contours = outline.contours;
  command.offset = outline.offset;
  command.bounds = outline.bounds;
  SetPaint(command, paint, toDevice, colorTransform);
  Record(command, recording_ ? StrokeHash(path, toDevice, stroke, paint, colorTransform) : 0);
}

}  // namespace swfplayer::render
