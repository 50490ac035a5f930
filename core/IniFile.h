// Private-profile (INI) files: "[Section]" lines open sections, "Key=Value"
// lines give values. Sections and keys match without regard to ASCII case.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/AtomicFile.h"

namespace cavel {

inline constexpr std::size_t kIniValueLimit = 1023;  // bytes of a value read
// The largest file taken as a settings file. The program's own file stays
// far below it (under 600 KB even with 4096-byte paths in every slot);
// anything larger is not one of ours.
inline constexpr std::size_t kIniFileLimit = 4 << 20;

// Whether `value` fits on a line of the file (holds no CR or LF): a file
// name that does not would be stored cut at its break, naming another file.
bool FitsOneLine(std::string_view value);

class IniFile {
 public:
  explicit IniFile(std::string path);

  // Reads the file; a missing or unreadable file reads as empty, and so does
  // one larger than kIniFileLimit or one that another user could have
  // written (OnlyUserWrites), which Save then leaves alone.
  void Load();

  // Values read are cut to kIniValueLimit bytes; a missing section or key
  // gives the default.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal with an optional sign; "0x"/"0X" (text longer than two
  // characters) or a leading "$" for hexadecimal. Anything else gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // An integer whose default is 1 or 0; any non-zero value is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;

  // Changes the held text; the other sections, keys and lines stay as they
  // were. A new key goes at the end of its section, a new section at the end
  // of the file. A value is one line: it is cut at its first line break.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int value);
  void WriteBool(std::string_view section, std::string_view key, bool value);

  // Replaces the file with the held text (atomically). Fails, leaving the
  // file as it is, when Load found it larger than kIniFileLimit or not the
  // user's alone.
  WriteOutcome Save() const;

  const std::string& path() const { return path_; }

 private:
  // One section as it stands in the file: its header line and the lines up
  // to the next header. The lines before the first header form a section
  // without a name, which no lookup reaches.
  struct Section {
    bool named = false;
    std::string header;              // the "[Name]" line as read or made
    std::vector<std::string> lines;  // without line ends
    // Key folded to lower case -> index in `lines` of the first line giving it.
    std::unordered_map<std::string, std::size_t> keys;
  };

  const Section* FindSection(std::string_view name) const;
  const std::string* FindValueLine(std::string_view section, std::string_view key) const;

  std::string path_;
  bool oversized_ = false;
  bool untrusted_ = false;  // the file is not the user's alone
  std::vector<Section> sections_;
  // Section name folded to lower case -> index of its first section.
  std::unordered_map<std::string, std::size_t> sectionIndex_;
};

}  // namespace cavel
