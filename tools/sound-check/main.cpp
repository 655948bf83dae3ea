// sound-check: drives the program's own sound player on the real Windows layer. It creates
// the hidden FormSoundSystem (which plays the warm-up sound), then loops
// Sounds\Alarms\alarm0.wav, counts the successful ends of its plays and stops it at the
// second one, waits a moment for any late notification, and ends. Everything it sees goes
// to stdout and to sound-check.log beside it, one line per event, with milliseconds since
// its start.
//
// With --stop-midway it instead stops the loop one second into its first round and waits
// for what MCI reports about the interrupted play. With --file PATH it loops PATH instead of
// alarm0.wav; with --scan FOLDER, the first *.wav the program's folder listing finds there.
//
// Exit codes: 0 done as asked; 2 the file could not be played; 3 the two rounds did not
// end within the time limit; 4 the loop ended by itself (the device reported a failure);
// 5 something played again after the stop.
#include "platform/win32/WinHeaders.h"

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>

#include "alarm/SoundSystemForm.h"
#include "app/Globals.h"
#include "platform/win32/Win32Media.h"
#include "platform/win32/Win32Platform.h"
#include "ui/Application.h"
#include "ui/Timer.h"
#include "ui/win32/Win32Backend.h"

namespace {

constexpr const char* kAlarm = "Sounds\\Alarms\\alarm0.wav";
constexpr int kRounds = 2;
constexpr DWORD kWarmUpLimitMs = 3000;
constexpr DWORD kLoopLimitMs = 20000;
constexpr DWORD kAfterStopMs = 1500;
constexpr DWORD kStopMidwayMs = 1000;

FILE* g_log = nullptr;
DWORD g_start = 0;

void Log(const char* format, ...) {
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  const unsigned long at = GetTickCount() - g_start;
  std::printf("%6lu ms  %s\n", at, line);
  std::fflush(stdout);
  if (g_log) {
    std::fprintf(g_log, "%6lu ms  %s\n", at, line);
    std::fflush(g_log);
  }
}

const char* KindName(std::uint32_t kind) {
  switch (kind) {
    case platform::kMciNotifySuccessful: return "SUCCESSFUL";
    case platform::kMciNotifySuperseded: return "SUPERSEDED";
    case platform::kMciNotifyAborted: return "ABORTED";
    case platform::kMciNotifyFailure: return "FAILURE";
    default: return "?";
  }
}

enum class Phase { WarmUp, Looping, Stopped };

// CPU time (user + kernel) this process has used, in milliseconds.
unsigned long CpuMs() {
  FILETIME created, exited, kernelTime, userTime;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernelTime, &userTime)) return 0;
  auto ms = [](const FILETIME& t) { return ((ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000; };
  return static_cast<unsigned long>(ms(kernelTime) + ms(userTime));
}

}  // namespace

