// A line of text as an immutable handle on bytes held once.
//
// A Line is 16 bytes: the block its bytes lie in, their offset in it and
// their length. Copying a Line copies the handle and counts one more holder
// of the block; the bytes are never copied, and they never change. A block
// holds the bytes of a whole loaded file (LineStore), the lines one command
// built (LineBuilder), or a single line made from a string; it is freed
// when its last holder goes.
//
// The holder count is a plain integer: lines belong to the one thread that
// runs the program's core, and no other thread may hold or copy one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace cavel {

// Offsets and lengths are 32-bit; a block never holds more than this, and
// so neither does one load.
inline constexpr std::size_t kMostBlockBytes = std::size_t{1} << 31;

// The head of a block; the block's bytes follow it.
struct LineBlock {
  std::size_t holders = 0;
  // The length of the block's mapping (head included) when it was mapped,
  // 0 when it came from malloc.
  std::size_t mapped = 0;

  char* Bytes() noexcept { return reinterpret_cast<char*>(this + 1); }
};

class Line {
 public:
  Line() noexcept = default;
  // A line of storage of its own holding a copy of `bytes`: an allocation,
  // so never made on the way to a call that takes a Line.
  explicit Line(std::string_view bytes);

  Line(const Line& other) noexcept : block_(other.block_), offset_(other.offset_), size_(other.size_) {
    if (block_) ++block_->holders;
  }
  Line(Line&& other) noexcept : block_(other.block_), offset_(other.offset_), size_(other.size_) {
    other.block_ = nullptr;
    other.offset_ = other.size_ = 0;
  }
  Line& operator=(const Line& other) noexcept {
    Line(other).swap(*this);
    return *this;
  }
  Line& operator=(Line&& other) noexcept {
    Line(std::move(other)).swap(*this);
    return *this;
  }
  ~Line() {
    if (block_ && --block_->holders == 0) Free(block_);
  }

  const char* data() const noexcept { return block_ ? block_->Bytes() + offset_ : ""; }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  std::string_view view() const noexcept { return {data(), size_}; }

  void swap(Line& other) noexcept {
    std::swap(block_, other.block_);
    std::swap(offset_, other.offset_);
    std::swap(size_, other.size_);
  }

  // Two handles on the same bytes are equal without reading them.
  friend bool operator==(const Line& a, const Line& b) noexcept {
    const std::string_view x = a.view(), y = b.view();
    return x.size() == y.size() && (x.data() == y.data() || x == y);
  }
  friend bool operator==(const Line& a, std::string_view b) noexcept { return a.view() == b; }

 private:
  friend class LineStore;
  friend class LineRuns;
  friend struct LinesProbe;  // what tests look at: a block's holders
  // A line of `size` bytes at `offset` in `block`, counted as one more holder.
  Line(LineBlock* block, std::size_t offset, std::size_t size) noexcept;
  static void Free(LineBlock* block) noexcept;

  LineBlock* block_ = nullptr;
  std::uint32_t offset_ = 0;
  std::uint32_t size_ = 0;
};

static_assert(sizeof(Line) == 16);

// One block that many lines point into, written from the front: a loaded
// file's bytes as read, or the lines a command builds one after another.
// Room is reserved for `capacity` bytes, but only the pages written to
// become memory; Trim hands the rest back. The store holds the block while
// it lives, each Line taken from it for as long as that line lives.
class LineStore {
 public:
  explicit LineStore(std::size_t capacity);
  LineStore(LineStore&& other) noexcept;
  LineStore& operator=(LineStore&& other) noexcept;
  LineStore(const LineStore&) = delete;
  LineStore& operator=(const LineStore&) = delete;
  ~LineStore();

  char* data() noexcept { return block_->Bytes(); }
  const char* data() const noexcept { return block_->Bytes(); }
  std::size_t capacity() const noexcept { return capacity_; }
  // Makes the pages of the bytes from `from` on memory now, in one call,
  // where writing into them would stop at each (a mapped store only).
  void Prefault(std::size_t from, std::size_t bytes) noexcept;

  // The line of the `size` bytes at `offset` (written already).
  Line Slice(std::size_t offset, std::size_t size) const;
  // Hands back the whole pages after the first `used` bytes; the capacity
  // becomes `used`.
  void Trim(std::size_t used) noexcept;

 private:
  LineBlock* block_ = nullptr;
  std::size_t capacity_ = 0;
};

// Many new lines written one after another into as few blocks as can hold
// them, each line followed by CR LF (so that a save writes long runs of
// them as they stand):
//
//   LineBuilder builder(about how many bytes the lines take, the most they can take);
//   char* at = builder.Room(most);  // write at most `most` bytes there
//   Line line = builder.Take(written);
class LineBuilder {
 public:
  // Room is reserved for `mostBytes`; a block after the first is made for
  // about half the `expectedBytes` (a guess on the high side costs no
  // memory: only pages written to become memory).
  LineBuilder(std::size_t expectedBytes, std::size_t mostBytes);
  ~LineBuilder();
  LineBuilder(const LineBuilder&) = delete;
  LineBuilder& operator=(const LineBuilder&) = delete;

  char* Room(std::size_t most);
  Line Take(std::size_t size);
  // Room and Take for bytes at hand.
  Line Add(std::string_view bytes);

 private:
  LineStore store_;
  std::size_t used_ = 0;
  std::size_t expected_;
};

}  // namespace cavel
