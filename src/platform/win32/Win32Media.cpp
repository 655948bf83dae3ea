#include "platform/win32/Win32Media.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string>

#include "platform/win32/WinHeaders.h"

#include <digitalv.h>

namespace platform::win32 {
namespace {

// To the debugger's output (under Wine: WINEDEBUG=+debugstr).
void Log(const char* format, unsigned long a, unsigned long b = 0, unsigned long c = 0) {
  char text[256];
  std::snprintf(text, sizeof text, format, a, b, c);
  ::OutputDebugStringA(text);
}

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION& cs) : cs_(cs) { ::EnterCriticalSection(&cs_); }
  ~Lock() { ::LeaveCriticalSection(&cs_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;

 private:
  CRITICAL_SECTION& cs_;
};

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

// Paths travel in the ANSI code page (UTF-8 under the manifest).
std::wstring Wide(const std::string& s) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), nullptr, 0);
  std::wstring w(std::size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), int(s.size()), w.data(), n);
  return w;
}

// The ANSI form of a path, or "" when some character has none.
std::string Narrow(const std::wstring& w) {
  BOOL lossy = FALSE;
  BOOL* check = ::GetACP() == CP_UTF8 ? nullptr : &lossy;  // UTF-8 takes no such check
  const int n = ::WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), nullptr, 0, nullptr, check);
  if (n <= 0 || lossy) return {};
  std::string s(std::size_t(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, w.data(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// MCI's wave device reads its file through mmioOpen, whose ANSI path stops short of
// MAX_PATH: a path that long goes to MCI in its short (8.3) form. Where the volume keeps
// no short names, the path goes as it is and the open fails as before.
std::string OpenablePath(const std::string& element) {
  constexpr std::size_t kLongest = 127;
  if (element.size() <= kLongest) return element;
  std::wstring wide = Wide(element);
  const bool absolute = wide.size() >= 3 && wide[1] == L':' && wide[2] == L'\\';
  if (absolute) wide = L"\\\\?\\" + wide;  // past MAX_PATH only in this form
  const DWORD n = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) {
    Log("Ravilo: sound: GetShortPathName failed, error %lu\n", ::GetLastError());
    return element;
  }
  std::wstring shortPath(n, L'\0');
  const DWORD got = ::GetShortPathNameW(wide.c_str(), shortPath.data(), n);
  if (got == 0 || got >= n) return element;
  shortPath.resize(got);
  if (absolute && shortPath.rfind(L"\\\\?\\", 0) == 0) shortPath.erase(0, 4);
  const std::string narrow = Narrow(shortPath);
  return !narrow.empty() && narrow.size() < element.size() ? narrow : element;
}

// Wine's MCI unloads a driver's module when its last device closes (winmm's CloseDriver),
// but the wave driver's notifying play runs on a thread of its own (MCI_SCAStarter), which
// posts the end notification and only then returns through the driver's code. A close in
// answer to that notification, or an open and close just after, then frees the module under
// that thread, and the process dies of a page fault in WAVE_mciPlay (seen about once in a
// hundred plays under Wine 8). The drivers are kept loaded for the rest of the run instead;
// on Windows this costs nothing, as its drivers stay loaded anyway.
void KeepDriversLoaded() {
  static const char* const kDrivers[] = {"mciwave.drv", "mciwave.dll", "mciqtz32.dll", "mciseq.drv",
                                         "mciseq.dll",  "mciavi32.dll", "mcicda.dll"};
  static std::atomic<bool> kept[std::size(kDrivers)];  // several sound threads may open
  for (std::size_t i = 0; i < std::size(kDrivers); ++i) {
    if (kept[i].load()) continue;
    HMODULE module = nullptr;
    if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, kDrivers[i], &module)) kept[i].store(true);
  }
}

