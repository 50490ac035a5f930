// An ordered list of lines (core/Line.h) whose list itself is shared: a
// copy of a Lines costs one count, not one handle per line, until one of
// the copies is changed. Changing goes through the mutators below only
// (there is no element reference to write through), and the first change
// made to a shared list gives that copy a list of its own; the lines
// themselves are never copied, and no copy ever sees another's change.
//
// So the Document, the grid's picture of it and an editor's untouched
// working copy share one list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Line.h"

namespace cavel {

class Lines {
 public:
  using value_type = Line;
  using size_type = std::size_t;
  using difference_type = std::ptrdiff_t;
  using const_reference = const Line&;
  using reference = const Line&;
  using const_iterator = std::vector<Line>::const_iterator;
  using iterator = const_iterator;

  Lines() noexcept = default;
  Lines(std::initializer_list<Line> lines) : Lines(lines.begin(), lines.end()) {}
  // New lines, each of storage of its own holding a copy of one text.
  Lines(std::initializer_list<std::string_view> texts) {
    if (texts.size() == 0) return;
    std::vector<Line>& own = Own();
    own.reserve(texts.size());
    for (std::string_view text : texts) own.emplace_back(text);
  }
  template <typename It>
  Lines(It first, It last) {
    if (first != last) list_ = std::make_shared<std::vector<Line>>(first, last);
  }
  // `count` copies of `line`.
  Lines(size_type count, const Line& line) {
    if (count > 0) list_ = std::make_shared<std::vector<Line>>(count, line);
  }

  size_type size() const noexcept { return list_ ? list_->size() : 0; }
  bool empty() const noexcept { return size() == 0; }
  size_type capacity() const noexcept { return list_ ? list_->capacity() : 0; }
  const Line& operator[](size_type i) const { return (*list_)[i]; }
  const Line& at(size_type i) const {
    if (i >= size()) throw std::out_of_range("cavel: no such line");
    return (*list_)[i];
  }
  const Line& front() const { return list_->front(); }
  const Line& back() const { return list_->back(); }
  const_iterator begin() const noexcept { return list_ ? list_->cbegin() : const_iterator(); }
  const_iterator end() const noexcept { return list_ ? list_->cend() : const_iterator(); }

  // ---- changes: each gives a shared list a copy of its own first ----------------
  void Set(size_type i, Line line) { Own()[i] = std::move(line); }
  void push_back(Line line) { Own().push_back(std::move(line)); }
  template <typename... Args>
  void emplace_back(Args&&... args) {
    Own().emplace_back(std::forward<Args>(args)...);
  }
  void pop_back() { Own().pop_back(); }
  void insert(const_iterator at, Line line) {
    const auto i = at - begin();
    std::vector<Line>& own = Own();
    own.insert(own.begin() + i, std::move(line));
  }
  template <typename It>
  void insert(const_iterator at, It first, It last) {
    const auto i = at - begin();
    std::vector<Line>& own = Own();
    own.insert(own.begin() + i, first, last);
  }
  void erase(const_iterator at) {
    const auto i = at - begin();
    std::vector<Line>& own = Own();
    own.erase(own.begin() + i);
  }
  // Exchanges lines a and b (swap exchanges two whole lists).
  void SwapLines(size_type a, size_type b) {
    std::vector<Line>& own = Own();
    std::swap(own[a], own[b]);
  }
  void reserve(size_type n) { Own().reserve(n); }
  void resize(size_type n) { Own().resize(n); }
  void shrink_to_fit() {
    if (list_) Own().shrink_to_fit();
  }
  // Forgets the lines (a shared list stays as the other copies have it).
  void clear() noexcept { list_.reset(); }
  void swap(Lines& other) noexcept { list_.swap(other.list_); }

  friend bool operator==(const Lines& a, const Lines& b) {
    return a.list_ == b.list_ || (a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin()));
  }

 private:
  friend struct LinesProbe;  // what tests look at: whether two lists are one
  std::vector<Line>& Own() {
    if (!list_)
      list_ = std::make_shared<std::vector<Line>>();
    else if (list_.use_count() > 1)
      list_ = std::make_shared<std::vector<Line>>(*list_);
    return *list_;
  }

  std::shared_ptr<std::vector<Line>> list_;
};

// A list's lines in runs for writing them out: lines that lie one after
// another in one block with `gap` between each and the next (a file as it
// was read, the lines one command built) come as one view of the block's
// bytes, the gaps included; every other line as a run of its own.
//
//   LineRuns runs(lines, "\r\n");
//   while (std::optional<std::string_view> run = runs.Next()) write(*run), write("\r\n");
class LineRuns {
 public:
  LineRuns(const Lines& lines, std::string_view gap) noexcept : lines_(lines), gap_(gap) {}
  // The next run; nothing after the last.
  std::optional<std::string_view> Next() noexcept;

 private:
  const Lines& lines_;
  std::string_view gap_;
  std::size_t next_ = 0;
};

// The bytes of all the lines together, line ends not counted.
inline std::size_t LineBytes(const Lines& lines) {
  std::size_t bytes = 0;
  for (const Line& line : lines) bytes += line.size();
  return bytes;
}

}  // namespace cavel
