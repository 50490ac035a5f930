// Program entry: the command-line check, before any window and before the
// settings file; the saves a killed run left half done.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QtTest>

#include "app/Startup.h"
#include "core/CsvWriter.h"
#include "core/Dialogs.h"
#include "core/Messages.h"
#include "support/TestApp.h"

using namespace cavel;
using namespace cavel::test;

class StartupTest : public QObject {
  Q_OBJECT
 private slots:
  void noArgumentRunsWithoutFile() {
    ScriptedDialogs dialogs;
    const CommandLine c = CheckCommandLine({}, dialogs);
    QVERIFY(c.run);
    QVERIFY(!c.file);
    QVERIFY(dialogs.shown().empty());
  }

  void oneExistingFileRuns() {
    TestApp app;
    const std::string file = app.WriteFile("データ.csv", "a\r\n");
    ScriptedDialogs dialogs;
    const CommandLine c = CheckCommandLine({file}, dialogs);
    QVERIFY(c.run);
    QCOMPARE(c.file.value_or(""), file);
    QVERIFY(dialogs.shown().empty());
  }

  void twoArgumentsEndTheProgram() {
    TestApp app;
    const std::string file = app.WriteFile("a.csv", "a\r\n");
    ScriptedDialogs dialogs;
    const CommandLine c = CheckCommandLine({file, file}, dialogs);
    QVERIFY(!c.run);
    QCOMPARE(dialogs.texts(), std::vector<std::string>{"   パラメータの設定が異常です。   "});
    QCOMPARE(dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    QVERIFY(!CheckCommandLine({"x", "y", "z"}, dialogs).run);
    QCOMPARE(dialogs.shown().size(), std::size_t(2));
  }

  void aMissingFileIsNamedAsTyped() {
    TestApp app;
    ScriptedDialogs dialogs;
    QVERIFY(!CheckCommandLine({"無い/file.csv"}, dialogs).run);
    QCOMPARE(dialogs.texts(), std::vector<std::string>{"   無い/file.csvの指定されたファイルが存在しません。   "});
    QCOMPARE(dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    // A folder is no file; an empty argument names nothing.
    QVERIFY(!CheckCommandLine({app.Dir()}, dialogs).run);
    QCOMPARE(dialogs.texts().back(), msg::ArgumentFileMissing(app.Dir()));
    QVERIFY(!CheckCommandLine({""}, dialogs).run);
    QCOMPARE(dialogs.texts().back(), msg::ArgumentFileMissing(""));
  }

  void aSaveKilledInTheMiddleIsPutRightAtTheNextStart() {
    // A file with a second name is written in place; the save is killed
    // part-way (the file-size limit's signal), leaving its copy of the old
    // bytes. The next start puts them back and says so, once.
    TestApp app;
    const std::string file = app.WriteFile("data.csv", "\"old\",\"content\"\r\n");
    QCOMPARE(::link(file.c_str(), app.Path("other-name.csv").c_str()), 0);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
      rlimit none{0, 0}, size{4096, 4096};
      ::setrlimit(RLIMIT_CORE, &none);
      ::setrlimit(RLIMIT_FSIZE, &size);
      ::signal(SIGXFSZ, SIG_DFL);
      WriteLines(file, Lines(100, Line(std::string(1000, 'n'))));
      ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    QVERIFY(ReadBytes(file) != "\"old\",\"content\"\r\n");

    ScriptedDialogs dialogs;
    ReportInterruptedSaves(app.StateFolder(), dialogs);
    QCOMPARE(dialogs.texts(), std::vector<std::string>{msg::SaveRestored(file)});
    QCOMPARE(dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(dialogs.shown()[0].buttons, MsgButtons(mbOK));
    QCOMPARE(ReadBytes(file), std::string("\"old\",\"content\"\r\n"));
    QCOMPARE(ReadBytes(app.Path("other-name.csv")), std::string("\"old\",\"content\"\r\n"));
    dialogs.Clear();
    ReportInterruptedSaves(app.StateFolder(), dialogs);
    QVERIFY(dialogs.shown().empty());

    // Entries that another user could have written are left where they are,
    // all named in one notice.
    const std::string record = app.StateFolder() + "/a.csv.AAAAAA.save", copy = app.StateFolder() + "/b.csv.BBBBBB.old";
    for (const std::string& planted : {record, copy}) {
      app.WriteFile(planted.substr(app.Dir().size() + 1), "planted");
      QCOMPARE(::chmod(planted.c_str(), 0622), 0);
    }
    ReportInterruptedSaves(app.StateFolder(), dialogs);
    QCOMPARE(dialogs.texts(),
             std::vector<std::string>{msg::SaveRecordsLeft(
                 {{record, std::string(msg::kOthersMayWrite)}, {copy, std::string(msg::kOthersMayWrite)}})});
    QCOMPARE(dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(ReadBytes(record), std::string("planted"));
    QCOMPARE(ReadBytes(copy), std::string("planted"));
  }

  void fileExistsMeansAFileNotAFolder() {
    TestApp app;
    QVERIFY(FileExists(app.WriteFile("f", "")));
    QVERIFY(!FileExists(app.Dir()));
    QVERIFY(!FileExists(app.Path("none")));
    QVERIFY(!FileExists(""));
  }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "test_startup.moc"