// One command for the sound thread. It holds its own parameters and answer, as its caller
// may have stopped waiting for it.
struct Job {
  std::function<MciError(std::uint32_t& out)> call;
  UINT command = 0;
  MciDeviceId device = 0;
  std::uint32_t out = 0;
  MciError result = 0;
  bool done = false;
  bool abandoned = false;  // its caller stopped waiting
};

struct OwnedHandle {
  explicit OwnedHandle(HANDLE handle) : h(handle) {}
  ~OwnedHandle() {
    if (h) ::CloseHandle(h);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE h;
};

}  // namespace

struct Win32Media::SoundThread {
  SoundThread() { ::InitializeCriticalSection(&lock); }
  ~SoundThread() { ::DeleteCriticalSection(&lock); }
  CRITICAL_SECTION lock;
  OwnedHandle ready{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};  // a job waits, or quit
  // The job has its answer. Auto-reset, and the waiter looks at the job itself: a signal
  // that comes late, for the job before, then wakes it once and is used up, and the job it
  // waits for is not given up for it.
  OwnedHandle done{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
  OwnedHandle thread{nullptr};
  std::shared_ptr<Job> job;  // the last one given; running while not done
  bool quit = false;         // it is to end (after the job it is in, when one was given up)

  bool Busy() {
    Lock held(lock);
    return job && !job->done;
  }
  bool Retired() {
    Lock held(lock);
    return quit;
  }

  // Runs the job on this thread and waits for it for at most limitMs. A job given up
  // retires the thread: it ends once the job returns.
  MciError Run(UINT command, MciDeviceId device, std::function<MciError(std::uint32_t&)> call, std::uint32_t* out,
               unsigned limitMs) {
    auto next = std::make_shared<Job>();
    next->call = std::move(call);
    next->command = command;
    next->device = device;
    {
      Lock held(lock);
      job = next;
      ::ResetEvent(done.h);
    }
    ::SetEvent(ready.h);
    const ULONGLONG deadline = ::GetTickCount64() + limitMs;
    for (;;) {
      DWORD wait = 0;
      {
        Lock held(lock);
        if (next->done) {
          if (out) *out = next->out;
          return next->result;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) {
          next->abandoned = true;
          quit = true;
          break;
        }
        wait = DWORD(deadline - now);
      }
      ::WaitForSingleObject(done.h, wait);
    }
    Log("Ravilo: sound: MCI command 0x%lx to device %lu gave no answer in %lu ms; it is given up, and the next "
        "command goes to a new sound thread\n",
        command, device, limitMs);
    return MCIERR_DEVICE_NOT_READY;
  }

  static DWORD WINAPI Main(void* param) {
    std::shared_ptr<SoundThread> self = std::move(*static_cast<std::shared_ptr<SoundThread>*>(param));
    delete static_cast<std::shared_ptr<SoundThread>*>(param);
    for (;;) {
      // Messages are dispatched between commands, for a driver that made a window on this
      // thread, the one that opened its device.
      const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &self->ready.h, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
      if (woke == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
          ::TranslateMessage(&msg);
          ::DispatchMessageA(&msg);
        }
        continue;
      }
      if (woke != WAIT_OBJECT_0) {
        Log("Ravilo: sound: the sound thread's wait failed, error %lu\n", ::GetLastError());
        return 1;
      }
      std::shared_ptr<Job> job;
      {
        Lock held(self->lock);
        if (self->quit) return 0;
        job = self->job;
      }
      if (!job || job->done) continue;
      std::uint32_t out = 0;
      const MciError result = job->call(out);
      bool abandoned = false;
      {
        Lock held(self->lock);
        job->out = out;
        job->result = result;
        job->done = true;
        abandoned = job->abandoned;
      }
      ::SetEvent(self->done.h);
      if (abandoned) {
        Log("Ravilo: sound: MCI command 0x%lx to device %lu answered %lu after it was given up\n", job->command,
            job->device, result);
        // Nobody knows of a device opened this late: it is closed here. A play that starts
        // late is the player's to stop: it keeps the device's number until it closes.
        if (job->command == MCI_OPEN && result == 0) SendGeneric(out, MCI_CLOSE, MCI_WAIT, 0);
        return 0;  // retired: a fresh thread has taken over
      }
    }
  }
};

