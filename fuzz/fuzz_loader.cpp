// The loader on any bytes, with both scan-stage item limits.
//
// Input: one control byte, then the bytes of the file. Bit k of the control
// byte answers the item-count questions k, k + 8, k + 16, ...: set means
// 中止(&A), clear はい(&Y).
//
// Checked against a plain model of the file (the bytes cut at the first
// 0x1A, lines ended by CR or CR LF, a lone LF a byte of its line):
// - the load is never Unreadable;
// - it loads exactly when every line keeps every limit and every question
//   was answered はい(&Y), the same for both limits;
// - a loaded file holds the model's lines, asked one question per line whose
//   item count differs from the title line's and showed nothing else, and
//   saved again gives the input with every line end made CR LF and a missing
//   final line end added;
// - a refused load leaves the destination empty and showed a message.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/LineCheck.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

// The lines a reader of the format finds in `bytes`, and the bytes a save of
// them writes.
void Model(std::string_view bytes, Lines& lines, std::string& saved) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  lines.clear();
  saved.clear();
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c != '\r') {
      line += c;
      continue;
    }
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    saved += line + "\r\n";
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) {
    saved += line + "\r\n";
    lines.push_back(std::move(line));
  }
}

// Whether the model's lines pass every check of a load with `limit`, the
// item-count questions answered by `abortBits`.
bool ShouldLoad(const Lines& lines, int limit, std::uint8_t abortBits, int& questions) {
  questions = 0;
  int title = 1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.size() > kMaxLineBytes || i >= kMaxLines) return false;
    std::size_t commas = 0, quotes = 0;
    for (char c : line) commas += c == ',', quotes += c == '"';
    if (commas > static_cast<std::size_t>(kMaxCommas) || quotes > static_cast<std::size_t>(kMaxQuotes)) return false;
    auto items = SplitItems(line);
    int count = static_cast<int>(items.size());
    if (count > limit) return false;
    for (auto item : items)
      if (item.size() > kMaxItemBytes) return false;
    if (i == 0) title = count;
    if (count != title && (abortBits >> (questions++ % 8) & 1)) return false;
    if (count > kMaxItems) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t abortBits = in.Byte();
  const std::string bytes = in.Rest();

  static const std::string path = ScratchDir() + "/in.csv";
  static const std::string out = ScratchDir() + "/out.csv";
  PutFile(path, bytes);

  Lines model;
  std::string saved;
  Model(bytes, model, saved);

  for (int limit : {kItemLimitWide, kItemLimitNarrow}) {
    RecordingDialogs dialogs;
    int asked = 0;
    bool aborted = false;
    dialogs.answer = [&](const std::string&, MsgKind, MsgButtons buttons) {
      if (buttons != (mbYes | mbAbort)) return mbAbort;
      bool abort = abortBits >> (asked++ % 8) & 1;
      aborted |= abort;
      return abort ? mbAbort : mbYes;
    };
    Lines lines = {"stale"};
    LoadOutcome outcome = CsvLoader(path, limit, dialogs, lines);
    FUZZ_CHECK(outcome.result != LoadResult::Unreadable);

    int questions = 0;
    const bool loads = ShouldLoad(model, limit, abortBits, questions);
    FUZZ_CHECK(loads == (outcome.result == LoadResult::Loaded));
    if (outcome.result == LoadResult::Refused) {
      FUZZ_CHECK(lines.empty());
      FUZZ_CHECK(dialogs.Refusals() > 0 || aborted);
      continue;
    }
    FUZZ_CHECK(lines == model);
    FUZZ_CHECK(asked == questions);
    FUZZ_CHECK(dialogs.shown.size() == static_cast<std::size_t>(questions));

    FUZZ_CHECK(WriteLines(out, lines).ok);
    FUZZ_CHECK(GetFile(out) == saved);
  }
  return 0;
}
