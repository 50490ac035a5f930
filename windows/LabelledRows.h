// The form of 64 labelled rows that the record window and the new file
// window share: row n (1..64) is a label "LabelNN" and an edit box "EditNN"
// side by side, at top kLabelledRowPitch * n of the widget that holds them
// (the content of the window's scroll box).
#pragma once

#include "core/OneBased.h"

class QFont;
class QLabel;
class QLineEdit;
class QObject;
class QWidget;

namespace cavel {

inline constexpr int kLabelledRows = 64;
inline constexpr int kLabelledRowPitch = 30;

// Where a row's label and box stand, and their height.
struct RowShape {
  int labelLeft = 0;
  int labelWidth = 0;
  int editLeft = 0;
  int editWidth = 0;
  int height = 0;
};

// The controls by row number.
using RowLabels = OneBased<QLabel*, kLabelledRows>;
using RowEdits = OneBased<QLineEdit*, kLabelledRows>;

struct LabelledRows {
  RowLabels labels{};
  RowEdits edits{};
};

// Makes the rows in `content`, in `font` when one is given. Labels show
// their text as it stands, on one line; a box takes text of any length (the
// limits are counted in bytes when the window saves) and has `filter` as
// its event filter.
LabelledRows MakeLabelledRows(QWidget* content, const RowShape& shape, QObject* filter, const QFont* font = nullptr);

}  // namespace cavel