namespace {

std::shared_ptr<Win32Media::SoundThread> StartSoundThread() {
  auto thread = std::make_shared<Win32Media::SoundThread>();
  if (!thread->ready.h || !thread->done.h) {
    Log("Ravilo: sound: CreateEvent failed, error %lu\n", ::GetLastError());
    return nullptr;
  }
  auto* param = new std::shared_ptr<Win32Media::SoundThread>(thread);
  thread->thread.h = ::CreateThread(nullptr, 0, &Win32Media::SoundThread::Main, param, 0, nullptr);
  if (!thread->thread.h) {
    Log("Ravilo: sound: CreateThread failed, error %lu\n", ::GetLastError());
    delete param;
    return nullptr;
  }
  return thread;
}

}  // namespace

Win32Media::Win32Media() {
  thread_ = StartSoundThread();
  if (!thread_) Log("Ravilo: sound: no sound thread; MCI is called directly\n", 0);
}

Win32Media::~Win32Media() {
  // Threads stuck in a command keep their own share of the state and end with the process.
  if (!thread_ || thread_->Busy()) return;
  {
    Lock held(thread_->lock);
    thread_->quit = true;
  }
  ::SetEvent(thread_->ready.h);
  if (::WaitForSingleObject(thread_->thread.h, kCommandLimitMs) != WAIT_OBJECT_0)
    Log("Ravilo: sound: the sound thread did not end in %lu ms\n", kCommandLimitMs);
}

MciError Win32Media::Call(unsigned command, MciDeviceId device, std::function<MciError(std::uint32_t&)> call,
                          std::uint32_t* out, unsigned limitMs) {
  if (!thread_) {
    std::erase_if(stuck_, [](const std::shared_ptr<SoundThread>& t) { return !t->Busy(); });
    if (stuck_.size() >= kMostThreadsStuck) {
      Log("Ravilo: sound: %lu sound threads are stuck; MCI command 0x%lx is refused\n", stuck_.size(), command);
      return MCIERR_DEVICE_NOT_READY;
    }
    thread_ = StartSoundThread();
    if (!thread_) {
      // As at the start: better a wait on the device than no sound at all.
      std::uint32_t value = 0;
      const MciError result = call(value);
      if (out) *out = value;
      return result;
    }
  }
  const MciError result = thread_->Run(command, device, std::move(call), out, limitMs);
  if (thread_->Retired()) {
    stuck_.push_back(std::move(thread_));
    thread_ = nullptr;
  }
  return result;
}

MciError Win32Media::Open(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                          MciDeviceId& deviceId) {
  return OpenWithin(element, flags, callback, deviceId, kOpenLimitMs);
}

MciError Win32Media::OpenWithin(const std::string& element, std::uint32_t flags, std::uintptr_t callback,
                                MciDeviceId& deviceId, std::uint32_t limitMs) {
  std::uint32_t id = 0;
  // Each device is named by an alias of its own. Without one MCI names it by its file, and
  // an open of a file whose earlier device is still held fails with MCIERR_DEVICE_OPEN: under
  // Wine 8 a device stuck in the play of a dead sound server is never closed, and the ring's
  // own sound could then not be opened again for the rest of the run.
  const std::string alias = "ravilo" + std::to_string(++opens_);
  const MciError result = Call(
      MCI_OPEN, 0,
      [name = OpenablePath(element), alias, flags, callback](std::uint32_t& out) {
        MCI_OPEN_PARMSA parms{};
        parms.dwCallback = callback;
        // The digital-video device plays through DirectShow, whose audio renderer takes a
        // volume (Windows' mciqtz32, and Wine's, which scales the samples itself).
        parms.lpstrDeviceType = (flags & MCI_OPEN_TYPE) ? "mpegvideo" : nullptr;
        parms.lpstrElementName = name.c_str();
        parms.lpstrAlias = alias.c_str();
        const MciError r = Send(0, MCI_OPEN, flags | MCI_OPEN_ALIAS, &parms);
        if (r == 0) {
          out = parms.wDeviceID;
          KeepDriversLoaded();  // before any close can unload the driver just loaded
        }
        return r;
      },
      &id, std::min<std::uint32_t>(limitMs, kOpenLimitMs));
  if (result == 0) deviceId = id;
  return result;
}

