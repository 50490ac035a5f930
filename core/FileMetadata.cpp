#include "core/FileMetadata.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace cavel {

namespace {

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

}  // namespace

bool KeepMetadata(int fd, const std::string& target, const struct stat& old) {
  struct stat now;
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) return false;
  // The mode last: it sets the ACL's mask as the old file's mode has it, and
  // brings back set-id bits that a change of owner clears.
  if (!CopyAttributes(target, fd) || ::fchmod(fd, old.st_mode & 07777) != 0 || ::fstat(fd, &now) != 0) return false;
  return now.st_uid == old.st_uid && now.st_gid == old.st_gid && (now.st_mode & 07777) == (old.st_mode & 07777);
}

}  // namespace cavel
