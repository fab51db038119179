#include "swfplayer/render/RasterCanvas.h"

#include <algorithm>
#include <variant>

#include "swfplayer/render/PixelBlend.h"
#include "swfplayer/render/StrokePen.h"

namespace swfplayer::render {
namespace {

// Rows per band at least: thinner bands cost more in edges walked twice than they win.
constexpr int kMinBandRows = 16;
// Bands per thread, so that a thread done early takes over work from a busy part of the frame.
constexpr int kBandsPerThread = 4;
// Pixels of a band at most, in bytes (rows permitting): a band's pixels stay in the core's
// cache while its shapes are painted over them one after the other, so a frame of many small
// shapes does not fetch its pixels from memory again for every shape. Half a megabyte fits
// the second-level cache of most processors; smaller bands cost more in the outlines that cross
// their edges (a traced photograph at 1920x1080: 5% more instructions at 256 KB).
constexpr size_t kBandBytes = 512 * 1024;

// The outline of a fill painted from its kept coverage: none is worked out.
const Contours kNoOutline;

bool Bounded(DrawOp op) {
  return op == DrawOp::kFill || op == DrawOp::kStroke || op == DrawOp::kLayer;
}

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
  coverageStale_ = true;  // a frame being recorded may hold entries
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
  if (coverageStale_) coverage_.Clear();
  coverageStale_ = false;
  recording_ = true;
  masksBuilding_ = 0;
  layers_.BeginFrame();
  outlines_.SetArea(Whole());
  commands_.clear();
  signatures_.clear();
  sparesUsed_ = 0;
  smallFillsUsed_ = 0;
  RecyclePaints();
}

PixelBox RasterCanvas::EndFrame() {
  if (!recording_) return {};
  while (layers_.Open()) EndLayer();  // unbalanced calls
  recording_ = false;
  OutlineSmallFills();
  layers_.Resolve(commands_.data(), commands_.size(),
                  [this](const CanvasPixels& target, const DrawCommand* commands, size_t count) {
                    const PixelBox box = target.Box();
                    DrawBands(target, &box, 1, commands, count);
                  });
  if (wholeFrame_) {
    damage_.bounds = Whole();
    damage_.boxes.assign(damage_.bounds.Empty() ? 0 : 1, damage_.bounds);
  } else {
    DamageBetween(previous_, signatures_, Whole(), damage_);
  }
  wholeFrame_ = false;
  if (!damage_.boxes.empty()) {
    DrawBands(Pixels(), damage_.boxes.data(), damage_.boxes.size(), commands_.data(),
              commands_.size());
  }
  previous_.swap(signatures_);
  outlines_.EndFrame();
  coverage_.EndFrame();
  immediateReady_ = false;
  return damage_.bounds;
}

void RasterCanvas::OutlineSmallFills() {
  const size_t count = smallFillsUsed_;
  if (count == 0) return;
  auto outline = [&](size_t begin, size_t end) {
    for (size_t i = begin; i < end; ++i) {
      const SmallFill& fill = smallFills_[i];
      DrawCommand& command = commands_[fill.command];
      const Outline o = OutlineCache::FillSmall(fill.path, fill.toDevice, Whole(), *fill.outline);
      command.offset = o.offset;
      command.bounds = signatures_[fill.command].bounds = o.bounds;
    }
  };
  auto keep = [&] {  // on this thread: the cache is not shared
    for (size_t i = 0; i < smallFillsUsed_; ++i) {
      const SmallFill& fill = smallFills_[i];
      if (!fill.coverage) continue;
      DrawCommand& command = commands_[fill.command];
      coverage_.SetBounds(*fill.coverage, command.bounds, command.offset);
      if (!fill.coverage->Usable() || fill.coverage->Bounds() != command.bounds) {
        command.coverage = nullptr;
      }
    }
  };
  // Chunks of a few dozen fills keep the threads' hand-over cheap beside the flattening.
  constexpr size_t kChunk = 64;
  const int chunks = static_cast<int>((count + kChunk - 1) / kChunk);
  if (pool_ && chunks > 1) {
    pool_->Run(chunks, [&](int index, int) {
      const size_t begin = static_cast<size_t>(index) * kChunk;
      outline(begin, std::min(begin + kChunk, count));
    });
  } else {
    outline(0, count);
  }
  keep();
  const bool offCanvas =
      std::any_of(smallFills_.begin(), smallFills_.begin() + static_cast<ptrdiff_t>(count),
                  [this](const SmallFill& fill) { return commands_[fill.command].bounds.Empty(); });
  if (!offCanvas) return;
  // A fill that touches no pixel is not drawn, nor compared with the last frame's: as if it
  // had never been recorded, the way FillPath leaves out any other such fill.
  size_t kept = 0;
  for (size_t i = 0; i < commands_.size(); ++i) {
    if (commands_[i].op == DrawOp::kFill && commands_[i].bounds.Empty()) continue;
    commands_[kept] = commands_[i];
    signatures_[kept] = signatures_[i];
    ++kept;
  }
  commands_.resize(kept);
  signatures_.resize(kept);
}

void RasterCanvas::DrawBands(const CanvasPixels& target, const PixelBox* boxes, size_t boxCount,
                             const DrawCommand* commands, size_t count) {
  const int threads = Threads();
  // Each box in bands of rows, top to bottom as the boxes are.
  bandWindows_.clear();
  PixelBox all;
  int bandRowsMost = 0;
  for (size_t b = 0; b < boxCount; ++b) {
    const PixelBox& box = boxes[b];
    const int rows = box.bottom - box.top;
    if (rows <= 0 || box.right <= box.left) continue;
    all = all.Union(box);
    const size_t rowBytes = static_cast<size_t>(box.right - box.left) * sizeof(uint32_t);
    const int cached = std::max(kMinBandRows, static_cast<int>(kBandBytes / rowBytes));
    const int spread =
        threads == 1 ? 1 : std::clamp(rows / kMinBandRows, 1, threads * kBandsPerThread);
    const int bands = std::max(spread, (rows + cached - 1) / cached);
    const int bandRows = (rows + bands - 1) / bands;
    bandRowsMost = std::max(bandRowsMost, bandRows);
    for (int top = box.top; top < box.bottom; top += bandRows) {
      bandWindows_.push_back({box.left, top, box.right, std::min(top + bandRows, box.bottom)});
    }
  }
  const int bands = static_cast<int>(bandWindows_.size());
  if (bands == 0) return;
  // Each band's commands: the ones whose bounds reach its pixels (the others would draw nothing
  // there), and every clear and mask step.
  if (bandCommands_.size() < static_cast<size_t>(bands)) bandCommands_.resize(bands);
  for (int b = 0; b < bands; ++b) bandCommands_[b].clear();
  auto below = [](const PixelBox& band, int y) { return band.bottom <= y; };
  for (size_t i = 0; i < count; ++i) {
    if (!Bounded(commands[i].op)) {
      for (int b = 0; b < bands; ++b) bandCommands_[b].push_back(static_cast<uint32_t>(i));
      continue;
    }
    const PixelBox box = commands[i].bounds.Intersect(all);
    if (box.Empty()) continue;
    // The bands are in order of rows: from the first that ends below the command's top.
    for (auto it = std::lower_bound(bandWindows_.begin(), bandWindows_.begin() + bands, box.top,
                                    below);
         it != bandWindows_.begin() + bands && it->top < box.bottom; ++it) {
      if (it->left < box.right && box.left < it->right) {
        bandCommands_[it - bandWindows_.begin()].push_back(static_cast<uint32_t>(i));
      }
    }
  }
  auto band = [&](int index, int thread) {
    BandRenderer& renderer = *bands_[thread];
    const PixelBox& window = bandWindows_[index];
    const std::vector<uint32_t>& mine = bandCommands_[index];
    // One height for every band's masks, so that their layers serve band after band.
    renderer.Begin(target, window, window.top, bandRowsMost);
    renderer.Draw(commands, mine.data(), mine.size());
    renderer.End();
  };
  if (pool_ && bands > 1) {
    pool_->Run(bands, band);
  } else {
    for (int i = 0; i < bands; ++i) band(i, 0);
  }
  // The canvas's own band renderer for drawing outside frames is set up anew.
  immediateReady_ = false;
}

void RasterCanvas::DrawNow(const DrawCommand* commands, size_t count) {
  // Drawn at once, on this thread; the next frame cannot rely on the last one's pixels.
  wholeFrame_ = true;
  if (!immediateReady_) {
    bands_[0]->Begin(Pixels(), Whole(), 0, height_);
    immediateReady_ = true;
  }
  bands_[0]->Draw(commands, count);
  sparesUsed_ = 0;
  RecyclePaints();
  layers_.Recycle();
}

void RasterCanvas::RecyclePaints() {
  // Bitmaps the last frame drew are not held past it.
  for (size_t i = 0; i < bitmapsUsed_; ++i) bitmaps_[i].Release();
  gradientsUsed_ = bitmapsUsed_ = 0;
}

Contours& RasterCanvas::Spare() {
  if (sparesUsed_ == spares_.size()) spares_.push_back(std::make_unique<Contours>());
  Contours& spare = *spares_[sparesUsed_++];
  spare.Clear();
  return spare;
}

void RasterCanvas::Record(DrawCommand command, uint64_t hash) {
  if (layers_.Open()) {
    layers_.Add(command, hash);
    return;
  }
  if (recording_) {
    const bool bounded = command.op == DrawOp::kFill || command.op == DrawOp::kStroke ||
                         command.op == DrawOp::kLayer;
    signatures_.push_back({hash, bounded ? command.bounds : Whole(), command.op});
    commands_.push_back(command);
    return;
  }
  DrawNow(&command, 1);
}

void RasterCanvas::BeginMask() {
  ++masksBuilding_;
  Record(DrawCommand::Of(DrawOp::kBeginMask), 1);
}

void RasterCanvas::EndMask() {
  masksBuilding_ = std::max(0, masksBuilding_ - 1);
  Record(DrawCommand::Of(DrawOp::kEndMask), 2);
}

bool RasterCanvas::BeginLayer(const Matrix& objectToDevice, const ColorTransform& colorTransform,
                              const DisplayEffects& effects, FilterScale scale) {
  if (width_ == 0 || masksBuilding_ > 0) return false;
  if (!layers_.Begin(objectToDevice, colorTransform, effects, scale, Whole(), quality_)) {
    return false;
  }
  outlines_.SetArea(layers_.Area(Whole()));
  return true;
}

void RasterCanvas::EndLayer() {
  if (!layers_.Open()) return;
  DrawCommand composite;
  uint64_t hash = 0;
  const bool drawn = layers_.End(composite, hash);
  outlines_.SetArea(layers_.Area(Whole()));
  if (!drawn) {
    if (!recording_) layers_.Recycle();
    return;
  }
  if (layers_.Open() || recording_) {
    Record(composite, hash);
    return;
  }
  layers_.Resolve(&composite, 1,
                  [this](const CanvasPixels& target, const DrawCommand* commands, size_t count) {
                    // A renderer of its own: the canvas's keeps the masks pushed so far.
                    if (!layerBand_) layerBand_ = std::make_unique<BandRenderer>();
                    layerBand_->Begin(target, target.Box(), target.top, target.height);
                    layerBand_->Draw(commands, count);
                    layerBand_->End();
                  });
  DrawNow(&composite, 1);
}

void RasterCanvas::Clear(Rgba color) {
  // Outside frames, a clear begins a new picture.
  if (!recording_ && !layers_.Open()) layers_.BeginFrame();
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
  CoverageCache::Entry* const kept = KeptCoverage(path, toDevice, rule);
  if (recording_ && !layers_.Open() && OutlineCache::Small(path)) {
    DrawCommand command = DrawCommand::Of(DrawOp::kFill, rule);
    SetPaint(command, paint, toDevice, colorTransform);
    if (!PaintKept(command, kept)) {
      // Outlined at EndFrame (OutlineSmallFills), as outlines_.Fill would have.
      command.coverage = kept;
      if (smallFillsUsed_ == smallFills_.size()) smallFills_.emplace_back();
      SmallFill& fill = smallFills_[smallFillsUsed_++];
      fill.outline = &Spare();
      command.contours = fill.outline;
      fill.command = commands_.size();
      fill.path = path;
      fill.toDevice = toDevice;
      fill.coverage = kept;
    }
    Record(command, FillHash(path, layers_.Relative(toDevice), rule, paint, colorTransform));
    return;
  }
  DrawCommand command = DrawCommand::Of(DrawOp::kFill, rule);
  if (!SetOutline(command, kept,
                  [&] { return outlines_.Fill(path, toDevice, recording_, Spare()); })) {
    return;
  }
  SetPaint(command, paint, toDevice, colorTransform);
  const bool hashed = recording_ || layers_.Open();
  Record(command, hashed ? FillHash(path, layers_.Relative(toDevice), rule, paint, colorTransform)
                         : 0);
}

CoverageCache::Entry* RasterCanvas::KeptCoverage(const Path& path, const Matrix& toDevice,
                                                 FillRule rule, const StrokeStyle* style) {
  if (!keepCoverage_ || !recording_ || layers_.Open()) return nullptr;
  CoverageCache::Key key{path.Id(), toDevice.a, toDevice.b, toDevice.c, toDevice.d, toDevice.tx,
                         toDevice.ty, rule};
  if (style) {
    key.kind = StrokeStyleBits(*style);
    key.width = style->width;
    key.miterLimit = style->miterLimit;
  }
  return coverage_.Use(key);
}

bool RasterCanvas::PaintKept(DrawCommand& command, CoverageCache::Entry* kept) {
  if (!kept || !coverage_.CheckComplete(*kept)) return false;
  command.contours = &kNoOutline;
  command.offset = kept->Offset();
  command.bounds = kept->Bounds();
  command.coverage = kept;
  return true;
}

template <typename MakeOutline>
bool RasterCanvas::SetOutline(DrawCommand& command, CoverageCache::Entry* kept,
                              MakeOutline makeOutline) {
  if (PaintKept(command, kept)) return true;
  const Outline outline = makeOutline();
  if (outline.bounds.Empty()) return false;
  command.contours = outline.contours;
  command.offset = outline.offset;
  command.bounds = outline.bounds;
  if (kept) {
    coverage_.SetBounds(*kept, outline.bounds, outline.offset);
    if (kept->Usable() && kept->Bounds() == outline.bounds) command.coverage = kept;
  }
  return true;
}

void RasterCanvas::StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                              const Paint& paint, const ColorTransform& colorTransform) {
  if (width_ == 0 || path.Empty()) return;
  CoverageCache::Entry* const kept = KeptCoverage(path, toDevice, FillRule::kNonZero, &stroke);
  DrawCommand command = DrawCommand::Of(DrawOp::kStroke);
  if (!SetOutline(command, kept, [&] {
        return outlines_.Stroke(path, toDevice, stroke, recording_, Spare());
      })) {
    return;
  }
  SetPaint(command, paint, toDevice, colorTransform);
  const bool hashed = recording_ || layers_.Open();
  Record(command,
         hashed ? StrokeHash(path, layers_.Relative(toDevice), stroke, paint, colorTransform) : 0);
}

}  // namespace swfplayer::render
