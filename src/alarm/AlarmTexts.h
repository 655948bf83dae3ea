#pragma once
// How an alarm is told in words: its repeat ("Weekdays", "Mon, Wed, Fri", "Once"), the wait
// until it rings ("7 h 12 min"), and its state while it is on ("in 7 h 12 min", "Snoozed
// until 07:40", "Skipped: Tue 07:30").
#include <cstdint>
#include <string>

class CAlarm;

std::string RepeatText(const CAlarm& alarm);
// A wait in whole minutes, rounded up so that a ring half a minute away is "1 min" away.
std::string WaitText(std::int64_t seconds);
// Empty while the alarm is off or has no next ring.
std::string StateText(const CAlarm& alarm, std::int64_t nowLocal);
// The balloon after OK in a set-up window; empty while the alarm is off.
std::string SetBalloonText(const CAlarm& alarm, std::int64_t nowLocal);
// The local clock now, in seconds (CalendarTime).
std::int64_t LocalNow();
