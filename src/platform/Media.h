#pragma once
// The Media Control Interface as the sound player uses it: mciSendCommandA with the
// open, status, device-capabilities, seek, play, stop and close commands, and
// mciGetErrorStringA. Numbers are the winmm ones, so the Windows implementation passes
// them through unchanged. Device identifiers are MCI's, callbacks are window handles,
// and every command returns an MCI error code (0 for success).
#include <cstdint>
#include <string>

namespace platform {

using MciDeviceId = std::uint32_t;
using MciError = std::uint32_t;

// The end-of-command notification: posted to the callback window of a command sent with
// kMciNotify; wParam is the kind, lParam the device identifier.
constexpr unsigned kMmMciNotify = 0x3B9;
constexpr std::uint32_t kMciNotifySuccessful = 0x1;
constexpr std::uint32_t kMciNotifySuperseded = 0x2;
constexpr std::uint32_t kMciNotifyAborted = 0x4;
constexpr std::uint32_t kMciNotifyFailure = 0x8;

// Commands.
constexpr std::uint32_t kMciOpen = 0x0803;
constexpr std::uint32_t kMciClose = 0x0804;
constexpr std::uint32_t kMciPlay = 0x0806;
constexpr std::uint32_t kMciSeek = 0x0807;
constexpr std::uint32_t kMciStop = 0x0808;
constexpr std::uint32_t kMciGetDevCaps = 0x080B;
constexpr std::uint32_t kMciStatus = 0x0814;
constexpr std::uint32_t kMciSetAudio = 0x0873;  // of the digital-video devices

// Flags.
constexpr std::uint32_t kMciNotify = 0x1;
constexpr std::uint32_t kMciWait = 0x2;
constexpr std::uint32_t kMciOpenElement = 0x200;
// Open names its device type: here always the digital-video device "mpegvideo".
constexpr std::uint32_t kMciOpenType = 0x2000;
constexpr std::uint32_t kMciDgvSetAudioItem = 0x00800000;
constexpr std::uint32_t kMciDgvSetAudioValue = 0x01000000;
constexpr std::uint32_t kMciSeekToStart = 0x100;
constexpr std::uint32_t kMciStatusItem = 0x100;
constexpr std::uint32_t kMciGetDevCapsItem = 0x100;

// MCI_STATUS items.
constexpr std::uint32_t kMciStatusLength = 1;
constexpr std::uint32_t kMciStatusPosition = 2;
constexpr std::uint32_t kMciStatusMode = 4;
// Answers to kMciStatusMode.
constexpr std::uint32_t kMciModeStop = 525;
constexpr std::uint32_t kMciModePlay = 526;

// MCI_GETDEVCAPS items.
constexpr std::uint32_t kMciGetDevCapsCanRecord = 1;
constexpr std::uint32_t kMciGetDevCapsHasVideo = 3;
constexpr std::uint32_t kMciGetDevCapsCanEject = 7;
constexpr std::uint32_t kMciGetDevCapsCanPlay = 8;

// MCI_SETAUDIO items: the volume, 0 to 1000, scales the sound itself.
constexpr std::uint32_t kMciDgvSetAudioVolume = 0x4002;

// Error codes the program and its fake devices meet.
constexpr MciError kMciErrBase = 256;
constexpr MciError kMciErrInvalidDeviceId = kMciErrBase + 1;
constexpr MciError kMciErrHardware = kMciErrBase + 6;
constexpr MciError kMciErrInvalidDeviceName = kMciErrBase + 7;
constexpr MciError kMciErrDeviceOpen = kMciErrBase + 9;
constexpr MciError kMciErrUnsupportedFunction = kMciErrBase + 18;
constexpr MciError kMciErrFileNotFound = kMciErrBase + 19;
constexpr MciError kMciErrDeviceNotReady = kMciErrBase + 20;
constexpr MciError kMciErrDriver = kMciErrBase + 22;
constexpr MciError kMciErrExtensionNotFound = kMciErrBase + 25;
constexpr MciError kMciErrInvalidFile = kMciErrBase + 40;
constexpr MciError kMciErrWaveOutputsUnsuitable = kMciErrBase + 70;

class Media {
 public:
  virtual ~Media() = default;
  // MCI_OPEN to device 0 with the element name and no device type (MCI picks the device
  // from the file); flags as given (MCI_WAIT | MCI_OPEN_ELEMENT). With kMciOpenType the
  // file is opened on the digital-video device "mpegvideo" instead, which takes SetAudio.
  // The new device's identifier is stored in deviceId on success.
  virtual MciError Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                        MciDeviceId& deviceId) = 0;
  // MCI_STATUS of one item (flags MCI_STATUS_ITEM | MCI_WAIT); the answer in value.
  virtual MciError Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                          std::uint32_t& value) = 0;
  // MCI_GETDEVCAPS of one item (flags MCI_GETDEVCAPS_ITEM | MCI_WAIT); the answer in value.
  virtual MciError GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                              std::uint32_t& value) = 0;
  // MCI_SEEK with the given flags (MCI_SEEK_TO_START | MCI_WAIT).
  virtual MciError Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) = 0;
  // MCI_PLAY from the current position to the end; with MCI_NOTIFY, the end is posted to
  // the callback window as kMmMciNotify.
  virtual MciError Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) = 0;
  virtual MciError Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) = 0;
  virtual MciError Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) = 0;
  // mciGetErrorStringA: false when MCI knows no text for the code.
  virtual bool GetErrorString(MciError error, std::string& text) = 0;

  // Open, waiting for the device at most limitMs (Open's own limit applies otherwise). A
  // device not answered by then is given up: the open fails with kMciErrDeviceNotReady, and
  // a device it opens later is closed by the media layer, as no caller knows its number.
  virtual MciError OpenWithin(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                              MciDeviceId& deviceId, std::uint32_t limitMs) {
    (void)limitMs;
    return Open(element, flags, callback, deviceId);
  }
  // MCI_SETAUDIO of one item and its value (flags MCI_DGV_SETAUDIO_ITEM |
  // MCI_DGV_SETAUDIO_VALUE | MCI_WAIT). Devices other than digital video refuse it.
  virtual MciError SetAudio(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uint32_t value,
                            std::uintptr_t callback) = 0;
};

}  // namespace platform
