#include "core/SaveRecord.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

#include "core/Messages.h"

namespace cavel {

// ---- hashes ------------------------------------------------------------------------------

void StreamHash::Add(std::string_view s) {
  size_ += s.size();
  const char* p = s.data();
  std::size_t n = s.size();
  while (n > 0 && fill_ > 0) {
    buf_[fill_++] = *p++;
    --n;
    if (fill_ == 8) {
      Word(buf_);
      fill_ = 0;
    }
  }
  for (; n >= 8; p += 8, n -= 8) Word(p);
  while (n > 0) {
    buf_[fill_++] = *p++;
    --n;
  }
}

std::uint64_t StreamHash::Value() const {
  StreamHash h = *this;
  if (h.fill_ > 0) {
    std::memset(h.buf_ + h.fill_, 0, 8 - h.fill_);
    h.Word(h.buf_);
  }
  std::uint64_t x = h.h_ ^ size_;
  x ^= x >> 33;
  x *= 0xFF51AFD7ED558CCDULL;
  x ^= x >> 33;
  x *= 0xC4CEB9FE1A85EC53ULL;
  x ^= x >> 33;
  return x;
}

void StreamHash::Word(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, 8);
  h_ ^= w * 0x9E3779B97F4A7C15ULL;
  h_ = (h_ << 31 | h_ >> 33) * 0xC2B2AE3D27D4EB4FULL;
}

void PageHashes::Add(std::string_view s) {
  while (!s.empty()) {
    const std::size_t room = pageSize_ - static_cast<std::size_t>(page_.size());
    const std::size_t take = std::min(room, s.size());
    page_.Add(s.substr(0, take));
    s.remove_prefix(take);
    if (page_.size() == pageSize_) {
      hashes_.push_back(page_.Value());
      page_ = StreamHash();
    }
  }
}

std::vector<std::uint64_t> PageHashes::Take() {
  if (page_.size() > 0) hashes_.push_back(page_.Value());
  page_ = StreamHash();
  return std::move(hashes_);
}

// ---- the record's text ---------------------------------------------------------------------

namespace {

constexpr std::string_view kHeadOld = "cavel in-place save 1\n";
constexpr std::string_view kHead = "cavel in-place save 2\n";
constexpr std::uint32_t kMaxPage = 1u << 20;
constexpr std::size_t kHexLine = 17;  // 16 hexadecimal digits and a line end

std::string Hex(std::uint64_t v) {
  std::string s(16, '0');
  for (int i = 15; i >= 0; --i, v >>= 4) s[static_cast<std::size_t>(i)] = "0123456789abcdef"[v & 15];
  return s;
}

bool ParseHex(std::string_view s, std::uint64_t& v) {
  v = 0;
  for (char c : s) {
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    v = v << 4 | static_cast<unsigned>(d);
  }
  return true;
}

// Reads "<key> <number>[ <number>]\n" from the front of `text`.
bool Take(std::string_view& text, std::string_view key, std::uint64_t* a, std::uint64_t* b) {
  if (text.size() <= key.size() || text.substr(0, key.size()) != key || text[key.size()] != ' ') return false;
  text.remove_prefix(key.size() + 1);
  for (std::uint64_t* v : {a, b}) {
    if (!v) continue;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *v);
    if (ec != std::errc() || end == text.data()) return false;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    if (v == a && b) {
      if (text.empty() || text.front() != ' ') return false;
      text.remove_prefix(1);
    }
  }
  if (text.empty() || text.front() != '\n') return false;
  text.remove_prefix(1);
  return true;
}

std::uint64_t PageCount(std::uint64_t size, std::uint32_t page) { return size / page + (size % page != 0); }

}  // namespace

std::string RecordText(const SaveRecord& r) {
  auto n = [](std::uint64_t v) { return std::to_string(v); };
  std::string text = std::string(kHead) + "file " + n(r.device) + " " + n(r.inode) + "\nold " + n(r.oldSize) + " " +
                     n(r.oldHash) + "\nnew " + n(r.newSize) + " " + n(r.pageSize) + "\npath " + n(r.target.size()) +
                     "\n" + r.target + "\npages " + n(r.pages.size()) + "\n";
  text.reserve(text.size() + r.pages.size() * kHexLine + 4);
  for (std::uint64_t page : r.pages) text += Hex(page) + "\n";
  return text + "end\n";
}

