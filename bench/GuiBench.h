// What the benchmarks of the windows share: an open dialog that always
// answers with the file being measured, a pump without pauses (the
// benchmarks measure the work, not the wait), the two files every one of
// them measures, and the main window's ports.
#pragma once

#include <QApplication>
#include <QSize>
#include <QtGlobal>
#include <cstdio>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "app/AppPorts.h"
#include "app/Main.h"
#include "app/WindowSet.h"
#include "core/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/Modal.h"
#include "platform/Pump.h"

namespace cavel::bench {

// The open dialog, always answered with the file being measured.
class OneFile : public FileDialogs {
 public:
  std::string path;
  std::optional<std::string> OpenFileName(const OpenFileRequest&) override { return path; }
  std::optional<SaveChoice> SaveFileName(const SaveFileRequest&) override { return std::nullopt; }
};

// No pause at all.
class NoPause : public Pump {
 public:
  void DelayTime(int) override {}
};

// The largest file the loader accepts and the address-shaped file, written
// into `dir`. A size of 0 means the file could not be written.
struct BenchFiles {
  explicit BenchFiles(const BenchDir& dir)
      : largest(dir.File("largest.csv")),
        addresses(dir.File("addresses.csv")),
        size(WriteLargestFile(largest)),
        asize(WriteAddressFile(addresses, kLargestLines, &source)) {}

  bool ok() const { return size != 0 && asize != 0; }

  std::string largest;
  std::string addresses;
  std::string source;  // where the address lines came from
  std::size_t size;
  std::size_t asize;
};

// The main window's ports for a benchmark: the settings file in `dir`, a
// fixed screen, and `modal` (null: a modal window is not shown at all).
inline AppPorts BenchPorts(Dialogs& dialogs, FileDialogs& files, Pump& pump, ModalRunner* modal, const BenchDir& dir) {
  AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.modal = modal;
  ports.screens = [] { return ScreenSet{{1280, 1024}, {{0, 0, 1280, 1024}}}; };
  ports.settingsPath = dir.File("cavel.INI");
  return ports;
}

// Output a line at a time, and the offscreen platform unless another one is
// asked for.
inline void PrepareGuiBench() {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The seventeen windows on the benchmark's ports, the main window shown.
// Every message box is answered Yes. Needs the QApplication.
struct BenchApp {
  BenchApp(const BenchDir& dir, ModalRunner* modal, QSize mainSize = {})
      : ports(BenchPorts(dialogs, files, pump, modal, dir)), windows(ports, std::nullopt), main(windows.Main()) {
    if (mainSize.isValid()) main.resize(mainSize);
    main.show();
    QApplication::processEvents();
  }

  ScriptedDialogs dialogs{mbYes};
  OneFile files;
  NoPause pump;
  AppPorts ports;
  WindowSet windows;
  TForm1& main;
};

}  // namespace cavel::bench
