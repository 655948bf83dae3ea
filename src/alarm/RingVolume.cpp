#include "alarm/RingVolume.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>

#include "alarm/Reestr.h"
#include "alarm/SoundSystemForm.h"
#include "platform/Platform.h"

namespace {
using Level = platform::AudioVolume::Level;

platform::AudioVolume* Mixer() { return platform::Installed().volume; }
void Log(const std::string& text) { platform::kernel().DebugLog("Ravilo: " + text); }

// The volume of the ring's sound, MCI's 0 to 1000, for a part of full loudness.
std::uint32_t SoundVolume(float part) { return std::uint32_t(std::lround(std::clamp(part, 0.0f, 1.0f) * 1000.0f)); }
}  // namespace

CRingVolume::CRingVolume() {
  RingTimer.SetInterval(kRampStepMs);
  RingTimer.SetEnabled(false);
  RingTimer.OnTimer = [this] { Step(); };
}

CRingVolume::~CRingVolume() { End(); }

std::string CRingVolume::Format(const std::vector<Change>& changes) {
  std::string text;
  for (const Change& c : changes) {
    char level[32];
    const auto written = std::to_chars(level, level + sizeof level, c.found.level);
    text += std::string(c.session ? "s " : "d ") + (c.found.muted ? "1 " : "0 ") + std::string(level, written.ptr) +
            " " + c.device + "\n";
  }
  return text;
}

std::vector<CRingVolume::Change> CRingVolume::Parse(const std::string& text) {
  std::vector<Change> changes;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(at, end - at);
    at = end + 1;
    // "d 1 0.6 <device>": kind, mute, level, the device's identifier (the rest of the line).
    if (line.size() < 7 || (line[0] != 'd' && line[0] != 's') || line[1] != ' ' ||
        (line[2] != '0' && line[2] != '1') || line[3] != ' ')
      continue;
    Change c;
    c.session = line[0] == 's';
    c.found.muted = line[2] == '1';
    const char* first = line.data() + 4;
    const char* last = line.data() + line.size();
    const auto read = std::from_chars(first, last, c.found.level);
    if (read.ec != std::errc() || read.ptr == last || *read.ptr != ' ' || !std::isfinite(c.found.level) ||
        c.found.level < 0.0f || c.found.level > 1.0f)
      continue;
    c.device.assign(read.ptr + 1, last);
    if (c.device.empty()) continue;
    // One level of each kind per device: the first is the one found before any change.
    if (std::none_of(changes.begin(), changes.end(),
                     [&](const Change& k) { return k.session == c.session && k.device == c.device; }))
      changes.push_back(std::move(c));
  }
  return changes;
}

void CRingVolume::Store() {
  if (!Reestr || !Reestr->IsOpen()) return;
  try {
    Reestr->SetString(kStoreValue, Format(changes_));
  } catch (const std::exception& e) {
    Log(std::string("what is to be put back after the ring could not be stored: ") + e.what());
  }
}

void CRingVolume::PutBackLeftOver() {
  std::string stored;
  if (!Reestr || !Reestr->GetString(kStoreValue, stored) || stored.empty()) return;
  for (Change& c : Parse(stored))
    if (std::none_of(changes_.begin(), changes_.end(),
                     [&](const Change& k) { return k.session == c.session && k.device == c.device; }))
      changes_.push_back(std::move(c));
  PutBack();
}

void CRingVolume::PutBack() {
  if (changes_.empty()) return;
  platform::AudioVolume* mixer = Mixer();
  std::vector<Change> left;
  // The latest change first, so that each level ends as it was before the first.
  for (auto c = changes_.rbegin(); c != changes_.rend(); ++c) {
    const bool done = mixer && (c->session ? mixer->SetSession(c->device, c->found) : mixer->SetDevice(c->device, c->found));
    if (!done) {
      Log(std::string(c->session ? "the program's own volume" : "an output device") + " was not put back as it was (" +
          c->device + "); tried again at the next start or ring");
      left.insert(left.begin(), *c);
    }
  }
  changes_ = std::move(left);
  Store();
}

bool CRingVolume::Set(bool session, const std::string& device, Level found, Level to) {
  platform::AudioVolume* mixer = Mixer();
  if (!mixer) return false;
  const auto same = [&](const Change& c) { return c.session == session && c.device == device; };
  const bool known = std::any_of(changes_.begin(), changes_.end(), same);
  if (!known) {
    // Stored before the change: a run that ends in between leaves nothing changed unrecorded.
    changes_.push_back({session, device, found});
    Store();
  }
  if ((session ? mixer->SetSession(device, to) : mixer->SetDevice(device, to))) return true;
  if (!known) {
    changes_.erase(std::remove_if(changes_.begin(), changes_.end(), same), changes_.end());
    Store();
  }
  return false;
}

