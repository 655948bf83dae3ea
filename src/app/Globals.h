#pragma once
// Small shared routines of the program (unit globals).
#include <functional>
#include <string>
#include <vector>

// The program's own folder, with its trailing backslash.
std::string ExeDirectory();
// A data file's path: a relative path is taken from the program's folder, never from the
// current directory (which the open-file dialog moves); a full path is kept as it is.
std::string ProgramPath(const std::string& path);
// Everything up to and including the last backslash; empty without one.
std::string ExtractDirPart(const std::string& path);
// Everything after the last backslash; the whole text without one.
std::string ExtractNamePart(const std::string& path);
// Hours and minutes as shown: 7 -> "07", 12 -> "12", 123 -> "123".
std::string TwoDigits(int n);
// The running system's major and minor version; false (and 0.0) when the system never
// answered the query.
bool GetOsVersion(int& major, int& minor);
// Windows 9x and NT 4 are too old.
bool IsOsTooOld();
// A trace hook: the program calls it at fixed points; it does nothing.
inline void Trace(const char*) {}

// File extensions that adding a folder to the playlist accepts.
inline const std::vector<std::string> SoundExtensions = {"wav"};

// Internal consistency checks: a failure is a programming error, reported as
// "Assertion failure" with the unit and line.
[[noreturn]] void AssertionFailure(const char* unit, int line);
#define RAVILO_ASSERT(cond, unit) \
  do {                            \
    if (!(cond)) AssertionFailure(unit, __LINE__); \
  } while (0)

// The system message box, owned by the application window; returns the button pressed.
int SystemMessageBox(const std::string& text, const std::string& caption, unsigned flags = 0);

// The program's pseudo-random numbers, seeded once at start-up from the clock.
void Randomize();
// Uniform in [0, 1).
double Random();
// Uniform in [0, n); 0 when n <= 0.
int RandomBelow(int n);
// Tests replace the generator with their own draws; an empty function restores it.
void SetRandomSource(std::function<double()> source);
