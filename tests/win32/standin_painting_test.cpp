// What the hosted stand-in control shows: exactly the frame the portable player and renderer
// draw for the same movie and size, the BackgroundColor property behind and around the movie,
// the movie's own background on its stage while the property is unset, black without a movie.
#include <optional>
#include <vector>

#include "swfplayer/player/Player.h"
#include "swfplayer/player/Stage.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tests/win32/standin_support.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::standin_test {
namespace {

// The movies here hold no bitmaps.
class NoImages final : public swfplayer::image::ImageDecoder {
 public:
  std::optional<swfplayer::Bitmap> Decode(std::span<const uint8_t>) override {
    return std::nullopt;
  }
};

// The window's pixels as 0x00RRGGBB, read back from the screen through a DIB.
std::vector<uint32_t> WindowPixels(HWND window, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                               static_cast<const uint32_t*>(bits) + size_t(width) * height);
  for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  SelectObject(memory, previous);
  DeleteObject(dib);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return pixels;
}

// A 160 x 120 movie on teal: a gradient-filled curved shape with a thick stroke, rotated.
std::vector<uint8_t> DrawnMovie() {
  tools::SwfMovieBuilder movie;
  tools::SwfShape shape;
  shape.xMin = -1200;
  shape.xMax = 1200;
  shape.yMin = -900;
  shape.yMax = 900;
  shape.fills.push_back(tools::SwfFill::Gradient(
      tools::SwfFill::Kind::kRadial, {0.06, 0, 0, 0.06, 0, 0},
      {{0, {255, 220, 0, 255}}, {255, {200, 0, 80, 255}}}));
  shape.lines.push_back(tools::SwfLine::Solid(90, {20, 20, 90, 255}));
  shape.Style(std::nullopt, 1, 1, std::pair{-1000, 0})
      .CurveBy(0, -900, 1000, 0)
      .CurveBy(1000, 0, 0, 900)
      .LineBy(-1000, 0);
  const uint16_t id = movie.DefineShape(shape);
  tools::SwfPlace place;
  place.character = id;
  place.matrix = tools::SwfMatrix{0.9, 0.4, -0.4, 0.9, 1600, 1200};
  movie.Place(place);
  movie.ShowFrame();
  tools::SwfOptions options;
  options.widthPixels = 160;
  options.heightPixels = 120;
  options.background = tools::SwfColor{0x20, 0x80, 0x80};
  return movie.Finish(options);
}

class StandinPainting : public StandinInPlace {
 protected:
  StandinPainting() : StandinInPlace(true) {}

  // Shows movie in a 200 x 100 control, BackgroundColor as given (none: never set).
  HWND Show(const TempMovie& movie, std::optional<long> background) {
    site_.rect = {0, 0, kWidth, kHeight};
    EXPECT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site_, 0, site_.Window(),
                              nullptr),
              S_OK);
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    if (background) {
      EXPECT_EQ(PutLong(dispatch, flashapi::kDispidBackgroundColor, *background), S_OK);
    }
    EXPECT_EQ(PutMovie(dispatch, movie.Path()), S_OK);
    dispatch->Release();
    HWND window = ControlWindow();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump(50);
    return window;
  }

  static constexpr int kWidth = 200;
  static constexpr int kHeight = 100;
};

TEST_F(StandinPainting, ShowsExactlyWhatThePortableRendererDraws) {
  const std::vector<uint8_t> bytes = DrawnMovie();
  TempMovie movie(L"drawn.swf", bytes);
  HWND window = Show(movie, 0x102030);

  NoImages images;
  auto load = swfplayer::player::Player::Load(bytes, images);
  ASSERT_TRUE(load.ok());
  std::vector<uint32_t> expected(size_t(kWidth) * kHeight);
  swfplayer::render::RasterCanvas canvas(expected.data(), kWidth, kHeight, kWidth,
                                     swfplayer::render::Quality::kHigh);
  swfplayer::player::DrawStage(load.player.get(), canvas, swfplayer::Rgba{0x10, 0x20, 0x30, 255});
  for (uint32_t& pixel : expected) pixel &= 0xFFFFFF;

  const std::vector<uint32_t> shown = WindowPixels(window, kWidth, kHeight);
  size_t differing = 0;
  for (size_t i = 0; i < shown.size(); ++i) differing += shown[i] != expected[i] ? 1 : 0;
  EXPECT_EQ(differing, 0u) << "of " << shown.size() << " pixels";
  // The frame is a real picture: the stroke, the gradient and the background all show.
  EXPECT_EQ(shown[size_t(50) * kWidth + 5], 0x102030u) << "left of the stage";
  EXPECT_NE(shown[size_t(50) * kWidth + 100], 0x102030u) << "the shape in the middle";
}

TEST_F(StandinPainting, BackgroundColorIsBehindAndAroundTheMovie) {
  tools::SwfOptions options = MovieOptions(100, 100, 12, 2);
  options.background = tools::SwfColor{0x20, 0xC0, 0x40};
  TempMovie movie(L"square.swf", options);
  HWND window = Show(movie, 0);
  EXPECT_EQ(PixelAt(window, 10, 50), RGB(0, 0, 0)) << "left of the stage";
  EXPECT_EQ(PixelAt(window, 100, 30), RGB(0, 0, 0)) << "on the stage, where nothing is drawn";
}

TEST_F(StandinPainting, WithoutTheColorTheStageTakesTheMoviesOwnAndNoMovieIsBlack) {
  tools::SwfOptions options = MovieOptions(100, 100, 12, 2);
  options.background = tools::SwfColor{0x20, 0xC0, 0x40};
  TempMovie movie(L"square.swf", options);
  HWND window = Show(movie, std::nullopt);
  EXPECT_EQ(PixelAt(window, 10, 50), RGB(0, 0, 0)) << "left of the stage";
  EXPECT_EQ(PixelAt(window, 190, 50), RGB(0, 0, 0)) << "right of the stage";
  EXPECT_EQ(PixelAt(window, 100, 30), RGB(0x20, 0xC0, 0x40)) << "on the stage";

  IDispatch* dispatch = nullptr;
  ASSERT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  EXPECT_EQ(PutMovie(dispatch, TempPath(L"missing.swf")), S_OK);
  dispatch->Release();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump(50);
  EXPECT_EQ(PixelAt(window, 100, 30), RGB(0, 0, 0)) << "no movie: all black";
}

}  // namespace
}  // namespace swfsaver::standin_test
