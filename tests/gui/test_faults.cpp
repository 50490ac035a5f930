// Faults of the platform met by the whole program: a settings file that
// cannot be written at exit, a chosen file that cannot be read, an
// overwrite save that fails, one written in place and one the user may not
// write. Each is reported and loses nothing: the old
// files stay byte for byte, and the Document, the views, the caption and
// the control state stay as they were.
//
// The tests run as the superuser, for whom permission bits do not fail a
// write. The faults are made so that they hold for any user: a file-size
// limit (RLIMIT_FSIZE, with SIGXFSZ ignored) makes a write fail part-way
// as a full disk does; a folder where a file is expected; a folder that is
// gone; /proc/self/mem, a name that exists and opens but whose reading
// fails with an input/output error, as a file on a failing disk does.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QAction>
#include <QDir>
#include <QScrollBar>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "../core/Unprivileged.h"
#include "core/Messages.h"
#include "support/TestApp.h"

using namespace cavel;
using namespace cavel::test;

namespace fs = std::filesystem;

namespace {

const char* kFile = "\"名前\",\"住所\"\r\n\"山田\",\"東京都\"\r\n\"佐藤\",\"大阪府\"\r\n";

// While it lives, no file of this process can grow beyond `bytes`: a write
// past it fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{bytes, old_.rlim_max};
    ok_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = SIG_DFL;
  bool ok_ = false;
};

// The names in a folder.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// What the user sees of the main window and what it holds.
struct Seen {
  Lines document;
  std::string currentFile, documentFile, caption, gridCorner;
  int rows = 0, selection = 0, documentChanged = 0, gridBuilt = 0, gridRows = 0;
  bool listVisible = false;
  std::vector<bool> enabled;
  std::vector<std::string> recent;
};

Seen Look(TForm1& m) {
  Seen s;
  s.document = m.state.Document;
  s.currentFile = m.state.CurrentFileName;
  s.documentFile = m.state.DocumentFileName;
  s.caption = m.Caption();
  s.gridCorner = m.Grid().CornerText();
  s.rows = m.ListRowCount();
  s.selection = m.ListSelection();
  s.documentChanged = m.state.DocumentChanged;
  s.gridBuilt = m.state.GridBuilt;
  s.gridRows = m.Grid().RowCount();
  s.listVisible = m.ListVisible();
  for (QPushButton* b : {Button(m, "BtnFileOpen"), Button(m, "BtnView"), Button(m, "BtnEdit"), Button(m, "BtnItemSet"),
                         Button(m, "BtnExchange"), Button(m, "BtnCreate"), Button(m, "BtnDispChg")})
    s.enabled.push_back(b->isEnabled());
  for (QAction* a :
       {Action(m, "MenuOverWriteSave"), Action(m, "MenuAnotherSave"), Action(m, "MenuView"), Action(m, "MenuEdit"),
        Action(m, "MenuItemSet"), Action(m, "MenuExchange"), Action(m, "MenuInport"), Action(m, "MenuConvert"),
        Action(m, "MenuDispChg"), Action(m, "MenuGridWidthChg"), Action(m, "MenuFind"), Action(m, "MenuReFind"),
        Action(m, "MenuJump"), Action(m, "MenuCreate"), Menu(m, "MenuSearch")->menuAction()})
    s.enabled.push_back(a->isEnabled());
  s.recent.assign(m.state.OpenFileName.begin() + 1, m.state.OpenFileName.end());
  return s;
}

void CompareSeen(const Seen& now, const Seen& before) {
  QCOMPARE(now.document, before.document);
  QCOMPARE(now.currentFile, before.currentFile);
  QCOMPARE(now.documentFile, before.documentFile);
  QCOMPARE(now.caption, before.caption);
  QCOMPARE(now.rows, before.rows);
  QCOMPARE(now.selection, before.selection);
  QCOMPARE(now.documentChanged, before.documentChanged);
  QCOMPARE(now.gridBuilt, before.gridBuilt);
  QCOMPARE(now.gridRows, before.gridRows);
  QCOMPARE(now.gridCorner, before.gridCorner);
  QCOMPARE(now.listVisible, before.listVisible);
  QCOMPARE(now.enabled, before.enabled);
  QCOMPARE(now.recent, before.recent);
}

// The file open, its grid filled, its line 1 edited in memory (as the
// record window does), line 1 selected, the list showing.
void OpenAndEdit(TestApp& app, const std::string& file) {
  app.Start(file);
  TForm1& m = app.Main();
  m.BtnDispChgClick();
  QVERIFY(!m.ListVisible());
  QCOMPARE(m.state.GridBuilt, 1);
  m.BtnDispChgClick();
  QVERIFY(m.ListVisible());
  m.state.Document.Set(1, Line(Sjis("\"田中\",\"京都府\"")));
  m.ListBoxDisp();
  m.SelectListRow(1);
  QVERIFY(app.dialogs.shown().empty());
}

