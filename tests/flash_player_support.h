// Shared by the stand-in player's tests: a Canvas that records what it is asked to draw, and
// helpers to load a movie from the writer and to pull tag bodies out of a built stream.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "swfplayer/image/NativeImageDecoder.h"
#include "swfplayer/movie/TagStream.h"
#include "swfplayer/player/Player.h"
#include "swfplayer/player/Stage.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tools/SwfBuilder.h"
#include "tools/avm1/FixedHost.h"

namespace swfplayer {
// The sample writer, as the engine's tests name it.
namespace tools = ::swfsaver::tools;
}  // namespace swfplayer

namespace swfplayer::testing {


struct CanvasCall {
  enum class Kind { kFill, kStroke, kBeginMask, kEndMask, kPopMask };
  Kind kind;
  Path path;
  Matrix matrix;
  Paint paint;
  StrokeStyle stroke;
  FillRule rule = FillRule::kEvenOdd;
  ColorTransform colorTransform;
};

class RecordingCanvas : public render::Canvas {
 public:
  int Width() const override { return 100; }
  int Height() const override { return 100; }
  void Clear(Rgba) override {}
  void FillPath(const Path& path, const Matrix& m, FillRule rule,
                const Paint& paint, const ColorTransform& cx) override {
    calls.push_back({CanvasCall::Kind::kFill, path, m, paint, {}, rule, cx});
  }
  void StrokePath(const Path& path, const Matrix& m, const StrokeStyle& stroke,
                  const Paint& paint, const ColorTransform& cx) override {
    calls.push_back({CanvasCall::Kind::kStroke, path, m, paint, stroke, {}, cx});
  }
  void BeginMask() override { calls.push_back({CanvasCall::Kind::kBeginMask, {}, {}, {}, {}, {}, {}}); }
  void EndMask() override { calls.push_back({CanvasCall::Kind::kEndMask, {}, {}, {}, {}, {}, {}}); }
  void PopMask() override { calls.push_back({CanvasCall::Kind::kPopMask, {}, {}, {}, {}, {}, {}}); }

  // One letter a call: F fill, S stroke, B begin mask, E end mask, P pop mask.
  std::string Script() const {
    std::string out;
    for (const CanvasCall& call : calls) out += "FSBEP"[static_cast<int>(call.kind)];
    return out;
  }
  // The solid colours of the fills and strokes, in order.
  std::vector<Rgba> Colors() const {
    std::vector<Rgba> out;
    for (const CanvasCall& call : calls) {
      if (const auto* c = std::get_if<Rgba>(&call.paint)) out.push_back(*c);
    }
    return out;
  }

  std::vector<CanvasCall> calls;
};

// A square of one solid colour, `side` twips wide, from the origin.
inline uint16_t SolidSquare(tools::SwfMovieBuilder& movie, tools::SwfRgba color, int32_t side) {
  tools::SwfShape shape;
  shape.xMax = shape.yMax = side;
  shape.fills = {tools::SwfFill::Solid(color)};
  shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, side, side);
  return movie.DefineShape(shape);
}

// The movie's scripts run under the fixed conditions of FixedHost; host, when given, receives
// the host so a test can read its trace lines.
inline std::unique_ptr<player::Player> LoadBytes(const std::vector<uint8_t>& bytes,
                                                 std::shared_ptr<tools::FixedHost>* host = nullptr) {
  image::NativeImageDecoder decoder;
  auto fixed = std::make_shared<tools::FixedHost>();
  if (host) *host = fixed;
  player::PlayerLoad load = player::Player::Load(bytes, decoder, {.host = fixed});
  EXPECT_TRUE(load.ok());
  return std::move(load.player);
}

inline std::unique_ptr<player::Player> LoadMovie(const tools::SwfMovieBuilder& movie,
                                                 std::optional<uint16_t> headerFrames = std::nullopt) {
  return LoadBytes(movie.Finish({}, headerFrames));
}

// The stage as the control draws it at the movie's own size, in low quality: no anti-aliasing,
// so a pixel has exactly the colour of what covers its centre. Premultiplied 0xAARRGGBB.
struct StagePixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  bool operator==(const StagePixels&) const = default;
};

inline StagePixels DrawLow(const player::Player& player) {
  const TwipsRect& frame = player.Header().frameSize;
  StagePixels stage{(frame.xMax - frame.xMin) / 20, (frame.yMax - frame.yMin) / 20, {}};
  stage.pixels.resize(size_t(stage.width) * size_t(stage.height));
  render::RasterCanvas canvas(stage.pixels.data(), stage.width, stage.height, stage.width,
                              render::Quality::kLow);
  player::DrawStage(&player, canvas, std::nullopt);
  return stage;
}

constexpr uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// The body of the first tag with this code in a built stream.
inline std::vector<uint8_t> FirstTagBody(const tools::SwfTags& tags, uint16_t code) {
  TagStream stream(tags.Bytes());
  TagRecord tag;
  while (stream.Next(tag)) {
    if (tag.code == code) return {tag.body.begin(), tag.body.end()};
  }
  ADD_FAILURE() << "no tag " << code;
  return {};
}

}  // namespace swfplayer::testing
