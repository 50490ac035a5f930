// Reading and writing settings files of any content.
//
// Input: a section, a key and a value, each ended by a NUL byte, four bytes
// of a number, then the bytes of the file.
//
// Checked:
// - every section and key named in the file (and their upper-case
//   spellings) reads as a plain reading of the format gives it: the first
//   "[Name]" line of that name without regard to ASCII case, in it the first
//   "Key=" line of that key, the value after the "=" without its leading
//   blanks, cut to 1023 bytes, else the default; read as a number, the value
//   gives a decimal or "$"/"0x" hexadecimal number with an optional sign
//   within the range of int, anything else the default;
// - saving writes every line back with CR LF and nothing else, and the file
//   read again gives every value as before;
// - a value (and a number) written reads back, one line cut at its first
//   line break, and every other value stays as it was.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/IniFile.h"
#include "core/Text.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

bool Blank(char c) { return c == ' ' || c == '\t'; }
std::string_view Trim(std::string_view t) {
  while (!t.empty() && Blank(t.front())) t.remove_prefix(1);
  while (!t.empty() && Blank(t.back())) t.remove_suffix(1);
  return t;
}
std::string_view TrimFront(std::string_view t) {
  while (!t.empty() && Blank(t.front())) t.remove_prefix(1);
  return t;
}
std::string Fold(std::string_view t) {
  std::string f(t);
  for (char& c : f)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return f;
}
std::string Upper(std::string_view t) {
  std::string f(t);
  for (char& c : f)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return f;
}

// Lines as the format has them: ended by CR LF, LF or CR.
std::vector<std::string> IniLines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    out.emplace_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos++] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
  if (!out.empty() && out[0].compare(0, 3, "\xEF\xBB\xBF") == 0) out[0].erase(0, 3);
  return out;
}

std::optional<std::string_view> HeaderName(std::string_view line) {
  line = TrimFront(line);
  if (line.empty() || line[0] != '[') return std::nullopt;
  std::size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

std::optional<std::string> PlainRead(const std::vector<std::string>& lines, std::string_view section,
                                     std::string_view key) {
  std::string s = Fold(Trim(section)), k = Fold(Trim(key));
  std::size_t i = 0;
  for (; i < lines.size(); ++i)
    if (auto name = HeaderName(lines[i]); name && Fold(*name) == s) break;
  for (++i; i < lines.size() && !HeaderName(lines[i]); ++i) {
    std::string_view line = TrimFront(lines[i]);
    if (line.empty() || line[0] == ';') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || Trim(line.substr(0, eq)).empty()) continue;
    if (Fold(Trim(line.substr(0, eq))) == k)
      return std::string(TrimFront(line.substr(eq + 1)).substr(0, kIniValueLimit));
  }
  return std::nullopt;
}

// The number a value gives: blanks around it, an optional sign, then decimal
// digits, or hexadecimal ones after "$" or after "0x"/"0X" when more follows;
// nothing else, and within the range of int.
std::optional<int> PlainInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text[0] == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    int digit = c >= '0' && c <= '9'                 ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<int>(value);
}

struct Name {
  std::string section, key;
};

// Sections and keys the file names, each also in upper case.
std::vector<Name> Names(const std::vector<std::string>& lines, const Name& extra) {
  std::vector<Name> out{extra, {"", ""}};
  std::string section;
  for (const std::string& line : lines) {
    if (out.size() > 60) break;
    if (auto name = HeaderName(line)) {
      section = std::string(*name);
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key(line.substr(0, eq));
    out.push_back({section, key});
    out.push_back({Upper(section), Upper(key)});
    out.push_back({extra.section, key});
  }
  return out;
}

// A name that written as a section or key line reads back as that name.
bool Writable(std::string_view name, bool isKey) {
  if (name.find_first_of("\r\n") != std::string_view::npos) return false;
  if (!isKey) return true;
  std::string_view t = Trim(name);
  return !t.empty() && t.find('=') == std::string_view::npos && t[0] != ';' && t[0] != '[';
}

const std::string kDefault = "<default>";

std::string Read(const IniFile& ini, const Name& n) { return ini.ReadString(n.section, n.key, kDefault); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  Name target{in.Until('\0', 64), in.Until('\0', 64)};
  std::string value = in.Until('\0', 1200);
  std::int32_t number = static_cast<std::int32_t>(in.Word() | (static_cast<std::uint32_t>(in.Word()) << 16));
  const std::string text = in.Rest();

  static const std::string path = ScratchDir() + "/CAVEL.INI";
  PutFile(path, text);
  IniFile ini(path);
  ini.Load();

  const std::vector<std::string> lines = IniLines(text);
  const std::vector<Name> names = Names(lines, target);
  std::vector<std::string> before;
  for (const Name& n : names) {
    before.push_back(Read(ini, n));
    std::optional<std::string> plain = PlainRead(lines, n.section, n.key);
    FUZZ_CHECK(before.back() == (plain ? *plain : kDefault));
    std::optional<int> number = plain ? PlainInt(*plain) : std::nullopt;
    FUZZ_CHECK(ini.ReadInteger(n.section, n.key, -77) == (number ? *number : -77));
  }

  // Saved unchanged: the same lines with CR LF.
  FUZZ_CHECK(ini.Save().ok);
  std::string expected;
  for (const std::string& line : IniLines(text)) expected += line + "\r\n";
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) expected.insert(0, "\xEF\xBB\xBF");
  FUZZ_CHECK(GetFile(path) == expected);
  IniFile again(path);
  again.Load();
  for (std::size_t i = 0; i < names.size(); ++i) FUZZ_CHECK(Read(again, names[i]) == before[i]);

  // A value and a number written.
  if (!Writable(target.section, false) || !Writable(target.key, true)) return 0;
  const Name numberKey{target.section, std::string(Trim(target.key)) + "#"};
  ini.WriteString(target.section, target.key, value);
  ini.WriteInteger(numberKey.section, numberKey.key, number);
  FUZZ_CHECK(ini.Save().ok);
  IniFile written(path);
  written.Load();
  std::string_view oneLine = std::string_view(value).substr(0, value.find_first_of("\r\n"));
  FUZZ_CHECK(Read(written, target) == std::string(TrimFront(oneLine).substr(0, kIniValueLimit)));
  FUZZ_CHECK(written.ReadInteger(numberKey.section, numberKey.key, number ^ 1) == number);
  FUZZ_CHECK(written.ReadBool(numberKey.section, numberKey.key, number == 0) == (number != 0));
  auto same = [](const Name& a, const Name& b) {
    return Fold(Trim(a.section)) == Fold(Trim(b.section)) && Fold(Trim(a.key)) == Fold(Trim(b.key));
  };
  for (std::size_t i = 0; i < names.size(); ++i)
    if (!same(names[i], target) && !same(names[i], numberKey)) FUZZ_CHECK(Read(written, names[i]) == before[i]);
  return 0;
}
