#include "app/AppIcon.h"

#include <QString>

namespace cavel {

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : kIconSizes) icon.addFile(QStringLiteral(":/icons/%1x%1/apps/cavel.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace cavel
