#pragma once
// Flags that say a piece of work is under way. The work lets the messages run, so the
// handlers they reach can see the flag and leave the work alone.
#include "ui/Application.h"

// Set for as long as it lives, exceptions included.
class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

// The same with the wait cursor, for as long as a folder is read.
class Busy : ScopedFlag {
 public:
  explicit Busy(bool& flag) : ScopedFlag(flag) { ui::Application::Instance().GetBackend().SetBusy(true); }
  ~Busy() { ui::Application::Instance().GetBackend().SetBusy(false); }
};
