#include "windows/EditorLayout.h"

#include <QAbstractItemModel>
#include <QFontMetricsF>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/Fonts.h"
#include "platform/QtText.h"

namespace cavel {

std::size_t EditorDisplayBytes(int rowWidth) {
  // The narrowest one-byte character (printable ASCII, half-width kana)
  // bounds the bytes a row can show; a double-byte character is at least
  // as wide as two of them in any Japanese font. A quarter more for slack.
  const QFontMetricsF metrics(SystemFont(kEditorListFontHeight));
  qreal narrowest = metrics.horizontalAdvance(QLatin1Char('M'));
  for (char16_t c = 0x21; c <= 0x7E; ++c) narrowest = std::min(narrowest, metrics.horizontalAdvance(QChar(c)));
  for (char16_t c = 0xFF61; c <= 0xFF9F; ++c) narrowest = std::min(narrowest, metrics.horizontalAdvance(QChar(c)));
  narrowest = std::min(narrowest, metrics.horizontalAdvance(QLatin1Char(' ')));
  if (narrowest < 1) narrowest = 1;
  return static_cast<std::size_t>(rowWidth / narrowest * 1.25) + 16;
}

EditorLayout MakeEditorLayout(QWidget& window, QAbstractItemModel* model) {
  auto* layout = new QVBoxLayout(&window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  EditorLayout parts;
  parts.panel = new QWidget(&window);
  parts.panel->setObjectName(QStringLiteral("Panel1"));
  parts.panel->setFixedHeight(kEditorPanelHeight);
  layout->addWidget(parts.panel);

  parts.list = new RowList(&window, model, kEditorListFontHeight);
  layout->addWidget(parts.list, 1);
  return parts;
}

QPushButton* PanelButton(QWidget* panel, const char* name, std::string_view caption, int left, int top, int width) {
  auto* button = new QPushButton(Utf8(caption), panel);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(left, top, width, kEditorButtonHeight);
  button->setAutoDefault(false);
  return button;
}

}  // namespace cavel
