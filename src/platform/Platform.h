#pragma once
// The operating-system seam. The entry point installs one implementation (Windows, or the
// fakes in tests); portable code reaches it through these accessors.
#include "platform/FileSystem.h"
#include "platform/Kernel.h"
#include "platform/NotifyIcon.h"
#include "platform/Registry.h"
#include "platform/WakeTimer.h"

namespace platform {

class Media;
class AudioVolume;

struct Services {
  Registry* registry = nullptr;
  Kernel* kernel = nullptr;
  FileSystem* files = nullptr;
  Media* media = nullptr;
  NotifyIcon* notifyIcon = nullptr;
  WakeTimer* wakeTimer = nullptr;  // optional: without one the computer is never woken
  AudioVolume* volume = nullptr;   // optional: without it a ring starts at full loudness
};

void Install(const Services& services);
const Services& Installed();

inline Registry& registry() { return *Installed().registry; }
inline Kernel& kernel() { return *Installed().kernel; }
inline FileSystem& files() { return *Installed().files; }
inline Media& media() { return *Installed().media; }
inline NotifyIcon& notifyIcon() { return *Installed().notifyIcon; }

}  // namespace platform
