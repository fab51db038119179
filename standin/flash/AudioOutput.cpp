#include "standin/flash/AudioOutput.h"

#include <mmsystem.h>
#include <objbase.h>

#include <mutex>
#include <vector>

#include "swfplayer/audio/WavHeader.h"

namespace swfsaver::flash {

using swfplayer::audio::kOutputRate;
using swfplayer::audio::SoundEngine;

struct AudioOutput::State {
  std::mutex mutex;
  std::shared_ptr<SoundEngine> engine;
  uint64_t generation = 0;  // counts the changes of engine: the thread drops what is queued
  bool muted = false;
  bool quit = false;
  HANDLE wake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  Trace trace;
  std::wstring wavFile;
  ~State() { CloseHandle(wake); }
};

namespace {

constexpr size_t kFramesPerBuffer = kOutputRate * AudioOutput::kBufferMs / 1000;

// Appends the mix to a WAV file, the header rewritten with the length when it closes.
class WavRecorder {
 public:
  explicit WavRecorder(const std::wstring& path) {
    if (path.empty()) return;
    file_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) file_ = nullptr;
    Write(swfplayer::audio::WavHeader(0).data(), 44);
  }
  ~WavRecorder() {
    if (!file_) return;
    SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
    const auto header = swfplayer::audio::WavHeader(bytes_);
    DWORD written = 0;
    WriteFile(file_, header.data(), 44, &written, nullptr);
    CloseHandle(file_);
  }
  void Append(const std::vector<int16_t>& samples) {
    Write(samples.data(), static_cast<DWORD>(samples.size() * 2));
    if (file_) bytes_ += static_cast<uint32_t>(samples.size() * 2);
  }

 private:
  void Write(const void* data, DWORD size) {
    DWORD written = 0;
    if (file_) WriteFile(file_, data, size, &written, nullptr);
  }
  HANDLE file_ = nullptr;
  uint32_t bytes_ = 0;
};

class OutputThread {
 public:
  explicit OutputThread(std::shared_ptr<AudioOutput::State> state)
      : state_(std::move(state)), recorder_(state_->wavFile) {}

  void Run() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kOutputRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kOutputRate * 4;
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
      device = nullptr;
    }
    // Told only to a test that records the sound, so other traces keep their exact lines.
    if (!state_->wavFile.empty()) state_->trace.Line(L"Audio", device ? L"waveOut" : L"none");
    if (device) {
      PlayToDevice(device, done);
      waveOutReset(device);
      for (Buffer& buffer : buffers_) waveOutUnprepareHeader(device, &buffer.header, sizeof(WAVEHDR));
      waveOutClose(device);
    } else {
      PlayToNothing();
    }
    CloseHandle(done);
    if (!state_->wavFile.empty()) state_->trace.Line(L"Audio", L"end");
  }

 private:
  struct Buffer {
    std::vector<int16_t> samples = std::vector<int16_t>(kFramesPerBuffer * 2);
    WAVEHDR header{};
  };

  // The next buffer of the mix: silence while no movie plays (and nothing recorded then).
  void Mix(std::vector<int16_t>& samples) {
    std::shared_ptr<SoundEngine> engine;
    {
      std::lock_guard lock(state_->mutex);
      engine = state_->engine;
    }
    if (!engine) {
      std::fill(samples.begin(), samples.end(), 0);
      return;
    }
    engine->Mix(samples);
    recorder_.Append(samples);
  }

  // Returns false when the thread is to end; drops the queued sound when the engine changed.
  bool Check(HWAVEOUT device) {
    std::lock_guard lock(state_->mutex);
    if (state_->quit) return false;
    if (state_->generation != generation_) {
      generation_ = state_->generation;
      if (device) waveOutReset(device);
    }
    return true;
  }

  void PlayToDevice(HWAVEOUT device, HANDLE done) {
    for (Buffer& buffer : buffers_) {
      buffer.header.lpData = reinterpret_cast<LPSTR>(buffer.samples.data());
      buffer.header.dwBufferLength = static_cast<DWORD>(buffer.samples.size() * 2);
      waveOutPrepareHeader(device, &buffer.header, sizeof(WAVEHDR));
      buffer.header.dwFlags |= WHDR_DONE;
    }
    const HANDLE events[] = {done, state_->wake};
    while (Check(device)) {
      for (Buffer& buffer : buffers_) {
        if (!(buffer.header.dwFlags & WHDR_DONE)) continue;
        Mix(buffer.samples);
        buffer.header.dwFlags &= ~WHDR_DONE;
        if (waveOutWrite(device, &buffer.header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
          buffer.header.dwFlags |= WHDR_DONE;
        }
      }
      WaitForMultipleObjects(2, events, FALSE, AudioOutput::kBufferMs);
    }
  }

  // No device: the mix runs on the clock at the output rate, a buffer at a time.
  void PlayToNothing() {
    LARGE_INTEGER frequency{}, start{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    uint64_t mixed = 0;
    std::vector<int16_t> samples(kFramesPerBuffer * 2);
    while (Check(nullptr)) {
      QueryPerformanceCounter(&now);
      const uint64_t due = static_cast<uint64_t>(now.QuadPart - start.QuadPart) * kOutputRate / frequency.QuadPart;
      // After a long stall (a suspended machine) the clock starts again rather than racing.
      if (due > mixed + kOutputRate) mixed = due;
      while (mixed + kFramesPerBuffer <= due) {
        Mix(samples);
        mixed += kFramesPerBuffer;
      }
      WaitForSingleObject(state_->wake, AudioOutput::kBufferMs / 2);
    }
  }

  std::shared_ptr<AudioOutput::State> state_;
  WavRecorder recorder_;
  Buffer buffers_[AudioOutput::kBuffers];
  uint64_t generation_ = 0;
};

DWORD WINAPI OutputMain(void* parameter) {
  auto* state = static_cast<std::shared_ptr<AudioOutput::State>*>(parameter);
  // The MP3 decoder is a COM object made on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  {
    OutputThread thread(std::move(*state));
    delete state;
    thread.Run();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  // The thread held the DLL loaded (see AudioOutput's constructor); it lets go as it ends.
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OutputMain), &module);
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

AudioOutput::AudioOutput(const Trace& trace, std::wstring wavFile) : state_(std::make_shared<State>()) {
  state_->trace = trace;
  state_->wavFile = std::move(wavFile);
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&OutputMain), &module)) {
    return;
  }
  auto* parameter = new std::shared_ptr<State>(state_);
  thread_ = CreateThread(nullptr, 0, OutputMain, parameter, 0, nullptr);
  if (!thread_) {
    delete parameter;
    FreeLibrary(module);
  }
}

AudioOutput::~AudioOutput() {
  {
    std::lock_guard lock(state_->mutex);
    state_->engine.reset();
    state_->quit = true;
  }
  SetEvent(state_->wake);
  if (thread_) {
    WaitForSingleObject(thread_, kJoinMs);
    CloseHandle(thread_);
  }
}

void AudioOutput::Play(std::shared_ptr<SoundEngine> engine) {
  {
    std::lock_guard lock(state_->mutex);
    if (engine) engine->SetMuted(state_->muted);
    state_->engine = std::move(engine);
    ++state_->generation;
  }
  SetEvent(state_->wake);
}

void AudioOutput::SetMuted(bool muted) {
  std::lock_guard lock(state_->mutex);
  state_->muted = muted;
  if (state_->engine) state_->engine->SetMuted(muted);
}

}  // namespace swfsaver::flash
