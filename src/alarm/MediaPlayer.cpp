#include "alarm/MediaPlayer.h"

#include <algorithm>
#include <stdexcept>

#include "app/Globals.h"
#include "platform/Platform.h"
#include "ui/Form.h"

using namespace platform;

namespace {

Media& Mci() {
  Media* media = Installed().media;
  if (!media) throw std::runtime_error("No sound services are installed");
  return *media;
}

}  // namespace

TMediaPlayer::TMediaPlayer(ui::Form& owner) : owner_(owner) {}

TMediaPlayer::~TMediaPlayer() {
  try {
    Close();
    CloseLeftOvers();
  } catch (...) {
    // Going away regardless.
  }
}

std::uintptr_t TMediaPlayer::Callback() const { return owner_.Peer() ? owner_.Peer()->NativeHandle() : 0; }

void TMediaPlayer::CheckDevice() const {
  if (!deviceOpen_) throw std::runtime_error("No MCI device open");
}

void TMediaPlayer::Check(MciError result) {
  lastError_ = result;
  if (result == 0) return;
  std::string text;
  if (!Mci().GetErrorString(result, text) || text.empty()) text = "Unknown error code";
  throw std::runtime_error(text);
}

std::uint32_t TMediaPlayer::StatusItem(std::uint32_t item) {
  std::uint32_t value = 0;
  Check(Mci().Status(deviceId_, kMciStatusItem | kMciWait, item, Callback(), value));
  return value;
}

bool TMediaPlayer::Capability(std::uint32_t item) {
  std::uint32_t value = 0;
  Check(Mci().GetDevCaps(deviceId_, kMciGetDevCapsItem | kMciWait, item, Callback(), value));
  return value != 0;
}

void TMediaPlayer::Open(std::uint32_t limitMs, bool digitalVideo) {
  if (deviceOpen_) Close();
  MciDeviceId id = 0;
  // A relative name is the program's own file: MCI would look for it in the current
  // directory, which the open-file dialog moves.
  const std::string path = ProgramPath(fileName_);
  // A file that device can't play (MIDI), or a system without it, takes MCI's own choice;
  // an open given up for time is not waited for twice.
  const auto open = [&](std::uint32_t flags) {
    return limitMs ? Mci().OpenWithin(path, flags, Callback(), id, limitMs) : Mci().Open(path, flags, Callback(), id);
  };
  MciError opened = digitalVideo ? open(kMciWait | kMciOpenElement | kMciOpenType) : 1;
  if (opened != 0 && !(digitalVideo && opened == kMciErrDeviceNotReady)) opened = open(kMciWait | kMciOpenElement);
  Check(opened);
  deviceId_ = id;
  deviceOpen_ = true;
  try {
    length_ = StatusItem(kMciStatusLength);
    capabilities_.canPlay = Capability(kMciGetDevCapsCanPlay);
    capabilities_.canRecord = Capability(kMciGetDevCapsCanRecord);
    capabilities_.canEject = Capability(kMciGetDevCapsCanEject);
    capabilities_.hasVideo = Capability(kMciGetDevCapsHasVideo);
  } catch (...) {
    // A device that opened but can't answer for itself is of no use; left open it would
    // stay held, unplayed, until the next open.
    Close();
    throw;
  }
}

void TMediaPlayer::Rewind() {
  CheckDevice();
  Check(Mci().Seek(deviceId_, kMciSeekToStart | kMciWait, Callback()));
}

void TMediaPlayer::Play() {
  CheckDevice();
  try {
    const std::uint32_t position = StatusItem(kMciStatusPosition);
    length_ = StatusItem(kMciStatusLength);
    if (position == length_) Check(Mci().Seek(deviceId_, kMciSeekToStart | kMciWait, Callback()));
  } catch (...) {
    // As in Open: a device that can't say where it stands is released, not kept unplayed.
    Close();
    throw;
  }
  // The play's own result is kept but not acted on: its end, or its failure, comes as a
  // notification.
  lastError_ = Mci().Play(deviceId_, kMciNotify, Callback());
}

void TMediaPlayer::Stop() {
  CheckDevice();
  Check(Mci().Stop(deviceId_, kMciWait, Callback()));
}

void TMediaPlayer::Close() {
  if (!deviceOpen_) return;
  lastError_ = Mci().Close(deviceId_, kMciWait, Callback());
  if (lastError_ != 0) {
    kernel().DebugLog("Ravilo: sound: device " + std::to_string(deviceId_) + " did not close (MCI error " +
                      std::to_string(lastError_) + "); it is closed again later");
    leftOvers_.push_back({deviceId_, 1});
  }
  deviceOpen_ = false;
  deviceId_ = 0;
  length_ = 0;
}

bool TMediaPlayer::CloseLeftOvers() {
  std::vector<LeftOver> still;
  for (LeftOver left : leftOvers_) {
    if (Mci().Close(left.id, kMciWait, Callback()) == 0) continue;
    if (++left.tries < kLeftOverTries) {
      still.push_back(left);
    } else {
      kernel().DebugLog("Ravilo: sound: device " + std::to_string(left.id) + " did not close in " +
                        std::to_string(left.tries) + " tries; it is left to MCI");
    }
  }
  leftOvers_ = std::move(still);
  return leftOvers_.empty();
}

std::uint32_t TMediaPlayer::Position() {
  CheckDevice();
  return StatusItem(kMciStatusPosition);
}

MciError TMediaPlayer::SetVolume(std::uint32_t level) {
  if (!deviceOpen_) return kMciErrInvalidDeviceId;
  return Mci().SetAudio(deviceId_, kMciDgvSetAudioItem | kMciDgvSetAudioValue | kMciWait, kMciDgvSetAudioVolume,
                        level, Callback());
}

void TMediaPlayer::HandleNotify(std::uintptr_t kind, std::intptr_t device) {
  // A left-over device that reports back answers again: it is closed now, and what it ended
  // concerns nothing that plays.
  if (std::any_of(leftOvers_.begin(), leftOvers_.end(),
                  [&](const LeftOver& left) { return left.id == MciDeviceId(device); })) {
    CloseLeftOvers();
    return;
  }
  notifyValue_ = std::uint32_t(kind);
  notifyDevice_ = MciDeviceId(device);
  if (OnNotify) OnNotify(notifyValue_);
}
