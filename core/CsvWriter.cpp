#include "core/CsvWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace cavel {

namespace {

std::string Reason(int err) { return std::strerror(err); }

// The file a path finally names: a symbolic link is followed so that the
// link stays and the file behind it is replaced.
std::string ResolveTarget(const std::string& path) {
  std::string target = path;
  for (int hops = 0; hops < 16; ++hops) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    char buf[PATH_MAX];
    ssize_t n = readlink(target.c_str(), buf, sizeof buf - 1);
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

bool WriteAll(int fd, const char* data, std::size_t size, int& err) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Writes through a temporary file beside the target and renames it over the
// target. `fill` writes the content and returns false with errno-style
// `err` on failure.
template <typename Fill>
WriteOutcome Replace(const std::string& path, Fill&& fill) {
  if (path.empty()) return {false, Reason(ENOENT)};
  const std::string target = ResolveTarget(path);
  auto slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  if (base.empty()) return {false, Reason(EISDIR)};

  struct stat st;
  bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return {false, Reason(EISDIR)};
  // Refuse a target the user may not write, as a plain overwrite would.
  if (exists && ::access(target.c_str(), W_OK) != 0) return {false, Reason(errno)};

  std::string tmpl = dir + "/." + base + ".cavel-XXXXXX";
  std::string tmp = tmpl;
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return {false, Reason(errno)};

  int err = 0;
  bool ok = fill(fd, err);
  mode_t mode;
  if (exists) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (ok && ::fchmod(fd, mode) != 0) ok = false, err = errno;
  if (ok && exists && ::geteuid() == 0) (void)::fchown(fd, st.st_uid, st.st_gid);
  if (ok && ::fsync(fd) != 0) ok = false, err = errno;
  if (::close(fd) != 0 && ok) ok = false, err = errno;
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false, err = errno;
  if (!ok) {
    ::unlink(tmp.c_str());
    return {false, Reason(err)};
  }
  // Make the rename itself durable.
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    (void)::fsync(dfd);
    ::close(dfd);
  }
  return {};
}

}  // namespace

WriteOutcome WriteLines(const std::string& path, const Lines& lines) {
  return Replace(path, [&](int fd, int& err) {
    // Lines are gathered into large blocks so that a big Document needs few
    // system calls and no second copy of itself.
    constexpr std::size_t kBlock = 1 << 20;
    std::string block;
    block.reserve(kBlock + 8192 + 2);
    for (const std::string& line : lines) {
      block += line;
      block += "\r\n";
      if (block.size() >= kBlock) {
        if (!WriteAll(fd, block.data(), block.size(), err)) return false;
        block.clear();
      }
    }
    return WriteAll(fd, block.data(), block.size(), err);
  });
}

WriteOutcome ReplaceFile(const std::string& path, std::string_view contents) {
  return Replace(path, [&](int fd, int& err) { return WriteAll(fd, contents.data(), contents.size(), err); });
}

}  // namespace cavel
