// Shared by the stand-in player's tests: a Canvas that records what it is asked to draw, and
// helpers to load a movie from the writer and to pull tag bodies out of a built stream.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "standin/flash/image/NativeImageDecoder.h"
#include "standin/flash/movie/TagStream.h"
#include "standin/flash/player/Player.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::flash::testing {

struct CanvasCall {
  enum class Kind { kFill, kStroke, kBeginMask, kEndMask, kPopMask };
  Kind kind;
  render::Path path;
  render::Matrix matrix;
  render::Paint paint;
  render::StrokeStyle stroke;
  render::FillRule rule = render::FillRule::kEvenOdd;
  render::ColorTransform colorTransform;
};

class RecordingCanvas : public render::Canvas {
 public:
  int Width() const override { return 100; }
  int Height() const override { return 100; }
  void Clear(render::Rgba) override {}
  void FillPath(const render::Path& path, const render::Matrix& m, render::FillRule rule,
                const render::Paint& paint, const render::ColorTransform& cx) override {
    calls.push_back({CanvasCall::Kind::kFill, path, m, paint, {}, rule, cx});
  }
  void StrokePath(const render::Path& path, const render::Matrix& m, const render::StrokeStyle& stroke,
                  const render::Paint& paint, const render::ColorTransform& cx) override {
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
  std::vector<render::Rgba> Colors() const {
    std::vector<render::Rgba> out;
    for (const CanvasCall& call : calls) {
      if (const auto* c = std::get_if<render::Rgba>(&call.paint)) out.push_back(*c);
    }
    return out;
  }

  std::vector<CanvasCall> calls;
};

inline std::unique_ptr<player::Player> LoadMovie(const tools::SwfMovieBuilder& movie,
                                                 std::optional<uint16_t> headerFrames = std::nullopt) {
  image::NativeImageDecoder decoder;
  player::PlayerLoad load = player::Player::Load(movie.Finish({}, headerFrames), decoder);
  EXPECT_TRUE(load.ok());
  return std::move(load.player);
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

}  // namespace swfsaver::flash::testing
