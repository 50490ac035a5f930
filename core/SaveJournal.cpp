#include "core/SaveJournal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "core/Messages.h"
#include "core/System.h"
#include "core/Text.h"

namespace cavel {

namespace {

// The ends of a save's entries (see the header).
constexpr std::string_view kCopyEnd = ".old";
constexpr std::string_view kRecordEnd = ".save";
constexpr std::string_view kPartEnd = ".part";
constexpr std::string_view kKeptEnd = ".kept";
constexpr std::size_t kLongestEnd = 5;
constexpr std::size_t kStemRandom = 6;
// A record is read whole; one of a file of several gigabytes stays below.
constexpr std::size_t kMostRecordBytes = 64 << 20;

// ---- names ---------------------------------------------------------------------------------

// Six letters and digits, different each time.
std::string RandomChars() {
  static constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned counter = 0;
  unsigned char bytes[kStemRandom];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes))
    for (std::size_t i = 0; i < kStemRandom; ++i)
      bytes[i] = static_cast<unsigned char>((::getpid() >> (4 * i)) + ++counter * 37);
  std::string out;
  for (unsigned char b : bytes) out += kChars[b % kChars.size()];
  return out;
}

// A save's entries in the state folder are "<stem><end>", the stem being
// the file's name, cut to leave room, a dot and RandomChars().
std::string NewJournalStem(std::string_view base, std::size_t nameMax) {
  const std::size_t around = 1 + kStemRandom + kLongestEnd;
  return std::string(Utf8Prefix(base, nameMax > around ? nameMax - around : 0)) + "." + RandomChars();
}
std::string EntryName(std::string_view stem, std::string_view end) { return std::string(stem) + std::string(end); }
std::string EntryPath(const std::string& folder, std::string_view stem, std::string_view end) {
  return folder + "/" + EntryName(stem, end);
}

// ---- reading and writing the files -------------------------------------------------------

// Calls `each` with consecutive parts of the file from its start; false at
// the first failure (errno set) or when `each` returns false.
template <typename Each>
bool ReadThrough(int fd, Each&& each) {
  std::unique_ptr<char[]> buffer(new char[kBlock]);
  off_t at = 0;
  for (;;) {
    ssize_t n = PreadSome(fd, buffer.get(), kBlock, at);
    if (n < 0) return false;
    if (n == 0) return true;
    if (!each(std::string_view(buffer.get(), static_cast<std::size_t>(n)), at)) return false;
    at += n;
  }
}

// The whole of a small file; false when it cannot be read or is larger
// than `most`.
bool ReadSmallFile(int fd, std::string& text, std::size_t most) {
  text.clear();
  char buf[65536];
  for (off_t at = 0;;) {
    const ssize_t n = PreadSome(fd, buf, sizeof buf, at);
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buf, static_cast<std::size_t>(n));
    at += n;
    if (text.size() > most) return false;
  }
}

