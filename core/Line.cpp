#include "core/Line.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "core/Lines.h"

namespace cavel {

namespace {

// Blocks of this size or more are mapped from the system, so that they go
// back to it whole when freed and untouched room costs nothing. They are
// not advised for huge pages: where the system compacts memory to find
// them, the first touch of a large file's block could stall for more than
// a second, against the tens of milliseconds huge pages save.
constexpr std::size_t kMapFrom = 256 * 1024;

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

std::size_t RoundUp(std::size_t n, std::size_t unit) { return (n + unit - 1) / unit * unit; }

// A block with room for `bytes` bytes and one holder (its maker).
LineBlock* NewBlock(std::size_t bytes) {
  if (bytes > kMostBlockBytes) throw std::length_error("cavel: line block too large");
  const std::size_t total = sizeof(LineBlock) + bytes;
  if (total < kMapFrom) {
    void* memory = std::malloc(total);
    if (!memory) throw std::bad_alloc();
    LineBlock* block = new (memory) LineBlock;
    block->holders = 1;
    return block;
  }
  const std::size_t length = RoundUp(total, PageSize());
  void* memory =
      ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  LineBlock* block = new (memory) LineBlock;
  block->holders = 1;
  block->mapped = length;
  return block;
}

void FreeBlock(LineBlock* block) noexcept {
  if (block->mapped)
    ::munmap(block, block->mapped);
  else
    std::free(block);
}

void Drop(LineBlock* block) noexcept {
  if (block && --block->holders == 0) FreeBlock(block);
}

}  // namespace

// ---- Line -------------------------------------------------------------------------------

Line::Line(std::string_view bytes) {
  if (bytes.empty()) return;
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("cavel: line too long");
  block_ = NewBlock(bytes.size());
  std::memcpy(block_->Bytes(), bytes.data(), bytes.size());
  size_ = static_cast<std::uint32_t>(bytes.size());
}

Line::Line(LineBlock* block, std::size_t offset, std::size_t size) noexcept {
  if (size == 0) return;  // an empty line holds no block
  block_ = block;
  offset_ = static_cast<std::uint32_t>(offset);
  size_ = static_cast<std::uint32_t>(size);
  ++block_->holders;
}

void Line::Free(LineBlock* block) noexcept { FreeBlock(block); }

// ---- LineRuns ----------------------------------------------------------------------------

std::optional<std::string_view> LineRuns::Next() noexcept {
  const std::size_t n = lines_.size();
  if (next_ >= n) return std::nullopt;
  const Line& first = lines_[next_++];
  if (!first.block_) return std::string_view();
  // The run ends where the next line lies elsewhere or the bytes before it
  // are not the gap; the gap's bytes are the block's, read inside it.
  const char* bytes = first.block_->Bytes();
  std::size_t end = std::size_t{first.offset_} + first.size_;
  for (; next_ < n; ++next_) {
    const Line& line = lines_[next_];
    if (line.block_ != first.block_ || line.offset_ != end + gap_.size() ||
        std::string_view(bytes + end, gap_.size()) != gap_)
      break;
    end = std::size_t{line.offset_} + line.size_;
  }
  return std::string_view(bytes + first.offset_, end - first.offset_);
}

// ---- LineStore ----------------------------------------------------------------------------

void LineStore::Prefault(std::size_t from, std::size_t bytes) noexcept {
  if (!block_ || !block_->mapped || from >= capacity_) return;
  bytes = std::min(bytes, capacity_ - from);
  std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(block_->Bytes() + from);
  const std::uintptr_t end = RoundUp(begin + bytes, PageSize());
  begin -= begin % PageSize();
#ifdef MADV_POPULATE_WRITE
  ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
}

LineStore::LineStore(std::size_t capacity) : block_(NewBlock(capacity)), capacity_(capacity) {}

LineStore::LineStore(LineStore&& other) noexcept : block_(other.block_), capacity_(other.capacity_) {
  other.block_ = nullptr;
  other.capacity_ = 0;
}

LineStore& LineStore::operator=(LineStore&& other) noexcept {
  if (this != &other) {
    Drop(block_);
    block_ = other.block_;
    capacity_ = other.capacity_;
    other.block_ = nullptr;
    other.capacity_ = 0;
  }
  return *this;
}

LineStore::~LineStore() { Drop(block_); }

Line LineStore::Slice(std::size_t offset, std::size_t size) const {
  if (offset > capacity_ || size > capacity_ - offset) throw std::out_of_range("cavel: line outside its store");
  return Line(block_, offset, size);
}

void LineStore::Trim(std::size_t used) noexcept {
  if (!block_ || used >= capacity_) return;
  capacity_ = used;
  if (!block_->mapped) return;
  const std::size_t keep = RoundUp(sizeof(LineBlock) + used, PageSize());
  if (keep >= block_->mapped) return;
  ::munmap(reinterpret_cast<char*>(block_) + keep, block_->mapped - keep);
  block_->mapped = keep;
}

// ---- LineBuilder ----------------------------------------------------------------------------

namespace {

constexpr std::size_t kLineEnd = 2;  // CR LF after every built line
constexpr std::size_t kLeastStore = 64 * 1024;
constexpr std::size_t kMostStore = std::size_t{1} << 30;

}  // namespace

LineBuilder::LineBuilder(std::size_t expectedBytes, std::size_t mostBytes)
    : store_(std::clamp<std::size_t>(std::max(mostBytes, expectedBytes), 1, kMostStore)),
      expected_(expectedBytes) {}

LineBuilder::~LineBuilder() { store_.Trim(used_); }

char* LineBuilder::Room(std::size_t most) {
  if (most > store_.capacity() - used_ || store_.capacity() - used_ - most < kLineEnd) {
    // A new block: as large again as the lines were expected to take, at
    // least room for this line.
    const std::size_t capacity = std::min(std::max({expected_ / 2, most + kLineEnd, kLeastStore}), kMostStore);
    store_.Trim(used_);
    store_ = LineStore(std::max(capacity, most + kLineEnd));
    used_ = 0;
  }
  return store_.data() + used_;
}

Line LineBuilder::Take(std::size_t size) {
  if (size > store_.capacity() - used_ || store_.capacity() - used_ - size < kLineEnd)
    throw std::out_of_range("cavel: built line larger than its room");
  Line line = store_.Slice(used_, size);
  char* end = store_.data() + used_ + size;
  end[0] = '\r';
  end[1] = '\n';
  used_ += size + kLineEnd;
  return line;
}

Line LineBuilder::Add(std::string_view bytes) {
  char* at = Room(bytes.size());
  if (!bytes.empty()) std::memcpy(at, bytes.data(), bytes.size());
  return Take(bytes.size());
}

}  // namespace cavel
