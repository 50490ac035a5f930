// What an in-place save writes down before it changes a byte of the file,
// and what a later start may conclude from it. No system call here: the
// file-system work around it (which entries to trust, reading the files,
// writing the old bytes back) is in core/AtomicFile.
//
// An in-place save writes the new content over the file from its start,
// in calls that each begin on a page boundary, then cuts the file to the
// new length. A process killed on the way leaves the file as
//   new[0, k) + old[k, max(oldSize, k))
// where k is a multiple of the page size (the system stops a write between
// pages) or the new size; after the cut, the new content alone. The record
// keeps the old content's size and hash (the copy holds its bytes) and a
// hash of every page of the new content, so that such a file can be told
// from one that was changed in any other way afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cavel {

// The pages the record hashes the new content by: the smallest page a
// system stops a write at.
inline constexpr std::uint32_t kSavePage = 4096;

// A 64-bit hash of a stream of bytes, the same however the stream is cut
// into pieces. It tells contents apart that chance made different; it is no
// defence against a forger, which is why only records of the user's own are
// read at all.
class StreamHash {
 public:
  void Add(std::string_view s);
  std::uint64_t Value() const;
  std::uint64_t size() const { return size_; }

 private:
  void Word(const char* p);
  std::uint64_t h_ = 0x243F6A8885A308D3ULL;
  std::uint64_t size_ = 0;
  char buf_[8] = {};
  std::size_t fill_ = 0;
};

// The hashes of a stream's pages of `pageSize` bytes (the last one may be
// shorter), however the stream is cut into pieces.
class PageHashes {
 public:
  explicit PageHashes(std::uint32_t pageSize) : pageSize_(pageSize) {}
  void Add(std::string_view s);
  // The hashes, the last page's included.
  std::vector<std::uint64_t> Take();

 private:
  std::uint32_t pageSize_;
  StreamHash page_;
  std::vector<std::uint64_t> hashes_;
};

struct SaveRecord {
  // 2: written by this program. 1: an older record, which kept one hash of
  // the whole new content and proves nothing about a file cut off in the
  // middle; it is read for the name of its file only.
  int version = 2;
  std::uint64_t device = 0, inode = 0;  // the file being saved
  std::uint64_t oldSize = 0, oldHash = 0;
  std::uint64_t newSize = 0;
  std::uint32_t pageSize = kSavePage;
  std::vector<std::uint64_t> pages;  // the new content's page hashes
  std::string target;                // the file's absolute path
  bool operator==(const SaveRecord&) const = default;
};

std::string RecordText(const SaveRecord& record);
// A record written whole, of either version; false for anything else.
bool ParseRecord(std::string_view text, SaveRecord& record);

// Bytes that can be read from any offset: a file, or bytes in memory.
class ByteReader {
 public:
  virtual ~ByteReader() = default;
  virtual std::uint64_t Size() const = 0;
  // Up to `size` bytes from `at`: the count, 0 at the end, -1 on failure.
  virtual long long ReadAt(std::uint64_t at, char* buffer, std::size_t size) const = 0;
};

class MemoryReader : public ByteReader {
 public:
  explicit MemoryReader(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  long long ReadAt(std::uint64_t at, char* buffer, std::size_t size) const override;

 private:
  std::string_view bytes_;
};

// What a record's file holds at the next start.
enum class SaveState {
  Finished,     // the new content, whole
  Untouched,    // the old content, as the copy holds it
  Interrupted,  // what a killed save leaves: the old bytes may go back
  Changed,      // anything else: changed after the save stopped
  CopyDiffers,  // the copy is not the old content the record describes
  CopyMissing,  // no copy, and the file is not the new content
  OldRecord,    // a record of version 1
  ReadFailed,   // the file or the copy could not be read
};

// Judges `target` against the record and the copy of the old bytes (null
// when there is none).
SaveState JudgeSave(const SaveRecord& record, const ByteReader& target, const ByteReader* copy);

// What the system says of an entry of the state folder (or of the folder).
struct EntryFacts {
  bool folder = false;
  bool regular = false;
  std::uint32_t owner = 0;
  std::uint32_t mode = 0;  // the permission bits
  std::uint64_t links = 1;
};
// Why the user `user` may not trust the state folder (`wantFolder`) or an
// entry in it: a message reason, or empty when it may be trusted. It must be
// the user's own, writable by nobody else, and a plain file with one name or
// a folder.
std::string_view Distrust(const EntryFacts& facts, std::uint32_t user, bool wantFolder);

}  // namespace cavel
