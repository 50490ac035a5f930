#include "core/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

#include "core/FileMetadata.h"
#include "core/Posix.h"
#include "core/SaveJournal.h"
#include "core/SavePath.h"
#include "core/SaveRecord.h"
#include "core/Text.h"

namespace cavel {

namespace {

// ".<name>.cavel-save-XXXXXX": the rename path's temporary file.
constexpr std::string_view kTempMark = ".cavel-save-";
constexpr std::size_t kTempRandom = 6;
// Every write of the in-place path starts on a page boundary.
static_assert(kBlock % kSavePage == 0);

WriteOutcome Failed(int err) { return {false, Reason(err), {}}; }

struct PathParts {
  std::string dir, base;
};
enum class Route { Done, InPlace };
struct Attempt {
  Route route = Route::Done;
  WriteOutcome outcome;
};

// The steps of ReplaceFile, below it.
std::string ResolveTarget(const std::string& path);
PathParts Split(const std::string& target);
Attempt ByRename(const std::string& target, const PathParts& parts, const struct stat* old, const FileContent& content);
WriteOutcome InPlace(const std::string& target, const std::string& base, const FileContent& content);
void RemoveLeftovers(const std::string& dir, const std::string& base);

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

}  // namespace

// ---- the route ------------------------------------------------------------------------------

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

namespace {

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

PathParts Split(const std::string& target) {
  auto slash = target.rfind('/');
  if (slash == std::string::npos) return {".", target};
  return {target.substr(0, slash == 0 ? 1 : slash), target.substr(slash + 1)};
}

// ---- the content, in blocks ------------------------------------------------------------------

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

// ---- the rename path -----------------------------------------------------------------------

// What the rename path's temporary files for `base` are called, but for
// their random end: ".<base>.cavel-save-", the name cut so that the whole
// fits a folder whose names may be `nameMax` bytes long.
std::string TempStem(std::string_view base, std::size_t nameMax) {
  const std::size_t around = 1 + kTempMark.size() + kTempRandom;
  return "." + std::string(Utf8Prefix(base, nameMax > around ? nameMax - around : 0)) + std::string(kTempMark);
}

bool IsTempOf(std::string_view name, std::string_view stem) {
  return name.size() == stem.size() + kTempRandom && name.starts_with(stem);
}

// Removes what killed saves of `base` left in `dir`: temporary files that
// no running save holds.
void RemoveLeftovers(const std::string& dir, const std::string& base) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  const int dfd = ::dirfd(d);
  const std::string stem = TempStem(base, LongestName(dir));
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

// The rename path; `old` describes the file replaced, or is null for a new
// file. Route::InPlace when the file cannot be kept whole this way.
Attempt ByRename(const std::string& target, const PathParts& parts, const struct stat* old,
                 const FileContent& content) {
  std::string tmp = parts.dir + "/" + TempStem(parts.base, LongestName(parts.dir)) + std::string(kTempRandom, 'X');
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

// ---- the in-place path ---------------------------------------------------------------------

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

}  // namespace

}  // namespace cavel
