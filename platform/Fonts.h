// The fonts of the windows. "System", the font the list and the record
// window were designed with, is mapped to an installed Japanese font.
#pragma once

#include <QFont>
#include <QString>

namespace cavel {

// The installed family that stands for "System": IPAGothic when present,
// else another Japanese font, else the application's default family.
QString SystemFamily();
// "System" at the given pixel height.
QFont SystemFont(int pixelSize);
// The font of buttons, labels and menus: a proportional Japanese font.
QFont UiFont();

}  // namespace cavel
