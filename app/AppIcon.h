// The program's icon: one drawing, rendered in the sizes desktops ask for
// and built into the program, so that no image plug-in for SVG is needed.
#pragma once

#include <QIcon>
#include <array>

namespace cavel {

inline constexpr std::array<int, 8> kIconSizes{16, 22, 24, 32, 48, 64, 128, 256};

// Every size of the icon; null when the program's resources lack them.
QIcon ProgramIcon();

}  // namespace cavel
