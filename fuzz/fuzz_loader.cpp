// The loader on any bytes in memory, with both scan-stage item limits.
//
// Input: one control byte, then the bytes of the file. Bit k of the control
// byte answers the item-count questions k, k + 8, k + 16, ...: set means
// 中止(&A), clear はい(&Y). The 65th question and every later one are
// answered 中止(&A), so a load asks at most 65. (The line limit is left to
// the loader's tests: a file of 30000 lines costs a hundred times a small
// one here, and inputs near it came to fill the corpus. Questions are the
// same trade: every one builds its message, and inputs whose every line
// asks one came to fill the corpus and to take most of the time, while the
// 65th question runs the same code as the 9th.)
//
// Checked against a plain model of the file: the bytes cut at the first
// 0x1A; UTF-8 after a byte-order mark, or as DetectEncoding tells (its rule
// has tests of its own), else Shift-JIS; lines ended at LF when there is no
// CR, else by CR or CR LF (a lone LF a byte of its line); each line of a
// UTF-8 file converted to code page 932 (the conversion has a harness of its
// own), a line that cannot be converted refusing the load:
// - the load is never Unreadable, and finds the model's format;
// - it loads exactly when every line converts and keeps every limit and
//   every question was answered はい(&Y), the same for both limits;
// - a loaded file holds the model's lines, asked one question per line whose
//   item count differs from the title line's and showed nothing else, and
//   its lines as a CSV file's bytes in its format are the input with every
//   line end made the file's first and a missing final line end added;
// - a refused load leaves the destination empty and showed a message.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/Cp932.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/Encoding.h"
#include "core/LineCheck.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

constexpr int kQuestionsAnswered = 64;

// Whether item-count question `question` (from 0) is answered 中止(&A).
bool Aborts(std::uint8_t abortBits, int question) {
  return question >= kQuestionsAnswered || (abortBits >> (question % 8) & 1);
}

// What the checks look at in one line, counted without allocating (a file
// of 30000 empty lines is a seed).
struct Facts {
  std::size_t bytes = 0, commas = 0, quotes = 0, items = 1, longestItem = 0;
};

FUZZ_PLAIN Facts Count(std::string_view line) {
  Facts f;
  f.bytes = line.size();
  std::size_t start = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') ++f.quotes;
    if (line[i] != ',') continue;
    ++f.commas;
    if (f.quotes % 2) continue;  // a comma inside quotes separates nothing
    ++f.items;
    f.longestItem = std::max(f.longestItem, i - start);
    start = i + 1;
  }
  f.longestItem = std::max(f.longestItem, line.size() - start);
  return f;
}

// What a reader of the format finds in `bytes`: the file's format, its
// lines (converted to code page 932 up to the first that cannot be: its
// index in `fault`, and the part of it converted as its line), and the
// bytes a save of them in that format writes.
struct Modelled {
  FileFormat format;
  std::vector<std::string> lines;
  std::size_t fault = SIZE_MAX;
  std::string saved;
};

FUZZ_PLAIN Modelled Model(std::string_view bytes, std::vector<Facts>& facts) {
  Modelled m;
  bytes = bytes.substr(0, bytes.find('\x1A'));
  m.format.encoding = DetectEncoding(bytes);
  if (m.format.encoding == TextEncoding::Utf8Bom) {
    m.saved = kByteOrderMark;
    bytes.remove_prefix(kByteOrderMark.size());
  }
  const bool lf = bytes.find('\r') == std::string_view::npos && bytes.find('\n') != std::string_view::npos;
  std::optional<LineEnd> first;
  if (lf) first = LineEnd::Lf;
  std::vector<std::string_view> raw;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find(lf ? '\n' : '\r', start);
    const bool ended = end != std::string_view::npos;
    if (!ended) end = bytes.size();
    raw.push_back(bytes.substr(start, end - start));
    start = end + 1;
    if (!lf && ended) {
      const bool crlf = start < bytes.size() && bytes[start] == '\n';
      if (!first) first = crlf ? LineEnd::CrLf : LineEnd::Cr;
      if (crlf) ++start;
    }
  }
  m.format.lineEnd = first.value_or(LineEnd::CrLf);
  for (std::string_view line : raw) {
    std::string text(line);
    if (m.format.Utf8()) {
      const Utf8Converted c = Utf8ToCp932(line.data(), line.size(), text.data());
      text.resize(c.written);
      if (c.stop != Utf8Stop::None && m.fault == SIZE_MAX) m.fault = m.lines.size();
    }
    m.saved += line;
    m.saved += LineEndBytes(m.format.lineEnd);
    facts.push_back(Count(text));
    m.lines.push_back(std::move(text));
    if (m.fault != SIZE_MAX) break;
  }
  return m;
}

// Whether lines of these facts pass every check of a load with `limit`, the
// item-count questions answered by `abortBits`.
bool ShouldLoad(const std::vector<Facts>& lines, std::size_t fault, std::size_t limit, std::uint8_t abortBits,
                int& questions) {
  questions = 0;
  std::size_t title = 1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Facts& f = lines[i];
    if (i == fault) return false;
    if (f.bytes > kMaxLineBytes || i >= kMaxLines) return false;
    if (f.commas > static_cast<std::size_t>(kMaxCommas) || f.quotes > static_cast<std::size_t>(kMaxQuotes))
      return false;
    if (f.items > limit || f.longestItem > kMaxItemBytes) return false;
    if (i == 0) title = f.items;
    if (f.items != title && Aborts(abortBits, questions++)) return false;
    if (f.items > static_cast<std::size_t>(kMaxItems)) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t abortBits = in.Byte();
  const std::string bytes = in.Rest();

  std::vector<Facts> facts;
  const Modelled model = Model(bytes, facts);
  bool compared = false;

  for (int limit : {kItemLimitWide, kItemLimitNarrow}) {
    RecordingDialogs dialogs;
    dialogs.keepTexts = false;  // only counted here; a question may come on every line
    int asked = 0;
    bool aborted = false;
    dialogs.answer = [&](const std::string&, MsgKind, MsgButtons buttons) {
      if (buttons != (mbYes | mbAbort)) return mbAbort;
      bool abort = Aborts(abortBits, asked++);
      aborted |= abort;
      return abort ? mbAbort : mbYes;
    };
    Lines lines = {"stale"};
    LoadOutcome outcome = CsvLoaderFromBytes(bytes, limit, dialogs, lines);
    FUZZ_CHECK(outcome.result != LoadResult::Unreadable);

    int questions = 0;
    const bool loads = ShouldLoad(facts, model.fault, static_cast<std::size_t>(limit), abortBits, questions);
    FUZZ_CHECK(loads == (outcome.result == LoadResult::Loaded));
    if (outcome.result == LoadResult::Refused) {
      FUZZ_CHECK(lines.empty());
      FUZZ_CHECK(dialogs.Refusals() > 0 || aborted);
      continue;
    }
    FUZZ_CHECK(outcome.format == model.format);
    FUZZ_CHECK(std::equal(lines.begin(), lines.end(), model.lines.begin(), model.lines.end()));
    FUZZ_CHECK(asked == questions);
    FUZZ_CHECK(dialogs.shown.size() == static_cast<std::size_t>(questions));

    if (compared) continue;  // both limits load the same lines
    compared = true;
    std::string written;
    CsvContent content(lines, outcome.format);
    FUZZ_CHECK(content.Pieces([&](std::string_view piece) {
      written += piece;
      return true;
    }));
    FUZZ_CHECK(content.Size() == written.size());
    FUZZ_CHECK(written == model.saved);
  }
  return 0;
}
