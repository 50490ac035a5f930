// The item delegate of the lists and the grid: it paints as the standard
// delegate does, but hands the text layout only the characters that can
// reach the view. A line or an item of thousands of characters would
// otherwise be shaped whole on every paint, although a few dozen of its
// characters show.
#pragma once

#include <QFont>
#include <QStyledItemDelegate>

namespace cavel {

class VisibleTextDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // How many characters of a text that starts at x = `left` (in the
  // viewport) can reach x = `right`, when no character is narrower than
  // `narrowest` pixels: at least one more than fit, so that a cut text is
  // still seen to go on (and an elided one still ends in "…").
  static int CharactersInView(int left, int right, int narrowest);

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

 private:
  // The narrowest advance of a printable character in `font`.
  int Narrowest(const QFont& font, const QFontMetrics& metrics) const;

  mutable QFont font_;
  mutable int narrowest_ = 0;
};

}  // namespace cavel
