#include "core/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/Messages.h"
#include "core/SavePath.h"
#include "core/SaveRecord.h"
#include "core/System.h"
#include "core/Text.h"

namespace cavel {

namespace {

// Bytes handed to one write(2): few calls for a large file, little memory.
// A multiple of kSavePage, so that every write of the in-place path starts
// on a page boundary.
constexpr std::size_t kBlock = 1 << 20;
static_assert(kBlock % kSavePage == 0);
// ".<name>.cavel-save-XXXXXX": the rename path's temporary file.
constexpr std::string_view kTempMark = ".cavel-save-";
constexpr std::size_t kRandomChars = 6;
// In the state folder, "<name>.XXXXXX" and an end: ".old" holds the old
// bytes while ".save" records the save (written as ".part", renamed when
// whole); ".kept" is a copy the program did not write back and leaves to
// the user.
constexpr std::string_view kCopyEnd = ".old";
constexpr std::string_view kRecordEnd = ".save";
constexpr std::string_view kPartEnd = ".part";
constexpr std::string_view kKeptEnd = ".kept";
constexpr std::size_t kLongestEnd = 5;
// A record is read whole; one of a file of several gigabytes stays below.
constexpr std::size_t kMostRecordBytes = 64 << 20;

std::string Reason(int err) { return std::strerror(err); }
WriteOutcome Failed(int err) { return {false, Reason(err), {}}; }

// A descriptor, closed at the end of its scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void Reset(int fd) {
    Close();
    fd_ = fd;
  }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// ---- reading and writing whole blocks ----------------------------------------------------

// Writes all `size` bytes, at offset `at` or, with kAtPosition, at the
// file's position; false with the reason in `err`.
constexpr off_t kAtPosition = -1;
bool WriteAll(int fd, const char* data, std::size_t size, int& err, off_t at = kAtPosition) {
  while (size > 0) {
    ssize_t n = at == kAtPosition ? ::write(fd, data, size) : ::pwrite(fd, data, size, at);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    if (at != kAtPosition) at += n;
  }
  return true;
}

// Up to `size` bytes from `at`: the count, 0 at the end, -1 with errno set.
ssize_t PreadSome(int fd, char* buffer, std::size_t size, off_t at) {
  for (;;) {
    ssize_t n = ::pread(fd, buffer, size, at);
    if (n >= 0 || errno != EINTR) return n;
  }
}

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

// Feeds the content to `sink` in blocks that each start at a multiple of
// kBlock: small pieces are gathered into one block, and a large piece met
// on a boundary goes on as it is, up to its last whole block.
bool InBlocks(const FileContent& content, const std::function<bool(std::string_view)>& sink) {
  std::string block;
  bool ok = content.Pieces([&](std::string_view piece) {
    while (!piece.empty()) {
      if (block.empty() && piece.size() >= kBlock) {
        const std::size_t whole = piece.size() / kBlock * kBlock;
        if (!sink(piece.substr(0, whole))) return false;
        piece.remove_prefix(whole);
        continue;
      }
      if (block.capacity() == 0)
        block.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(content.Size(), kBlock)));
      const std::size_t take = std::min(kBlock - block.size(), piece.size());
      block.append(piece.data(), take);
      piece.remove_prefix(take);
      if (block.size() == kBlock) {
        if (!sink(block)) return false;
        block.clear();
      }
    }
    return true;
  });
  return ok && (block.empty() || sink(block));
}

std::vector<std::uint64_t> PagesOf(const FileContent& content) {
  PageHashes pages(kSavePage);
  content.Pieces([&](std::string_view piece) {
    pages.Add(piece);
    return true;
  });
  return pages.Take();
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

void SyncFolder(const std::string& dir) {
  Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) (void)::fsync(fd.get());
}

// ---- the target ------------------------------------------------------------------------------

