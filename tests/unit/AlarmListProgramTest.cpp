// Several alarms in the running program: the ring's title, a one-off ended by auto-stop,
// and the tray's item, tip and skip across all alarms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RingHelpers.h"
#include "TestEnvironment.h"
#include "alarm/AlarmList.h"
#include "shell/RingBubble.h"
#include "shell/main.h"

namespace {
using namespace ring;
const std::string kKey = TestEnvironment::kKey;
const std::string kSub1 = kKey + "\\Alarms\\1";
const std::string kSub4 = kKey + "\\Alarms\\4";

void PresetFurther(TestEnvironment& env, const std::string& sub, int h, int m, const std::string& label) {
  env.registry.PutDword(sub, "AlarmIsOn", 1);
  env.registry.PutDword(sub, "AlarmHour", std::uint32_t(h));
  env.registry.PutDword(sub, "AlarmMin", std::uint32_t(m));
  if (!label.empty()) env.registry.PutString(sub, "AlarmLabel", label);
}
}  // namespace

TEST(AlarmListProgram, TheTitleNamesEveryAlarmInTheRingAndAOneOffEndsOffAfterAutoStop) {
  TestEnvironment env;
  env.kernel.SetTimeOfDay(11, 59, 50);
  PresetAlarm(env, 12, 0);
  env.registry.PutDword(kKey, "AutoStopMinutes", 5);
  PresetFurther(env, kSub1, 12, 0, "Таблетки 21:00");
  env.registry.PutDword(kSub1, "AlarmOnce", 1);
  PresetFurther(env, kSub4, 12, 1, "Call mum");
  ASSERT_FALSE(env.Start());
  EXPECT_EQ(FormMain->Caption(), "Ravilo");
  ASSERT_TRUE(RunUntil(env, RingingLayout, 20'000));
  EXPECT_EQ(FormMain->Caption(), "Ravilo: 12:00, Таблетки 21:00");
  const std::size_t opened = env.media.Sent(platform::kMciOpen).size();
  // Due a minute later, it joins the ring under way.
  ASSERT_TRUE(RunUntil(env, [] { return FormMain->Caption().find("Call mum") != std::string::npos; }, 90'000, 1000));
  EXPECT_EQ(FormMain->Caption(), "Ravilo: 12:00, Таблетки 21:00, Call mum");
  ASSERT_TRUE(FormMain->Bubble);
  EXPECT_TRUE(FormMain->Bubble->Bubble.Visible());
  EXPECT_EQ(FormMain->Bubble->Names.Caption(), "12:00\nТаблетки 21:00\nCall mum");
  EXPECT_EQ(env.media.Sent(platform::kMciOpen).size(), opened);  // no second sound
  // Five minutes unanswered: auto-stop ends the ring for all, and the one-off goes off.
  ASSERT_TRUE(RunUntil(env, [] { return !RingingLayout(); }, 6 * 60'000, 1000));
  EXPECT_EQ(FormMain->Caption(), "Ravilo");
  EXPECT_FALSE(Alarms->Ringing());
  EXPECT_FALSE(FormMain->Bubble->Bubble.Visible());
  EXPECT_FALSE(FormMain->Bubble->Names.Visible());
  EXPECT_EQ(env.registry.Dword(kSub1, "AlarmIsOn"), 0u);
  EXPECT_EQ(env.registry.Dword(kKey, "AlarmIsOn"), 1u);
  EXPECT_EQ(env.registry.Dword(kSub4, "AlarmIsOn"), 1u);
  EXPECT_TRUE(env.desktop.MessageBoxes().empty());
}

TEST(AlarmListProgram, TheTrayShowsTheNextRingOfAllAlarmsAndSkipsIt) {
  TestEnvironment env;  // noon on Saturday 1 January 2000
  PresetAlarm(env, 7, 30);
  env.registry.PutDword(kKey, "AlarmIsOn", 0);
  PresetFurther(env, kSub1, 21, 0, "Pills");
  PresetFurther(env, kSub4, 6, 0, std::string(100, 'x'));
  ASSERT_FALSE(env.Start());
  auto shown = [&] {
    env.desktop.MenuChooser = [](const ui::headless::RecordedMenu&) { return -1; };
    EXPECT_FALSE(env.ClickTrayIcon(ui::TrayEvent::RightClick));
    return env.desktop.Menus().back();
  };
  // The first alarm is off, the others on: the alarm item says on.
  auto menu = shown();
  EXPECT_EQ(menu.captions[2], "Alarm [on]");
  EXPECT_EQ(menu.captions[3], "Skip next alarm (Sat 21:00 Pills)");
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sat 21:00 Pills");
  ASSERT_FALSE(env.ChooseFromTrayMenu("Skip next alarm"));
  EXPECT_TRUE(Alarms->At(1).SkipSet());
  // The tip tells whatever rings next now, the longest name whole within 127 characters;
  // the item shows the skip set, to take back as with the one alarm.
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sun 06:00 " + std::string(100, 'x'));
  menu = shown();
  EXPECT_EQ(menu.captions[3], "Skip next alarm (Sat 21:00 Pills)");
  EXPECT_TRUE(menu.checked[3]);
  ASSERT_FALSE(env.ChooseFromTrayMenu("Skip next alarm"));
  EXPECT_FALSE(Alarms->At(1).SkipSet());
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm: Sat 21:00 Pills");
  // All off: as with the one alarm.
  for (int i = 1; i < Alarms->Count(); ++i) {
    Alarms->At(i).TurnOff();
    Alarms->At(i).Save();
  }
  FormMain->ShowAlarmState();
  menu = shown();
  EXPECT_EQ(menu.captions, (std::vector<std::string>{"About", "-", "Alarm [off]", "Options\u2026", "Timer\u2026", "Hide", "Funny eyes", "Exit"}));
  EXPECT_EQ(env.notifyIcon.shownRecord.tip, "I\"m here\nAlarm off");
}

TEST(AlarmListProgram, TheBubbleNamesThreeAlarmsThenCountsTheRest) {
  EXPECT_EQ(CRingBubble::Text({"Pills", "07:30"}), "Pills\n07:30");
  EXPECT_EQ(CRingBubble::Text({"a", "b", "c", "d", "e"}), "a\nb\nc\n+2 more");
  // Cut by characters, not bytes: 18 Cyrillic letters and the ellipsis.
  std::string longName;
  for (int i = 0; i < 30; ++i) longName += "ж";
  EXPECT_EQ(CRingBubble::Text({longName}), longName.substr(0, 36) + "\u2026");
}
