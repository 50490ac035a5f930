// cavel-check: runs the loader's checks on files, for scripts and batches.
//
//   cavel-check [--items 128|64] [--lines N] [--answer yes|abort] [--json] FILE...
//
// Every FILE is loaded as the viewer would load it, with every message the
// loader shows recorded instead of put on the screen, and its format (the
// encoding and the line end the loader found) reported. The item-count
// question is answered from --answer; every other message has the single
// button 中止(&A), which is what the answer records.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/CsvLoader.h"
#include "core/Dialogs.h"
#include "core/Text.h"

namespace {

using namespace cavel;

constexpr std::string_view kUsage =
    "usage: cavel-check [--items 128|64] [--lines N] [--answer yes|abort] [--json] FILE...\n"
    "\n"
    "Loads each FILE with the checks of the viewer and reports what it shows.\n"
    "\n"
    "  --items 128|64     item limit of the scan stage: 128 (the default, as for the\n"
    "                     command line and the open dialog) or 64 (as for a recent\n"
    "                     file or a dropped file)\n"
    "  --lines N          the most lines a file may have, from 30000 (the default)\n"
    "                     to 1048576, as the viewer's line limit setting\n"
    "  --answer yes|abort answer to the question about a line whose item count\n"
    "                     differs from the title line's: yes (the default, so that\n"
    "                     the whole file is examined) or abort\n"
    "  --json             one JSON object per file, on one line, instead of text,\n"
    "                     with \"encoding\" (\"shift_jis\", \"utf-8\" or \"utf-8-bom\")\n"
    "                     and \"line_end\" (\"crlf\", \"cr\" or \"lf\")\n"
    "  --help             this text\n"
    "\n"
    "Exit status: 0 when every file loaded, 1 when any was refused or unreadable,\n"
    "2 for a usage error.\n";

struct Options {
  int itemLimit = kItemLimitWide;
  std::size_t lineLimit = kMaxLines;
  MsgButton answer = mbYes;
  bool json = false;
  std::vector<std::string> files;
};

void Put(std::string_view s) { std::fwrite(s.data(), 1, s.size(), stdout); }

[[noreturn]] void UsageError(const std::string& why) {
  std::fprintf(stderr, "cavel-check: %s\n", why.c_str());
  std::fwrite(kUsage.data(), 1, kUsage.size(), stderr);
  std::exit(2);
}

Options ParseArguments(int argc, char** argv) {
  Options o;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      o.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnd = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      Put(kUsage);
      std::exit(0);
    }
    if (arg == "--json") {
      o.json = true;
      continue;
    }
    // --items N, --items=N, --lines N, --lines=N, --answer A, --answer=A
    std::string name = arg, value;
    bool hasValue = false;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    if (name != "--items" && name != "--lines" && name != "--answer") UsageError("unknown option '" + arg + "'");
    if (!hasValue) {
      if (i + 1 >= argc) UsageError("option '" + name + "' needs a value");
      value = argv[++i];
    }
    if (name == "--items") {
      if (value == "128")
        o.itemLimit = kItemLimitWide;
      else if (value == "64")
        o.itemLimit = kItemLimitNarrow;
      else
        UsageError("--items takes 128 or 64, not '" + value + "'");
    } else if (name == "--lines") {
      int lines = 0;
      if (!ParseInt(value, lines) || !IsLineLimit(lines))
        UsageError("--lines takes a number from 30000 to 1048576, not '" + value + "'");
      o.lineLimit = static_cast<std::size_t>(lines);
    } else {
      if (value == "yes")
        o.answer = mbYes;
      else if (value == "abort")
        o.answer = mbAbort;
      else
        UsageError("--answer takes yes or abort, not '" + value + "'");
    }
  }
  if (o.files.empty()) UsageError("no FILE given");
  return o;
}

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when the byte
// there does not start one (overlong forms, surrogates and values past
// U+10FFFF are not well-formed).
std::size_t WellFormedUtf8(std::string_view s, std::size_t pos) {
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[pos + k]); };
  auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
    return pos + k < s.size() && at(k) >= lo && at(k) <= hi;
  };
  unsigned c = at(0);
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return cont(1) ? 2 : 0;
  if (c == 0xE0) return cont(1, 0xA0) && cont(2) ? 3 : 0;
  if (c == 0xED) return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
  if (c >= 0xE1 && c <= 0xEF) return cont(1) && cont(2) ? 3 : 0;
  if (c == 0xF0) return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
  if (c >= 0xF1 && c <= 0xF3) return cont(1) && cont(2) && cont(3) ? 4 : 0;
  if (c == 0xF4) return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
  return 0;
}