// The file a path finally names: a symbolic link is followed so that the
// link stays and the file behind it gets the content. A relative link is
// read against the link's own folder, as the system reads it.
std::string ResolveTarget(const std::string& path) {
  std::string target = path;
  for (int hops = 0; hops < 16; ++hops) {
    struct stat st;
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    char buf[PATH_MAX];
    ssize_t n = ::readlink(target.c_str(), buf, sizeof buf - 1);
    if (n <= 0) break;
    std::string link(buf, static_cast<std::size_t>(n));
    if (link[0] == '/') {
      target = link;
    } else {
      auto slash = target.rfind('/');
      target = (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + link;
    }
  }
  return target;
}

struct PathParts {
  std::string dir, base;
};

PathParts Split(const std::string& target) {
  auto slash = target.rfind('/');
  if (slash == std::string::npos) return {".", target};
  return {target.substr(0, slash == 0 ? 1 : slash), target.substr(slash + 1)};
}

// ---- extended attributes ---------------------------------------------------------------------

// The names `list` (listxattr or flistxattr) gives; a file system without
// extended attributes has none. False when they cannot be read.
template <typename List>
bool AttributeNames(List&& list, std::vector<std::string>& names) {
  names.clear();
  for (int tries = 0; tries < 8; ++tries) {
    ssize_t size = list(nullptr, 0);
    if (size < 0) return errno == ENOTSUP || errno == ENOSYS;
    if (size == 0) return true;
    std::string buf(static_cast<std::size_t>(size), '\0');
    ssize_t got = list(buf.data(), buf.size());
    if (got < 0) {
      if (errno == ERANGE) continue;  // grown meanwhile
      return false;
    }
    buf.resize(static_cast<std::size_t>(got));
    for (std::size_t at = 0; at < buf.size();) {
      std::size_t end = std::min(buf.find('\0', at), buf.size());
      if (end > at) names.emplace_back(buf, at, end - at);
      at = end + 1;
    }
    return true;
  }
  return false;
}

bool AttributeValue(const std::string& file, const std::string& name, std::string& value) {
  for (int tries = 0; tries < 8; ++tries) {
    ssize_t size = ::getxattr(file.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<std::size_t>(size));
    ssize_t got = ::getxattr(file.c_str(), name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

// Gives `to` exactly the extended attributes of the file `from`: those it
// has (the ACL among them), and none that it lacks (a folder's default ACL
// that the new file took over).
bool CopyAttributes(const std::string& from, int to) {
  std::vector<std::string> names, present;
  if (!AttributeNames([&](char* b, std::size_t n) { return ::listxattr(from.c_str(), b, n); }, names)) return false;
  std::string value;
  for (const std::string& name : names)
    if (!AttributeValue(from, name, value) || ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0)
      return false;
  if (!AttributeNames([&](char* b, std::size_t n) { return ::flistxattr(to, b, n); }, present)) return false;
  for (const std::string& name : present)
    if (std::find(names.begin(), names.end(), name) == names.end() && ::fremovexattr(to, name.c_str()) != 0)
      return false;
  return true;
}

// Gives the new file `fd` the owner, group, extended attributes and mode of
// the old one; false when any of them cannot be kept.
bool KeepMetadata(int fd, const std::string& target, const struct stat& old) {
  struct stat now;
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) return false;
  // The mode last: it sets the ACL's mask as the old file's mode has it, and
  // brings back set-id bits that a change of owner clears.
  if (!CopyAttributes(target, fd) || ::fchmod(fd, old.st_mode & 07777) != 0 || ::fstat(fd, &now) != 0) return false;
  return now.st_uid == old.st_uid && now.st_gid == old.st_gid && (now.st_mode & 07777) == (old.st_mode & 07777);
}

// ---- names ---------------------------------------------------------------------------------

// The longest name a folder takes, as pathconf gives it (-1: unknown).
std::size_t NameMax(long limit) { return limit > 0 ? static_cast<std::size_t>(limit) : 255; }

// `name` cut to at most `room` bytes, between characters.
std::string CutName(std::string_view name, std::size_t room) {
  std::size_t end = 0;
  while (end < name.size()) {
    const std::size_t next = end + Utf8CharLength(name, end);
    if (next > room) break;
    end = next;
  }
  return std::string(name.substr(0, end));
}

// What the rename path's temporary files for `base` are called, but for
// their random end: ".<base>.cavel-save-", the name cut so that the whole
// fits a folder whose names may be `nameMax` bytes long.
std::string TempStem(std::string_view base, std::size_t nameMax) {
  const std::size_t around = 1 + kTempMark.size() + kRandomChars;
  return "." + CutName(base, nameMax > around ? nameMax - around : 0) + std::string(kTempMark);
}

bool IsTempOf(std::string_view name, std::string_view stem) {
  return name.size() == stem.size() + kRandomChars && name.starts_with(stem);
}

// Six letters and digits, different each time.
std::string RandomChars() {
  static constexpr std::string_view kChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned counter = 0;
  unsigned char bytes[kRandomChars];
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes))
    for (std::size_t i = 0; i < kRandomChars; ++i)
      bytes[i] = static_cast<unsigned char>((::getpid() >> (4 * i)) + ++counter * 37);
  std::string out;
  for (unsigned char b : bytes) out += kChars[b % kChars.size()];
  return out;
}

// A save's entries in the state folder are "<stem><end>", the stem being
// the file's name, cut to leave room, a dot and RandomChars().
std::string NewJournalStem(std::string_view base, std::size_t nameMax) {
  const std::size_t around = 1 + kRandomChars + kLongestEnd;
  return CutName(base, nameMax > around ? nameMax - around : 0) + "." + RandomChars();
}
std::string EntryName(std::string_view stem, std::string_view end) { return std::string(stem) + std::string(end); }
std::string EntryPath(const std::string& folder, std::string_view stem, std::string_view end) {
  return folder + "/" + EntryName(stem, end);
}

// ---- the rename path -----------------------------------------------------------------------

// Removes what killed saves of `base` left in `dir`: temporary files that
// no running save holds.
void RemoveLeftovers(const std::string& dir, const std::string& base) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const int dfd = ::dirfd(d);
  const std::string stem = TempStem(base, NameMax(::fpathconf(dfd, _PC_NAME_MAX)));
  while (const dirent* e = ::readdir(d)) {
    if (!IsTempOf(e->d_name, stem)) continue;
    Fd fd(::openat(dfd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st;
    if (!fd || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    (void)::unlinkat(dfd, e->d_name, 0);
  }
  ::closedir(d);
}

enum class Route { Done, InPlace };
struct Attempt {
  Route route = Route::Done;
  WriteOutcome outcome;
};

// The rename path; `old` describes the file replaced, or is null for a new
// file. Route::InPlace when the file cannot be kept whole this way.
Attempt ByRename(const std::string& target, const PathParts& parts, const struct stat* old,
                 const FileContent& content) {
  std::string tmp = parts.dir + "/" + TempStem(parts.base, NameMax(::pathconf(parts.dir.c_str(), _PC_NAME_MAX))) +
                    std::string(kRandomChars, 'X');
  Fd fd(::mkostemp(tmp.data(), O_CLOEXEC));
  if (!fd) {
    const int err = errno;
    // The folder takes no new file, or no name that long.
    if (old && (err == EACCES || err == EPERM || err == ENAMETOOLONG)) return {Route::InPlace, {}};
    return {Route::Done, Failed(err)};
  }
  // Held until the rename, so that another save's clean-up leaves it alone.
  (void)::flock(fd.get(), LOCK_EX);
  auto drop = [&](Route route, int err) {
    ::unlink(tmp.c_str());
    return Attempt{route, route == Route::Done ? Failed(err) : WriteOutcome{}};
  };

  if (old) {
    if (!KeepMetadata(fd.get(), target, *old)) return drop(Route::InPlace, 0);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd.get(), 0666 & ~mask) != 0) return drop(Route::Done, errno);
  }
  int err = 0;
  if (!InBlocks(content, [&](std::string_view block) { return WriteAll(fd.get(), block.data(), block.size(), err); }))
    return drop(Route::Done, err);
  if (::fsync(fd.get()) != 0) return drop(Route::Done, errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    err = errno;
    // A sticky folder refuses to let anyone but the owner replace a file.
    return drop(old && (err == EPERM || err == EACCES) ? Route::InPlace : Route::Done, err);
  }
  fd.Close();
  SyncFolder(parts.dir);
  return {};
}

// ---- the state folder ----------------------------------------------------------------------

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
    return folder + "/" + copy;
  ::unlinkat(dir, EntryName(stem, kRecordEnd).c_str(), 0);
  return folder + "/" + kept;
}

