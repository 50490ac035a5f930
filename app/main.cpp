// Program entry: the command-line check before any window, the seventeen
// windows, the message loop, and what is stored when the main window has
// closed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>

#include "app/Startup.h"
#include "app/WindowSet.h"
#include "core/SaveJournal.h"
#include "core/Settings.h"
#include "platform/FileDialogs.h"
#include "platform/Fonts.h"
#include "platform/Help.h"
#include "platform/MessageDlg.h"
#include "platform/Modal.h"
#include "platform/Pump.h"
#include "platform/TopWindows.h"

int main(int argc, char** argv) {
  // 1. The toolkit's application object; every argument stays the program's.
  cavel::Application application(argc, argv);
  QApplication& app = application.Qt();
  app.setApplicationName(QStringLiteral("cavel"));
  app.setQuitOnLastWindowClosed(false);
  QTranslator qtTexts;
  if (qtTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTexts);
  app.setFont(cavel::UiFont());

  cavel::MessageDlg dialogs;
  // 2, 3. The arguments, the program's path not counted.
  const cavel::CommandLine commandLine = cavel::CheckCommandLine(application.Arguments(), dialogs);
  if (!commandLine.run) return 1;
  // Before any file is read: files whose save a killed run left half done.
  cavel::ReportInterruptedSaves(cavel::StateFolder(), dialogs);

  const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
  cavel::QtFileDialogs files;
  cavel::EventPump pump;
  cavel::ExecModal modal;
  cavel::X11TopWindows topWindows;
  const QString exeDir = QCoreApplication::applicationDirPath();
  cavel::HelpBook help({QDir::cleanPath(exeDir + QStringLiteral("/../share/cavel/help")),
                        QStringLiteral(CAVEL_SOURCE_HELP_DIR), QStringLiteral(CAVEL_HELP_DIR)});

  cavel::AppPorts ports;
  ports.dialogs = &dialogs;
  ports.files = &files;
  ports.pump = &pump;
  ports.modal = &modal;
  ports.topWindows = &topWindows;
  ports.help = &help;
  ports.settingsPath = cavel::SettingsFilePath(
      std::string(program.constData(), static_cast<std::size_t>(program.size())));

  // 4. The seventeen windows, the main window first.
  cavel::WindowSet windows(ports, commandLine.file);
  cavel::TForm1& main = windows.Main();
  dialogs.SetParent(&main);
  files.SetParent(&main);
  help.SetParent(&main);
  QObject::connect(&main, &cavel::TForm1::closed, &app, &QCoreApplication::quit);
  main.show();

  // 5. The message loop, until the main window closes.
  const int result = app.exec();
  main.FormDestroy();
  return result;
}
