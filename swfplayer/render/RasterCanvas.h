// The software canvas: draws into caller-owned premultiplied 0xAARRGGBB pixels (a DIB
// section's bits, a vector for a PNG writer). Buffers live as long as the canvas, so drawing
// allocates little once the first frames have sized them.
//
// Outside a frame every call draws at once. Between BeginFrame and EndFrame the calls are
// recorded (outlines worked out and kept, OutlineCache.h) and EndFrame draws what differs from
// the last frame (FrameDamage.h), in bands of rows spread over the threads given by
// SetThreads. Either way the pixels are the same, byte for byte.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "swfplayer/render/BandRenderer.h"
#include "swfplayer/render/BitmapPainter.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/render/CoverageCache.h"
#include "swfplayer/render/FrameDamage.h"
#include "swfplayer/render/GradientPainter.h"
#include "swfplayer/render/Layers.h"
#include "swfplayer/render/OutlineCache.h"
#include "swfplayer/render/WorkerPool.h"

namespace swfplayer::render {

class RasterCanvas final : public Canvas {
 public:
  // Largest width or height; a canvas with a bad size or no pixels is 0 x 0 and draws nothing.
  static constexpr int kMaxSide = 1 << 15;

  RasterCanvas(uint32_t* pixels, int width, int height, int strideInPixels, Quality quality);
  ~RasterCanvas() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  Quality GetQuality() const { return quality_; }
  void SetQuality(Quality quality);
  // Threads that draw a frame's bands (the caller counts as one); 1 draws on the caller alone.
  void SetThreads(int threads);
  int Threads() const { return pool_ ? pool_->Threads() : 1; }

  // Starts recording a frame.
  void BeginFrame();
  // Draws the recorded frame where it differs from the one drawn before (DamagedBoxes) and
  // returns the box around that (empty: nothing changed and nothing was drawn). The first
  // frame, and the first after drawing outside frames, a new quality or InvalidateFrame, is
  // drawn whole.
  PixelBox EndFrame();
  // The boxes the last EndFrame drew, sharing no row, top to bottom; the pixels outside them
  // are as the frame before left them, and they are this frame's too.
  const std::vector<PixelBox>& DamagedBoxes() const { return damage_.boxes; }
  void InvalidateFrame() { wholeFrame_ = true; }
  // Whether fills keep their coverage from frame to frame (CoverageCache.h; on by default).
  // Off, every fill is rasterised every frame, as when everything moves: for benchmarks.
  void KeepCoverage(bool keep) {
    keepCoverage_ = keep;
    coverageStale_ = coverageStale_ || !keep;
  }
  const OutlineCache& Outlines() const { return outlines_; }
  const CoverageCache& Coverage() const { return coverage_; }

  void Clear(Rgba color) override;
  void FillPath(const Path& path, const Matrix& toDevice, FillRule rule, const Paint& paint,
                const ColorTransform& colorTransform) override;
  void StrokePath(const Path& path, const Matrix& toDevice, const StrokeStyle& stroke,
                  const Paint& paint, const ColorTransform& colorTransform) override;
  void BeginMask() override;
  void EndMask() override;
  void PopMask() override { Record(DrawCommand::Of(DrawOp::kPopMask), 3); }
  bool BeginLayer(const Matrix& objectToDevice, const ColorTransform& colorTransform,
                  const DisplayEffects& effects, FilterScale scale) override;
  void EndLayer() override;
  const LayerCache& Layers() const { return layers_.Cache(); }

 private:
  // Sets up the paint of command (a colour, or a gradient or bitmap painter kept for the frame).
  void SetPaint(DrawCommand& command, const Paint& paint, const Matrix& toDevice,
                const ColorTransform& colorTransform);
  void Record(DrawCommand command, uint64_t hash);
  // The paints set up so far may be set up anew.
  void RecyclePaints();
  // Room for an outline that is not kept, valid until the frame ends.
  Contours& Spare();
  CanvasPixels Pixels() const { return {pixels_, width_, height_, stride_, quality_}; }
  PixelBox Whole() const { return {0, 0, width_, height_}; }
  // Works out the outlines of the small fills recorded for EndFrame, over the threads, and
  // drops those that touch no pixel.
  void OutlineSmallFills();
  // The coverage entry of a fill (style null) or stroke drawn onto the canvas in a frame (null
  // for any other).
  CoverageCache::Entry* KeptCoverage(const Path& path, const Matrix& toDevice, FillRule rule,
                                     const StrokeStyle* style = nullptr);
  // Sets command up to be painted from kept's rows, with no outline, when all are kept.
  bool PaintKept(DrawCommand& command, CoverageCache::Entry* kept);
  // Sets command's outline: none when kept is complete (the coverage is painted), else the one
  // outline() gives, which kept is set up for. False when it touches no pixel.
  template <typename MakeOutline>
  bool SetOutline(DrawCommand& command, CoverageCache::Entry* kept, MakeOutline outline);
  // Draws commands within the boxes (sharing no row, top to bottom) into target, in bands
  // over the threads.
  void DrawBands(const CanvasPixels& target, const PixelBox* boxes, size_t boxCount,
                 const DrawCommand* commands, size_t count);
  // Draws commands at once, on this thread (outside frames).
  void DrawNow(const DrawCommand* commands, size_t count);

  uint32_t* pixels_ = nullptr;
  int width_ = 0, height_ = 0, stride_ = 0;
  Quality quality_;
  bool recording_ = false;
  bool wholeFrame_ = true;
  bool immediateReady_ = false;  // bands_[0] is set up for drawing outside frames
  int masksBuilding_ = 0;  // BeginMask calls not yet ended: layers are not taken then
  OutlineCache outlines_;
  CoverageCache coverage_;
  bool coverageStale_ = false;  // cleared when the next frame begins
  bool keepCoverage_ = true;
  LayerRecorder layers_;
  std::vector<DrawCommand> commands_;
  std::vector<DrawSignature> signatures_, previous_;
  Damage damage_;  // the last frame's
  std::vector<std::unique_ptr<Contours>> spares_;
  size_t sparesUsed_ = 0;
  // A frame's small fills (a traced picture is thousands of them): copied when recorded, their
  // outlines worked out by OutlineSmallFills on every thread rather than on the recording one.
  struct SmallFill {
    size_t command;
    Contours* outline;  // the command's spare
    Path path;
    Matrix toDevice;
    CoverageCache::Entry* coverage;  // its coverage entry, not complete
  };
  std::vector<SmallFill> smallFills_;  // kept across frames for the paths' buffers
  size_t smallFillsUsed_ = 0;
  std::deque<GradientPainter> gradients_;  // a deque: commands point into it
  std::deque<BitmapPainter> bitmaps_;
  size_t gradientsUsed_ = 0, bitmapsUsed_ = 0;
  std::unique_ptr<WorkerPool> pool_;
  std::vector<std::unique_ptr<BandRenderer>> bands_;  // one per thread
  std::vector<PixelBox> bandWindows_;                 // DrawBands: each band's pixels,
  std::vector<std::vector<uint32_t>> bandCommands_;    // its commands
  std::unique_ptr<BandRenderer> layerBand_;  // layers drawn outside frames
};

}  // namespace swfplayer::render