// ---- the in-place path ---------------------------------------------------------------------

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

// The copy of a file's old bytes and the record of the save under way, in
// the state folder. The copy stays locked while the save runs, so that the
// recovery of another process of the program leaves it alone.
class Journal {
 public:
  // Copies the old bytes of `fd` and writes the record, both flushed to
  // disk; false with `error` set when either cannot be made.
  bool Begin(const std::string& folder, const std::string& base, SaveRecord record, int fd, std::string& error) {
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
    const std::size_t nameMax = NameMax(::fpathconf(dir_.get(), _PC_NAME_MAX));
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
    if (!WriteAll(r.get(), text.data(), text.size(), err)) return fail(err, folder + "/" + part);
    if (::fsync(r.get()) != 0) return fail(errno, folder + "/" + part);
    if (::renameat(dir_.get(), part.c_str(), dir_.get(), EntryName(stem_, kRecordEnd).c_str()) != 0)
      return fail(errno, folder + "/" + part);
    (void)::fsync(dir_.get());
    return true;
  }

  // Writes the old bytes back into `fd`.
  bool Restore(int fd) const { return WriteBack(copyFd_.get(), fd, size_); }

  // The save is over: the record goes first, so that a record never stands
  // without its copy.
  void Remove() {
    if (recordMade_) {
      ::unlinkat(dir_.get(), EntryName(stem_, kRecordEnd).c_str(), 0);
      ::unlinkat(dir_.get(), EntryName(stem_, kPartEnd).c_str(), 0);
    }
    if (!stem_.empty()) ::unlinkat(dir_.get(), EntryName(stem_, kCopyEnd).c_str(), 0);
    recordMade_ = false;
    stem_.clear();
  }