bool ParseRecord(std::string_view text, SaveRecord& out) {
  SaveRecord r;
  if (text.starts_with(kHead))
    text.remove_prefix(kHead.size());
  else if (text.starts_with(kHeadOld))
    text.remove_prefix(kHeadOld.size()), r.version = 1;
  else
    return false;
  std::uint64_t second = 0, length = 0;
  if (!Take(text, "file", &r.device, &r.inode) || !Take(text, "old", &r.oldSize, &r.oldHash) ||
      !Take(text, "new", &r.newSize, &second) || !Take(text, "path", &length, nullptr))
    return false;
  if (length == 0 || length >= text.size() || text[length] != '\n') return false;
  r.target = std::string(text.substr(0, length));
  if (r.target.find('\0') != std::string::npos) return false;
  text.remove_prefix(length + 1);
  if (r.version == 1) {
    // The second number was a hash of the whole new content.
    r.pageSize = 0;
  } else {
    if (second == 0 || second > kMaxPage || (second & (second - 1)) != 0) return false;
    r.pageSize = static_cast<std::uint32_t>(second);
    std::uint64_t count = 0;
    if (!Take(text, "pages", &count, nullptr) || count != PageCount(r.newSize, r.pageSize) ||
        count > text.size() / kHexLine)
      return false;
    r.pages.resize(count);
    for (std::uint64_t& page : r.pages) {
      if (text[16] != '\n' || !ParseHex(text.substr(0, 16), page)) return false;
      text.remove_prefix(kHexLine);
    }
  }
  if (text != "end\n") return false;
  out = std::move(r);
  return true;
}

// ---- judging the file ------------------------------------------------------------------------

long long MemoryReader::ReadAt(std::uint64_t at, char* buffer, std::size_t size) const {
  if (at >= bytes_.size()) return 0;
  const std::size_t n = std::min<std::uint64_t>(size, bytes_.size() - at);
  std::memcpy(buffer, bytes_.data() + at, n);
  return static_cast<long long>(n);
}

namespace {

constexpr std::size_t kChunk = 1 << 20;

// `size` bytes from `at`, or false.
bool ReadFully(const ByteReader& source, std::uint64_t at, char* buffer, std::size_t size) {
  while (size > 0) {
    const long long n = source.ReadAt(at, buffer, size);
    if (n <= 0) return false;
    buffer += n, at += static_cast<std::uint64_t>(n), size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

SaveState JudgeSave(const SaveRecord& r, const ByteReader& target, const ByteReader* copy) {
  if (r.version != 2) return SaveState::OldRecord;
  const std::uint64_t s = target.Size(), o = copy ? copy->Size() : 0, n = r.newSize, page = r.pageSize;
  if (copy && o != r.oldSize) return SaveState::CopyDiffers;

  // One pass over both: the copy's hash, the hashes of the target's pages
  // within the new size, and where the target last differs from the copy.
  const std::uint64_t span = std::max(s, o);
  const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, span));
  std::unique_ptr<char[]> t(new char[chunk + 1]), c(new char[chunk + 1]);
  StreamHash copyHash;
  PageHashes targetPages(r.pageSize);
  std::uint64_t lastDiff = 0;  // one past the last byte where both have bytes and differ
  for (std::uint64_t at = 0; at < span; at += chunk) {
    const std::size_t tn = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, s > at ? s - at : 0));
    const std::size_t cn = static_cast<std::size_t>(std::min<std::uint64_t>(chunk, o > at ? o - at : 0));
    if (!ReadFully(target, at, t.get(), tn) || (copy && !ReadFully(*copy, at, c.get(), cn)))
      return SaveState::ReadFailed;
    copyHash.Add({c.get(), cn});
    if (at < n) targetPages.Add({t.get(), static_cast<std::size_t>(std::min<std::uint64_t>(tn, n - at))});
    const std::size_t both = std::min(tn, cn);
    if (std::memcmp(t.get(), c.get(), both) != 0) {
      std::size_t i = both;
      while (t[i - 1] == c[i - 1]) --i;
      lastDiff = at + i;
    }
  }
  if (copy && copyHash.Value() != r.oldHash) return SaveState::CopyDiffers;

  // How much of the new content the target starts with, in whole pages.
  const std::vector<std::uint64_t> pages = targetPages.Take();
  std::uint64_t matched = 0;
  for (std::size_t i = 0; i < pages.size() && i < r.pages.size() && pages[i] == r.pages[i]; ++i)
    matched = std::min<std::uint64_t>((i + 1) * page, n);
  if (s == n && matched == n) return SaveState::Finished;
  if (!copy) return SaveState::CopyMissing;
  if (s == o && lastDiff == 0) return SaveState::Untouched;

  // Where a killed save would have stopped: the target's size when it grew
  // past the old one, else the first page boundary (or the new size) after
  // its last difference from the old bytes.
  std::uint64_t k = 0;
  if (s > o)
    k = s;
  else if (s == o)
    k = std::min((lastDiff + page - 1) / page * page, n);
  else
    return SaveState::Changed;
  const bool reachable = k >= lastDiff && k <= n && k <= s && (k % page == 0 || k == n);
  return reachable && matched >= k ? SaveState::Interrupted : SaveState::Changed;
}

std::string_view Distrust(const EntryFacts& f, std::uint32_t user, bool wantFolder) {
  if (wantFolder ? !f.folder : !f.regular) return wantFolder ? msg::kNotFolder : msg::kNotPlainFile;
  if (f.owner != user) return msg::kNotYours;
  if (f.mode & 022) return msg::kOthersMayWrite;
  if (!wantFolder && f.links != 1) return msg::kOtherNames;
  return {};
}

}  // namespace cavel
