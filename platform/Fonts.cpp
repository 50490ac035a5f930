#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

namespace cavel {

namespace {

QString FirstInstalled(const QStringList& wanted) {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : wanted)
    if (installed.contains(family, Qt::CaseInsensitive)) return family;
  const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
  if (!japanese.isEmpty()) return japanese.front();
  return QGuiApplication::font().family();
}

}  // namespace

QString SystemFamily() {
  static const QString family = FirstInstalled({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                                                QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic"),
                                                QStringLiteral("Noto Sans CJK JP")});
  return family;
}

QFont SystemFont(int pixelSize) {
  QFont font(SystemFamily());
  font.setPixelSize(pixelSize);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

QFont UiFont() {
  static const QString family = FirstInstalled({QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                                                QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic"),
                                                QStringLiteral("IPAGothic")});
  QFont font(family);
  font.setPixelSize(13);
  return font;
}

}  // namespace cavel
