#pragma once
// Finding the sound files of a folder, with its subfolders when asked, for the playlist.
#include <functional>
#include <string>
#include <vector>

// True when the name's last three characters are the extension's last three, letters a to z
// compared without regard to case: "Ring.WAV" and "mywav" end in "wav", "ring.mp3" does not.
bool HasExtension(const std::string& name, const std::string& extension);

// Appends folder + name of every entry of the folder that HasExtension, in the order the
// file system lists them; with recurse, a subfolder's files land where the subfolder was
// met (depth first). `onEntry` runs after every entry (the caller keeps its windows
// painting). A folder that can't be read adds nothing. A folder reached a second time
// (a junction or link pointing back up) is not read again, and nesting stops at kMaxDepth.
void ScanDirectory(std::string folder, const std::string& extension, bool recurse, std::vector<std::string>& result,
                   const std::function<void()>& onEntry = {});

constexpr int kMaxScanDepth = 64;
