#include "platform/fake/FakeMedia.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/Platform.h"

namespace platform::fake {
namespace {

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return std::uint32_t(static_cast<unsigned char>(s[at])) | std::uint32_t(static_cast<unsigned char>(s[at + 1])) << 8 |
         std::uint32_t(static_cast<unsigned char>(s[at + 2])) << 16 |
         std::uint32_t(static_cast<unsigned char>(s[at + 3])) << 24;
}

std::uint16_t Le16(const std::string& s, std::size_t at) {
  return std::uint16_t(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

bool HasWaveExtension(const std::string& path) {
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
  return ext == "wav";
}

}  // namespace

std::optional<std::uint32_t> WaveDurationMs(const std::string& data) {
  if (data.size() < 12 || data.compare(0, 4, "RIFF") != 0 || data.compare(8, 4, "WAVE") != 0) return std::nullopt;
  std::uint32_t sampleRate = 0, blockAlign = 0;
  bool haveFormat = false;
  std::size_t at = 12;
  while (at + 8 <= data.size()) {
    const std::string id = data.substr(at, 4);
    const std::uint64_t size = Le32(data, at + 4);
    const std::size_t body = at + 8;
    if (id == "fmt ") {
      if (size < 16 || body + 16 > data.size()) return std::nullopt;
      sampleRate = Le32(data, body + 4);
      blockAlign = Le16(data, body + 12);
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat || sampleRate == 0 || blockAlign == 0) return std::nullopt;
      // A data chunk cut short by the end of the file plays what is there.
      const std::uint64_t bytes = std::min<std::uint64_t>(size, data.size() - body);
      return std::uint32_t(bytes / blockAlign * 1000 / sampleRate);
    }
    if (size > data.size() - body) break;
    at = body + std::size_t(size) + (size & 1);
  }
  return std::nullopt;
}

MciError FakeMedia::Record(Command c) {
  c.at = now();
  if (events && c.result == 0) {
    static const std::map<std::uint32_t, const char*> kNames = {{kMciOpen, "open"},   {kMciSetAudio, "setaudio"},
                                                                {kMciPlay, "play"},   {kMciStop, "stop"},
                                                                {kMciClose, "close"}};
    if (const auto name = kNames.find(c.command); name != kNames.end())
      events->push_back(std::string("mci: ") + name->second +
                        (c.command == kMciOpen ? " " + c.element
                         : c.command == kMciSetAudio ? " " + std::to_string(c.value)
                                                     : std::string()));
  }
  commands.push_back(std::move(c));
  return commands.back().result;
}

FakeMedia::Device* FakeMedia::Find(MciDeviceId id) {
  auto it = devices_.find(id);
  return it == devices_.end() ? nullptr : &it->second;
}

const FakeMedia::Device* FakeMedia::Find(MciDeviceId id) const {
  auto it = devices_.find(id);
  return it == devices_.end() ? nullptr : &it->second;
}

std::uint32_t FakeMedia::Position(const Device& d) const {
  if (!d.playing) return d.positionMs;
  const std::int64_t played = std::max<std::int64_t>(0, now() - d.playStartedAt);
  return std::uint32_t(std::min<std::int64_t>(d.lengthMs, d.positionMs + played));
}

void FakeMedia::Notify(std::uintptr_t window, std::uint32_t kind, MciDeviceId id) {
  // As Wine 8's digital-video device does, which names no device in its notifications.
  if (const Device* d = Find(id); d && d->video) id = 0;
  notifications.push_back({now(), window, kind, id});
  if (postMessage) postMessage(window, kMmMciNotify, kind, std::intptr_t(id));
}

void FakeMedia::Interrupt(MciDeviceId id, Device& d, std::uint32_t kind) {
  d.positionMs = Position(d);
  d.playing = false;
  ++d.playToken;  // the scheduled end no longer applies
  if (d.notifyPending) {
    d.notifyPending = false;
    Notify(d.notifyWindow, kind, id);
  }
}

bool FakeMedia::GivenUp(Command& c) {
  const Device* d = Find(c.device);
  if (!d || now() >= d->stuckUntil) return false;
  if (hold) hold(commandLimitMs);
  c.result = kMciErrDeviceNotReady;
  return true;
}

MciError FakeMedia::Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                         MciDeviceId& deviceId) {
  return OpenWithin(element, flags, callback, deviceId, openLimitMs);
}

