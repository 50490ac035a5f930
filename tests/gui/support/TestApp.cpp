#include "support/TestApp.h"

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/Sjis.h"

namespace cavel::test {

std::string Sjis(std::string_view utf8) {
  const SjisEncoded encoded = SjisEncode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  if (!encoded.ok()) QTest::qFail("text without Shift-JIS codes", __FILE__, __LINE__);
  return encoded.bytes;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Utf8(const QString& s) { return s.toStdString(); }

void ShowActive(QWidget& w) {
  w.show();
  w.activateWindow();
  QTRY_VERIFY(QApplication::activeWindow() == &w);
}

TestApp::TestApp() {
  dir_ = tmp_.path().toStdString();
  settingsPath_ = Path(settingsName_);
  if (const char* old = std::getenv("XDG_STATE_HOME")) oldStateHome_ = old;
  ::setenv("XDG_STATE_HOME", Path("state").c_str(), 1);
}

TestApp::~TestApp() {
  windows_.reset();
  if (oldStateHome_)
    ::setenv("XDG_STATE_HOME", oldStateHome_->c_str(), 1);
  else
    ::unsetenv("XDG_STATE_HOME");
}

std::string TestApp::Path(std::string_view name) const { return dir_ + "/" + std::string(name); }

std::string TestApp::WriteFile(std::string_view name, std::string_view bytes) const {
  const std::string path = Path(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

AppPorts TestApp::Ports() {
  AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.modal = &modal;
  ports.topWindows = &topWindows;
  ports.help = &help;
  ScreenSet screens{screen, available};
  if (screens.available.empty()) screens.available.push_back(QRect(QPoint(0, 0), screen));
  ports.screens = [screens] { return screens; };
  ports.settingsPath = settingsPath_;
  if (adjustPorts) adjustPorts(ports);
  return ports;
}

void TestApp::Start(std::optional<std::string> commandLineFile) {
  windows_ = std::make_unique<WindowSet>(Ports(), commandLineFile);
}

void TestApp::Stop() {
  if (!windows_) return;
  windows_->Main().FormDestroy();
  windows_.reset();
}

}  // namespace cavel::test
