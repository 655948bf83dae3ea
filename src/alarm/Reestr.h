#pragma once
// The settings store: one registry key of the current user, held open for the whole run,
// with typed reads that say whether the value was found, typed writes, and lists of texts
// kept as text files beside the program.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

class CReestr {
 public:
  CReestr();
  // The key at that path from the root ("\\Software\\...\\Alarms\\3"), created when missing.
  explicit CReestr(const std::string& keyPath);
  virtual ~CReestr();
  CReestr(const CReestr&) = delete;
  CReestr& operator=(const CReestr&) = delete;

  bool IsOpen() const { return Opened; }
  // Reads report false (and 0, false or "") when the value is missing, of the wrong type or
  // unreadable; a store that is not open reads nothing.
  bool GetInt(const std::string& name, int& value);
  bool GetBool(const std::string& name, bool& value);
  bool GetString(const std::string& name, std::string& value);
  // A REG_QWORD.
  bool GetInt64(const std::string& name, std::int64_t& value);
  // The value's type, None when it is missing or unreadable.
  platform::RegType TypeOf(const std::string& name);
  // Writes raise "Failed to set data for '<name>'" when the registry refuses them; a store
  // that is not open writes nothing.
  void SetInt(const std::string& name, int value);
  void SetBool(const std::string& name, bool value);
  void SetString(const std::string& name, const std::string& value);
  void SetInt64(const std::string& name, std::int64_t value);
  // The names of the key's subkeys, in the registry's order.
  std::vector<std::string> SubkeyNames();
  // Removes a subkey (it has none of its own) and its values; false when it could not.
  bool DeleteSubkey(const std::string& name);
  // The list file <program folder><name>.txt: a count line, then one entry per line.
  bool LoadList(const std::string& name, std::vector<std::string>& list);
  // Replaces the list file; false when it could not, and then the old file is as it was. A
  // store that is not open leaves the file alone and reports false.
  bool SaveList(const std::string& name, const std::vector<std::string>& list);

  // Where SaveList keeps the list of that name.
  static std::string ListPath(const std::string& name);

  static constexpr const char* kKeyPath = "\\Software\\MirenWorks\\Ravilo";

  // While one is held, a refused write is logged and its caller goes on instead. Start-up
  // writes back defaults and the window's place; one that cannot be stored (a key made
  // read-only, a full registry) is only missing again next time, which gives the same
  // default, and is no reason to leave the program half built.
  class WriteFailuresLogged {
   public:
    explicit WriteFailuresLogged(CReestr& store) : store_(store) { ++store_.LogWriteFailures; }
    ~WriteFailuresLogged() { --store_.LogWriteFailures; }
    WriteFailuresLogged(const WriteFailuresLogged&) = delete;
    WriteFailuresLogged& operator=(const WriteFailuresLogged&) = delete;

   private:
    CReestr& store_;
  };

 private:
  void Set(const std::string& name, platform::RegType type, const void* data, std::uint32_t size);
  bool Opened = false;
  platform::RegKey SettingsKey = 0;
  int LogWriteFailures = 0;
};

// A subkey named by a positive decimal number without sign or leading zero ("Alarms\\3"):
// that number; 0 for any other name.
int ParseSubkeyId(const std::string& name);

// Parses the text of a list file; false for a count that is not a number. Entries missing
// at the end of the file are added empty, but never more entries than the file has bytes.
bool ParseListFile(const std::string& text, std::vector<std::string>& list);
std::string FormatListFile(const std::vector<std::string>& list);

inline CReestr* Reestr = nullptr;
