#include "alarm/MediaPlayer.h"

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

void TMediaPlayer::Open(bool digitalVideo) {
  if (deviceOpen_) Close();
  MciDeviceId id = 0;
  // A relative name is the program's own file: MCI would look for it in the current
  // directory, which the open-file dialog moves.
  const std::string path = ProgramPath(fileName_);
  // A file that device can't play (MIDI), or a system without it, takes MCI's own choice;
  // an open given up for time is not waited for twice.
  MciError opened = digitalVideo ? Mci().Open(path, kMciWait | kMciOpenElement | kMciOpenType, Callback(), id) : 1;
  if (opened != 0 && !(digitalVideo && opened == kMciErrDeviceNotReady))
    opened = Mci().Open(path, kMciWait | kMciOpenElement, Callback(), id);
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
  if (lastError_ != 0) return;
  deviceOpen_ = false;
  deviceId_ = 0;
  length_ = 0;
}

MciError TMediaPlayer::SetVolume(std::uint32_t level) {
  if (!deviceOpen_) return kMciErrInvalidDeviceId;
  return Mci().SetAudio(deviceId_, kMciDgvSetAudioItem | kMciDgvSetAudioValue | kMciWait, kMciDgvSetAudioVolume,
                        level, Callback());
}

void TMediaPlayer::HandleNotify(std::uintptr_t kind, std::intptr_t device) {
  notifyValue_ = std::uint32_t(kind);
  notifyDevice_ = MciDeviceId(device);
  if (OnNotify) OnNotify(notifyValue_);
}
