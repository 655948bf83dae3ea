#include "platform/win32/Win32Media.h"

#include "platform/win32/WinHeaders.h"

namespace platform::win32 {
namespace {

MciError Send(MciDeviceId device, UINT command, std::uint32_t flags, void* parms) {
  return static_cast<MciError>(mciSendCommandA(static_cast<MCIDEVICEID>(device), command, flags,
                                               reinterpret_cast<DWORD_PTR>(parms)));
}

// The simple commands whose parameter block holds only the callback.
MciError SendGeneric(MciDeviceId device, UINT command, std::uint32_t flags, std::uintptr_t callback) {
  MCI_GENERIC_PARMS parms{};
  parms.dwCallback = callback;
  return Send(device, command, flags, &parms);
}

}  // namespace

MciError Win32Media::Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                          MciDeviceId& deviceId) {
  MCI_OPEN_PARMSA parms{};
  parms.dwCallback = callback;
  parms.lpstrDeviceType = nullptr;
  parms.lpstrElementName = element.c_str();
  parms.lpstrAlias = nullptr;
  const MciError result = Send(0, MCI_OPEN, flags, &parms);
  if (result == 0) deviceId = parms.wDeviceID;
  return result;
}

MciError Win32Media::Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                            std::uint32_t& value) {
  MCI_STATUS_PARMS parms{};
  parms.dwCallback = callback;
  parms.dwItem = item;
  const MciError result = Send(device, MCI_STATUS, flags, &parms);
  if (result == 0) value = static_cast<std::uint32_t>(parms.dwReturn);
  return result;
}

MciError Win32Media::GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item,
                                std::uintptr_t callback, std::uint32_t& value) {
  MCI_GETDEVCAPS_PARMS parms{};
  parms.dwCallback = callback;
  parms.dwItem = item;
  const MciError result = Send(device, MCI_GETDEVCAPS, flags, &parms);
  if (result == 0) value = static_cast<std::uint32_t>(parms.dwReturn);
  return result;
}

MciError Win32Media::Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  MCI_SEEK_PARMS parms{};
  parms.dwCallback = callback;
  return Send(device, MCI_SEEK, flags, &parms);
}

MciError Win32Media::Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  MCI_PLAY_PARMS parms{};
  parms.dwCallback = callback;
  return Send(device, MCI_PLAY, flags, &parms);
}

MciError Win32Media::Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return SendGeneric(device, MCI_STOP, flags, callback);
}

MciError Win32Media::Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return SendGeneric(device, MCI_CLOSE, flags, callback);
}

bool Win32Media::GetErrorString(MciError error, std::string& text) {
  char buffer[256] = {};
  if (!mciGetErrorStringA(error, buffer, sizeof buffer)) return false;
  text = buffer;
  return true;
}

}  // namespace platform::win32
