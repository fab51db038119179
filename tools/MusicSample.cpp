// The sample with sound: a melody streamed along the timeline (ADPCM, one block per frame)
// and a chime (an event sound) on every beat, heard on the right only through its envelope;
// eight bars light up with the notes and a disc flashes with the chime.
#include "tools/MusicSample.h"

#include <cmath>

#include "tools/SampleGeometry.h"
#include "tools/SwfBuilder.h"

namespace swfsaver::tools {
namespace {

using namespace sample;
constexpr double kPx = kTwips;

constexpr uint32_t kStreamRate = 22050;  // rate index 2
constexpr uint32_t kChimeRate = 44100;   // rate index 3
constexpr double kChimeSeconds = 0.25;

}  // namespace

const std::vector<double>& MusicSampleNotes() {
  // A arpeggio up and down: A4, C#5, E5, A5, E5, C#5, A4, E4.
  static const std::vector<double> notes = {440.0, 554.37, 659.26, 880.0, 659.26, 554.37, 440.0, 329.63};
  return notes;
}

std::vector<uint8_t> WriteMusicSample(const SwfOptions& options) {
  const int frames = options.frameCount;
  const double fps = options.frameRate / 256.0;
  const double seconds = frames / fps;
  const double noteSeconds = seconds / MusicSampleNotes().size();
  SwfMovieBuilder movie;

  std::vector<SynthNote> melody;
  for (size_t i = 0; i < MusicSampleNotes().size(); ++i) {
    melody.push_back({MusicSampleNotes()[i], i * noteSeconds, noteSeconds, 0.45});
  }
  const std::vector<int16_t> stream = Synthesize(melody, kStreamRate, seconds);
  const std::vector<int16_t> chime = Synthesize({{1760.0, 0, kChimeSeconds, 0.35}, {2640.0, 0, kChimeSeconds, 0.15}},
                                                kChimeRate, kChimeSeconds);
  const uint16_t chimeId = movie.DefineSound({SwfSoundCodec::kPcmLittle, 3, true, false},
                                             static_cast<uint32_t>(chime.size()), Pcm16(chime, false));
  movie.ExportName(chimeId, "chime");

  const double cx = options.widthPixels * kPx / 2, cy = options.heightPixels * kPx / 2;
  const double barWidth = 40 * kPx, barGap = 16 * kPx;
  const uint16_t bar = DefineFigure(movie, SwfFill::Solid({120, 200, 255, 255}), Stroke(2, {255, 255, 255, 200}),
                                    [&](ShapePen& pen) { RoundedRect(pen, barWidth, 160 * kPx, 10 * kPx); });
  const uint16_t disc = DefineFigure(
      movie, Radial(0, 0, 40 * kPx, {{0, {255, 250, 200, 255}}, {180, {255, 180, 60, 200}}, {255, {255, 120, 0, 0}}}),
      std::nullopt, [](ShapePen& pen) { Circle(pen, 40 * kPx); });

  const SwfSoundFormat streamFormat{SwfSoundCodec::kAdpcm, 2, true, false};
  const uint32_t perFrame = static_cast<uint32_t>(std::lround(kStreamRate / fps));
  movie.SoundStreamHead(2, streamFormat, streamFormat, static_cast<uint16_t>(perFrame));
  const size_t notes = MusicSampleNotes().size();
  SwfSoundInfo chimeRight;
  chimeRight.envelope = {{0, 0, 32768}};
  for (int frame = 0; frame < frames; ++frame) {
    const size_t first = static_cast<size_t>(std::lround(frame * kStreamRate / fps));
    const size_t end = std::min(stream.size(), static_cast<size_t>(std::lround((frame + 1) * kStreamRate / fps)));
    movie.SoundStreamBlock(EncodeAdpcm({stream.begin() + first, stream.begin() + end}, false, 4));
    const bool beat = std::fmod(frame, fps) < 1;
    // The chime on the right only: its envelope keeps the left at 0.
    if (beat) movie.StartSound(chimeId, chimeRight);
    const size_t note = std::min(notes - 1, static_cast<size_t>(frame / fps / noteSeconds));
    for (size_t i = 0; i < notes; ++i) {
      SwfPlace place;
      place.depth = static_cast<uint16_t>(1 + i);
      place.move = frame > 0;
      if (frame == 0) place.character = bar;
      const double height = i == note ? 1.0 : 0.35 + 0.08 * i;
      place.matrix = Placement(cx + (i - (notes - 1) / 2.0) * (barWidth + barGap), cy + 40 * kPx, 0, 1, height);
      place.colorTransform = i == note ? Tint(1, 1, 1) : Tint(0.35, 0.4, 0.6);
      movie.Place(place);
    }
    const double sinceBeat = std::fmod(frame, fps) / fps;
    SwfPlace flash;
    flash.depth = 20;
    flash.move = frame > 0;
    if (frame == 0) flash.character = disc;
    flash.matrix = Placement(cx, cy - 130 * kPx, 0, 1 + sinceBeat, 1 + sinceBeat);
    flash.colorTransform = Fade(std::max(0.0, 1 - 2 * sinceBeat));
    movie.Place(flash);
    movie.ShowFrame();
  }
  return movie.Finish(options);
}

}  // namespace swfsaver::tools