namespace {
// An item asked of a device (MCI_STATUS, MCI_GETDEVCAPS): the two take parameters of the
// same shape, the answer in dwReturn.
template <class Parms>
MciError AskItem(Win32Media& media, UINT command, MciDeviceId device, std::uint32_t flags,
                 std::uint32_t item, std::uintptr_t callback, std::uint32_t& value) {
  return media.Call(
      command, device,
      [=](std::uint32_t& out) {
        Parms parms{};
        parms.dwCallback = callback;
        parms.dwItem = item;
        const MciError r = Send(device, command, flags, &parms);
        if (r == 0) out = static_cast<std::uint32_t>(parms.dwReturn);
        return r;
      },
      &value, Win32Media::kCommandLimitMs);
}
}  // namespace

MciError Win32Media::Status(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uintptr_t callback,
                            std::uint32_t& value) {
  return AskItem<MCI_STATUS_PARMS>(*this, MCI_STATUS, device, flags, item, callback, value);
}

MciError Win32Media::GetDevCaps(MciDeviceId device, std::uint32_t flags, std::uint32_t item,
                                std::uintptr_t callback, std::uint32_t& value) {
  return AskItem<MCI_GETDEVCAPS_PARMS>(*this, MCI_GETDEVCAPS, device, flags, item, callback, value);
}

MciError Win32Media::Seek(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return Call(
      MCI_SEEK, device,
      [=](std::uint32_t&) {
        MCI_SEEK_PARMS parms{};
        parms.dwCallback = callback;
        return Send(device, MCI_SEEK, flags, &parms);
      },
      nullptr, kCommandLimitMs);
}

MciError Win32Media::Play(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return Call(
      MCI_PLAY, device,
      [=](std::uint32_t&) {
        MCI_PLAY_PARMS parms{};
        parms.dwCallback = callback;
        return Send(device, MCI_PLAY, flags, &parms);
      },
      nullptr, kCommandLimitMs);
}

MciError Win32Media::Stop(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return Call(
      MCI_STOP, device, [=](std::uint32_t&) { return SendGeneric(device, MCI_STOP, flags, callback); }, nullptr,
      kCommandLimitMs);
}

MciError Win32Media::Close(MciDeviceId device, std::uint32_t flags, std::uintptr_t callback) {
  return Call(
      MCI_CLOSE, device, [=](std::uint32_t&) { return SendGeneric(device, MCI_CLOSE, flags, callback); }, nullptr,
      kCommandLimitMs);
}

MciError Win32Media::SetAudio(MciDeviceId device, std::uint32_t flags, std::uint32_t item, std::uint32_t value,
                              std::uintptr_t callback) {
  return Call(
      MCI_SETAUDIO, device,
      [=](std::uint32_t&) {
        MCI_DGV_SETAUDIO_PARMSA parms{};
        parms.dwCallback = callback;
        parms.dwItem = item;
        parms.dwValue = value;
        return Send(device, MCI_SETAUDIO, flags, &parms);
      },
      nullptr, kCommandLimitMs);
}

bool Win32Media::GetErrorString(MciError error, std::string& text) {
  char buffer[256] = {};
  if (!mciGetErrorStringA(error, buffer, sizeof buffer)) return false;
  text = buffer;
  return true;
}

}  // namespace platform::win32
