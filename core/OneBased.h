// Fields numbered from 1, as the settings file, the menus and the record
// window number them: a std::array of slots 0..N indexed by int, where slot 0
// is unused (or scratch, where a field says so) and slots 1..N are the
// numbered ones. Everything else is std::array's: fill, comparison, the
// iterators (which start at slot 0).
#pragma once

#include <array>
#include <cassert>
#include <cstddef>

namespace cavel {

template <typename T, int N>
struct OneBased : std::array<T, static_cast<std::size_t>(N) + 1> {
  static constexpr int kLast = N;

  T& operator[](int n) {
    assert(n >= 0 && n <= N);
    return this->data()[n];
  }
  const T& operator[](int n) const {
    assert(n >= 0 && n <= N);
    return this->data()[n];
  }
};

}  // namespace cavel