void CRingVolume::MakeHeard(const std::string& device) {
  platform::AudioVolume* mixer = Mixer();
  if (!mixer) return;
  if (const auto found = mixer->GetDevice(device); found && (found->muted || found->level < kAudibleLevel)) {
    if (!Set(false, device, *found, {false, std::max(found->level, kAudibleLevel)}))
      Log("the output device refused to be unmuted or raised for the ring");
  }
  // The mixer's own slider for this program: muted, or drawn down to nothing.
  if (const auto found = mixer->GetSession(device); found && (found->muted || found->level <= 0.0f)) {
    if (!Set(true, device, *found, {false, found->level > 0.0f ? found->level : kAudibleLevel}))
      Log("the program's own volume refused to be unmuted for the ring");
  }
}

void CRingVolume::Begin(const AlarmOptions& options) {
  End();
  ringing_ = true;
  muteRule_ = options.ringWhenMuted;
  platform::AudioVolume* mixer = Mixer();
  if (muteRule_) {
    const auto device = mixer ? mixer->DefaultDevice() : std::nullopt;
    if (device) {
      deviceLooked_ = *device;
      MakeHeard(*device);
    } else {
      Log("no output device to make the ring heard on");
    }
  }
  if (options.rampSeconds > 0) {
    rampMs_ = unsigned(options.rampSeconds) * 1000u;
    elapsedMs_ = 0;
    if (SoundSystem) {
      SoundSystem->OnVolumeRefused = [this] { RampTheSession(); };
      SoundSystem->SetVolume(SoundVolume(kRampStart));
    }
  }
  sinceLookMs_ = 0;
  RingTimer.SetEnabled(muteRule_ || rampMs_ > 0);
}

void CRingVolume::RampTheSession() {
  if (sessionRamp_ || rampMs_ == 0) return;
  platform::AudioVolume* mixer = Mixer();
  const auto device = mixer ? mixer->DefaultDevice() : std::nullopt;
  const auto full = device ? mixer->GetSession(*device) : std::nullopt;
  const float part = kRampStart + (1.0f - kRampStart) * float(elapsedMs_) / float(rampMs_);
  if (!full || !Set(true, *device, *full, {full->muted, full->level * part})) {
    Log("the ring's sound takes no volume and the program's own can't be set: it plays at full loudness");
    return;
  }
  sessionRamp_ = *device;
  sessionFull_ = *full;
  // The session alone sets the loudness from here: later files of this ring play at full.
  if (SoundSystem) SoundSystem->SetVolume(std::nullopt);
}

void CRingVolume::Step() {
  platform::AudioVolume* mixer = Mixer();
  if (rampMs_ > 0) {
    elapsedMs_ = std::min(rampMs_, elapsedMs_ + kRampStepMs);
    const float part = kRampStart + (1.0f - kRampStart) * float(elapsedMs_) / float(rampMs_);
    if (sessionRamp_) {
      if (mixer) mixer->SetSession(*sessionRamp_, {sessionFull_.muted, sessionFull_.level * part});
    } else if (SoundSystem) {
      SoundSystem->SetVolume(SoundVolume(part));
    }
    if (elapsedMs_ >= rampMs_) rampMs_ = 0;
  }
  if (muteRule_ && (sinceLookMs_ += kRampStepMs) >= kDeviceLookMs) {
    sinceLookMs_ = 0;
    // A device that became the default mid-ring is made heard as well; each is put back.
    if (const auto device = mixer ? mixer->DefaultDevice() : std::nullopt; device && *device != deviceLooked_) {
      deviceLooked_ = *device;
      MakeHeard(*device);
    }
  }
  if (!muteRule_ && rampMs_ == 0) RingTimer.SetEnabled(false);
}

void CRingVolume::End() {
  RingTimer.SetEnabled(false);
  if (ringing_ && SoundSystem) {
    SoundSystem->SetVolume(std::nullopt);
    SoundSystem->OnVolumeRefused = nullptr;
  }
  ringing_ = false;
  muteRule_ = false;
  rampMs_ = 0;
  sessionRamp_.reset();
  deviceLooked_.clear();
  PutBack();
}
