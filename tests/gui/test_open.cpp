// The open paths: the command line's path as given, the open dialog, the
// recent-file items and the drop, with their success and failure steps,
// focus rules and the recent-file menu.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QScrollBar>
#include <QMimeData>
#include <QTableView>
#include <QUrl>
#include <QtTest>
#include <cstring>
#include <fstream>

#include "app/Startup.h"
#include "core/ColumnWidths.h"
#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFileA = "\"名前\",\"住所\"\r\n\"山田\",\"東京都\"\r\n";
const char* kFileB = "一,二,三\r\n1,2,3\r\n4,5,6\r\n7,8,9\r\n";

std::string Wide(int items) {
  std::string line;
  for (int i = 0; i < items; ++i) line += (i ? "," : "") + std::string("x");
  return line + "\r\n";
}

std::string RecentSettings(const std::vector<std::string>& files, int max = 9) {
  std::string ini = "[OpenFileName]\r\n";
  for (std::size_t i = 0; i < 9; ++i)
    ini += std::to_string(i + 1) + "=" + (i < files.size() ? files[i] : std::string("none")) + "\r\n";
  return ini + "[OpenFileNum]\r\nMax=" + std::to_string(max) + "\r\n";
}

std::vector<std::string> Slots(const TForm1& m) {
  return std::vector<std::string>(m.state.OpenFileName.begin() + 1, m.state.OpenFileName.end());
}

QStringList VisibleRecent(TForm1& m) {
  QStringList out;
  for (int i = 1; i <= 9; ++i)
    if (Recent(m, i)->isVisible()) out << Recent(m, i)->text();
  return out;
}

// A name that exists and is no folder but cannot be opened as a file (a
// local socket: opening it fails even for the superuser).
struct Unopenable {
  int fd = -1;
  std::string path;
  explicit Unopenable(const std::string& p) : path(p) {
    fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, p.c_str(), sizeof(address.sun_path) - 1);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
      QTest::qFail("no socket", __FILE__, __LINE__);
  }
  ~Unopenable() {
    if (fd >= 0) ::close(fd);
    ::unlink(path.c_str());
  }
};

}  // namespace

class OpenTest : public QObject {
  Q_OBJECT
 private slots:
  // ---- the open dialog ---------------------------------------------------------------
  void dialogOpensAFile() {
    TestApp app;
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv"}));
    app.Start();
    TForm1& m = app.Main();
    ShowActive(m);
    QAbstractItemModelTester tester(m.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const std::string file = app.WriteFile("b.csv", Sjis(kFileB));
    app.files.Answer(file);
    m.MenuFileOpenClick();
    QCOMPARE(app.files.asked().size(), std::size_t(1));
    const auto& asked = app.files.asked()[0];
    QVERIFY(!asked.save);
    QCOMPARE(asked.title, std::string(msg::kTitleOpenFile));
    QCOMPARE(asked.filters.size(), std::size_t(2));
    QCOMPARE(asked.filters[0].caption, std::string("CSVﾌｧｲﾙ(*.CSV)"));
    QCOMPARE(asked.filters[0].patterns, std::string("*.CSV"));
    QCOMPARE(asked.filters[1].caption, std::string("全ﾌｧｲﾙ(*.*)"));
    QCOMPARE(m.ListRowCount(), 4);
    QCOMPARE(m.ListSelection(), 0);
    QVERIFY(m.ListBox1->hasFocus());
    QVERIFY(!Button(m, "BtnCreate")->isEnabled());
    QVERIFY(Button(m, "BtnView")->isEnabled());
    QCOMPARE(m.Caption(), msg::LineCountCaption("Cavel (ﾒｲﾝ)", file, 4));
    QCOMPARE(VisibleRecent(m), (QStringList{Utf8(file), "/x/1.csv", "/x/2.csv"}));
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.DocumentFileName, file);
  }

