// PetCheck FOLDER [--sheet OUT.bmp]
//
// Checks the movie set and the eye bitmaps of a Ravilo program folder (the folder that holds
// Movies\ and Images\), and every larger set in it (Movies\2x\..., Images\2x\...), against
// the rules of docs/making-a-pet.md and prints one line for
// every file and rule broken, with the frame and pixel where it is first broken. Exit code 0:
// Ravilo will load the set and it follows the rules; 1: it does not; 2: wrong command line
// or the sheet cannot be written.
#include <iostream>
#include <set>
#include <string>

#include "petcheck/ContactSheet.h"
#include "petcheck/PetCheck.h"

int main(int argc, char** argv) {
  std::string folder, sheet;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--sheet" && i + 1 < argc) {
      sheet = argv[++i];
    } else if (folder.empty() && !arg.empty() && arg[0] != '-') {
      folder = arg;
    } else {
      folder.clear();
      break;
    }
  }
  if (folder.empty()) {
    std::cerr << "usage: PetCheck FOLDER [--sheet OUT.bmp]\n"
                 "  FOLDER is Ravilo's program folder, the one that holds Movies\\ and Images\\.\n";
    return 2;
  }
  const petcheck::PetSet set = petcheck::CheckFolder(folder);
  std::set<std::string> files;
  for (const petcheck::Finding& f : set.findings) {
    std::cout << petcheck::Describe(f) << '\n';
    files.insert(f.file);
  }
  std::string sets;
  for (int n : set.largerSets) sets += ", " + std::to_string(n) + "x";
  if (set.Passes()) {
    std::cout << "PetCheck: all 16 movies and both eye bitmaps follow the rules"
              << (sets.empty() ? "" : " in every set (1x" + sets + ")") << ".\n";
  } else {
    std::cout << "PetCheck: " << set.findings.size() << " problem(s) in " << files.size() << " file(s); "
              << (set.Loads() ? "Ravilo will load this set, but it breaks the rules above.\n"
                              : "Ravilo will not start with this set (\"Program is damaged\").\n");
  }
  if (!sheet.empty()) {
    std::string error;
    if (!petcheck::WriteContactSheet(set, sheet, error)) {
      std::cerr << "PetCheck: " << error << '\n';
      return 2;
    }
    std::cout << "PetCheck: contact sheet written to " << sheet << '\n';
  }
  return set.Passes() ? 0 : 1;
}
