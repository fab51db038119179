// The control's sound under Wine (which has no output device under Xvfb): the music sample
// plays silently but mixed in time, as the WAV file the control writes for tests shows: each
// note of the streamed melody at its pitch and in its place on the left, the chime on the
// right on every beat; muted, the same time passes in silence. The frames go on meanwhile.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "flashapi/StandinSound.h"
#include "standin/flash/Trace.h"
#include "tests/win32/standin_support.h"
#include "tools/MusicSample.h"
#include "tools/SampleMovies.h"

namespace swfsaver::standin_test {
namespace {

std::vector<int16_t> ReadWav(const std::wstring& path) {
  std::ifstream in(Narrow(path), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int16_t> samples;
  for (size_t i = 44; i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8)));
  }
  return samples;
}

double PitchHz(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to) {
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if ((stereo[(i - 1) * 2 + channel] < 0) != (stereo[i * 2 + channel] < 0)) ++crossings;
  }
  return crossings / 2.0 / ((to - from) / 44100.0);
}

int Peak(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to) {
  int peak = 0;
  for (size_t i = from; i < to && i * 2 + channel < stereo.size(); ++i) peak = std::max(peak, std::abs(int{stereo[i * 2 + channel]}));
  return peak;
}

std::string ReadText(const std::wstring& path) {
  std::ifstream in(Narrow(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class StandinSound : public StandinTest {
 protected:
  void SetUp() override {
    StandinTest::SetUp();
    for (const auto& [name, value] : {std::pair{flash::kWavFileValue, &wav_}, std::pair{flash::kTraceFileValue, &trace_}}) {
      ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, flash::kTraceKeyPath, name, REG_SZ, value->c_str(),
                                static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t))),
                ERROR_SUCCESS);
    }
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, flash::kTraceKeyPath);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\SwfSaverTest");
    DeleteFileW(wav_.c_str());
    DeleteFileW(trace_.c_str());
    StandinTest::TearDown();
  }

  // Plays the music sample for the given time and returns the last frame seen.
  long PlayMusic(DWORD ms, bool muted) {
    const auto& samples = tools::SampleMovies();
    const auto music = std::find_if(samples.begin(), samples.end(),
                                    [](const auto& s) { return s.name.rfind("music_notes", 0) == 0; });
    TempMovie movie(L"music.swf", music->Bytes());
    TestSite site;
    IOleObject* object = Create<IOleObject>(IID_IOleObject);
    EXPECT_NE(object, nullptr);
    IDispatch* dispatch = nullptr;
    object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    object->SetClientSite(&site);
    EXPECT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.Window(), &site.rect), S_OK);
    if (muted) {
      flashapi::IStandinSound* sound = nullptr;
      EXPECT_EQ(object->QueryInterface(flashapi::kIidStandinSound, reinterpret_cast<void**>(&sound)), S_OK);
      if (sound) {
        sound->SetMuted(TRUE);
        sound->Release();
      }
    }
    EXPECT_EQ(PutMovie(dispatch, movie.Path()), S_OK);
    EXPECT_EQ(CallMethod(dispatch, flashapi::kDispidPlay), S_OK);
    Pump(ms);
    const long frame = GetLong(dispatch, flashapi::kDispidCurrentFrame);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    dispatch->Release();
    object->Release();
    Pump(300);  // the output thread closes the file as it ends
    return frame;
  }

  const std::wstring wav_ = TempPath(L"mix.wav");
  const std::wstring trace_ = TempPath(L"trace.txt");
};

TEST_F(StandinSound, TheMixHoldsTheMelodyAtItsPitchesAndLengthWithoutADevice) {
  const long frame = PlayMusic(3700, false);
  EXPECT_GT(frame, 60);  // the frames went on with the sound
  EXPECT_NE(ReadText(trace_).find(" Audio none"), std::string::npos) << "Wine under Xvfb has no device";
  const auto wav = ReadWav(wav_);
  const auto& notes = tools::MusicSampleNotes();
  const size_t noteFrames = 22050;  // 4 s, 8 notes
  ASSERT_GE(wav.size() / 2, 7 * noteFrames) << "3.7 s of play mixed about as much sound";
  EXPECT_LT(wav.size() / 2, 8 * noteFrames);
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const size_t from = i * noteFrames + noteFrames / 5, to = (i + 1) * noteFrames - noteFrames / 5;
    EXPECT_NEAR(PitchHz(wav, 0, from, to), notes[i], notes[i] * 0.015);
    EXPECT_GT(Peak(wav, 0, from, to), 4000);
    const size_t onset = i * noteFrames + 100;
    if (i % 2 == 0) {
      EXPECT_GT(Peak(wav, 1, onset, onset + 2000), Peak(wav, 0, onset, onset + 2000) + 5000);
    }
  }
}

TEST_F(StandinSound, MutedTheSameTimePassesInSilence) {
  const long frame = PlayMusic(1500, true);
  EXPECT_GT(frame, 20);
  const auto wav = ReadWav(wav_);
  EXPECT_GT(wav.size() / 2, 44100u);
  EXPECT_EQ(Peak(wav, 0, 0, wav.size() / 2), 0);
  EXPECT_EQ(Peak(wav, 1, 0, wav.size() / 2), 0);
  EXPECT_NE(ReadText(trace_).find(" Muted 1"), std::string::npos);
}

}  // namespace
}  // namespace swfsaver::standin_test