int main(int argc, char** argv) {
  g_start = GetTickCount();
  const std::string option = argc > 1 ? argv[1] : "";
  const bool stopMidway = option == "--stop-midway";
  static platform::win32::Win32Registry registry;
  static platform::win32::Win32Kernel kernel;
  static platform::win32::Win32FileSystem files;
  static platform::win32::Win32Media media;
  platform::Install({&registry, &kernel, &files, &media});
  kernel.SetCurrentDirectory(ExeDirectory());
  g_log = std::fopen("sound-check.log", "w");
  std::string sound = kAlarm;
  if (option == "--file" && argc > 2) sound = argv[2];
  if (option == "--scan" && argc > 2) {
    sound.clear();
    for (const platform::DirEntry& e : files.Enumerate(std::string(argv[2]) + "\\*.wav"))
      if (!e.directory && sound.empty()) sound = std::string(argv[2]) + "\\" + e.name;
    Log("scan found '%s'", sound.c_str());
  }

  static ui::win32::Win32Backend backend(GetModuleHandleA(nullptr));
  auto& app = ui::Application::Instance();
  app.Initialize(backend);
  app.SetTitle("sound-check");

  app.CreateForm(FormSoundSystem);
  TMediaPlayer& player = FormSoundSystem->MediaPlayer;
  Log("warm-up: %s active=%d device=%u length=%u ms play-result=%u", player.FileName().c_str(),
      SoundSystem->IsActive(), player.DeviceId(), player.Length(), player.LastError());

  Phase phase = Phase::WarmUp;
  DWORD phaseStart = GetTickCount();
  DWORD roundStart = 0;
  int successes = 0;
  int playsAtStop = 0;
  int exitCode = 0;

  const std::function<void(std::uint32_t)> soundFormHandler = player.OnNotify;
  player.OnNotify = [&](std::uint32_t kind) {
    const bool current = player.DeviceOpen() && player.NotifyDevice() == player.DeviceId();
    Log("notification %s device=%u (open device %u, file '%s')", KindName(kind), player.NotifyDevice(),
        player.DeviceOpen() ? player.DeviceId() : 0u, player.FileName().c_str());
    if (phase == Phase::Looping && kind == platform::kMciNotifySuccessful && current) {
      ++successes;
      Log("round %d ended after %lu ms", successes, GetTickCount() - roundStart);
      roundStart = GetTickCount();
      if (successes == kRounds) {
        // Stop here instead of letting the loop start a third round.
        SoundSystem->Stop();
        playsAtStop = successes;
        Log("stopped: active=%d device open=%d", SoundSystem->IsActive(), player.DeviceOpen());
        phase = Phase::Stopped;
        phaseStart = GetTickCount();
        return;
      }
    }
    soundFormHandler(kind);
  };

  ui::Timer clock;
  clock.SetInterval(50);
  clock.OnTimer = [&] {
    const DWORD inPhase = GetTickCount() - phaseStart;
    switch (phase) {
      case Phase::WarmUp:
        if (SoundSystem->IsActive() && inPhase < kWarmUpLimitMs) return;
        // The wave driver stays loaded once the warm-up's device has closed (Wine would
        // unload it under its own play thread).
        Log("warm-up over: active=%d device open=%d wave driver loaded=%d", SoundSystem->IsActive(),
            player.DeviceOpen(), GetModuleHandleA("mciwave.drv") || GetModuleHandleA("mciwave.dll"));
        if (!SoundSystem->PlayLooped(sound)) {
          Log("PlayLooped(%s) failed: the file cannot be played", sound.c_str());
          exitCode = 2;
          app.Terminate();
          return;
        }
        Log("PlayLooped(%s): device=%u length=%u ms play-result=%u", sound.c_str(), player.DeviceId(), player.Length(),
            player.LastError());
        phase = Phase::Looping;
        phaseStart = roundStart = GetTickCount();
        return;
      case Phase::Looping:
        if (!SoundSystem->IsActive()) {
          Log("the loop ended by itself after %d successful ends", successes);
          exitCode = 4;
          app.Terminate();
          return;
        }
        if (stopMidway && inPhase >= kStopMidwayMs) {
          const DWORD before = GetTickCount();
          SoundSystem->Stop();
          playsAtStop = successes;
          Log("stopped midway %lu ms into the play; Stop took %lu ms: active=%d device open=%d", inPhase,
              GetTickCount() - before, SoundSystem->IsActive(), player.DeviceOpen());
          phase = Phase::Stopped;
          phaseStart = GetTickCount();
          return;
        }
        if (inPhase < kLoopLimitMs) return;
        Log("timeout: %d successful ends in %lu ms", successes, inPhase);
        SoundSystem->Stop();
        exitCode = 3;
        app.Terminate();
        return;
      case Phase::Stopped:
        if (inPhase < kAfterStopMs) return;
        if (SoundSystem->IsActive() || player.DeviceOpen() || successes != playsAtStop) {
          Log("played again after the stop");
          exitCode = 5;
        }
        Log("done: %d rounds, active=%d, device open=%d", successes, SoundSystem->IsActive(), player.DeviceOpen());
        app.Terminate();
        return;
    }
  };
  clock.SetEnabled(true);

  app.Run();
  clock.SetEnabled(false);
  app.DestroyForms();
  Log("exit %d after %lu ms, cpu %lu ms", exitCode, GetTickCount() - g_start, CpuMs());
  if (g_log) std::fclose(g_log);
  return exitCode;
}