// A file's bytes, for judging it.
class FileReader : public ByteReader {
 public:
  FileReader(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  std::uint64_t Size() const override { return size_; }
  long long ReadAt(std::uint64_t at, char* buffer, std::size_t size) const override {
    return PreadSome(fd_, buffer, size, static_cast<off_t>(at));
  }

 private:
  int fd_;
  std::uint64_t size_;
};

// Writes the bytes of `copy` over the start of `fd`, cuts `fd` to them and
// flushes it.
bool WriteBack(int copy, int fd, std::uint64_t size) {
  int err = 0;
  std::uint64_t written = 0;
  if (!ReadThrough(copy, [&](std::string_view part, off_t at) {
        written += part.size();
        return WriteAll(fd, part.data(), part.size(), err, at);
      })) {
    if (err) errno = err;
    return false;
  }
  if (written != size) {
    errno = EIO;
    return false;
  }
  return ::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0;
}

// ---- trusting the state folder ------------------------------------------------------------

EntryFacts FactsOf(const struct stat& st) {
  return {S_ISDIR(st.st_mode), S_ISREG(st.st_mode), static_cast<std::uint32_t>(st.st_uid),
          static_cast<std::uint32_t>(st.st_mode & 07777), static_cast<std::uint64_t>(st.st_nlink)};
}

// Opens the state folder as `dir` when the user may trust it: a folder of
// their own, not a link, that no other user may write. The reason it may
// not be used, or empty.
std::string OpenStateFolder(const std::string& folder, Fd& dir) {
  dir.Reset(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st;
  if (!dir) {
    const int err = errno;
    if (::lstat(folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return std::string(msg::kIsLink);
    return err == ENOTDIR ? std::string(msg::kNotFolder) : Reason(err);
  }
  if (::fstat(dir.get(), &st) != 0) return Reason(errno);
  std::string distrust(Distrust(FactsOf(st), ::geteuid(), true));
  if (!distrust.empty()) dir.Close();
  return distrust;
}

// Opens the entry `name` of the state folder for reading when the user may
// trust it: a file of their own with this one name, not a link, that no
// other user may write. False with `why` empty when there is no such entry
// (any more), else with the reason it is not trusted.
bool OpenEntry(int dir, const std::string& name, Fd& fd, std::string& why) {
  why.clear();
  fd.Reset(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st;
  if (!fd) {
    if (errno != ENOENT) why = errno == ELOOP ? std::string(msg::kIsLink) : Reason(errno);
    return false;
  }
  if (::fstat(fd.get(), &st) != 0 || st.st_nlink == 0) {
    fd.Close();
    return false;
  }
  why = Distrust(FactsOf(st), ::geteuid(), false);
  if (!why.empty()) fd.Close();
  return why.empty();
}

// The copy of an interrupted save is left to the user under a name no
// recovery takes up, and its record goes. The copy's path; when it cannot
// be renamed, its record stays too, for the next start to try again.
std::string KeepCopy(int dir, const std::string& folder, const std::string& stem) {
  const std::string copy = EntryName(stem, kCopyEnd), kept = EntryName(stem, kKeptEnd);
  struct stat st;
  if (::fstatat(dir, kept.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ||
      ::renameat(dir, copy.c_str(), dir, kept.c_str()) != 0)
    return EntryPath(folder, stem, kCopyEnd);
  ::unlinkat(dir, EntryName(stem, kRecordEnd).c_str(), 0);
  return EntryPath(folder, stem, kKeptEnd);
}

}  // namespace

std::string StateFolder() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

// ---- the journal of one save ---------------------------------------------------------------

bool Journal::Begin(const std::string& folder, const std::string& base, SaveRecord record, int fd, std::string& error) {
  auto fail = [&](int err, const std::string& about) {
    error = Reason(err) + " (" + about + ")";
    Remove();
    return false;
  };
  folder_ = folder;
  if (folder.empty()) return fail(ENOENT, "$HOME");
  if (!MakeFolders(folder)) return fail(errno, folder);
  if (std::string refused = OpenStateFolder(folder, dir_); !refused.empty()) {
    error = refused + " (" + folder + ")";
    return false;
  }
  // A name that another process's recovery removed between its making and
  // its locking is made again.
  const std::size_t nameMax = LongestName(folder);
  for (int tries = 0;; ++tries) {
    stem_ = NewJournalStem(base, nameMax);
    copyFd_.Reset(::openat(dir_.get(), EntryName(stem_, kCopyEnd).c_str(),
                           O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!copyFd_ && errno == EEXIST && tries < 100) continue;
    if (!copyFd_) {
      const int err = errno;
      stem_.clear();
      return fail(err, folder);
    }
    (void)::flock(copyFd_.get(), LOCK_EX);
    struct stat st;
    if (::fstat(copyFd_.get(), &st) == 0 && st.st_nlink > 0) break;
    if (tries >= 3) return fail(EAGAIN, EntryPath(folder, stem_, kCopyEnd));
  }

  StreamHash old;
  int err = 0;
  bool readOk = true;
  if (!ReadThrough(fd, [&](std::string_view part, off_t) {
        old.Add(part);
        readOk = WriteAll(copyFd_.get(), part.data(), part.size(), err);
        return readOk;
      }))
    return readOk ? fail(errno, record.target) : fail(err, EntryPath(folder, stem_, kCopyEnd));
  if (::fsync(copyFd_.get()) != 0) return fail(errno, EntryPath(folder, stem_, kCopyEnd));
  size_ = old.size();
  record.oldSize = old.size();
  record.oldHash = old.Value();

  // The record is written whole under another name and then renamed, so
  // that a record that stands is one this program finished.
  recordMade_ = true;
  const std::string part = EntryName(stem_, kPartEnd);
  Fd r(::openat(dir_.get(), part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!r) return fail(errno, folder);
  const std::string text = RecordText(record);
  if (!WriteAll(r.get(), text.data(), text.size(), err)) return fail(err, EntryPath(folder, stem_, kPartEnd));
  if (::fsync(r.get()) != 0) return fail(errno, EntryPath(folder, stem_, kPartEnd));
  if (::renameat(dir_.get(), part.c_str(), dir_.get(), EntryName(stem_, kRecordEnd).c_str()) != 0)
    return fail(errno, EntryPath(folder, stem_, kPartEnd));
  (void)::fsync(dir_.get());
  return true;
}

bool Journal::Restore(int fd) const { return WriteBack(copyFd_.get(), fd, size_); }

void Journal::Remove() {
  if (recordMade_) {
    ::unlinkat(dir_.get(), EntryName(stem_, kRecordEnd).c_str(), 0);
    ::unlinkat(dir_.get(), EntryName(stem_, kPartEnd).c_str(), 0);
  }
  if (!stem_.empty()) ::unlinkat(dir_.get(), EntryName(stem_, kCopyEnd).c_str(), 0);
  recordMade_ = false;
  stem_.clear();
}

std::string Journal::Keep() { return KeepCopy(dir_.get(), folder_, stem_); }

// ---- recovery at start ---------------------------------------------------------------------

namespace {

// The recovery of one state folder, open as `dir`, the user's own.
class Recovery {
 public:
  Recovery(int dir, const std::string& folder, std::vector<RecoveredSave>& notes)
      : dir_(dir), folder_(folder), notes_(notes) {}

  // The save whose record is "<stem>.save".
  void Record(const std::string& stem) {
    Fd copy, record;
    std::string why;
    if (!OpenEntry(dir_, EntryName(stem, kCopyEnd), copy, why) && !why.empty()) return Left(stem, kCopyEnd, why);
    // A save under way in another process holds its copy.
    if (copy && !Unheld(copy.get())) return;
    if (!OpenEntry(dir_, EntryName(stem, kRecordEnd), record, why)) {
      if (!why.empty()) Left(stem, kRecordEnd, why);
      return;  // else finished meanwhile
    }
    std::string text;
    SaveRecord r;
    if (!ReadSmallFile(record.get(), text, kMostRecordBytes) || !ParseRecord(text, r))
      return Keep(stem, EntryPath(folder_, stem, kRecordEnd), msg::kRecordUnreadable, copy);
    if (r.version != 2) return Keep(stem, r.target, msg::kOldRecord, copy);

    Fd t(::open(r.target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!t) return Keep(stem, r.target, Reason(errno), copy);
    struct stat st, cs{};
    if (::fstat(t.get(), &st) != 0 || (copy && ::fstat(copy.get(), &cs) != 0))
      return Keep(stem, r.target, Reason(errno), copy);
    if (!S_ISREG(st.st_mode) || st.st_dev != r.device || st.st_ino != r.inode)
      return Keep(stem, r.target, msg::kFileReplaced, copy);
    const FileReader targetBytes(t.get(), static_cast<std::uint64_t>(st.st_size));
    const FileReader copyBytes(copy.get(), static_cast<std::uint64_t>(cs.st_size));
    errno = EIO;
    switch (JudgeSave(r, targetBytes, copy ? &copyBytes : nullptr)) {
      case SaveState::Finished:
      case SaveState::Untouched: return Forget(stem, copy);
      case SaveState::Interrupted:
        if (!WriteBack(copy.get(), t.get(), r.oldSize)) return Keep(stem, r.target, Reason(errno), copy);
        Forget(stem, copy);
        notes_.push_back({RecoveredSave::Result::Restored, r.target, {}, {}});
        return;
      case SaveState::Changed: return Keep(stem, r.target, msg::kChangedAfterStop, copy);
      case SaveState::CopyDiffers: return Keep(stem, r.target, msg::kCopyDiffers, copy);
      case SaveState::CopyMissing: return Keep(stem, r.target, msg::kCopyMissing, copy);
      case SaveState::OldRecord: return Keep(stem, r.target, msg::kOldRecord, copy);
      case SaveState::ReadFailed: return Keep(stem, r.target, Reason(errno), copy);
    }
  }

  // A copy, or a record being written, without a record: a save killed
  // before it had changed anything.
  void Unstarted(const std::string& stem) {
    Fd copy, part;
    std::string why;
    if (!OpenEntry(dir_, EntryName(stem, kCopyEnd), copy, why) && !why.empty()) return Left(stem, kCopyEnd, why);
    if (copy && !Unheld(copy.get())) return;
    if (::faccessat(dir_, EntryName(stem, kRecordEnd).c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) return;
    if (OpenEntry(dir_, EntryName(stem, kPartEnd), part, why))
      ::unlinkat(dir_, EntryName(stem, kPartEnd).c_str(), 0);
    else if (!why.empty())
      return Left(stem, kPartEnd, why);
    if (copy) ::unlinkat(dir_, EntryName(stem, kCopyEnd).c_str(), 0);
  }

 private:
  // Whether no running save holds the copy (and it is still there).
  static bool Unheld(int copy) {
    struct stat st;
    return ::flock(copy, LOCK_EX | LOCK_NB) == 0 && ::fstat(copy, &st) == 0 && st.st_nlink > 0;
  }
  void Left(const std::string& stem, std::string_view end, std::string_view why) {
    notes_.push_back({RecoveredSave::Result::Left, EntryPath(folder_, stem, end), {}, std::string(why)});
  }
  void Forget(const std::string& stem, const Fd& copy) {
    ::unlinkat(dir_, EntryName(stem, kRecordEnd).c_str(), 0);
    if (copy) ::unlinkat(dir_, EntryName(stem, kCopyEnd).c_str(), 0);
  }
  // Nothing is written to the file: the copy stays for the user.
  void Keep(const std::string& stem, const std::string& target, std::string_view why, const Fd& copy) {
    std::string kept;
    if (copy)
      kept = KeepCopy(dir_, folder_, stem);
    else
      ::unlinkat(dir_, EntryName(stem, kRecordEnd).c_str(), 0);
    notes_.push_back({RecoveredSave::Result::Kept, target, kept, std::string(why)});
  }

  int dir_;
  const std::string& folder_;
  std::vector<RecoveredSave>& notes_;
};

}  // namespace

std::vector<RecoveredSave> RecoverInterruptedSaves(const std::string& stateFolder) {
  std::vector<RecoveredSave> notes;
  struct stat st;
  if (stateFolder.empty() || ::lstat(stateFolder.c_str(), &st) != 0) return notes;
  Fd dir;
  if (std::string refused = OpenStateFolder(stateFolder, dir); !refused.empty()) {
    notes.push_back({RecoveredSave::Result::Left, stateFolder, {}, refused});
    return notes;
  }
  std::vector<std::string> records, others;
  if (DIR* d = ::fdopendir(::dup(dir.get()))) {
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      for (std::string_view end : {kRecordEnd, kCopyEnd, kPartEnd})
        if (name.size() > end.size() && name.ends_with(end))
          (end == kRecordEnd ? records : others).emplace_back(name.substr(0, name.size() - end.size()));
    }
    ::closedir(d);
  }
  std::sort(records.begin(), records.end());
  std::sort(others.begin(), others.end());
  others.erase(std::unique(others.begin(), others.end()), others.end());
  Recovery recovery(dir.get(), stateFolder, notes);
  // The newest save first: of two killed saves of one file, the later one's
  // copy holds what the earlier one left, which that one can then judge.
  std::vector<std::pair<std::int64_t, std::string>> newestFirst;
  for (const std::string& stem : records) {
    struct stat rs {};
    (void)::fstatat(dir.get(), EntryName(stem, kRecordEnd).c_str(), &rs, AT_SYMLINK_NOFOLLOW);
    newestFirst.emplace_back(-(std::int64_t(rs.st_mtim.tv_sec) * 1000000000 + rs.st_mtim.tv_nsec), stem);
  }
  std::sort(newestFirst.begin(), newestFirst.end());
  for (const auto& [time, stem] : newestFirst) recovery.Record(stem);
  for (const std::string& stem : others)
    if (!std::binary_search(records.begin(), records.end(), stem)) recovery.Unstarted(stem);
  return notes;
}

}  // namespace cavel
