#include "windows/VisibleText.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QStyleOptionViewItem>
#include <algorithm>

namespace cavel {

int VisibleTextDelegate::CharactersInView(int left, int right, int narrowest) {
  if (right <= left) return 1;
  return (right - left) / std::max(narrowest, 1) + 2;
}

int VisibleTextDelegate::Narrowest(const QFont& font, const QFontMetrics& metrics) const {
  if (narrowest_ > 0 && font == font_) return narrowest_;
  int narrowest = metrics.horizontalAdvance(QLatin1Char(' '));
  for (char c = '!'; c <= '~'; ++c) narrowest = std::min(narrowest, metrics.horizontalAdvance(QLatin1Char(c)));
  font_ = font;
  narrowest_ = std::max(narrowest, 1);
  return narrowest_;
}

void VisibleTextDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (!(option->features & QStyleOptionViewItem::HasDisplay) || option->text.isEmpty()) return;
  // The text reaches no further than the row's right edge, nor than the
  // view's.
  int right = option->rect.right();
  if (const auto* view = qobject_cast<const QAbstractItemView*>(option->widget))
    right = std::min(right, view->viewport()->width());
  const int keep = CharactersInView(option->rect.left(), right, Narrowest(option->font, option->fontMetrics));
  if (option->text.size() <= keep) return;
  // Not inside a surrogate pair.
  int cut = keep;
  if (option->text.at(cut - 1).isHighSurrogate()) ++cut;
  option->text.truncate(cut);
}

}  // namespace cavel
