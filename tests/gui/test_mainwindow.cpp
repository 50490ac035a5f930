// The main window at start and at exit: placement, captions, menus, the
// two control states, the settings file read and written.
#include <QAction>
#include <QFontDatabase>
#include <QScrollBar>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include "app/AppIcon.h"
#include "core/Messages.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Convert.h"
#include "windows/Create.h"
#include "windows/Dialog.h"
#include "windows/Editdsp.h"
#include "windows/Exchange.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Gridset.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/LinesModel.h"
#include "windows/Replace.h"
#include "windows/Search.h"
#include "windows/Sortset.h"
#include "windows/View.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kThreeLines = "\"名前\",\"住所\"\r\n\"山田\",\"東京都\"\r\n\"鈴木\",\"大阪府\"\r\n";

struct Expect {
  bool loaded;
};

// Every control of the two control states, as the table of the window says.
void CheckControlState(TForm1& m, bool loaded, bool reFind = false) {
  for (const char* name : {"BtnView",           "BtnEdit",         "BtnItemSet",  "BtnExchange", "BtnDispChg",
                           "MenuOverWriteSave", "MenuAnotherSave", "MenuView",    "MenuEdit",    "MenuItemSet",
                           "MenuExchange",      "MenuInport",      "MenuConvert", "MenuSort",    "MenuDispChg",
                           "MenuGridWidthChg",  "MenuSearch",      "MenuFind",    "MenuReplace", "MenuJump",
                           "MenuCopy",          "MenuReopen"})
    QVERIFY2(IsEnabled(m, name) == loaded, name);
  QCOMPARE(IsEnabled(m, "MenuPaste"), loaded);
  QCOMPARE(IsEnabled(m, "MenuReFind"), reFind);
  QCOMPARE(IsEnabled(m, "BtnCreate"), !loaded);
  QCOMPARE(IsEnabled(m, "MenuCreate"), !loaded);
  for (const char* name :
       {"BtnFileOpen", "MenuFileOpen", "MenuExit", "MenuGridWodthMem", "MenuFormPos", "MenuFileOpenMem", "MenuGridSet",
        "MenuOptionSet", "MenuHelpDisp", "MenuFile", "MenuDisp", "MenuOption", "MenuHelp"})
    QVERIFY2(IsEnabled(m, name), name);
}

QStringList VisibleRecent(TForm1& m) {
  QStringList out;
  for (int i = 1; i <= 9; ++i)
    if (Recent(m, i)->isVisible()) out << Recent(m, i)->text();
  return out;
}

