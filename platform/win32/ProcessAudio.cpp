#include "platform/win32/ProcessAudio.h"

#include <windows.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include "platform/win32/OleRef.h"

namespace swfsaver::win32 {

bool SetProcessAudioMuted(bool muted) {
  OleRef<IMMDeviceEnumerator> devices;
  OleRef<IMMDevice> device;
  OleRef<IAudioSessionManager> sessions;
  OleRef<ISimpleAudioVolume> volume;
  if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IMMDeviceEnumerator), devices.ReceiveVoid())) ||
      FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Receive())) ||
      FAILED(device->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr,
                              sessions.ReceiveVoid())) ||
      // The default session (GUID_NULL) of this process alone.
      FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, volume.Receive()))) {
    return false;
  }
  return SUCCEEDED(volume->SetMute(muted ? TRUE : FALSE, nullptr));
}

}  // namespace swfsaver::win32
