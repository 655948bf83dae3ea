#pragma once
// The program's entry sequence and its end. The Windows entry point and the tests both run
// it, each with its own platform services and toolkit backend installed.
#include <optional>

#include "platform/Kernel.h"

struct StartedProgram {
  platform::Handle mutex = 0;
};

// Steps up to the message loop: current directory, version check, single instance, the
// windows in their order. Ends the process (platform ExitProcess) when it must not run.
StartedProgram StartRavilo();
// After the message loop: releases the mutex and ends the process with exit code 0,
// destroying the windows last created first.
[[noreturn]] void FinishRavilo(const StartedProgram& started);
// The whole run.
[[noreturn]] void RunRavilo();
