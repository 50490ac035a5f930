// The record of an in-place save and the start-up's judgement of its file.
//
// Input: a byte of choices, a page size byte, a cut byte, a step byte, then
// the old content and the new content, each ended by a NUL byte, then
// edits (offset word, byte) for the file or for the record's text.
//
// Checked:
// - a record written and read back is itself; any text read as a record,
//   a record written from it reads back the same, with one hash for every
//   page of its new size;
// - the file a save killed at a page boundary (or with every byte written)
//   leaves is judged Finished when it holds the new content, Untouched when
//   it holds the old, else Interrupted;
// - any other file is judged as a plain reading of the write order has it:
//   Finished, Untouched, Interrupted when new[0, k) + old[k, max(old, k))
//   for a page boundary or the new size k, else Changed; never Interrupted
//   for bytes the save could not have left;
// - a copy that is not the old content is CopyDiffers; without a copy
//   only the new content is Finished, anything else CopyMissing;
// - bytes handed over in pieces, or a read that fails, change nothing but
//   give ReadFailed.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "core/SaveRecord.h"

using namespace cavel;
using namespace cavel::fuzz;

namespace {

// Bytes handed over `step` at a time; a read that reaches the byte at
// `failAt` fails.
class Choppy : public ByteReader {
 public:
  Choppy(std::string_view bytes, std::size_t step, std::uint64_t failAt)
      : bytes_(bytes), step_(step), failAt_(failAt) {}
  std::uint64_t Size() const override { return bytes_.Size(); }
  long long ReadAt(std::uint64_t at, char* buffer, std::size_t size) const override {
    size = std::min(size, step_);
    if (at + size > failAt_) return -1;
    return bytes_.ReadAt(at, buffer, size);
  }

 private:
  MemoryReader bytes_;
  std::size_t step_;
  std::uint64_t failAt_;
};

FUZZ_PLAIN std::size_t CommonStart(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
  return i;
}

// Whether a save of `fresh` over `old` in calls of whole pages, killed at
// some point k, leaves `file`: new[0, k) + old[k, max(old, k)).
FUZZ_PLAIN bool KilledSaveLeaves(std::string_view file, std::string_view old, std::string_view fresh,
                                 std::size_t page) {
  const std::size_t newStart = CommonStart(file, fresh);
  // Where the file's old end starts, when it has the old size.
  std::size_t oldFrom = file.size();
  if (file.size() == old.size())
    while (oldFrom > 0 && file[oldFrom - 1] == old[oldFrom - 1]) --oldFrom;
  for (std::size_t at = 0;; at += page) {
    const std::size_t k = std::min(at, fresh.size());
    const bool oldEnd = file.size() == old.size() ? k >= oldFrom && k <= old.size()
                                                  : file.size() == k && k > old.size();
    if (k <= newStart && oldEnd) return true;
    if (k == fresh.size()) return false;
  }
}

FUZZ_PLAIN SaveState Expected(std::string_view file, std::string_view old, std::string_view fresh, std::size_t page,
                              bool hasCopy) {
  if (file == fresh) return SaveState::Finished;
  if (!hasCopy) return SaveState::CopyMissing;
  if (file == old) return SaveState::Untouched;
  return KilledSaveLeaves(file, old, fresh, page) ? SaveState::Interrupted : SaveState::Changed;
}

SaveRecord RecordOf(std::string_view old, std::string_view fresh, std::uint32_t page, std::uint8_t id) {
  SaveRecord r;
  r.device = id * 0x0101010101ULL;
  r.inode = ~r.device;
  StreamHash h;
  h.Add(old);
  r.oldSize = old.size();
  r.oldHash = h.Value();
  r.newSize = fresh.size();
  r.pageSize = page;
  PageHashes pages(page);
  // In two pieces, as a content hands them over.
  pages.Add(fresh.substr(0, id % (fresh.size() + 1)));
  pages.Add(fresh.substr(id % (fresh.size() + 1)));
  r.pages = pages.Take();
  r.target = "/f/" + std::string(old.substr(0, id % 8)) + "\n.csv";
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t choice = in.Byte();
  const std::uint32_t page = 1u << (in.Byte() % 7);
  const std::uint8_t cut = in.Byte();
  const std::size_t step = 1 + in.Byte() % 16;
  const std::string old = in.Until('\0', 400), fresh = in.Until('\0', 400);

  const SaveRecord record = RecordOf(old, fresh, page, cut);
  FUZZ_CHECK(record.pages.size() == fresh.size() / page + (fresh.size() % page != 0));
  std::string text = RecordText(record);
  SaveRecord back;
  FUZZ_CHECK(ParseRecord(text, back) && back == record);

  if (choice & 1) {
    // The record's text edited: whatever reads as a record is one.
    while (in.left() >= 3) {
      const std::size_t at = in.Word() % (text.size() + 1);
      const char c = static_cast<char>(in.Byte());
      if (c == '\x7f')
        text.erase(at, 1);
      else
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), c);
    }
    SaveRecord read;
    if (ParseRecord(text, read) && read.version == 2) {
      SaveRecord again;
      FUZZ_CHECK(ParseRecord(RecordText(read), again) && again == read);
      FUZZ_CHECK(read.pages.size() == read.newSize / read.pageSize + (read.newSize % read.pageSize != 0));
      FUZZ_CHECK(!read.target.empty());
    }
    return 0;
  }

  // The file a killed save leaves, then perhaps edited.
  std::size_t k = std::min<std::size_t>(cut % (fresh.size() / page + 2) * page, fresh.size());
  if (choice & 2) k = fresh.size();
  std::string file = fresh.substr(0, k) + (k < old.size() ? old.substr(k) : std::string());
  const bool edited = in.left() >= 3;
  while (in.left() >= 3) {
    const std::size_t at = in.Word() % (file.size() + 1);
    const std::uint8_t c = in.Byte();
    if (c == 0x7f)
      file.resize(at);
    else if (at < file.size() && (c & 1))
      file[at] = static_cast<char>(c);
    else
      file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), static_cast<char>(c));
  }

  const bool hasCopy = !(choice & 4);
  std::string copyBytes = old;
  if ((choice & 8) && !copyBytes.empty()) copyBytes[cut % copyBytes.size()] ^= static_cast<char>(1 + (choice >> 4));
  const std::uint64_t failAt = (choice & 16) ? cut : UINT64_MAX;
  const Choppy target(file, step, failAt), copy(copyBytes, step, UINT64_MAX);
  const SaveState state = JudgeSave(record, target, hasCopy ? &copy : nullptr);

  if (failAt < file.size()) {
    FUZZ_CHECK(state == SaveState::ReadFailed);
    return 0;
  }
  if (hasCopy && copyBytes != old) {
    FUZZ_CHECK(state == SaveState::CopyDiffers);
    return 0;
  }
  const SaveState expected = Expected(file, old, fresh, page, hasCopy);
  FUZZ_CHECK(state == expected);
  if (!edited && hasCopy)
    FUZZ_CHECK(state == SaveState::Finished || state == SaveState::Untouched || state == SaveState::Interrupted);
  return 0;
}
