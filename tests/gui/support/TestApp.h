// A whole program for a GUI test: the seventeen windows with scripted ports
// and a settings file in a temporary folder.
//
//   TestApp app;                       // nothing started yet
//   app.dialogs.Answer(mbYes);         // script the message boxes ...
//   auto file = app.WriteFile("a.csv", Sjis("名前,年齢\r\n"));
//   app.Start(file);                   // FormCreate with a command-line file
//   TForm1& main = app.Main();
//   app.files.Answer(other);  main.MenuFileOpenClick();
//   app.modal.Then([&](QDialog& w) { ...work the window...; w.accept(); });
//
// Message boxes never block: ScriptedDialogs answers them (はい(&Y) by
// default, else the set's first button) and records every text.
#pragma once

// The main window's control classes, so that tests can use what the main
// window and its driver (support/MainDriver.h) hand out.
#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QMenu>
#include <QPushButton>
#include <QRect>
#include <QSize>
#include <QTableView>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppPorts.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/Dialogs.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "support/MainDriver.h"
#include "support/ScriptedPorts.h"
#include "windows/MainGrid.h"
#include "windows/StringGrid.h"

namespace cavel::test {

// UTF-8 text as Shift-JIS bytes (fails the test when a character has no code).
std::string Sjis(std::string_view utf8);
// Reads a whole file as bytes (empty when it cannot be read).
std::string ReadBytes(const std::string& path);
// UTF-8 of a QString, and back: a literal goes to cavel::Utf8, which
// this overload would otherwise make ambiguous.
std::string Utf8(const QString& s);
inline QString Utf8(const char* s) { return cavel::Utf8(std::string_view(s)); }

// Shows `w` and waits until it is the active window (a window that was
// shown modally may still count as the active one for a while).
void ShowActive(QWidget& w);

class TestApp {
 public:
  TestApp();
  ~TestApp();

  ScriptedDialogs dialogs{mbYes};
  ScriptedFileDialogs files;
  NoDelayPump pump;
  ScriptedModal modal;
  RecordingTopWindows topWindows;
  RecordingHelp help;
  // The primary screen's size, and every screen's available area (the
  // whole primary screen when none is given).
  QSize screen{1280, 1024};
  std::vector<QRect> available;

  // The folder of the test's files, and the settings file in it. The state
  // folder of the in-place saves is StateFolder(), below it.
  const std::string& Dir() const { return dir_; }
  std::string Path(std::string_view name) const;
  const std::string& SettingsPath() const { return settingsPath_; }
  std::string StateFolder() const { return Path("state/cavel"); }
  // Writes `bytes` to Dir()/name and returns the path.
  std::string WriteFile(std::string_view name, std::string_view bytes) const;
  // A settings file with `text` (UTF-8 / ASCII, lines ended by CR LF as given).
  void WriteSettings(std::string_view text) const { WriteFile(settingsName_, text); }

  // Runs on the ports before the windows are made (to put in a port of the
  // test's own, e.g. another Pump).
  std::function<void(AppPorts&)> adjustPorts;

  AppPorts Ports();
  // Makes the seventeen windows; the main window's FormCreate runs with the file.
  void Start(std::optional<std::string> commandLineFile = std::nullopt);
  // The end of the run: FormDestroy, then the windows are released.
  void Stop();
  bool started() const { return windows_ != nullptr; }

  TForm1& Main() const { return windows_->Main(); }
  const TForm1::Children& Forms() const { return windows_->Children(); }

 private:
  QTemporaryDir tmp_;
  std::string dir_;
  // Saves written in place keep their old bytes in Dir()/state/cavel.
  std::optional<std::string> oldStateHome_;
  std::string settingsName_ = "cavel.INI";
  std::string settingsPath_;
  std::unique_ptr<WindowSet> windows_;
};

}  // namespace cavel::test