MciError FakeMedia::OpenWithin(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                               MciDeviceId& deviceId, std::uint32_t limitMs) {
  Command c{kMciOpen, 0, flags, 0, callback, element, 0};
  if (!hangOpensOf.empty() && element.find(hangOpensOf) != std::string::npos) {
    if (hold) hold(std::min(limitMs, openLimitMs));
    c.result = kMciErrDeviceNotReady;
    return Record(c);
  }
  if ((flags & kMciOpenType) && !digitalVideo) {
    c.result = kMciErrInvalidDeviceName;
    return Record(c);
  }
  if (failOpen) {
    c.result = failOpen;
    return Record(c);
  }
  const std::optional<std::string> data = platform::files().ReadAll(element);
  if (!data) {
    c.result = kMciErrFileNotFound;
    return Record(c);
  }
  // The device is chosen by the file's extension; only the wave device is installed.
  if (!HasWaveExtension(element)) {
    c.result = kMciErrExtensionNotFound;
    return Record(c);
  }
  const std::optional<std::uint32_t> length = WaveDurationMs(*data);
  if (!length) {
    c.result = kMciErrInvalidFile;
    return Record(c);
  }
  // MCI hands out the lowest free identifier, so a closed device's number comes back.
  MciDeviceId id = 1;
  while (devices_.count(id)) ++id;
  Device d;
  d.serial = ++tokens_;
  d.element = element;
  d.lengthMs = *length;
  d.video = (flags & kMciOpenType) != 0;
  devices_[id] = d;
  deviceId = id;
  c.device = id;
  return Record(c);
}

MciError FakeMedia::Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                           std::uint32_t& value) {
  Command c{kMciStatus, device, flags, item, callback, "", 0};
  const Device* d = Find(device);
  if (GivenUp(c)) return Record(c);
  if (!d) {
    c.result = kMciErrInvalidDeviceId;
    return Record(c);
  }
  if (failStatus && (failStatusItem == 0 || failStatusItem == item)) {
    c.result = failStatus;
    return Record(c);
  }
  switch (item) {
    case kMciStatusLength: value = d->lengthMs; break;
    case kMciStatusPosition: value = Position(*d); break;
    case kMciStatusMode: value = d->playing ? kMciModePlay : kMciModeStop; break;
    default: c.result = kMciErrUnsupportedFunction;
  }
  return Record(c);
}

MciError FakeMedia::GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item,
                               std::uintptr_t callback, std::uint32_t& value) {
  Command c{kMciGetDevCaps, device, flags, item, callback, "", 0};
  if (GivenUp(c)) return Record(c);
  if (!Find(device)) {
    c.result = kMciErrInvalidDeviceId;
    return Record(c);
  }
  if (failDevCaps) {
    c.result = failDevCaps;
    return Record(c);
  }
  // A wave device: plays and records, no video, nothing to eject.
  value = (item == kMciGetDevCapsCanPlay || item == kMciGetDevCapsCanRecord) ? 1 : 0;
  return Record(c);
}

MciError FakeMedia::Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  Command c{kMciSeek, device, flags, 0, callback, "", 0};
  Device* d = Find(device);
  if (GivenUp(c)) return Record(c);
  if (!d) {
    c.result = kMciErrInvalidDeviceId;
    return Record(c);
  }
  Interrupt(device, *d, kMciNotifyAborted);
  if (flags & kMciSeekToStart) d->positionMs = 0;
  return Record(c);
}

MciError FakeMedia::Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  Command c{kMciPlay, device, flags, 0, callback, "", 0};
  Device* d = Find(device);
  if (GivenUp(c)) return Record(c);
  if (!d) {
    c.result = kMciErrInvalidDeviceId;
    return Record(c);
  }
  if (failPlay) {
    c.result = failPlay;
    return Record(c);
  }
  if (hangingPlays > 0) {
    --hangingPlays;
    d->stuckUntil = now() + lateStartMs;
    if (postLater) {
      postLater(lateStartMs, [this, device, serial = d->serial, flags, callback] {
        Device* late = Find(device);
        if (late && late->serial == serial) Begin(device, *late, flags, callback);
      });
    }
    if (hold) hold(commandLimitMs);
    c.result = kMciErrDeviceNotReady;
    return Record(c);
  }
  Record(c);
  Begin(device, *d, flags, callback);
  return 0;
}

void FakeMedia::Begin(MciDeviceId device, Device& d, std::uint32_t flags, std::uintptr_t callback) {
  // A new play with notify supersedes the earlier one's notification; without notify the
  // earlier notification stays and comes at the (same) end.
  const bool carryOver = d.notifyPending && !(flags & kMciNotify);
  if (carryOver) d.notifyPending = false;
  Interrupt(device, d, kMciNotifySuperseded);
  if (carryOver) d.notifyPending = true;
  if (flags & kMciNotify) {
    d.notifyPending = true;
    d.notifyWindow = callback;
  }
  const bool failing = playNotifiesFailure || failingPlays > 0;
  if (failingPlays > 0) --failingPlays;
  if (failing) {
    if (d.notifyPending) {
      d.notifyPending = false;
      Notify(d.notifyWindow, kMciNotifyFailure, device);
    }
    return;
  }
  d.playing = true;
  d.playStartedAt = now();
  const std::uint64_t token = d.playToken;
  const std::int64_t remaining = std::max<std::int64_t>(0, std::int64_t(d.lengthMs) - d.positionMs);
  if (postLater) {
    postLater(remaining, [this, device, token] {
      Device* ended = Find(device);
      if (!ended || ended->playToken != token || !ended->playing) return;
      ended->playing = false;
      ended->positionMs = ended->lengthMs - std::min(endPositionShortMs, ended->lengthMs);
      ++ended->playToken;
      if (ended->notifyPending) {
        ended->notifyPending = false;
        Notify(ended->notifyWindow, kMciNotifySuccessful, device);
      }
    });
  }
}

