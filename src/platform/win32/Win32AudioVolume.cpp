#include "platform/win32/Win32AudioVolume.h"

#include "platform/win32/WinHeaders.h"

#include <audiopolicy.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

namespace platform::win32 {
namespace {

// Holds one COM reference and lets it go.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }

 private:
  T* p_ = nullptr;
};

// COM on the calling thread (the GUI thread), once; a thread already in another mode
// serves as well.
bool ComReady() {
  static const bool ready = [] {
    const HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) OutputDebugStringA("Ravilo: COM could not be started\n");
    return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }();
  return ready;
}

// The interface I of the default output device; false when there is no device.
template <class I>
bool Activate(ComRef<I>& out) {
  if (!ComReady()) return false;
  ComRef<IMMDeviceEnumerator> devices;
  ComRef<IMMDevice> device;
  return SUCCEEDED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                      __uuidof(IMMDeviceEnumerator), devices.OutVoid())) &&
         SUCCEEDED(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())) &&
         SUCCEEDED(device->Activate(__uuidof(I), CLSCTX_ALL, nullptr, out.OutVoid()));
}

bool Session(ComRef<ISimpleAudioVolume>& out) {
  ComRef<IAudioSessionManager> sessions;
  return Activate(sessions) && SUCCEEDED(sessions->GetSimpleAudioVolume(nullptr, FALSE, out.Out()));
}

}  // namespace

std::optional<AudioVolume::Endpoint> Win32AudioVolume::GetEndpoint() {
  ComRef<IAudioEndpointVolume> volume;
  BOOL muted = FALSE;
  float level = 0;
  if (!Activate(volume) || FAILED(volume->GetMute(&muted)) || FAILED(volume->GetMasterVolumeLevelScalar(&level)))
    return std::nullopt;
  return Endpoint{muted != FALSE, level};
}

bool Win32AudioVolume::SetEndpoint(const Endpoint& endpoint) {
  ComRef<IAudioEndpointVolume> volume;
  // The level before the mute, so that a device muted again is never heard at the level
  // it is leaving.
  return Activate(volume) && SUCCEEDED(volume->SetMasterVolumeLevelScalar(endpoint.level, nullptr)) &&
         SUCCEEDED(volume->SetMute(endpoint.muted ? TRUE : FALSE, nullptr));
}

std::optional<float> Win32AudioVolume::GetSessionVolume() {
  ComRef<ISimpleAudioVolume> session;
  float level = 0;
  if (!Session(session) || FAILED(session->GetMasterVolume(&level))) return std::nullopt;
  return level;
}

bool Win32AudioVolume::SetSessionVolume(float level) {
  ComRef<ISimpleAudioVolume> session;
  return Session(session) && SUCCEEDED(session->SetMasterVolume(level, nullptr));
}

}  // namespace platform::win32
