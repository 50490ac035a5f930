// The command line belongs to the program. The application object is made
// here as the program makes it, from a command line holding options the
// toolkit knows: none of them may reach the toolkit.
#include <QGuiApplication>
#include <QtTest>

#include "app/Startup.h"
#include "core/Dialogs.h"
#include "core/Messages.h"

using namespace cavel;

class CommandLineTest : public QObject {
  Q_OBJECT
 public:
  explicit CommandLineTest(Application& application) : application_(application) {}

 private slots:
  void everyArgumentIsTheProgramsOwn() {
    // "-platform none" taken by the toolkit would have ended the process;
    // "-reverse" would have mirrored every window.
    QCOMPARE(application_.Arguments(), (std::vector<std::string>{"a.csv", "-reverse", "-platform", "none"}));
    QCOMPARE(QCoreApplication::arguments().size(), 1);
    QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
    ScriptedDialogs dialogs;
    QVERIFY(!CheckCommandLine(application_.Arguments(), dialogs).run);
    QCOMPARE(dialogs.texts(), std::vector<std::string>{std::string(msg::kBadParameters)});
  }

 private:
  Application& application_;
};

int main(int argc, char** argv) {
  char name[] = "cavel", file[] = "a.csv", reverse[] = "-reverse", platform[] = "-platform", none[] = "none";
  char* line[] = {name, file, reverse, platform, none, nullptr};
  Application application(5, line);
  CommandLineTest test(application);
  return QTest::qExec(&test, argc, argv);
}

#include "test_commandline.moc"
