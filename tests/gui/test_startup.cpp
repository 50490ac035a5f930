// Program entry: the command-line check, before any window and before the
// settings file.
#include <QDir>
#include <QtTest>

#include "app/Startup.h"
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
