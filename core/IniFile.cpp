#include "core/IniFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/System.h"
#include "core/Text.h"

namespace cavel {

bool FitsOneLine(std::string_view value) { return value.find_first_of("\r\n") == std::string_view::npos; }

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  return t;
}

std::string_view TrimFront(std::string_view t) {
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  return t;
}

std::string Fold(std::string_view t) {
  std::string folded(t);
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The name of a "[Name]" line (blanks around it trimmed), or false when the
// line is no section header. The name runs to the last "]" of the line.
bool HeaderName(std::string_view line, std::string_view& name) {
  line = TrimFront(line);
  if (line.empty() || line.front() != '[') return false;
  std::size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

// The key of a "Key=Value" line (blanks around it trimmed), or false for a
// line that gives no value: blank, a comment, no "=", or an empty key.
bool LineKey(std::string_view line, std::string_view& key) {
  line = TrimFront(line);
  if (line.empty() || line.front() == ';') return false;
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  return !key.empty();
}

// What follows the "=" of a value line, leading blanks dropped. Trailing
// blanks stay: a file name here may end in a blank, and writing it back
// must give the same name.
std::string_view LineValue(std::string_view line) { return TrimFront(line.substr(line.find('=') + 1)); }

// A value is held on one line: anything from a line break on cannot be
// stored and would otherwise become lines of its own.
std::string_view OneLine(std::string_view value) { return value.substr(0, value.find_first_of("\r\n")); }

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

void IniFile::Load() {
  sections_.clear();
  sectionIndex_.clear();
  sections_.emplace_back();  // the lines before the first header
  oversized_ = false;

  // A missing, unreadable or oversized file reads as empty, and so does one
  // that another user could have written: its values are not taken.
  std::string text;
  untrusted_ = false;
  if (std::FILE* f = std::fopen(path_.c_str(), "rb")) {
    untrusted_ = !OnlyUserWrites(::fileno(f));
    char buf[65536];
    std::size_t n;
    while (text.size() <= kIniFileLimit && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    bool failed = std::ferror(f) != 0;
    std::fclose(f);
    oversized_ = text.size() > kIniFileLimit;
    if (failed || oversized_ || untrusted_) text.clear();
  }

  // Lines end at CR LF, LF or a lone CR.
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end;
    if (pos < text.size() && text[pos++] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;

    std::string_view body = line;
    if (first && body.substr(0, kUtf8Bom.size()) == kUtf8Bom) body.remove_prefix(kUtf8Bom.size());
    first = false;

    std::string_view name;
    if (HeaderName(body, name)) {
      Section& s = sections_.emplace_back();
      s.named = true;
      s.header = std::string(line);
      sectionIndex_.emplace(Fold(name), sections_.size() - 1);
      continue;
    }
    Section& s = sections_.back();
    std::string_view key;
    if (s.named && LineKey(body, key)) s.keys.emplace(Fold(key), s.lines.size());
    s.lines.emplace_back(line);
  }
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  auto it = sectionIndex_.find(Fold(Trim(name)));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const std::string* IniFile::FindValueLine(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return nullptr;
  auto it = s->keys.find(Fold(Trim(key)));
  return it == s->keys.end() ? nullptr : &s->lines[it->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* line = FindValueLine(section, key);
  std::string_view value = line ? LineValue(*line) : def;
  return std::string(value.substr(0, kIniValueLimit));
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  const std::string* line = FindValueLine(section, key);
  if (!line) return def;
  int value;
  return ParseInt(LineValue(*line).substr(0, kIniValueLimit), value, IntForm::Profile) ? value : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  value = OneLine(value);
  if (key.empty()) return;  // a line without a key could not be read back
  if (sections_.empty()) sections_.emplace_back();

  auto sit = sectionIndex_.find(Fold(section));
  if (sit == sectionIndex_.end()) {
    Section& s = sections_.emplace_back();
    s.named = true;
    s.header = "[" + std::string(section) + "]";
    sit = sectionIndex_.emplace(Fold(section), sections_.size() - 1).first;
  }
  Section& s = sections_[sit->second];

  std::string folded = Fold(key);
  auto kit = s.keys.find(folded);
  if (kit != s.keys.end()) {
    // Keep the key as it is spelt in the file.
    std::string& line = s.lines[kit->second];
    std::string_view stored;
    LineKey(line, stored);
    line = std::string(stored) + "=" + std::string(value);
    return;
  }
  // A new key goes after the last line of the section that is not blank, so
  // that blank lines before the next header stay there.
  std::size_t at = s.lines.size();
  while (at > 0 && Trim(s.lines[at - 1]).empty()) --at;
  s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), std::string(key) + "=" + std::string(value));
  // Every key line stands before `at`, so no index moves.
  s.keys.emplace(std::move(folded), at);
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, Dec(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

WriteOutcome IniFile::Save() const {
  if (oversized_) return {false, std::strerror(EFBIG), {}};
  if (untrusted_) return {false, std::strerror(EPERM), {}};
  std::string text;
  for (const Section& s : sections_) {
    if (s.named) {
      text += s.header;
      text += "\r\n";
    }
    for (const std::string& line : s.lines) {
      text += line;
      text += "\r\n";
    }
  }
  return ReplaceFile(path_, text);
}

}  // namespace cavel
