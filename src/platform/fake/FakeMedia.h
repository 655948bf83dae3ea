#pragma once
// MCI devices for tests. A device opens a WAV file read through platform::files(), takes
// its true duration from the RIFF header, and "plays" it in the test's virtual time: a
// play with MCI_NOTIFY posts MM_MCINOTIFY (successful) to its callback window when the
// file's end is reached. As the MCI documentation describes, a play whose end is
// prevented by a later command reports that instead: a stop, seek or close posts
// "aborted", a new play with MCI_NOTIFY on the same device posts "superseded" for the
// earlier one; a command that returns an error sets up no notification.
// Every command is recorded; opens, plays, stops and closes can be told to fail, and opens
// and plays can be told to hang: the caller is then held, in virtual time, for the media
// layer's limit and told the command was given up, as Win32Media does.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Media.h"

namespace platform::fake {

// The duration in milliseconds of a RIFF/WAVE file's sound data; nothing when the data
// is not a WAV file MCI's wave device would accept.
std::optional<std::uint32_t> WaveDurationMs(const std::string& data);

class FakeMedia : public Media {
 public:
  MciError Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                MciDeviceId& deviceId) override;
  MciError Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                  std::uint32_t& value) override;
  MciError GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                      std::uint32_t& value) override;
  MciError Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  MciError Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) override;
  bool GetErrorString(MciError error, std::string& text) override;
  MciError OpenWithin(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                      MciDeviceId& deviceId, std::uint32_t limitMs) override;
  MciError SetAudio(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uint32_t value,
                    std::uintptr_t callback) override;

  // Wiring to the test's desktop: the virtual clock in milliseconds; running an action
  // once the clock has advanced by delayMs; posting a message to a window's queue. Without
  // postLater a play never ends; without postMessage notifications are dropped.
  std::function<std::int64_t()> now = [] { return std::int64_t(0); };
  std::function<void(std::int64_t delayMs, std::function<void()> action)> postLater;
  std::function<void(std::uintptr_t window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam)>
      postMessage;
  // Holds the caller for ms of virtual time, nothing else running meanwhile (a command that
  // does not answer). Without it the clock stands still.
  std::function<void(std::int64_t ms)> hold;

  // The media layer's limits: a command that has not answered by then is given up.
  std::uint32_t openLimitMs = 15000;
  std::uint32_t commandLimitMs = 2000;

  // Failure injection (0: the command works).
  MciError failOpen = 0;   // every open returns this code
  MciError failPlay = 0;   // every play returns this code (and so sets up no notification)
  MciError failStop = 0;
  MciError failClose = 0;  // the device stays open
  bool playNotifiesFailure = false;  // plays are accepted but report a device error at once
  int failingPlays = 0;              // the next this many plays do so, as above
  MciError failStatus = 0;   // every status query returns this code
  std::uint32_t failStatusItem = 0;  // when set, only queries of this item fail so
  MciError failDevCaps = 0;  // every capability query returns this code
  // An open of a file whose name contains this text never answers ("": none does).
  std::string hangOpensOf;
  // The next this many plays are given up; the device then gives up every command for
  // lateStartMs after the play was sent, and at that time starts the play after all, with
  // the notification it was asked for.
  int hangingPlays = 0;
  std::int64_t lateStartMs = 5000;
  // A play that reaches its end leaves the position this many ms short of the length, as
  // some devices report it.
  std::uint32_t endPositionShortMs = 0;

  struct Command {
    std::uint32_t command = 0;
    MciDeviceId device = 0;
    std::uint32_t flags = 0;
    std::uint32_t item = 0;  // status and capability queries
    std::uintptr_t callback = 0;
    std::string element;     // open
    MciError result = 0;
    std::uint32_t value = 0;  // setaudio
    std::int64_t at = 0;      // virtual time when it returned
  };
  std::vector<Command> commands;
  struct Notification {
    std::int64_t at;
    std::uintptr_t window;
    std::uint32_t kind;
    MciDeviceId device;
  };
  std::vector<Notification> notifications;  // as posted

  int Count(std::uint32_t command) const;
  // The commands of one kind, in order.
  std::vector<Command> Sent(std::uint32_t command) const;
  std::vector<MciDeviceId> OpenDevices() const;
  bool Playing(MciDeviceId device) const;
  // The file a device has open ("" when it is not open).
  std::string ElementOf(MciDeviceId device) const;
  // Whether any play is sounding right now.
  bool Sounding() const;
  // The device stands still where it is, its play neither ending nor reporting, and gives
  // up every command from now on (as a wave device does under Wine 8 once its sound server
  // has gone).
  void Stall(MciDeviceId device);
  // The digital-video device (opened with kMciOpenType) plays WAV files as the wave device
  // does, and takes a volume, 0 to 1000 (1000 until set); without it such opens fail. Its
  // notifications name device 0, as Wine 8's do.
  bool digitalVideo = true;
  // A device's volume; none for a device that is not open or is not digital video.
  std::optional<std::uint32_t> VolumeOf(MciDeviceId device) const;
  // When set, each open, setaudio, play, stop and close is added to it as "mci: open <file>",
  // "mci: setaudio <volume>", "mci: play", ..., beside the mixer's changes.
  std::vector<std::string>* events = nullptr;

 private:
  struct Device {
    std::string element;
    std::uint32_t lengthMs = 0;
    std::uint32_t positionMs = 0;  // where the last play started or the device stopped
    bool playing = false;
    std::int64_t playStartedAt = 0;
    std::uint64_t playToken = 0;  // identifies the current play for its scheduled end
    bool notifyPending = false;
    std::uintptr_t notifyWindow = 0;
    std::uint64_t serial = 0;     // tells a device from a later one given the same number
    std::int64_t stuckUntil = 0;  // it gives up every command before this time
    bool video = false;
    std::uint32_t volume = 1000;
  };
  // Gives up c (holding the caller for the command limit) when its device is stuck.
  bool GivenUp(Command& c);
  // Starts a play on a device: its end is scheduled in virtual time.
  void Begin(MciDeviceId id, Device& d, std::uint32_t flags, std::uintptr_t callback);
  Device* Find(MciDeviceId id);
  const Device* Find(MciDeviceId id) const;
  std::uint32_t Position(const Device& d) const;
  // Halts a play where it stands; its pending notification, if any, is reported as kind.
  void Interrupt(MciDeviceId id, Device& d, std::uint32_t kind);
  void Notify(std::uintptr_t window, std::uint32_t kind, MciDeviceId id);
  MciError Record(Command c);

  std::map<MciDeviceId, Device> devices_;
  std::uint64_t tokens_ = 0;
};

}  // namespace platform::fake
