#pragma once
// Whether Windows starts Ravilo when the user logs on: the value the installer writes under
// the current user's Run key, "Ravilo" = "\"<program folder>\Ravilo.exe\"", here always
// naming the copy that runs.
#include <string>

namespace logon {

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kValueName = "Ravilo";

// The running program's path in quotes, as the Run value holds it.
std::string Command();
// The value is there and names the running program (quotes and letter case aside).
bool StartsAtLogOn();
// Writes the value for the running program, or removes it; false (and logged) when the
// registry refuses.
bool SetStartAtLogOn(bool on);

}  // namespace logon
