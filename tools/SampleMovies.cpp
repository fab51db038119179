#include "tools/SampleMovies.h"

#include "tools/AnimatedSamples.h"
#include "tools/MusicSample.h"
#include "tools/ScriptedSamples.h"

namespace swfsaver::tools {
namespace {

SampleMovie Sample(std::string name, uint32_t width, uint32_t height, uint16_t rate,
                   uint16_t frames, SwfColor background, bool compressed) {
  SwfOptions options;
  options.widthPixels = width;
  options.heightPixels = height;
  options.frameRate = rate;
  options.frameCount = frames;
  options.background = background;
  options.compressed = compressed;
  return {std::move(name), options, 0};
}

// Distinct background colours let a screenshot tell the samples apart.
constexpr SwfColor kNavy{0x20, 0x30, 0x80};
constexpr SwfColor kTeal{0x10, 0x80, 0x80};
constexpr SwfColor kMaroon{0x80, 0x20, 0x20};
constexpr SwfColor kOlive{0x70, 0x70, 0x10};
constexpr SwfColor kGrey{0x60, 0x60, 0x60};

SampleMovie Animated(std::string name, uint32_t width, uint32_t height, uint16_t rate,
                     uint16_t frames, SwfColor background, bool compressed,
                     std::vector<uint8_t> (*write)(const SwfOptions&)) {
  SampleMovie sample = Sample(std::move(name), width, height, rate, frames, background, compressed);
  sample.options.version = 8;  // DefineShape4's miter joins
  sample.write = write;
  return sample;
}

std::vector<SampleMovie> BuildSamples() {
  std::vector<SampleMovie> samples = {
      Sample("fws_550x400_12fps_12f.swf", 550, 400, FrameRate(12), 12, kNavy, false),
      Sample("cws_550x400_12fps_12f.swf", 550, 400, FrameRate(12), 12, kNavy, true),
      Sample("fws_550x400_12fps_3f.swf", 550, 400, FrameRate(12), 3, kGrey, false),
      Sample("fws_1101x800_24fps_60f.swf", 1101, 800, FrameRate(24), 60, kTeal, false),
      Sample("cws_1101x800_24fps_60f.swf", 1101, 800, FrameRate(24), 60, kTeal, true),
      Sample("fws_320x240_30fps_60f.swf", 320, 240, FrameRate(30), 60, kMaroon, false),
      Sample("cws_320x240_8.5fps_12f.swf", 320, 240, FrameRate(8, 128), 12, kOlive, true),
      Sample("fws_320x240_1fps_1f.swf", 320, 240, FrameRate(1), 1, kMaroon, false),
      TitledTweenSample(),
  };
  SampleMovie cut = samples.front();
  cut.name = "short_20_bytes.swf";
  cut.truncateTo = 20;
  samples.push_back(cut);
  // Dark stages suit a screen saver; each its own hue.
  samples.push_back(Animated("anim_shapes_550x400_30fps_60f.swf", 550, 400, FrameRate(30), 60,
                             {0x0C, 0x0E, 0x26}, false, WriteShapesInMotion));
  samples.push_back(Animated("sprite_pinwheels_640x480_24fps_40f.swf", 640, 480, FrameRate(24), 40,
                             {0x06, 0x1A, 0x22}, true, WriteSpritePinwheels));
  samples.push_back(Animated("bitmap_fills_640x480_24fps_72f.swf", 640, 480, FrameRate(24), 72,
                             {0x16, 0x0C, 0x22}, false, WriteBitmapFills));
  samples.push_back(Animated("dense_shapes_1024x768_30fps_60f.swf", 1024, 768, FrameRate(30), 60,
                             {0x06, 0x08, 0x16}, true, WriteDenseShapes));
  samples.push_back(Animated("music_notes_550x400_25fps_100f.swf", 550, 400, FrameRate(25), 100,
                             {0x10, 0x0A, 0x20}, false, WriteMusicSample));
  samples.push_back(Animated("stopped_shapes_550x400_30fps_2f.swf", 550, 400, FrameRate(30), 2,
                             {0x10, 0x10, 0x18}, false, WriteStoppedShapes));
  // Scripted: a clock that keeps the time of day, snow, sparks, and Japanese text in an SWF 5
  // movie's Shift-JIS strings.
  samples.push_back(Animated("clock_640x480_20fps_200f.swf", 640, 480, FrameRate(20), 200,
                             {0x04, 0x06, 0x10}, true, WriteClock));
  samples.push_back(Animated("snow_640x480_24fps_240f.swf", 640, 480, FrameRate(24), 240,
                             {0x04, 0x06, 0x16}, true, WriteSnow));
  samples.push_back(Animated("sparks_800x600_30fps_300f.swf", 800, 600, FrameRate(30), 300,
                             {0x02, 0x02, 0x08}, true, WriteSparks));
  SampleMovie japanese = Animated("japanese_text_640x480_12fps_120f.swf", 640, 480, FrameRate(12),
                                  120, {0x0C, 0x06, 0x18}, false, WriteJapaneseText);
  japanese.options.version = 5;
  samples.push_back(japanese);
  return samples;
}

}  // namespace

std::vector<uint8_t> SampleMovie::Bytes() const {
  std::vector<uint8_t> bytes = write ? write(options) : WriteSwf(options);
  if (truncateTo != 0 && truncateTo < bytes.size()) bytes.resize(truncateTo);
  return bytes;
}

const std::vector<SampleMovie>& SampleMovies() {
  static const std::vector<SampleMovie> samples = BuildSamples();
  return samples;
}

std::vector<std::string> WriteSampleMovies(const std::string& directory) {
  std::vector<std::string> failed;
  for (const SampleMovie& sample : SampleMovies()) {
    if (!WriteFileBytes(directory + "/" + sample.name, sample.Bytes())) {
      failed.push_back(sample.name);
    }
  }
  return failed;
}

}  // namespace swfsaver::tools
