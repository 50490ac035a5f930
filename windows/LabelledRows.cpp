#include "windows/LabelledRows.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <limits>

namespace cavel {

LabelledRows MakeLabelledRows(QWidget* content, const RowShape& shape, QObject* filter, const QFont* font) {
  LabelledRows rows;
  for (int n = 1; n <= kLabelledRows; ++n) {
    const QString digits = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    const int top = kLabelledRowPitch * n;

    auto* label = new QLabel(content);
    label->setObjectName(QStringLiteral("Label") + digits);
    if (font) label->setFont(*font);
    label->setGeometry(shape.labelLeft, top, shape.labelWidth, shape.height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);

    auto* edit = new QLineEdit(content);
    edit->setObjectName(QStringLiteral("Edit") + digits);
    if (font) edit->setFont(*font);
    edit->setGeometry(shape.editLeft, top, shape.editWidth, shape.height);
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->installEventFilter(filter);

    rows.labels[n] = label;
    rows.edits[n] = edit;
  }
  return rows;
}

}  // namespace cavel
