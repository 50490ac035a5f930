// The core tests build MainState, whose base HeldSettings gets its defaults
// from the settings module. Until that module is part of the library this
// weak stand-in lets the tests link; the library's own definition, once
// there, takes its place.
#include "core/Settings.h"

namespace cavel {
__attribute__((weak)) HeldSettings::HeldSettings() {}
}  // namespace cavel
