// IPersistStreamInit: the host hands over the stored control data once, at creation. Load
// reads the stream only as far as the layout reaches, in the pieces the check asks for, so it
// neither reads past the data nor accepts a stream that ends early.
#include <cstdio>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "standin/flash/StandinControl.h"
#include "standin/flash/control/ControlData.h"

namespace swfsaver::flash {
namespace {

constexpr size_t kQualityValue = 6;

// Reads exactly `count` more bytes onto the end of bytes; false when the stream ends first.
HRESULT ReadMore(IStream* stream, std::vector<uint8_t>& bytes, size_t count) {
  const size_t offset = bytes.size();
  bytes.resize(offset + count);
  size_t filled = 0;
  while (filled < count) {
    ULONG read = 0;
    const HRESULT hr = stream->Read(bytes.data() + offset + filled,
                                    static_cast<ULONG>(count - filled), &read);
    if (FAILED(hr)) return hr;
    if (read == 0) return STG_E_READFAULT;
    filled += read;
  }
  return S_OK;
}

HRESULT LoadControlData(IStream* stream, ControlData& data) {
  std::vector<uint8_t> bytes;
  for (;;) {
    ControlDataCheck check = CheckControlData(bytes);
    if (check.status == ControlDataStatus::kValid) {
      data = std::move(check.data);
      return S_OK;
    }
    if (check.status != ControlDataStatus::kNeedMore) return STG_E_DOCFILECORRUPT;
    const HRESULT hr = ReadMore(stream, bytes, check.size - bytes.size());
    if (FAILED(hr)) return hr;
  }
}

}  // namespace

HRESULT STDMETHODCALLTYPE StandinControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = flashapi::kClsidShockwaveFlash;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::IsDirty() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE StandinControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  ControlData data;
  const HRESULT hr = LoadControlData(stream, data);
  if (SUCCEEDED(hr)) {
    extent_ = {data.widthHimetric, data.heightHimetric};
    // The seventh stored value is the Quality setting: "High" as the saver stores it.
    quality_ = data.values[kQualityValue].text == u"Low" ? swfplayer::render::Quality::kLow
                                                          : swfplayer::render::Quality::kHigh;
    trace_.Line(L"Load", L"ok");
  } else {
    wchar_t code[16];
    swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    trace_.Line(L"Load failed", code);
  }
  return hr;
}

// Writes the stored layout with the control's current extent, so a host that saves and loads
// again gets data Load accepts.
HRESULT STDMETHODCALLTYPE StandinControl::Save(LPSTREAM stream, BOOL) {
  if (!stream) return E_POINTER;
  auto bytes = flashapi::kStoredControlData;
  for (int i = 0; i < 4; ++i) {
    bytes[8 + i] = static_cast<uint8_t>(static_cast<uint32_t>(extent_.cx) >> (8 * i));
    bytes[12 + i] = static_cast<uint8_t>(static_cast<uint32_t>(extent_.cy) >> (8 * i));
  }
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  return written == bytes.size() ? S_OK : STG_E_WRITEFAULT;
}

HRESULT STDMETHODCALLTYPE StandinControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = flashapi::kStoredControlDataSize;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE StandinControl::InitNew() {
  extent_ = {flashapi::kStoredWidthHimetric, flashapi::kStoredHeightHimetric};
  trace_.Line(L"InitNew");
  return S_OK;
}

}  // namespace swfsaver::flash
