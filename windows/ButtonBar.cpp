#include "windows/ButtonBar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

#include "platform/QtText.h"

namespace cavel {

QHBoxLayout* NewButtonBar(QWidget* owner) {
  auto* bar = new QHBoxLayout(owner);
  bar->setContentsMargins(2, 1, 2, 1);
  bar->setSpacing(2);
  return bar;
}

QPushButton* AddBarButton(QHBoxLayout& bar, QWidget* parent, const char* name, std::string_view caption, int height) {
  auto* b = new QPushButton(Utf8(caption), parent);
  b->setObjectName(QLatin1String(name));
  b->setFixedHeight(height);
  b->setMinimumWidth(78);
  bar.addWidget(b);
  return b;
}

}  // namespace cavel