  // The old bytes could not be written back: the copy stays for the user.
  // Its path.
  std::string Keep() { return KeepCopy(dir_.get(), folder_, stem_); }

 private:
  std::string folder_, stem_;
  Fd dir_, copyFd_;
  bool recordMade_ = false;
  std::uint64_t size_ = 0;
};

WriteOutcome InPlace(const std::string& target, const std::string& base, const FileContent& content) {
  Fd fd(::open(target.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!fd) return Failed(errno);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return Failed(errno);
  if (!S_ISREG(st.st_mode)) return Failed(EINVAL);

  SaveRecord record;
  record.device = st.st_dev;
  record.inode = st.st_ino;
  record.newSize = content.Size();
  record.pages = PagesOf(content);
  // Read again by a later start, from whatever folder it runs in.
  record.target = AbsolutePath(target);
  Journal journal;
  std::string error;
  if (!journal.Begin(StateFolder(), base, std::move(record), fd.get(), error)) return {false, error, {}};

  // A full disk says so here, before any byte of the file has changed.
  const off_t size = static_cast<off_t>(content.Size());
  if (size > 0 && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
    const int err = errno;
    journal.Remove();
    return Failed(err);
  }

  int err = 0;
  bool touched = false;
  off_t at = 0;
  bool ok = InBlocks(content, [&](std::string_view block) {
    touched = true;
    if (!WriteAll(fd.get(), block.data(), block.size(), err, at)) return false;
    at += static_cast<off_t>(block.size());
    return true;
  });
  if (ok) {
    touched = true;
    if (::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0) ok = false, err = errno;
  }
  if (!ok) {
    if (!touched || journal.Restore(fd.get())) {
      journal.Remove();
      return Failed(err);
    }
    return {false, Reason(err), journal.Keep()};
  }
  fd.Close();
  journal.Remove();
  return {};
}

// ---- the content of a string ---------------------------------------------------------

class BytesContent : public FileContent {
 public:
  explicit BytesContent(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Pieces(const std::function<bool(std::string_view)>& take) const override {
    return bytes_.empty() || take(bytes_);
  }

 private:
  std::string_view bytes_;
};

// ---- recovery -------------------------------------------------------------------------------

// The recovery of one state folder, open as `dir`, the user's own.
class Recovery {
 public:
  Recovery(int dir, const std::string& folder, std::vector<RecoveredSave>& notes)
      : dir_(dir), folder_(folder), notes_(notes) {}

  // The save whose record is "<stem>.save".
  void Record(const std::string& stem) {
    Fd copy, record;
    std::string why;
    if (!OpenEntry(dir_, EntryName(stem, kCopyEnd), copy, why) && !why.empty())
      return Left(EntryName(stem, kCopyEnd), why);
    // A save under way in another process holds its copy.
    if (copy && !Unheld(copy.get())) return;
    if (!OpenEntry(dir_, EntryName(stem, kRecordEnd), record, why)) {
      if (!why.empty()) Left(EntryName(stem, kRecordEnd), why);
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
    if (!OpenEntry(dir_, EntryName(stem, kCopyEnd), copy, why) && !why.empty())
      return Left(EntryName(stem, kCopyEnd), why);
    if (copy && !Unheld(copy.get())) return;
    if (::faccessat(dir_, EntryName(stem, kRecordEnd).c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0) return;
    if (OpenEntry(dir_, EntryName(stem, kPartEnd), part, why))
      ::unlinkat(dir_, EntryName(stem, kPartEnd).c_str(), 0);
    else if (!why.empty())
      return Left(EntryName(stem, kPartEnd), why);
    if (copy) ::unlinkat(dir_, EntryName(stem, kCopyEnd).c_str(), 0);
  }

 private:
  // Whether no running save holds the copy (and it is still there).
  static bool Unheld(int copy) {
    struct stat st;
    return ::flock(copy, LOCK_EX | LOCK_NB) == 0 && ::fstat(copy, &st) == 0 && st.st_nlink > 0;
  }
  void Left(const std::string& name, std::string_view why) {
    notes_.push_back({RecoveredSave::Result::Left, folder_ + "/" + name, {}, std::string(why)});
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

WriteOutcome ReplaceFile(const std::string& path, const FileContent& content) {
  if (path.empty()) return Failed(ENOENT);
  const std::string target = ResolveTarget(path);
  const PathParts parts = Split(target);
  if (parts.base.empty()) return Failed(EISDIR);

  struct stat st;
  if (::stat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return Failed(errno);
    WriteOutcome made = ByRename(target, parts, nullptr, content).outcome;
    if (made.ok) RemoveLeftovers(parts.dir, parts.base);
    return made;
  }
  if (S_ISDIR(st.st_mode)) return Failed(EISDIR);
  // A device or a pipe is no file to replace.
  if (!S_ISREG(st.st_mode)) return Failed(EINVAL);
  // A file the user may not write is refused, as a plain overwrite would be.
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return Failed(errno);

  WriteOutcome outcome;
  bool inPlace = st.st_nlink != 1;  // a rename would part the file from its other names
  if (!inPlace) {
    Attempt attempt = ByRename(target, parts, &st, content);
    inPlace = attempt.route == Route::InPlace;
    outcome = std::move(attempt.outcome);
  }
  if (inPlace) outcome = InPlace(target, parts.base, content);
  if (outcome.ok) RemoveLeftovers(parts.dir, parts.base);
  return outcome;
}

WriteOutcome ReplaceFile(const std::string& path, std::string_view content) {
  return ReplaceFile(path, BytesContent(content));
}

std::string StateFolder() { return XdgFolder("XDG_STATE_HOME", ".local/state"); }

bool MakeFolders(const std::string& dir) {
  for (std::size_t at = dir.find('/', 1); at != std::string::npos; at = dir.find('/', at + 1))
    ::mkdir(dir.substr(0, at).c_str(), 0700);
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

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
