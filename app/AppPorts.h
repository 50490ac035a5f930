// The desktop services the main window works through. The program fills
// them with the real implementations (main.cpp); tests with scripted ones
// (tests/gui/support/TestApp.h).
#pragma once

#include <string>

#include "platform/Placement.h"

namespace cavel {

class Dialogs;
class FileDialogs;
class Pump;
class ModalRunner;
class TopWindows;
class Help;

struct AppPorts {
  Dialogs* dialogs = nullptr;
  FileDialogs* files = nullptr;
  Pump* pump = nullptr;
  ModalRunner* modal = nullptr;
  TopWindows* topWindows = nullptr;
  Help* help = nullptr;
  ScreensSource screens = DesktopScreens;
  std::string settingsPath;
};

}  // namespace cavel