  void dialogsStartWhereTheUsersFilesAre() {
    TestApp app;
    for (const char* folder : {"home", "recent", "open", "chosen"}) QVERIFY(QDir(Utf8(app.Dir())).mkdir(folder));
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(app.Path("home")));
    app.WriteSettings(RecentSettings({app.Path("recent/r.csv")}));
    app.Start();
    TForm1& m = app.Main();
    const auto openFrom = [&] {
      m.MenuFileOpenClick();  // cancelled
      return app.files.asked().back().folder;
    };
    const auto saveFrom = [&] {
      m.MenuAnotherSaveClick();  // cancelled
      return app.files.asked().back().folder;
    };
    // No file open: the newest recent file's folder, else home.
    QCOMPARE(openFrom(), app.Path("recent"));
    m.state.OpenFileName[1] = "none";
    QCOMPARE(openFrom(), app.Path("home"));
    // A file open: its folder, for opening and for saving.
    app.files.Answer(app.WriteFile("open/b.csv", Sjis(kFileB)));
    m.MenuFileOpenClick();
    QCOMPARE(openFrom(), app.Path("open"));
    app.files.Answer(app.Path("chosen/c.csv"));
    m.MenuAnotherSaveClick();
    QCOMPARE(app.files.asked().back().folder, app.Path("open"));
    // The folder last chosen wins, save as keeps to the open file's.
    QCOMPARE(openFrom(), app.Path("chosen"));
    QCOMPARE(saveFrom(), app.Path("open"));
    // A dropped file is chosen too.
    m.DropFiles({app.WriteFile("recent/d.csv", Sjis(kFileA))});
    QCOMPARE(openFrom(), app.Path("recent"));
    qputenv("HOME", home);
  }

  void dialogCancelledChangesNothing() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    m.SelectListRow(1);
    app.files.Cancel();
    m.MenuFileOpenClick();
    QCOMPARE(m.state.CurrentFileName, a);
    QCOMPARE(m.ListSelection(), 1);
    QCOMPARE(app.pump.calls(), 1);
    QVERIFY(app.dialogs.shown().empty());
  }

  void dialogWithAMissingFileKeepsTheDocumentAndItsName() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    const std::string caption = m.Caption();
    app.files.Answer(app.Path("missing.csv"));
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kFileMissing)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    QCOMPARE(m.state.Document.size(), std::size_t(2));
    QCOMPARE(m.ListRowCount(), 2);
    QVERIFY(Button(m, "BtnView")->isEnabled());
    QCOMPARE(m.Caption(), caption);
    // An overwrite save afterwards writes the open file, not the missing one.
    QCOMPARE(m.state.CurrentFileName, a);
    QCOMPARE(Slots(m)[0], a);
    // A folder is no file either.
    QDir().mkpath(QString::fromStdString(app.Path("dir.csv")));
    app.files.Answer(app.Path("dir.csv"));
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.texts().back(), std::string(msg::kFileMissing));
    QCOMPARE(m.state.CurrentFileName, a);
  }

  void dialogWithARefusedFileEmptiesTheDocument() {
    TestApp app;
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv", "/x/3.csv"}, 2));
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    QCOMPARE(Slots(m)[0], a);
    QAbstractItemModelTester tester(m.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // 130 items: refused at the scan stage with the open dialog's limit 128.
    const std::string bad = app.WriteFile("bad.csv", Wide(130));
    app.files.Answer(bad);
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(0, 129)});
    QVERIFY(m.state.Document.empty());
    QCOMPARE(m.ListRowCount(), 0);
    QVERIFY(!Button(m, "BtnView")->isEnabled());
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
    QVERIFY(!Action(m, "MenuOverWriteSave")->isEnabled());
    QCOMPARE(m.state.CurrentFileName, bad);
    QCOMPARE(m.Caption(), msg::LineCountCaption("Cavel (ﾒｲﾝ)", bad, 0));
    // The list is not reordered, only trimmed.
    QCOMPARE(Slots(m)[0], a);
    QCOMPARE(Slots(m)[1], std::string("/x/1.csv"));
    QCOMPARE(Slots(m)[2], std::string("none"));
    QCOMPARE(VisibleRecent(m), (QStringList{Utf8(a), "/x/1.csv"}));
  }

  void dialogWithAFileThatCannotBeReadLeavesEverything() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    m.SelectListRow(1);
    Unopenable socket(app.Path("sock.csv"));
    app.files.Answer(socket.path);
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    const auto& shown = app.dialogs.shown()[0];
    QCOMPARE(shown.kind, MsgKind::Error);
    QCOMPARE(shown.buttons, MsgButtons(mbOK));
    QVERIFY(shown.text.starts_with("   " + socket.path + "\n\r   "));
    QVERIFY(shown.text.size() > socket.path.size() + 20);
    QCOMPARE(m.state.Document.size(), std::size_t(2));
    QCOMPARE(m.ListRowCount(), 2);
    QCOMPARE(m.ListSelection(), 1);
    QVERIFY(Button(m, "BtnView")->isEnabled());
    QCOMPARE(m.state.CurrentFileName, a);
    QCOMPARE(Slots(m)[0], a);
    QCOMPARE(Slots(m)[1], std::string("none"));
  }

  void dialogMovesAKnownFileToTheTop() {
    TestApp app;
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv", b, "/x/4.csv"}));
    app.Start();
    app.files.Answer(b);
    app.Main().MenuFileOpenClick();
    QCOMPARE(Slots(app.Main()),
             (std::vector<std::string>{b, "/x/1.csv", "/x/2.csv", "/x/4.csv", "none", "none", "none", "none", "none"}));
  }

  void everyOpenSwitchesTheGridBackToTheList() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    app.WriteSettings(RecentSettings({b}));
    app.Start(a);
    TForm1& m = app.Main();
    ShowActive(m);
    auto toGrid = [&] {
      m.BtnDispChgClick();
      QVERIFY(!m.ListVisible());
      QVERIFY(m.Grid().View()->isVisible());
    };
    toGrid();
    app.files.Answer(b);
    m.MenuFileOpenClick();
    QVERIFY(m.ListVisible());
    QVERIFY(m.Grid().View()->isHidden());
    toGrid();
    m.RecentFileClick(1);
    QVERIFY(m.ListVisible());
    toGrid();
    m.DropFiles({a});
    QVERIFY(m.ListVisible());
    QVERIFY(m.Grid().View()->isHidden());
  }

  // ---- the recent files -----------------------------------------------------------------
  void aUtf8FileOpensAsShiftJisAndIsSavedBackInItsOwnFormat() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    const std::string utf8 = "名前,年齢\n山田,30\n";
    const std::string path = app.WriteFile("u.csv", utf8);
    app.files.Answer(path);
    m.MenuFileOpenClick();
    QCOMPARE(m.state.Document, (Lines{Sjis("名前,年齢"), Sjis("山田,30")}));
    QVERIFY(m.state.DocumentFormat == (FileFormat{TextEncoding::Utf8, LineEnd::Lf}));
    QVERIFY(app.dialogs.shown().empty());
    app.files.Answer(path);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(path), utf8);
    // Shift-JIS: the address sample, half-width katakana, trail bytes 0x5C and 0x7C.
    const std::string sjis[] = {ReadBytes(CAVEL_SOURCE_DIR "/samples/addresses.csv"), Sjis("ｶﾀｶﾅ,ﾃｽﾄｱ\r\nソ表,ポ\r\n")};
    for (const std::string& bytes : sjis) {
      app.files.Answer(app.WriteFile("s.csv", bytes));
      m.MenuFileOpenClick();
      QVERIFY(m.ListRowCount() > 1);
      QVERIFY(m.state.DocumentFormat == kShiftJisCrLf);
    }
    QVERIFY(app.dialogs.shown().empty());
  }

  void recentFileOpensAndMovesToTheTop() {
    TestApp app;
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    app.WriteSettings(RecentSettings(
        {"/x/1.csv", "/x/2.csv", "/x/3.csv", "/x/4.csv", "/x/5.csv", "/x/6.csv", b, "/x/8.csv", "/x/9.csv"}));
    app.Start();
    TForm1& m = app.Main();
    ShowActive(m);
    QCOMPARE(Recent(m, 7)->text(), Utf8(b));
    Recent(m, 7)->trigger();
    QCOMPARE(m.ListRowCount(), 4);
    QCOMPARE(m.ListSelection(), 0);
    QVERIFY(m.ListBox1->hasFocus());
    QCOMPARE(m.state.HistoryOpenName, b);
    QCOMPARE(m.state.HistoryOpenFailed, 0);
    QCOMPARE(Slots(m), (std::vector<std::string>{b, "/x/1.csv", "/x/2.csv", "/x/3.csv", "/x/4.csv", "/x/5.csv",
                                                 "/x/6.csv", "/x/8.csv", "/x/9.csv"}));
    QCOMPARE(VisibleRecent(m).front(), Utf8(b));
    QCOMPARE(VisibleRecent(m).size(), 9);
  }

  void recentFileRefusedStillMovesToTheTop() {
    TestApp app;
    // 65 items: through a recent file the scan stage refuses with 65.
    const std::string wide = app.WriteFile("wide.csv", Wide(65));
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv", wide}, 2));
    app.Start();
    TForm1& m = app.Main();
    m.RecentFileClick(3);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(0, 65)});
    QVERIFY(m.state.Document.empty());
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
    QCOMPARE(m.state.CurrentFileName, wide);
    QCOMPARE(Slots(m)[0], wide);
    QCOMPARE(Slots(m)[1], std::string("/x/1.csv"));
    QCOMPARE(Slots(m)[2], std::string("none"));
    QCOMPARE(VisibleRecent(m), (QStringList{Utf8(wide), "/x/1.csv"}));
  }

  void recentFileMissingKeepsItsSlot() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.WriteSettings(RecentSettings({"/x/1.csv", "/gone/2.csv", "/x/3.csv", "/x/4.csv"}, 3));
    app.Start(a);
    TForm1& m = app.Main();
    const auto before = Slots(m);
    const QStringList menu = VisibleRecent(m);
    m.RecentFileClick(3);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kFileMissing)});
    QCOMPARE(m.state.HistoryOpenFailed, 1);
    QCOMPARE(Slots(m), before);
    QCOMPARE(VisibleRecent(m), menu);
    QCOMPARE(m.state.Document.size(), std::size_t(2));
    QVERIFY(Button(m, "BtnView")->isEnabled());
    QCOMPARE(m.state.CurrentFileName, a);
  }

  void recentFileThatCannotBeReadKeepsItsSlot() {
    TestApp app;
    Unopenable socket(app.Path("sock.csv"));
    app.WriteSettings(RecentSettings({"/x/1.csv", socket.path}));
    app.Start();
    TForm1& m = app.Main();
    m.RecentFileClick(2);
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QCOMPARE(m.state.HistoryOpenFailed, 1);
    QCOMPARE(Slots(m)[1], socket.path);
    QVERIFY(m.state.CurrentFileName.empty());
    QVERIFY(!Button(m, "BtnView")->isEnabled());
  }

  // ---- the drop ---------------------------------------------------------------------------
  void dropOpensTheFirstFileOnly() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    m.DropFiles({a, b, b});
    QCOMPARE(m.state.CurrentFileName, a);
    QCOMPARE(m.ListRowCount(), 2);
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(Slots(m)[0], a);
    QCOMPARE(Slots(m)[1], std::string("none"));
    // The list is made first: it has the focus when the window is shown.
    QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.ListBox1));
  }

  void dropThroughTheDesktopsDropEvent() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    QVERIFY(m.acceptDrops());
    const std::string a = app.WriteFile("a b.csv", Sjis(kFileA));
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&m, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&m, &drop);
    QCOMPARE(m.state.CurrentFileName, a);
    QCOMPARE(m.ListRowCount(), 2);
  }

  void dropTakesTheWholePathAndTheNarrowLimit() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    std::string folder = app.Dir();
    while (folder.size() < 300) {
      folder += "/長いフォルダの名前";
      QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    }
    const std::string longPath = folder + "/データ.csv";
    QVERIFY(longPath.size() > 255);
    { std::ofstream(longPath, std::ios::binary) << Sjis(kFileA); }
    m.DropFiles({longPath});
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.CurrentFileName, longPath);
    QCOMPARE(m.ListRowCount(), 2);
    // The drop's scan stage takes 64 items.
    m.DropFiles({app.WriteFile("wide.csv", Wide(65))});
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(0, 65)});
    QVERIFY(m.state.Document.empty());
    QCOMPARE(Slots(m)[0], longPath);
  }

  void dropOfSomethingThatCannotBeReadReportsIt() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    for (const std::string& what : {app.Path("missing.csv"), app.Dir()}) {
      app.dialogs.Clear();
      m.DropFiles({what});
      QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
      QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
      QVERIFY(app.dialogs.shown()[0].text.starts_with("   " + what + "\n\r"));
      QCOMPARE(m.state.CurrentFileName, a);
      QCOMPARE(m.state.Document.size(), std::size_t(2));
      QVERIFY(Button(m, "BtnView")->isEnabled());
    }
  }

  void pathsAreKeptAsTheUserGaveThem() {
    // Relative to the working folder, a file named like a toolkit option and
    // a path through a symbolic link and "..": the working folder goes in
    // front, nothing is taken away. link -> real/sub, so "link/../x.csv" is
    // real/x.csv. The caption, the recent-file list and the column-width
    // memory keep the path so made.
    TestApp app;
    QVERIFY(QDir().mkpath(QString::fromStdString(app.Path("real/sub"))));
    QCOMPARE(::symlink("real/sub", app.Path("link").c_str()), 0);
    app.WriteFile("real/x.csv", "behind,link\r\n");
    app.WriteFile("x.csv", "beside,link\r\n");
    app.WriteFile("-reverse", "reverse,file\r\n");
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(app.Dir())));
    struct Case {
      std::string argument;
      Lines document;
    };
    for (const Case& c : {Case{"-reverse", {"reverse,file"}}, Case{"link/../x.csv", {"behind,link"}}}) {
      ScriptedDialogs dialogs;
      const CommandLine line = CheckCommandLine({c.argument}, dialogs);
      QVERIFY(line.run);
      app.dialogs.Answer(mbYes);  // store the column widths
      app.Start(line.file);
      TForm1& m = app.Main();
      const std::string full = app.Dir() + "/" + c.argument;
      QCOMPARE(m.state.CurrentFileName, full);
      QCOMPARE(m.state.Document, c.document);
      QVERIFY(m.Caption().find(full) != std::string::npos);
      QCOMPARE(m.state.OpenFileName[1], full);
      m.BtnDispChgClick();
      m.MenuGridWodthMemClick();
      HeldSettings held;
      QCOMPARE(FindColumnWidths(app.SettingsPath(), full, held), 1);
      app.Stop();
    }
    QVERIFY(QDir::setCurrent(cwd));
    QCOMPARE(ReadBytes(app.Path("x.csv")), std::string("beside,link\r\n"));
  }

  void aLoadReplacesTheDocumentAndResetsTheFlags() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFileA));
    app.Start(a);
    TForm1& m = app.Main();
    m.state.GridBuilt = 1;
    m.state.GridWidthState = 1;
    m.state.DocumentChanged = 1;
    m.Grid().SetCurrentRow(7);
    const std::string b = app.WriteFile("b.csv", Sjis(kFileB));
    app.files.Answer(b);
    m.MenuFileOpenClick();
    QCOMPARE(m.state.GridBuilt, 0);
    QCOMPARE(m.state.GridWidthState, 0);
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(m.Grid().CurrentRow(), 1);
    QCOMPARE(m.state.Document, (Lines{Sjis("一,二,三"), "1,2,3", "4,5,6", "7,8,9"}));
    QCOMPARE(m.ListBox1Model->index(0).data().toString(), Utf8("一,二,三"));
  }

  void theItemCountQuestionIsAnswered() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    const std::string f = app.WriteFile("q.csv", "a,b,c\r\n1,2,3,4\r\n5,6,7\r\n");
    app.dialogs.Answer(mbYes);
    app.files.Answer(f);
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbAbort));
    QCOMPARE(m.ListRowCount(), 3);
    app.dialogs.Answer(mbAbort);
    app.files.Answer(f);
    m.MenuFileOpenClick();
    QCOMPARE(m.ListRowCount(), 0);
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
  }

  // ---- reopening in another encoding -------------------------------------------------
  void reopenReadsTheOpenFileInTheEncodingChosen() {
    TestApp app;
    const std::string file = app.WriteFile("u.csv", "名前,年齢\n山田,30\n");
    app.Start(file);
    TForm1& m = app.Main();
    QCOMPARE(m.StatusFormat->text(), Utf8("UTF-8 · LF"));
    CommitLines(m.state, 1, 1, Lines{"x,1"}, 1);
    m.BtnDispChgClick();
    Action(m, "MenuReopenShiftJis")->trigger();
    QCOMPARE(m.state.Document, (Lines{"名前,年齢", "山田,30"}));
    QCOMPARE(m.StatusFormat->text(), Utf8("Shift-JIS · LF"));
    QVERIFY(m.ListVisible());
    QVERIFY(!m.state.Undo.CanUndo());
    Action(m, "MenuReopenUtf8")->trigger();
    QCOMPARE(m.state.Document, (Lines{Sjis("名前,年齢"), Sjis("山田,30")}));
    QCOMPARE(m.StatusFormat->text(), Utf8("UTF-8 · LF"));
    QVERIFY(app.dialogs.shown().empty());
    // Bytes that are not UTF-8 refuse it as any load is refused.
    app.WriteFile("u.csv", Sjis("名前\r\n"));
    Action(m, "MenuReopenUtf8")->trigger();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::NotUtf8(0)});
    QVERIFY(m.state.Document.empty());
    QVERIFY(!IsEnabled(m, "MenuReopen"));
    QVERIFY(m.StatusFormat->text().isEmpty());
  }

  void aNameInShiftJisBytesShowsReadable() {
    TestApp app;
    const std::string file = app.WriteFile("\x95\x5C.csv", "a,b\r\n");
    app.Start(file);
    TForm1& m = app.Main();
    const std::string shown = app.Dir() + "/表.csv";
    QCOMPARE(m.Caption(), "Cavel (ﾒｲﾝ)    " + shown + "    全行数 :     1");
    QCOMPARE(Recent(m, 1)->text(), Utf8(shown));
    QCOMPARE(m.state.OpenFileName[1], file);
    QCOMPARE(m.state.CurrentFileName, file);
  }
};

QTEST_MAIN(OpenTest)
#include "test_open.moc"