// One error report: `path`, then the system's reason for `error`.
void CheckFileError(const TestApp& app, const std::string& path, int error) {
  QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
  const auto& shown = app.dialogs.shown()[0];
  QCOMPARE(shown.kind, MsgKind::Error);
  QCOMPARE(shown.buttons, MsgButtons(mbOK));
  QCOMPARE(shown.text, msg::FileError(path, std::strerror(error)));
}

// The overwrite save of `file` while a file may grow to `limit` bytes only:
// refused with the system's reason, the windows as they were, and the file
// still holding kFile.
void OverwriteSaveRefusedBySizeLimit(TestApp& app, const std::string& file, rlim_t limit) {
  TForm1& m = app.Main();
  const Seen before = Look(m);
  app.files.Answer(file);
  {
    FileSizeLimit fileSize(limit);
    QVERIFY(fileSize.ok());
    m.MenuOverWriteSaveClick();
  }
  CheckFileError(app, file, EFBIG);
  CompareSeen(Look(m), before);
  QCOMPARE(ReadBytes(file), Sjis(kFile));
}

}  // namespace

class FaultsTest : public QObject {
  Q_OBJECT
 private slots:
  // ---- the settings file at exit --------------------------------------------------
  void settingsWriteThatFailsPartWayKeepsTheOldFile() {
    TestApp app;
    // Settings the run will change: the recent files and the window's place.
    const std::string old =
        "[FormMain]\r\nMem=1\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n[OpenFileName]\r\n1=/x/old.csv\r\n"
        "2=none\r\n3=none\r\n4=none\r\n5=none\r\n6=none\r\n7=none\r\n8=none\r\n9=none\r\n[OpenFileNum]\r\nMax=9\r\n";
    app.WriteSettings(old);
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    QCOMPARE(app.Main().state.OpenFileName[1], app.Path("a.csv"));
    const std::set<std::string> names = Names(app.Dir());
    {
      FileSizeLimit limit(16);
      QVERIFY(limit.ok());
      app.Stop();
    }
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].text, msg::CannotWrite(app.SettingsPath()));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbOK));
    QCOMPARE(ReadBytes(app.SettingsPath()), old);
    // No half-written file is left beside it.
    QCOMPARE(Names(app.Dir()), names);
  }

  void settingsPathThatIsAFolderIsReportedAndKept() {
    TestApp app;
    QVERIFY(QDir().mkpath(QString::fromStdString(app.SettingsPath())));
    { std::ofstream(app.SettingsPath() + "/keep") << "k"; }
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    QVERIFY(app.dialogs.shown().empty());
    app.Stop();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::CannotWrite(app.SettingsPath())});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QVERIFY(fs::is_directory(app.SettingsPath()));
    QCOMPARE(Names(app.SettingsPath()), std::set<std::string>{"keep"});
    QCOMPARE(ReadBytes(app.SettingsPath() + "/keep"), std::string("k"));
  }

  // ---- a chosen file that cannot be read ------------------------------------------
  void chosenFileWhoseReadingFailsLeavesEverything() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFile));
    OpenAndEdit(app, a);
    TForm1& m = app.Main();
    const Seen before = Look(m);
    // It exists and opens; the first read fails.
    app.files.Answer("/proc/self/mem");
    m.MenuFileOpenClick();
    CheckFileError(app, "/proc/self/mem", EIO);
    CompareSeen(Look(m), before);
    QCOMPARE(ReadBytes(a), Sjis(kFile));
  }

  void chosenFileReadFailureWhileTheGridShowsKeepsTheGrid() {
    TestApp app;
    OpenAndEdit(app, app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.BtnDispChgClick();
    QVERIFY(!m.ListVisible());
    Seen before = Look(m);
    app.files.Answer("/proc/self/mem");
    m.MenuFileOpenClick();
    CheckFileError(app, "/proc/self/mem", EIO);
    // The open switched to the list before reading; all else is as it was,
    // the grid's cells included, and the grid shows again at once.
    QVERIFY(m.ListVisible());
    before.listVisible = true;
    CompareSeen(Look(m), before);
    QVERIFY(m.Grid().HoldsLines(m.ListRowCount()));
    m.BtnDispChgClick();
    QVERIFY(!m.ListVisible());
    QCOMPARE(m.state.GridBuilt, 1);
  }

  // ---- an overwrite save that fails ---------------------------------------------------
  void overwriteSaveIntoAFolderThatIsGone() {
    TestApp app;
    const std::string folder = app.Path("work");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    const std::string file = folder + "/data.csv";
    { std::ofstream(file, std::ios::binary) << Sjis(kFile); }
    OpenAndEdit(app, file);
    TForm1& m = app.Main();
    const Seen before = Look(m);
    fs::remove_all(folder);
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    CheckFileError(app, file, ENOENT);
    CompareSeen(Look(m), before);
    QVERIFY(!fs::exists(folder));
  }

  void overwriteSaveOntoAFolderKeepsTheFolder() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Sjis(kFile));
    OpenAndEdit(app, file);
    TForm1& m = app.Main();
    const Seen before = Look(m);
    fs::remove(file);
    fs::create_directory(file);
    { std::ofstream(file + "/keep") << "k"; }
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    CheckFileError(app, file, EISDIR);
    CompareSeen(Look(m), before);
    QCOMPARE(Names(file), std::set<std::string>{"keep"});
  }

  void overwriteSaveThatFailsPartWayKeepsTheOldFile() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Sjis(kFile));
    OpenAndEdit(app, file);
    TForm1& m = app.Main();
    const std::set<std::string> names = Names(app.Dir());
    OverwriteSaveRefusedBySizeLimit(app, file, 8);
    QCOMPARE(Names(app.Dir()), names);
    // Once the disk has room again the same command writes the edited Document.
    app.dialogs.Clear();
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(ReadBytes(file), Sjis("\"名前\",\"住所\"\r\n\"田中\",\"京都府\"\r\n\"佐藤\",\"大阪府\"\r\n"));
  }

  void overwriteSaveInPlaceThatFailsPartWayPutsTheOldBytesBack() {
    // A second name makes the save write in place; the disk fills up after
    // the first bytes changed, and the old ones go back.
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Sjis(kFile));
    QCOMPARE(::link(file.c_str(), app.Path("other-name.csv").c_str()), 0);
    OpenAndEdit(app, file);
    TForm1& m = app.Main();
    m.state.Document.push_back(Line(std::string(4000, 'x')));
    m.ListBoxDisp();
    m.SelectListRow(1);
    OverwriteSaveRefusedBySizeLimit(app, file, 1024);
    QCOMPARE(ReadBytes(app.Path("other-name.csv")), Sjis(kFile));
    QVERIFY(fs::is_empty(app.StateFolder()));
  }

  void overwriteSaveAsAUserBoundByPermissions() {
    // In a folder the user may not write: a writable file is saved in
    // place; a read-only one is refused, names itself and why, and stays.
    if (::geteuid() != 0) QSKIP("setting the folders up needs root");
    TestApp app;
    QCOMPARE(::chmod(app.Dir().c_str(), 0755), 0);
    if (!CanActUnprivileged(app.Dir()))
      QSKIP("no user \"nobody\" that can reach the test's folder, and root passes every permission");
    QVERIFY(QDir().mkpath(QString::fromStdString(app.Path("state"))));
    QCOMPARE(::chmod(app.Path("state").c_str(), 01777), 0);
    const std::string folder = app.Path("shared");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    const std::string file = folder + "/data.csv";
    const std::string edited = Sjis("\"名前\",\"住所\"\r\n\"田中\",\"京都府\"\r\n\"佐藤\",\"大阪府\"\r\n");
    for (mode_t mode : {0666, 0444}) {
      { std::ofstream(file, std::ios::binary | std::ios::trunc) << Sjis(kFile); }
      QCOMPARE(::chmod(file.c_str(), mode), 0);
      QCOMPARE(::chmod(folder.c_str(), 0555), 0);
      OpenAndEdit(app, file);
      app.files.Answer(file);
      const std::optional<std::string> shown = AsUnprivileged([&] {
        app.Main().MenuOverWriteSaveClick();
        std::string texts;
        for (const std::string& t : app.dialogs.texts()) texts += t;
        return texts;
      });
      QVERIFY(shown);
      if (mode == 0666) {
        QCOMPARE(*shown, std::string());
        QCOMPARE(ReadBytes(file), edited);
      } else {
        QCOMPARE(*shown, msg::FileError(file, std::strerror(EACCES)));
        QCOMPARE(ReadBytes(file), Sjis(kFile));
      }
      QCOMPARE(Names(folder), std::set<std::string>{"data.csv"});
      QVERIFY(fs::is_empty(app.StateFolder()));
      app.Stop();
      QCOMPARE(::chmod(folder.c_str(), 0755), 0);
    }
  }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
