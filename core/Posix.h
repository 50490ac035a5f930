// The few POSIX helpers that the files which read and write share: a
// descriptor closed with its scope, and reads and writes that go on after an
// interruption or a short count.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace cavel {

// Bytes handed to one read or write of a file's content: few calls for a
// large file, little memory.
inline constexpr std::size_t kBlock = 1 << 20;

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
  void Close();

 private:
  int fd_;
};

// Up to `size` bytes from the file's position (ReadSome) or from `at`
// (PreadSome): the count, 0 at the end, -1 with errno set.
ssize_t ReadSome(int fd, char* buffer, std::size_t size);
ssize_t PreadSome(int fd, char* buffer, std::size_t size, off_t at);

// Writes all `size` bytes, at offset `at` or, with kAtPosition, at the
// file's position; false with the reason in `err`.
inline constexpr off_t kAtPosition = -1;
bool WriteAll(int fd, const char* data, std::size_t size, int& err, off_t at = kAtPosition);

// The system's text for an error number.
std::string Reason(int err);

// The longest name the folder `dir` takes.
std::size_t LongestName(const std::string& dir);

// Flushes the folder `dir`'s entries to disk, as far as it can.
void SyncFolder(const std::string& dir);

}  // namespace cavel
