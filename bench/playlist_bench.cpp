// playlist_bench: how long "Add folder" takes on a large tree, run by hand (not a test).
// The whole program runs on the headless desktop with the fake file system (Debug, with
// the sanitizers of the native build, so the figures are an upper bound); it prints the
// time to add 5,000 files in 250 folders, a 20-level chain and a folder loop, and whether
// the wait cursor showed meanwhile.
#include <chrono>
#include <cstdio>
#include <string>

#include "TestEnvironment.h"
#include "setup/AddDirectoryDialog.h"
#include "setup/PlayListAlarm.h"
#include "shell/main.h"
#include "ui/headless/HeadlessControls.h"

int main() {
  TestEnvironment env;
  const std::string key = TestEnvironment::kKey;
  env.registry.PutDword(key, "AlarmHour", 6);
  env.registry.PutDword(key, "AlarmMin", 30);
  env.registry.PutDword(key, "AlarmIsOn", 0);
  env.registry.PutDword(key, "UsePlayist", 1);
  env.registry.PutString(key, "AlarmSound", "Sounds\\Alarms\\alarm0.wav");
  for (int d = 0; d < 250; ++d)
    for (int f = 0; f < 20; ++f)
      env.files.Put("C:\\Big\\Album " + std::to_string(d / 25) + "\\Disc " + std::to_string(d) + "\\Track " +
                        std::to_string(f) + ".wav",
                    "");
  std::string deep = "C:\\Big\\Deep";
  for (int i = 0; i < 20; ++i) deep += "\\Level " + std::to_string(i);
  env.files.Put(deep + "\\bottom.wav", "");
  env.files.Link("C:\\Big\\Deep\\Level 0\\Back", "C:\\Big");
  if (env.Start()) return 1;
  FormPlayListAlarm->OpenWindow();

  env.desktop.PostAfter(5, [] {
    auto& tree = ui::headless::HeadlessTreeViewPeer::Of(DialogAddDir->TreeView1);
    ui::TreeNode& c = DialogAddDir->TreeView1.Item(0);
    tree.Expand(c.Id());
    for (int i = 0; i < c.Count(); ++i)
      if (c.Child(i).Caption() == "Big") tree.Select(c.Child(i).Id());
    tree.Type(13);
  });
  const auto t0 = std::chrono::steady_clock::now();
  const int enumerationsBefore = env.files.enumerations;
  env.Do([] {
    ui::Application::Instance().Dispatch([] { FormPlayListAlarm->ImageAddDir.OnMouseUp(ui::MouseButton::Left, 0, 0); });
  });
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  std::printf("figure: added %zu files from %d folders in %.0f ms (fake file system, sanitized build)\n",
              FormPlayListAlarm->PlayListPaths().size(), env.files.enumerations - enumerationsBefore, ms);
  std::printf("figure: wait cursor shown %d time(s), gone after: %s\n", env.desktop.BusyPeriods(),
              env.desktop.Busy() ? "no" : "yes");
  return FormPlayListAlarm->PlayListPaths().size() == 5001 ? 0 : 2;
}
