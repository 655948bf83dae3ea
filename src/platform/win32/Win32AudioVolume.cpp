#include "platform/win32/Win32AudioVolume.h"

#include "platform/win32/Utf8.h"
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

// A text from COM's allocator, freed with it.
class ComText {
 public:
  ComText() = default;
  ~ComText() { ::CoTaskMemFree(p_); }
  ComText(const ComText&) = delete;
  ComText& operator=(const ComText&) = delete;
  LPWSTR* Out() { return &p_; }
  LPCWSTR Get() const { return p_; }

 private:
  LPWSTR p_ = nullptr;
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

bool Devices(ComRef<IMMDeviceEnumerator>& out) {
  return ComReady() && SUCCEEDED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL,
                                                    __uuidof(IMMDeviceEnumerator), out.OutVoid()));
}

// Endpoint identifiers are wide; they travel in UTF-8, which holds any of them.
std::string Utf8(LPCWSTR w) { return Utf8FromWide(w); }
std::wstring Wide(const std::string& s) { return WideFromUtf8(s); }

// The interface I of the device with that identifier; false when it is gone.
template <class I>
bool Activate(const std::string& id, ComRef<I>& out) {
  ComRef<IMMDeviceEnumerator> devices;
  ComRef<IMMDevice> device;
  return !id.empty() && Devices(devices) && SUCCEEDED(devices->GetDevice(Wide(id).c_str(), device.Out())) &&
         SUCCEEDED(device->Activate(__uuidof(I), CLSCTX_ALL, nullptr, out.OutVoid()));
}

bool Session(const std::string& id, ComRef<ISimpleAudioVolume>& out) {
  ComRef<IAudioSessionManager> sessions;
  return Activate(id, sessions) && SUCCEEDED(sessions->GetSimpleAudioVolume(nullptr, FALSE, out.Out()));
}

}  // namespace

std::optional<std::string> Win32AudioVolume::DefaultDevice() {
  ComRef<IMMDeviceEnumerator> devices;
  ComRef<IMMDevice> device;
  ComText id;
  if (!Devices(devices) || FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Out())) ||
      FAILED(device->GetId(id.Out())) || !id.Get())
    return std::nullopt;
  std::string text = Utf8(id.Get());
  if (text.empty()) return std::nullopt;
  return text;
}

std::optional<AudioVolume::Level> Win32AudioVolume::GetDevice(const std::string& device) {
  ComRef<IAudioEndpointVolume> volume;
  BOOL muted = FALSE;
  float level = 0;
  if (!Activate(device, volume) || FAILED(volume->GetMute(&muted)) ||
      FAILED(volume->GetMasterVolumeLevelScalar(&level)))
    return std::nullopt;
  return Level{muted != FALSE, level};
}

bool Win32AudioVolume::SetDevice(const std::string& device, const Level& level) {
  ComRef<IAudioEndpointVolume> volume;
  // The level before the mute, so that a device muted again is never heard at the level
  // it is leaving.
  return Activate(device, volume) && SUCCEEDED(volume->SetMasterVolumeLevelScalar(level.level, nullptr)) &&
         SUCCEEDED(volume->SetMute(level.muted ? TRUE : FALSE, nullptr));
}

std::optional<AudioVolume::Level> Win32AudioVolume::GetSession(const std::string& device) {
  ComRef<ISimpleAudioVolume> session;
  BOOL muted = FALSE;
  float level = 0;
  if (!Session(device, session) || FAILED(session->GetMute(&muted)) || FAILED(session->GetMasterVolume(&level)))
    return std::nullopt;
  return Level{muted != FALSE, level};
}

bool Win32AudioVolume::SetSession(const std::string& device, const Level& level) {
  ComRef<ISimpleAudioVolume> session;
  return Session(device, session) && SUCCEEDED(session->SetMasterVolume(level.level, nullptr)) &&
         SUCCEEDED(session->SetMute(level.muted ? TRUE : FALSE, nullptr));
}

}  // namespace platform::win32