// A JSON string of `s`. Quotes, backslashes and control bytes are escaped.
// Well-formed UTF-8 is copied as it is. A byte that is not part of
// well-formed UTF-8 (a file name on this system may be any bytes, e.g. a
// Shift-JIS name) is written as \u00XX with XX the byte's value, so that
// distinct names stay distinct and the byte can be read back from the
// output; the result is always valid JSON in UTF-8.
std::string Json(std::string_view s) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len = WellFormedUtf8(s, i);
    if (len > 1) {
      out.append(s.substr(i, len));
      i += len;
      continue;
    }
    ++i;
    switch (c) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\n': out += "\\n"; continue;
      case '\r': out += "\\r"; continue;
      case '\t': out += "\\t"; continue;
      case '\b': out += "\\b"; continue;
      case '\f': out += "\\f"; continue;
      default: break;
    }
    if (c < 0x20 || len == 0) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

std::string_view ResultName(LoadResult r) {
  switch (r) {
    case LoadResult::Loaded: return "loaded";
    case LoadResult::Refused: return "refused";
    case LoadResult::Unreadable: return "unreadable";
  }
  return "";
}

void ReportJson(const std::string& file, const LoadOutcome& outcome, std::size_t lines,
                const std::vector<ScriptedDialogs::Shown>& shown) {
  std::string out = "{\"file\":" + Json(file) + ",\"result\":\"" + std::string(ResultName(outcome.result)) +
                    "\",\"lines\":" + std::to_string(outcome.result == LoadResult::Loaded ? lines : 0) +
                    ",\"messages\":[";
  for (std::size_t m = 0; m < shown.size(); ++m) {
    const auto& s = shown[m];
    if (m) out += ',';
    out += "{\"kind\":\"" + std::string(KindName(s.kind)) + "\",\"buttons\":[";
    auto buttons = ButtonsInOrder(s.buttons);
    for (std::size_t b = 0; b < buttons.size(); ++b) {
      if (b) out += ',';
      out += Json(ButtonCaption(buttons[b]));
    }
    out += "],\"answer\":" + Json(ButtonCaption(s.answer)) + ",\"text\":" + Json(s.text) + "}";
  }
  out += "],\"encoding\":\"" + std::string(EncodingKey(outcome.format.encoding)) + "\",\"line_end\":\"" +
         std::string(LineEndKey(outcome.format.lineEnd)) + "\"";
  if (outcome.result == LoadResult::Unreadable) out += ",\"error\":" + Json(outcome.error);
  out += "}\n";
  Put(out);
}

// The text of a message as lines: each LF CR pair starts a new line; the
// pair at the very end adds no empty line.
void PutMessageText(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t br = text.find("\n\r", start);
    if (br == std::string_view::npos) br = text.size();
    Put(text.substr(start, br - start));
    Put("\n");
    start = br + 2;
  }
}

void ReportText(const std::string& file, const LoadOutcome& outcome, std::size_t lines,
                const std::vector<ScriptedDialogs::Shown>& shown) {
  for (const auto& s : shown) {
    Put(file + ": " + std::string(KindCaption(s.kind)) + "\n");
    PutMessageText(s.text);
    if (ButtonsInOrder(s.buttons).size() > 1) Put("  -> " + std::string(ButtonCaption(s.answer)) + "\n");
  }
  switch (outcome.result) {
    case LoadResult::Loaded:
      Put(file + ": loaded, " + std::to_string(lines) + (lines == 1 ? " line\n" : " lines\n"));
      if (outcome.format != kShiftJisCrLf)
        Put(file + ": " + std::string(EncodingKey(outcome.format.encoding)) + ", " +
            std::string(LineEndKey(outcome.format.lineEnd)) + "\n");
      break;
    case LoadResult::Refused: Put(file + ": refused\n"); break;
    case LoadResult::Unreadable: Put(file + ": unreadable: " + outcome.error + "\n"); break;
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseArguments(argc, argv);
  int status = 0;
  for (const std::string& file : options.files) {
    ScriptedDialogs dialogs(options.answer);
    Lines lines;
    LoadOutcome outcome = CsvLoader(file, {options.itemLimit, EncodingChoice::Detect, options.lineLimit}, dialogs, lines);
    if (outcome.result != LoadResult::Loaded) status = 1;
    if (options.json)
      ReportJson(file, outcome, lines.size(), dialogs.shown());
    else
      ReportText(file, outcome, lines.size(), dialogs.shown());
    std::fflush(stdout);
  }
  return status;
}
