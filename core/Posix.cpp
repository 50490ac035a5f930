#include "core/Posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cavel {

void Fd::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

ssize_t ReadSome(int fd, char* buffer, std::size_t size) {
  for (;;) {
    ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

ssize_t PreadSome(int fd, char* buffer, std::size_t size, off_t at) {
  for (;;) {
    ssize_t n = ::pread(fd, buffer, size, at);
    if (n >= 0 || errno != EINTR) return n;
  }
}

bool WriteAll(int fd, const char* data, std::size_t size, int& err, off_t at) {
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

std::string Reason(int err) { return std::strerror(err); }

std::size_t LongestName(const std::string& dir) {
  const long limit = ::pathconf(dir.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : 255;
}

void SyncFolder(const std::string& dir) {
  Fd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) (void)::fsync(fd.get());
}

}  // namespace cavel
