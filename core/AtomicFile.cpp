#include "core/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/Messages.h"
#include "core/SavePath.h"
#include "core/System.h"

namespace cavel {

namespace {

// Bytes handed to one write(2): few calls for a large file, little memory.
constexpr std::size_t kBlock = 1 << 20;
// ".<name>.cavel-save-XXXXXX": the rename path's temporary file.
constexpr std::string_view kTempMark = ".cavel-save-";
constexpr std::size_t kRandomChars = 6;
// In the state folder: "<name>.XXXXXX.old" holds the old bytes while
// "<name>.XXXXXX.save" records the save; ".kept" is a copy the program
// could not write back and leaves to the user.
constexpr std::string_view kCopyEnd = ".old";
constexpr std::string_view kRecordEnd = ".save";
constexpr std::string_view kKeptEnd = ".kept";
constexpr std::string_view kRecordHead = "cavel in-place save 1";
// Room left in a file name for what the state folder adds to it.
constexpr std::size_t kNameRoom = 200;

std::string Reason(int err) { return std::strerror(err); }
WriteOutcome Failed(int err) { return {false, Reason(err), {}}; }

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

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

// A 64-bit hash of a stream of bytes, the same however the stream is cut
// into pieces. It tells a file's complete new content from anything else a
// killed save can leave; it is no defence against a forger.
class StreamHash {
 public:
  void Add(std::string_view s) {
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
  std::uint64_t Value() const {
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
  std::uint64_t size() const { return size_; }

 private:
  void Word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    h_ ^= w * 0x9E3779B97F4A7C15ULL;
    h_ = (h_ << 31 | h_ >> 33) * 0xC2B2AE3D27D4EB4FULL;
  }
  std::uint64_t h_ = 0x243F6A8885A308D3ULL;
  std::uint64_t size_ = 0;
  char buf_[8] = {};
  std::size_t fill_ = 0;
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

// Feeds the content to `sink` in blocks of about kBlock bytes: small pieces
// are gathered, a large one goes on as it is.
bool InBlocks(const FileContent& content, const std::function<bool(std::string_view)>& sink) {
  std::string block;
  bool ok = content.Pieces([&](std::string_view piece) {
    if (block.empty() && piece.size() >= kBlock) return sink(piece);
    if (block.capacity() == 0)
      block.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(content.Size(), 2 * kBlock)));
    block += piece;
    if (block.size() < kBlock) return true;
    bool written = sink(block);
    block.clear();
    return written;
  });
  return ok && (block.empty() || sink(block));
}

std::uint64_t HashOf(const FileContent& content) {
  StreamHash hash;
  content.Pieces([&](std::string_view piece) {
    hash.Add(piece);
    return true;
  });
  return hash.Value();
}

// The size and hash of a file's bytes; false when reading failed.
bool HashFile(int fd, std::uint64_t& size, std::uint64_t& value) {
  StreamHash hash;
  if (!ReadThrough(fd, [&](std::string_view part, off_t) {
        hash.Add(part);
        return true;
      }))
    return false;
  size = hash.size();
  value = hash.Value();
  return true;
}

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

// ---- the rename path -----------------------------------------------------------------------

bool IsTempOf(std::string_view name, std::string_view base) {
  return name.size() == 1 + base.size() + kTempMark.size() + kRandomChars && name[0] == '.' &&
         name.substr(1, base.size()) == base && name.substr(1 + base.size(), kTempMark.size()) == kTempMark;
}

// Removes what killed saves of `base` left in `dir`: temporary files that
// no running save holds.
void RemoveLeftovers(const std::string& dir, const std::string& base) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const int dfd = ::dirfd(d);
  while (const dirent* e = ::readdir(d)) {
    if (!IsTempOf(e->d_name, base)) continue;
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
  std::string tmp = parts.dir + "/." + parts.base + std::string(kTempMark) + std::string(kRandomChars, 'X');
  Fd fd(::mkostemp(tmp.data(), O_CLOEXEC));
  if (!fd) {
    const int err = errno;
    if (old && (err == EACCES || err == EPERM)) return {Route::InPlace, {}};  // the folder takes no new file
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

// ---- the in-place path ---------------------------------------------------------------------

struct Record {
  unsigned long long device = 0, inode = 0;
  std::uint64_t oldSize = 0, oldHash = 0, newSize = 0, newHash = 0;
  std::string target;
};

std::string RecordText(const Record& r) {
  auto n = [](unsigned long long v) { return std::to_string(v); };
  return std::string(kRecordHead) + "\nfile " + n(r.device) + " " + n(r.inode) + "\nold " + n(r.oldSize) + " " +
         n(r.oldHash) + "\nnew " + n(r.newSize) + " " + n(r.newHash) + "\npath " + n(r.target.size()) + "\n" +
         r.target + "\nend\n";
}

// Reads "<key> <number>[ <number>]\n" from the front of `text`.
bool Take(std::string_view& text, std::string_view key, unsigned long long* a, unsigned long long* b) {
  if (text.substr(0, key.size() + 1) != std::string(key) + " ") return false;
  text.remove_prefix(key.size() + 1);
  for (unsigned long long* v : {a, b}) {
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

// A record written whole; false for one a killed save left half-written.
bool ParseRecord(std::string_view text, Record& r) {
  if (text.substr(0, kRecordHead.size() + 1) != std::string(kRecordHead) + "\n") return false;
  text.remove_prefix(kRecordHead.size() + 1);
  unsigned long long oldSize, oldHash, newSize, newHash, length;
  if (!Take(text, "file", &r.device, &r.inode) || !Take(text, "old", &oldSize, &oldHash) ||
      !Take(text, "new", &newSize, &newHash) || !Take(text, "path", &length, nullptr))
    return false;
  if (text.size() != length + 5 || text.substr(length) != "\nend\n") return false;
  r.target = std::string(text.substr(0, length));
  r.oldSize = oldSize, r.oldHash = oldHash, r.newSize = newSize, r.newHash = newHash;
  return !r.target.empty();
}

// The whole of a small file; false when it cannot be read.
bool ReadSmallFile(const std::string& path, std::string& text) {
  Fd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return false;
  text.clear();
  char buf[4096];
  for (;;) {
    ssize_t n = ::read(fd.get(), buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    text.append(buf, static_cast<std::size_t>(n));
    if (text.size() > 65536) return false;
  }
}

// The copy of a file's old bytes and the record of the save under way, in
// the state folder. The copy stays locked while the save runs, so that the
// recovery of another process of the program leaves it alone.
class Journal {
 public:
  // Copies the old bytes of `fd` and writes the record, both flushed to
  // disk; false with `error` set when either cannot be made.
  bool Begin(const std::string& folder, const std::string& base, Record record, int fd, std::string& error) {
    auto fail = [&](int err, const std::string& about) {
      error = Reason(err) + " (" + about + ")";
      Remove();
      return false;
    };
    if (folder.empty()) return fail(ENOENT, "$HOME");
    if (!MakeFolders(folder)) return fail(errno, folder);
    // A name that another process's recovery removed between its making and
    // its locking is made again.
    for (int tries = 0;; ++tries) {
      copy_ = folder + "/" + base.substr(0, kNameRoom) + "." + std::string(kRandomChars, 'X') + std::string(kCopyEnd);
      copyFd_.Reset(::mkostemps(copy_.data(), static_cast<int>(kCopyEnd.size()), O_CLOEXEC));
      if (!copyFd_) {
        const int err = errno;
        copy_.clear();
        return fail(err, folder);
      }
      (void)::flock(copyFd_.get(), LOCK_EX);
      struct stat st;
      if (::fstat(copyFd_.get(), &st) == 0 && st.st_nlink > 0) break;
      if (tries == 3) return fail(EAGAIN, copy_);
    }
    record_ = copy_.substr(0, copy_.size() - kCopyEnd.size()) + std::string(kRecordEnd);

    StreamHash old;
    int err = 0;
    bool readOk = true;
    if (!ReadThrough(fd, [&](std::string_view part, off_t) {
          old.Add(part);
          readOk = WriteAll(copyFd_.get(), part.data(), part.size(), err);
          return readOk;
        }))
      return readOk ? fail(errno, record.target) : fail(err, copy_);
    if (::fsync(copyFd_.get()) != 0) return fail(errno, copy_);
    size_ = old.size();
    record.oldSize = old.size();
    record.oldHash = old.Value();

    Fd r(::open(record_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!r) {
      const int e = errno;
      record_.clear();
      return fail(e, folder);
    }
    const std::string text = RecordText(record);
    if (!WriteAll(r.get(), text.data(), text.size(), err)) return fail(err, record_);
    if (::fsync(r.get()) != 0) return fail(errno, record_);
    SyncFolder(folder);
    return true;
  }

  // Writes the old bytes back into `fd`.
  bool Restore(int fd) const { return WriteBack(copyFd_.get(), fd, size_); }

  // The save is over: the record goes first, so that a record never stands
  // without its copy.
  void Remove() {
    if (!record_.empty()) ::unlink(record_.c_str());
    if (!copy_.empty()) ::unlink(copy_.c_str());
    record_.clear();
    copy_.clear();
  }

  // The old bytes could not be written back: the copy stays for the user
  // under a name no recovery takes up. Its path.
  std::string Keep() {
    std::string kept = copy_.substr(0, copy_.size() - kCopyEnd.size()) + std::string(kKeptEnd);
    if (::rename(copy_.c_str(), kept.c_str()) != 0) return copy_;  // the record stays: the next start tries again
    ::unlink(record_.c_str());
    record_.clear();
    copy_.clear();
    return kept;
  }

 private:
  std::string copy_, record_;
  Fd copyFd_;
  std::uint64_t size_ = 0;
};

WriteOutcome InPlace(const std::string& target, const std::string& base, const FileContent& content) {
  Fd fd(::open(target.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!fd) return Failed(errno);
  struct stat st;
  if (::fstat(fd.get(), &st) != 0) return Failed(errno);
  if (!S_ISREG(st.st_mode)) return Failed(EINVAL);

  Record record;
  record.device = st.st_dev;
  record.inode = st.st_ino;
  record.newSize = content.Size();
  record.newHash = HashOf(content);
  // Read again by a later start, from whatever folder it runs in.
  record.target = AbsolutePath(target);
  Journal journal;
  std::string error;
  if (!journal.Begin(StateFolder(), base, record, fd.get(), error)) return {false, error, {}};

  // A full disk says so here, before any byte of the file has changed.
  const off_t size = static_cast<off_t>(record.newSize);
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

// The copy is made unreachable for recovery and left to the user.
RecoveredSave KeepCopy(const std::string& record, const std::string& copy, const std::string& target,
                       const std::string& reason) {
  std::string kept = copy.substr(0, copy.size() - kCopyEnd.size()) + std::string(kKeptEnd);
  if (::rename(copy.c_str(), kept.c_str()) == 0)
    ::unlink(record.c_str());
  else
    kept = copy;
  return {RecoveredSave::Result::Kept, target, kept, reason};
}

void RecoverOne(const std::string& folder, const std::string& stem, std::vector<RecoveredSave>& notes) {
  const std::string record = folder + "/" + stem + std::string(kRecordEnd);
  const std::string copy = folder + "/" + stem + std::string(kCopyEnd);
  Fd c(::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (c) {
    // A save under way in another process holds its copy.
    if (::flock(c.get(), LOCK_EX | LOCK_NB) != 0) return;
    struct stat st;
    if (::fstat(c.get(), &st) != 0 || st.st_nlink == 0) return;
  }
  std::string text;
  if (!ReadSmallFile(record, text)) return;  // finished meanwhile, or not ours to read
  auto forget = [&] {
    ::unlink(record.c_str());
    if (c) ::unlink(copy.c_str());
  };
  Record r;
  // A record half written, or a copy that never became whole: the save
  // stopped before it changed anything.
  if (!ParseRecord(text, r)) return forget();
  std::uint64_t size = 0, hash = 0;
  if (c && (!HashFile(c.get(), size, hash) || size != r.oldSize || hash != r.oldHash)) return forget();

  Fd t(::open(r.target.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!t) {
    const int err = errno;
    if (c) notes.push_back(KeepCopy(record, copy, r.target, Reason(err)));
    return;
  }
  struct stat st;
  if (::fstat(t.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != r.device || st.st_ino != r.inode) {
    if (c) notes.push_back(KeepCopy(record, copy, r.target, std::string(msg::kFileReplaced)));
    return;
  }
  if (!HashFile(t.get(), size, hash)) {
    const int err = errno;
    if (c) notes.push_back(KeepCopy(record, copy, r.target, Reason(err)));
    return;
  }
  // Whole with the new content, or not yet touched: nothing to put right.
  if ((size == r.newSize && hash == r.newHash) || (size == r.oldSize && hash == r.oldHash)) return forget();
  if (!c) {
    ::unlink(record.c_str());
    notes.push_back({RecoveredSave::Result::Kept, r.target, copy, Reason(ENOENT)});
    return;
  }
  if (!WriteBack(c.get(), t.get(), r.oldSize)) {
    notes.push_back(KeepCopy(record, copy, r.target, Reason(errno)));
    return;
  }
  forget();
  notes.push_back({RecoveredSave::Result::Restored, r.target, {}, {}});
}

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
  if (stateFolder.empty()) return notes;
  std::vector<std::string> records, copies;
  if (DIR* d = ::opendir(stateFolder.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string_view name = e->d_name;
      if (EndsWith(name, kRecordEnd)) records.emplace_back(name.substr(0, name.size() - kRecordEnd.size()));
      if (EndsWith(name, kCopyEnd)) copies.emplace_back(name.substr(0, name.size() - kCopyEnd.size()));
    }
    ::closedir(d);
  }
  std::sort(records.begin(), records.end());
  for (const std::string& stem : records) RecoverOne(stateFolder, stem, notes);
  // A copy without a record: a save killed before it had written its
  // record, which had changed nothing yet.
  for (const std::string& stem : copies) {
    if (std::binary_search(records.begin(), records.end(), stem)) continue;
    const std::string copy = stateFolder + "/" + stem + std::string(kCopyEnd);
    Fd c(::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!c || ::flock(c.get(), LOCK_EX | LOCK_NB) != 0) continue;
    struct stat st;
    if (::access((stateFolder + "/" + stem + std::string(kRecordEnd)).c_str(), F_OK) == 0) continue;
    if (::fstat(c.get(), &st) == 0 && st.st_nlink > 0) ::unlink(copy.c_str());
  }
  return notes;
}

}  // namespace cavel
