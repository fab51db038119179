#include "standin/flash/DmoMp3Decoder.h"

#include <windows.h>
#include <dmo.h>
#include <mediaobj.h>
#include <mmreg.h>
#include <uuids.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

namespace swfsaver::flash {
namespace {

using swfplayer::audio::Mp3FrameHeader;

// {BBEEA841-0A63-4F52-A7AB-A9B3A84ED38A}: CLSID_CMP3DecMediaObject.
constexpr CLSID kMp3DecoderDmo = {0xbbeea841, 0x0a63, 0x4f52, {0xa7, 0xab, 0xa9, 0xb3, 0xa8, 0x4e, 0xd3, 0x8a}};
// MEDIASUBTYPE_MP3: the wave format tag 0x55 in the base media GUID.
constexpr GUID kSubtypeMp3 = {0x00000055, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The DMO's input and output: one buffer over bytes this object owns.
class Buffer final : public IMediaBuffer {
 public:
  explicit Buffer(size_t capacity) : bytes_(capacity) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMediaBuffer)) {
      *object = static_cast<IMediaBuffer*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Owned by the decoder, on its stack of calls only: the count is kept but never frees.
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE SetLength(DWORD length) override {
    if (length > bytes_.size()) return E_INVALIDARG;
    length_ = length;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override {
    if (!length) return E_POINTER;
    *length = static_cast<DWORD>(bytes_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetBufferAndLength(BYTE** buffer, DWORD* length) override {
    if (buffer) *buffer = bytes_.data();
    if (length) *length = length_;
    return S_OK;
  }
  void Fill(std::span<const uint8_t> data) {
    if (data.size() > bytes_.size()) bytes_.resize(data.size());
    std::memcpy(bytes_.data(), data.data(), data.size());
    length_ = static_cast<DWORD>(data.size());
  }
  const uint8_t* Data() const { return bytes_.data(); }
  DWORD Length() const { return length_; }

 private:
  std::vector<uint8_t> bytes_;
  DWORD length_ = 0;
  ULONG references_ = 1;
};

class DmoMp3Decoder final : public swfplayer::audio::Mp3Decoder {
 public:
  explicit DmoMp3Decoder(IMediaObject* dmo) : dmo_(dmo) {}
  ~DmoMp3Decoder() override { dmo_->Release(); }

  void DecodeFrame(std::span<const uint8_t> frame, const Mp3FrameHeader& header,
                   std::vector<int16_t>& out) override {
    if (!Configure(header)) return;
    input_.Fill(frame);
    if (FAILED(dmo_->ProcessInput(0, &input_, 0, 0, 0))) return;
    // The samples of this frame: what the decoder gives at once.
    const size_t wanted = size_t{header.samplesPerFrame} * 2;
    const size_t start = out.size();
    for (int round = 0; round < 4; ++round) {
      output_.SetLength(0);
      DMO_OUTPUT_DATA_BUFFER data{};
      data.pBuffer = &output_;
      DWORD status = 0;
      const HRESULT result = dmo_->ProcessOutput(0, 1, &data, &status);
      if (FAILED(result) || result == S_FALSE) break;
      const auto* samples = reinterpret_cast<const int16_t*>(output_.Data());
      const size_t count = output_.Length() / 2;
      for (size_t i = 0; i < count && out.size() - start < wanted; ++i) {
        out.push_back(samples[i]);
        if (channels_ == 1) out.push_back(samples[i]);
      }
      if (!(data.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE)) break;
    }
  }

  void Reset() override { dmo_->Flush(); }

 private:
  bool Configure(const Mp3FrameHeader& header) {
    if (rate_ == header.sampleRate && channels_ == header.channels) return configured_;
    rate_ = header.sampleRate;
    channels_ = header.channels;
    dmo_->Flush();
    MPEGLAYER3WAVEFORMAT mp3{};
    mp3.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
    mp3.wfx.nChannels = static_cast<WORD>(channels_);
    mp3.wfx.nSamplesPerSec = rate_;
    mp3.wfx.nAvgBytesPerSec = header.bitrateKbps * 125;
    mp3.wfx.nBlockAlign = 1;
    mp3.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
    mp3.wID = MPEGLAYER3_ID_MPEG;
    mp3.fdwFlags = MPEGLAYER3_FLAG_PADDING_OFF;
    mp3.nBlockSize = static_cast<WORD>(header.frameBytes);
    mp3.nFramesPerBlock = 1;
    DMO_MEDIA_TYPE in{};
    in.majortype = MEDIATYPE_Audio;
    in.subtype = kSubtypeMp3;
    in.formattype = FORMAT_WaveFormatEx;
    in.cbFormat = sizeof(mp3);
    in.pbFormat = reinterpret_cast<BYTE*>(&mp3);
    WAVEFORMATEX pcm{};
    pcm.wFormatTag = WAVE_FORMAT_PCM;
    pcm.nChannels = static_cast<WORD>(channels_);
    pcm.nSamplesPerSec = rate_;
    pcm.wBitsPerSample = 16;
    pcm.nBlockAlign = static_cast<WORD>(2 * channels_);
    pcm.nAvgBytesPerSec = rate_ * pcm.nBlockAlign;
    DMO_MEDIA_TYPE outType{};
    outType.majortype = MEDIATYPE_Audio;
    outType.subtype = MEDIASUBTYPE_PCM;
    outType.formattype = FORMAT_WaveFormatEx;
    outType.bFixedSizeSamples = TRUE;
    outType.lSampleSize = pcm.nBlockAlign;
    outType.cbFormat = sizeof(pcm);
    outType.pbFormat = reinterpret_cast<BYTE*>(&pcm);
    configured_ = SUCCEEDED(dmo_->SetInputType(0, &in, 0)) && SUCCEEDED(dmo_->SetOutputType(0, &outType, 0));
    return configured_;
  }

  IMediaObject* dmo_;
  Buffer input_{4096};
  Buffer output_{1152 * 2 * 2 * 4};
  uint32_t rate_ = 0;
  int channels_ = 0;
  bool configured_ = false;
};

}  // namespace

std::unique_ptr<swfplayer::audio::Mp3Decoder> DmoMp3DecoderSource::NewDecoder() {
  IMediaObject* dmo = nullptr;
  if (FAILED(CoCreateInstance(kMp3DecoderDmo, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                              reinterpret_cast<void**>(&dmo)))) {
    return nullptr;
  }
  return std::make_unique<DmoMp3Decoder>(dmo);
}

}  // namespace swfsaver::flash