MciError FakeMedia::Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  Command c{kMciStop, device, flags, 0, callback, "", 0};
  Device* d = Find(device);
  if (GivenUp(c)) return Record(c);
  if (!d) c.result = kMciErrInvalidDeviceId;
  else if (failStop) c.result = failStop;
  else Interrupt(device, *d, kMciNotifyAborted);
  return Record(c);
}

MciError FakeMedia::Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  Command c{kMciClose, device, flags, 0, callback, "", 0};
  Device* d = Find(device);
  if (GivenUp(c)) return Record(c);
  if (!d) {
    c.result = kMciErrInvalidDeviceId;
  } else if (failClose) {
    c.result = failClose;
  } else {
    Interrupt(device, *d, kMciNotifyAborted);
    devices_.erase(device);
  }
  return Record(c);
}

bool FakeMedia::GetErrorString(MciError error, std::string& text) {
  static const std::map<MciError, const char*> kTexts = {
      {kMciErrInvalidDeviceId, "Invalid device ID. Use the ID given to the device when the device was opened."},
      {kMciErrHardware, "The device has a hardware problem. Check that it works and is connected."},
      {kMciErrInvalidDeviceName, "The specified device is not open or is not recognized by MCI."},
      {kMciErrDeviceOpen, "The device name is already being used as an alias by this application."},
      {kMciErrUnsupportedFunction, "The MCI device the system is using does not support the specified command."},
      {kMciErrFileNotFound, "Cannot find the specified file. Make sure the path and filename are correct."},
      {kMciErrDeviceNotReady, "The device is not ready."},
      {kMciErrDriver, "The device driver reported an error."},
      {kMciErrExtensionNotFound, "The specified extension has no device type associated with it."},
      {kMciErrInvalidFile, "The file cannot be played on the specified MCI device. The file may be corrupt."},
      {kMciErrWaveOutputsUnsuitable, "No wave output device can play files in the current format."},
  };
  auto it = kTexts.find(error);
  if (it == kTexts.end()) return false;
  text = it->second;
  return true;
}

MciError FakeMedia::SetAudio(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uint32_t value,
                             std::uintptr_t callback) {
  Command c{kMciSetAudio, device, flags, item, callback, "", 0, value};
  Device* d = Find(device);
  if (!d)
    c.result = kMciErrInvalidDeviceId;
  else if (!d->video || item != kMciDgvSetAudioVolume || value > 1000)
    c.result = kMciErrUnsupportedFunction;
  else
    d->volume = value;
  return Record(c);
}

std::optional<std::uint32_t> FakeMedia::VolumeOf(MciDeviceId device) const {
  const Device* d = Find(device);
  if (!d || !d->video) return std::nullopt;
  return d->volume;
}

int FakeMedia::Count(std::uint32_t command) const {
  return int(std::count_if(commands.begin(), commands.end(), [&](const Command& c) { return c.command == command; }));
}

std::vector<FakeMedia::Command> FakeMedia::Sent(std::uint32_t command) const {
  std::vector<Command> out;
  for (const Command& c : commands)
    if (c.command == command) out.push_back(c);
  return out;
}

std::vector<MciDeviceId> FakeMedia::OpenDevices() const {
  std::vector<MciDeviceId> ids;
  for (const auto& [id, d] : devices_) ids.push_back(id);
  return ids;
}

bool FakeMedia::Playing(MciDeviceId device) const {
  const Device* d = Find(device);
  return d && d->playing;
}

std::string FakeMedia::ElementOf(MciDeviceId device) const {
  const Device* d = Find(device);
  return d ? d->element : std::string();
}

bool FakeMedia::Sounding() const {
  return std::any_of(devices_.begin(), devices_.end(), [](const auto& entry) { return entry.second.playing; });
}

}  // namespace platform::fake

namespace platform::fake {

void FakeMedia::Stall(MciDeviceId device) {
  Device* d = Find(device);
  if (!d) return;
  d->positionMs = Position(*d);
  d->playing = false;
  ++d->playToken;
  d->notifyPending = false;
  d->stuckUntil = std::numeric_limits<std::int64_t>::max();
}

}  // namespace platform::fake