std::string RecentSettings(const std::vector<std::string>& files, int max) {
  std::string ini = "[OpenFileName]\r\n";
  for (std::size_t i = 0; i < 9; ++i)
    ini += std::to_string(i + 1) + "=" + (i < files.size() ? files[i] : std::string("none")) + "\r\n";
  ini += "[OpenFileNum]\r\nMax=" + std::to_string(max) + "\r\n";
  return ini;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startWithoutFileAndWithoutSettings() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    QCOMPARE(m.windowTitle(), Utf8("Cavel (ﾒｲﾝ)"));
    QCOMPARE(m.state.BaseCaption, std::string("Cavel (ﾒｲﾝ)"));
    // Centred at the design size.
    QCOMPARE(m.pos(), QPoint((1280 - 604) / 2, (1024 - 420) / 2));
    QCOMPARE(m.size(), QSize(604, 420));
    QVERIFY(VisibleRecent(m).isEmpty());
    QVERIFY(Action(m, "MenuFileSeparate")->isVisible());
    QCOMPARE(m.ListRowCount(), 0);
    QVERIFY(m.ListVisible());
    QVERIFY(m.Grid().View()->isHidden());
    QVERIFY(m.state.CurrentFileName.empty());
    CheckControlState(m, false);
    QCOMPARE(m.state.HistoryMenuBase, 6);
    QCOMPARE(m.state.ListWidthAtStart, 596);
    QCOMPARE(m.state.JumpHistory[1], std::string("0"));
    QCOMPARE(m.state.OpenFileNum, 9);
    QVERIFY(!m.state.CloseDialogDisp);
    QCOMPARE(m.state.ColWidth, 84);
    QCOMPARE(m.Grid().CurrentRow(), 1);
    QCOMPARE(m.Grid().RowCount(), 30000);
    // Nothing was shown, nothing filled.
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(app.pump.calls(), 0);
  }

  void startShowsTheRecentFilesOfTheSettingsUntrimmed() {
    TestApp app;
    app.WriteSettings("[FormMain]\r\nMem=1\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n" +
                      RecentSettings({"/data/a.csv", "/data/b&c.csv", "none", "/data/d.csv"}, 2));
    app.Start();
    TForm1& m = app.Main();
    QCOMPARE(m.pos(), QPoint(10, 20));
    QCOMPARE(m.size(), QSize(700, 500));
    // Slot 3 is "none", slot 4 is above the count: start-up does not trim.
    QCOMPARE(VisibleRecent(m), (QStringList{"/data/a.csv", "/data/b&&c.csv", "/data/d.csv"}));
    QVERIFY(!Recent(m, 3)->isVisible());
    QCOMPARE(m.state.OpenFileNum, 2);
  }

  void placementNotRestoredWhenOneBoundIsUnknown() {
    TestApp app;
    app.WriteSettings("[FormMain]\r\nMem=1\r\nLeft=10\r\nTop=-1\r\nWidth=700\r\nHeight=500\r\n");
    app.Start();
    QCOMPARE(app.Main().pos(), QPoint(338, 302));
    QCOMPARE(app.Main().size(), QSize(604, 420));
  }

  void startWithAFile() {
    TestApp app;
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv", "/x/3.csv"}, 2));
    const std::string file = app.WriteFile("三行.csv", Sjis(kThreeLines));
    app.Start(file);
    TForm1& m = app.Main();
    QCOMPARE(m.ListRowCount(), 3);
    QCOMPARE(m.state.Document.size(), std::size_t(3));
    QCOMPARE(m.state.CurrentFileName, file);
    QCOMPARE(m.Caption(), msg::LineCountCaption("Cavel (ﾒｲﾝ)", file, 3));
    QVERIFY(m.Caption().ends_with("全行数 :     3"));
    QCOMPARE(m.ListSelection(), 0);
    CheckControlState(m, true);
    // The file goes on top; the list is trimmed to the count.
    QCOMPARE(VisibleRecent(m), (QStringList{Utf8(file), "/x/1.csv"}));
    QCOMPARE(app.pump.calls(), 1);
    QCOMPARE(app.pump.lastMilliseconds(), 500);
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(m.state.GridBuilt, 0);
  }

  void startWithARelativePathKeepsItsFullPath() {
    TestApp app;
    app.WriteFile("rel.csv", "a,b\r\n");
    const QString old = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(app.Dir()));
    app.Start(std::string("rel.csv"));
    QDir::setCurrent(old);
    QCOMPARE(app.Main().state.CurrentFileName, app.Path("rel.csv"));
    QCOMPARE(app.Main().state.OpenFileName[1], app.Path("rel.csv"));
  }

  void startWithARefusedFile() {
    TestApp app;
    app.WriteSettings(RecentSettings({"/x/1.csv", "/x/2.csv", "/x/3.csv"}, 2));
    std::string title;
    for (int i = 0; i < 65; ++i) title += (i ? "," : "") + std::string("t");
    const std::string file = app.WriteFile("wide.csv", title + "\r\n");
    app.Start(file);
    TForm1& m = app.Main();
    // The command line's scan stage takes 128 items: the final limit refuses.
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::FinalItemLimit(0)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    CheckControlState(m, false);
    QVERIFY(m.state.Document.empty());
    QCOMPARE(m.state.CurrentFileName, file);
    QCOMPARE(m.Caption(), msg::LineCountCaption("Cavel (ﾒｲﾝ)", file, 0));
    // Trimmed, not added.
    QCOMPARE(VisibleRecent(m), (QStringList{"/x/1.csv", "/x/2.csv"}));
  }

  void startWithAFileThatCannotBeRead() {
    TestApp app;
    app.WriteSettings(RecentSettings({"/x/1.csv"}, 9));
    // A folder exists but cannot be read as a file.
    const std::string folder = app.Path("folder.csv");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    app.Start(folder);
    TForm1& m = app.Main();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QVERIFY(app.dialogs.shown()[0].text.starts_with("   " + folder + "\n\r   "));
    CheckControlState(m, false);
    QVERIFY(m.state.Document.empty());
    QVERIFY(m.state.CurrentFileName.empty());
    QCOMPARE(m.windowTitle(), Utf8("Cavel (ﾒｲﾝ)"));
    QCOMPARE(VisibleRecent(m), QStringList{"/x/1.csv"});
  }

  void menusCaptionsAndShortcuts() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    QStringList menus;
    for (QAction* a : m.menuBar()->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{Utf8("ﾌｧｲﾙ(&F)"), Utf8("表示(&D)"), Utf8("検索(&S)"), Utf8("環境設定(&K)"),
                                 Utf8("ﾍﾙﾌﾟ(&H)")}));
    auto items = [](QMenu* menu) {
      QStringList out;
      for (QAction* a : menu->actions()) {
        QString t = a->isSeparator() ? QStringLiteral("-") : a->text();
        if (!a->shortcut().isEmpty()) t += QLatin1Char('\t') + a->shortcut().toString();
        out << t;
      }
      return out;
    };
    QCOMPARE(items(Menu(m, "MenuFile")).mid(0, 6),
             (QStringList{Utf8("開く(&O)...\tCtrl+O"), Utf8("文字コードを指定して開き直す(&E)"),
                          Utf8("上書保存(&S)...\tCtrl+S"), Utf8("別名保存(&A)..."), Utf8("終了(&X)"), "-"}));
    QCOMPARE(items(Menu(m, "MenuReopen")), (QStringList{"Shift-JIS(&S)", "UTF-8(&U)"}));
    QCOMPARE(items(Menu(m, "MenuFile")).size(), 15);
    QCOMPARE(Menu(m, "MenuFile")->actions().at(6), Recent(m, 1));
    QCOMPARE(Menu(m, "MenuFile")->actions().at(14), Recent(m, 9));
    QCOMPARE(items(Menu(m, "MenuDisp")),
             (QStringList{Utf8("閲覧(&V)...\tCtrl+V"), Utf8("編集(&E)...\tCtrl+E"), Utf8("並順設定(&T)..."),
                          Utf8("項目設定(&G)..."), Utf8("新規作成(&N)..."), Utf8("並順結合(&C)..."),
                          Utf8("型式変更(&K)..."), Utf8("並べ替え(&O)..."), "-", Utf8("表示切替(&R)\tCtrl+R"),
                          Utf8("ｸﾞﾘｯﾄﾞ幅切替(&W)\tCtrl+W"), Utf8("ｸﾞﾘｯﾄﾞ幅記憶(&M)\tCtrl+M"), "-",
                          Utf8("元に戻す(&U)\tCtrl+Z"), Utf8("やり直し(&Y)\tCtrl+Y"), Utf8("コピー(&B)\tCtrl+C"),
                          Utf8("貼り付け(&P)\tShift+Ins")}));
    QCOMPARE(Action(m, "MenuCopy")->shortcuts().value(1), QKeySequence(Qt::CTRL | Qt::Key_Insert));
    QCOMPARE(items(Menu(m, "MenuSearch")), (QStringList{Utf8("検索(&F)...\tCtrl+F"), Utf8("再検索(&L)\tCtrl+L"),
                                                        Utf8("置換(&R)...\tCtrl+H"), Utf8("ｼﾞｬﾝﾌﾟ(&J)...\tCtrl+J")}));
    QCOMPARE(items(Menu(m, "MenuOption")), (QStringList{Utf8("画面位置保存(&F)..."), Utf8("ﾌｧｲﾙ履歴設定(&H)..."),
                                                        Utf8("グリッド表示設定(&G)..."), Utf8("各種設定(&O)..."),
                         Utf8("読込上限(&L)...")}));
    QCOMPARE(items(Menu(m, "MenuHelp")), QStringList{Utf8("ﾍﾙﾌﾟ表示(&C)")});
    QStringList buttons;
    for (QPushButton* b :
         {Button(m, "BtnFileOpen"), Button(m, "BtnView"), Button(m, "BtnEdit"), Button(m, "BtnItemSet"),
          Button(m, "BtnExchange"), Button(m, "BtnCreate"), Button(m, "BtnDispChg")})
      buttons << b->text();
    QCOMPARE(buttons, (QStringList{Utf8("開く(&O)..."), Utf8("閲覧(&V)..."), Utf8("編集(&E)..."), Utf8("並順(&T)..."),
                                   Utf8("項目(&G)..."), Utf8("新規(&N)..."), Utf8("表示(&R)")}));
    // Left to right on the tool bar.
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    QVERIFY(Button(m, "BtnFileOpen")->x() < Button(m, "BtnView")->x() &&
            Button(m, "BtnCreate")->x() < Button(m, "BtnDispChg")->x());
    QCOMPARE(m.Panel1->height(), 26);
    QVERIFY(m.Panel1->y() < m.ListBox1->y());
  }

  void theOtherWindowsCaptionsAndSizes() {
    TestApp app;
    app.Start();
    const TForm1::Children& f = app.Forms();
    struct Row {
      QDialog* w;
      std::string_view caption;
      QSize size;
      bool fixed;
    };
    const Row rows[] = {
        {f.Form2, msg::kCaptionView, {604, 415}, false},     {f.Form3, msg::kCaptionItemset, {604, 420}, false},
        {f.Form4, msg::kCaptionJump, {342, 103}, true},      {f.Form5, msg::kCaptionSearch, {442, 103}, true},
        {f.Form6, msg::kCaptionEditdsp, {604, 420}, false},  {f.Form7, msg::kCaptionCreate, {604, 420}, false},
        {f.Form8, msg::kCaptionExchange, {604, 420}, false}, {f.Form9, msg::kCaptionInport, {604, 380}, false},
        {f.Form10, msg::kCaptionConvert, {604, 420}, false}, {f.Form11, msg::kCaptionFormpos, {392, 193}, true},
        {f.Form12, msg::kCaptionFormregi, {392, 193}, true}, {f.Form13, msg::kCaptionGridset, {392, 193}, true},
        {f.Form14, msg::kCaptionDialog, {392, 193}, true},   {f.Form15, msg::kCaptionSort, {560, 176}, true},
        {f.Form16, msg::kCaptionReplace, {500, 190}, true},
    };
    QObjectList order = app.Main().children();
    int last = -1;
    for (const Row& r : rows) {
      QVERIFY(r.w);
      QCOMPARE(r.w->windowTitle(), Utf8(r.caption));
      QCOMPARE(r.w->size(), r.size);
      QCOMPARE(r.w->minimumSize() == r.w->maximumSize(), r.fixed);
      QVERIFY(r.w->isHidden());
      QCOMPARE(r.w->parentWidget(), &app.Main());
      // Made in the order of their numbers.
      const int at = static_cast<int>(order.indexOf(r.w));
      QVERIFY(at > last);
      last = at;
    }
    QCOMPARE(f.Form10->windowTitle(), Utf8("Cavel (型式変換)"));
  }

  void listFontRowsAndExtent() {
    TestApp app;
    std::string many;
    for (int i = 0; i < 100; ++i) many += Sjis(kThreeLines);
    app.Start(app.WriteFile("a.csv", many));
    TForm1& m = app.Main();
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    QCOMPARE(m.ListBox1->font().pixelSize(), 19);
    QCOMPARE(m.ListBox1->font().family(), SystemFamily());
    if (QFontDatabase::families().contains(QStringLiteral("IPAGothic")))
      QCOMPARE(SystemFamily(), QStringLiteral("IPAGothic"));
    QCOMPARE(m.ListBox1->visualRect(m.ListBox1Model->index(1)).height(), 18);
    QCOMPARE(m.ListBox1->visualRect(m.ListBox1Model->index(2)).top() -
                 m.ListBox1->visualRect(m.ListBox1Model->index(1)).top(),
             18);
    QCOMPARE(m.ListBox1Model->RowSize(), QSize(2980, 18));
    QTRY_COMPARE(m.ListBox1->horizontalScrollBar()->maximum() + m.ListBox1->viewport()->width(), 2980);
    QCOMPARE(m.ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
  }

  void exitWritesTheSettings() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kThreeLines)));
    TForm1& m = app.Main();
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    m.move(33, 44);
    m.resize(640, 480);
    m.state.CloseDialogDisp = true;
    m.state.FormPosMem[kWinItemset] = false;
    app.Stop();
    const std::string ini = ReadBytes(app.SettingsPath());
    for (const char* expected : {"[FormMain]\r\nMem=1\r\nLeft=33\r\nTop=44\r\nWidth=640\r\nHeight=480\r\n",
                                 "[FormItemset]\r\nMem=0\r\n", "[CloseDialogDisp]\r\nSet=1\r\n", "Max=9"})
      QVERIFY2(ini.find(expected) != std::string::npos, expected);
    QVERIFY(ini.find("1=" + app.Path("a.csv") + "\r\n") != std::string::npos);
    // The next start reads them back.
    TestApp next;
    next.WriteSettings(ini);
    next.Start();
    QCOMPARE(next.Main().pos(), QPoint(33, 44));
    QCOMPARE(next.Main().size(), QSize(640, 480));
    QVERIFY(next.Main().state.CloseDialogDisp);
    QCOMPARE(next.Main().state.OpenFileName[1], app.Path("a.csv"));
  }

  void exitWhileMaximizedKeepsTheLastNormalBounds() {
    TestApp app;
    app.WriteSettings("[FormMain]\r\nMem=1\r\nLeft=10\r\nTop=20\r\nWidth=700\r\nHeight=500\r\n");
    app.Start();
    TForm1& m = app.Main();
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    m.showMaximized();
    QVERIFY(m.isMaximized());
    app.Stop();
    const std::string ini = ReadBytes(app.SettingsPath());
    QVERIFY(ini.find("Left=10\r\nTop=20\r\nWidth=700\r\nHeight=500") != std::string::npos);
  }

  void theSeparatorAboveTheRecentFilesStands() {
    TestApp app;
    app.Start();
    QVERIFY(VisibleRecent(app.Main()).isEmpty());
    QVERIFY(Menu(app.Main(), "MenuFile")->actionGeometry(Action(app.Main(), "MenuFileSeparate")).height() > 0);
  }

  void aWindowSavedOffTheScreenIsPulledBackAndItsBoundsKept() {
    const std::string saved = "[FormMain]\r\nMem=1\r\nLeft=1400\r\nTop=800\r\nWidth=604\r\nHeight=420\r\n";
    TestApp app;
    app.screen = QSize(1024, 768);
    app.WriteSettings(saved);
    app.Start();
    TForm1& m = app.Main();
    const FrameMargins frame = kAssumedFrame;
    QCOMPARE(m.pos(), QPoint(1024 - 604 - frame.left - frame.right, 768 - 420 - frame.top - frame.bottom));
    QCOMPARE(m.size(), QSize(604, 420));
    app.Stop();
    QVERIFY(ReadBytes(app.SettingsPath()).find(saved) != std::string::npos);
    // Moved by the user, it is remembered where it was put.
    TestApp moved;
    moved.screen = QSize(1024, 768);
    moved.WriteSettings(saved);
    moved.Start();
    moved.Main().move(100, 90);
    moved.Stop();
    QVERIFY(ReadBytes(moved.SettingsPath()).find("Left=100\r\nTop=90\r\n") != std::string::npos);
  }

  void aWindowClosedMaximizedOpensNormalAtItsBounds() {
    const std::string saved = "[FormItemset]\r\nMem=1\r\nLeft=100\r\nTop=120\r\nWidth=500\r\nHeight=300\r\n";
    TestApp app;
    app.WriteSettings(saved);
    app.Start(app.WriteFile("a.csv", Sjis(kThreeLines)));
    TForm1& m = app.Main();
    m.SelectListRow(1);
    app.modal.Then([](QDialog& w) {
      w.showMaximized();
      QTRY_VERIFY(w.isMaximized());
      w.close();
    });
    m.MenuItemSetClick();
    const auto normalAtItsBounds = [](QDialog& w) {
      QVERIFY(!w.isMaximized());
      QCOMPARE(w.pos(), QPoint(100, 120));
      QCOMPARE(w.size(), QSize(500, 300));
    };
    app.modal.Then([&](QDialog& w) {
      normalAtItsBounds(w);
      QTest::keyClick(app.Forms().Form3->ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_VERIFY(w.isMaximized());
      QTest::keyClick(app.Forms().Form3->ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_COMPARE(w.pos(), QPoint(100, 120));
      QCOMPARE(w.size(), QSize(500, 300));
      w.close();
    });
    m.MenuItemSetClick();
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
    app.Stop();
    QVERIFY(ReadBytes(app.SettingsPath()).find(saved) != std::string::npos);
  }

  void everyWindowShowsTheProgramIcon() {
    TestApp app;
    app.Start();
    const TForm1::Children& f = app.Forms();
    const QWidget* windows[] = {&app.Main(), f.Form2, f.Form3,  f.Form4,  f.Form5,  f.Form6,  f.Form7,
                                f.Form8,     f.Form9, f.Form10, f.Form11, f.Form12, f.Form13, f.Form14};
    for (const QWidget* w : windows) {
      const QList<QSize> sizes = w->windowIcon().availableSizes();
      for (int size : kIconSizes) QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(w->objectName()));
    }
  }

  void exitReportsASettingsFileThatCannotBeWritten() {
    TestApp app;
    app.Start();
    // The settings file's folder is gone by the end of the run.
    TForm1& m = app.Main();
    const_cast<std::string&>(m.SettingsPath()) = app.Path("gone/cavel.INI");
    app.Stop();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].text, msg::CannotWrite(app.Path("gone/cavel.INI")));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
  }

  void exitWithWidthSavingButWithoutAGridStoresNoWidths() {
    TestApp app;
    app.WriteSettings("[GridSet]\r\nWidthSave=1\r\n");
    app.Start(app.WriteFile("a.csv", Sjis(kThreeLines)));
    QVERIFY(app.Main().state.GridWidthSave);
    app.Stop();
    const std::string ini = ReadBytes(app.SettingsPath());
    QVERIFY(ini.find("ResumeFileName") == std::string::npos);
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_mainwindow.moc"
