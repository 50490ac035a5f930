// What one edit did to a list of rows, so that a list view can update the
// rows concerned instead of refilling itself.
#pragma once

namespace cavel {

struct ListChange {
  enum class Kind {
    None,      // nothing changed
    Swapped,   // rows `row` and `row + 1` changed places
    Inserted,  // a new row stands at `row`; the rows from there on moved down by one
    Removed,   // the row at `row` is gone; the rows after it moved up by one
  };
  Kind kind = Kind::None;
  int row = -1;

  explicit operator bool() const { return kind != Kind::None; }
  bool operator==(const ListChange&) const = default;
};

}  // namespace cavel
