// The grid view: the fill with its captions, checks and cells, the fixed
// title row, line-number column and corner, the column widths (default,
// remembered, toggled, dragged, stored), and the grid after a shorter file,
// a child window and the settings dialog's blanking.
#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>
#include <QtTest>

#include "core/Messages.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/StringGrid.h"

using namespace cavel;
using namespace cavel::test;

namespace {

// Three lines of four items; the second item of line 2 holds a quoted comma.
const char* kFile = "\"名前\",\"住所\",年齢,備考\r\n\"山田\",\"東京都\",30,\r\n\"鈴木\",\"大阪府,北区\",41,x\r\n";

// The pauses, with the caption that shows while each lasts.
class CaptionPump : public Pump {
 public:
  TForm1* main = nullptr;
  std::vector<std::string> captions;
  void DelayTime(int milliseconds) override {
    QCOMPARE(milliseconds, 500);
    captions.push_back(main ? main->Caption() : std::string());
  }
};

std::string Settings(const std::string& file, const std::string& widths, const std::string& more = "") {
  return "[GridSet]\r\nColWidth=50\r\n" + more + "[ResumeFileName]\r\n1=" + file +
         "\r\n[ResumeColumNum]\r\n1=" + widths + "\r\n";
}

void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
  const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace

class GridTest : public QObject {
  Q_OBJECT
 private slots:
  void fillShowsTheFileAsATable() {
    TestApp app;
    CaptionPump pump;
    app.adjustPorts = [&](AppPorts& p) { p.pump = &pump; };
    app.WriteSettings("[GridSet]\r\nColWidth=50\r\n");
    const std::string file = app.WriteFile("表.csv", Sjis(kFile));
    app.Start(file);
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.Grid().Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    pump.main = &m;
    pump.captions.clear();
    m.SelectListRow(2);
    m.BtnDispChgClick();

    QCOMPARE(pump.captions, (std::vector<std::string>{"Cavel (ﾒｲﾝ)    " + file + "    項目の検査開始",
                                                      "Cavel (ﾒｲﾝ)    " + file + "    項目の幅設定開始"}));
    QCOMPARE(m.Caption(), "Cavel (ﾒｲﾝ)    " + file + "    全行数 :     3");
    QCOMPARE(m.state.GridBuilt, 1);
    QVERIFY(app.dialogs.shown().empty());
    // Five columns, four rows: the titles twice, the path in the corner.
    QCOMPARE(m.Grid().RowCount(), 4);
    QCOMPARE(m.Grid().Model()->rowCount(), 3);
    QCOMPARE(m.Grid().Model()->columnCount(), 4);
    QCOMPARE(GridCell(m, 0, 0), file);
    for (int k = 1; k <= 4; ++k) QCOMPARE(GridCell(m, k, 0), GridCell(m, k, 1));
    QCOMPARE(GridCell(m, 1, 0), Sjis("\"名前\""));
    QCOMPARE(GridCell(m, 4, 0), Sjis("備考"));
    QCOMPARE(GridCell(m, 0, 1), "0");
    QCOMPARE(GridCell(m, 0, 3), "2");
    QCOMPARE(GridCell(m, 2, 3), Sjis("\"大阪府,北区\""));
    QCOMPARE(GridCell(m, 4, 2), "");
    QCOMPARE(m.Grid().Model()->index(2, 1).data().toString(), Utf8("\"大阪府,北区\""));
    QCOMPARE(m.Grid().Model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), Utf8("\"名前\""));
    QCOMPARE(m.Grid().Model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("2"));
    QCOMPARE(m.Grid().Model()->CornerText(), Utf8(file));
    // Every column at ColWidth, column 0 included; rows of 24 pixels; read-only.
    QCOMPARE(m.Grid().ColumnWidths(), (std::vector<int>{50, 50, 50, 50, 50}));
    QCOMPARE(m.Grid().View()->verticalHeader()->maximumWidth(), 50);
    QCOMPARE(m.Grid().View()->verticalHeader()->sectionSize(1), 24);
    QCOMPARE(m.Grid().View()->horizontalHeader()->height(), 24);
    QVERIFY(!(m.Grid().Model()->flags(m.Grid().Model()->index(0, 0)) & Qt::ItemIsEditable));
    QCOMPARE(m.Grid().View()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(m.Grid().View()->selectionMode(), QAbstractItemView::ContiguousSelection);
    QCOMPARE(m.Grid().View()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    // The view switch put the cursor on the selected line.
    QCOMPARE(m.Grid().CurrentRow(), 3);
  }

  void beforeTheFirstFillTheGridHas30000EmptyRows() {
    TestApp app;
    app.WriteSettings("[GridSet]\r\nDisp=0\r\n");
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    QCOMPARE(m.Grid().RowCount(), 30000);
    QCOMPARE(m.Grid().Model()->rowCount(), 29999);
    QCOMPARE(m.Grid().Model()->columnCount(), 39);
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(40, 84));
    QCOMPARE(m.Grid().CurrentRow(), 1);
    // Grid display off: the switch shows the grid as it is, unfilled.
    const int pauses = app.pump.calls();
    m.BtnDispChgClick();
    QVERIFY(!m.ListVisible());
    QCOMPARE(app.pump.calls(), pauses);
    QCOMPARE(m.state.GridBuilt, 0);
    QCOMPARE(m.Grid().RowCount(), 30000);
    QCOMPARE(GridCell(m, 0, 0), "");
    QCOMPARE(GridCell(m, 1, 1), "");
    Action(m, "MenuGridWidthChg")->trigger();
    Action(m, "MenuGridWodthMem")->trigger();
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kGridNotLoaded), std::string(msg::kGridNotLoaded)}));
    QCOMPARE(app.dialogs.shown()[0].buttons, mbAbort);
  }

  void widthCommandsWithoutAGridOfTheOpenFile() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    // No file: the empty corner is the empty file name; the question, then nothing.
    m.MenuGridWodthMemClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskStoreGridWidth)});
    QCOMPARE(m.state.ResumeFileName[1], "");
    app.dialogs.Clear();

    const std::string file = app.WriteFile("a.csv", Sjis(kFile));
    app.files.Answer(file);
    m.MenuFileOpenClick();
    m.MenuGridWidthChgClick();
    m.MenuGridWodthMemClick();
    // Filled, but nothing remembered for the file.
    m.BtnDispChgClick();
    const std::vector<int> widths = m.Grid().ColumnWidths();
    m.MenuGridWidthChgClick();
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kGridNotLoaded), std::string(msg::kGridNotLoaded),
                                       std::string(msg::kGridWidthNotStored)}));
    QCOMPARE(m.Grid().ColumnWidths(), widths);
  }

  void rememberedWidthsAreAppliedAndToggled() {
    struct Case {
      std::string list;
      std::vector<int> shown;
    };
    // Fewer numbers than columns; more; a part that is not a number.
    for (const Case& c : {Case{"30,100,120", {30, 100, 120, 50, 50}}, Case{"30,100,120,7,8,9,10", {30, 100, 120, 7, 8}},
                          Case{"30,x,120", {30, 50, 50, 50, 50}}}) {
      TestApp app;
      const std::string file = app.Path("a.csv");
      app.WriteSettings(Settings(file, c.list));
      app.Start(app.WriteFile("a.csv", Sjis(kFile)));
      TForm1& m = app.Main();
      m.BtnDispChgClick();
      QCOMPARE(m.Grid().ColumnWidths(), c.shown);
      QCOMPARE(m.state.GridWidthState, 1);
      Action(m, "MenuGridWidthChg")->trigger();
      QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(5, 50));
      QCOMPARE(m.state.GridWidthState, 0);
      Action(m, "MenuGridWidthChg")->trigger();
      QCOMPARE(m.Grid().ColumnWidths(), c.shown);
      QVERIFY(app.dialogs.shown().empty());
    }
    // Not applied by the fill when GridResum is off: the first Ctrl+W does it.
    TestApp app;
    const std::string file = app.Path("a.csv");
    app.WriteSettings(Settings(file, "30,100", "Resum=0\r\n"));
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.BtnDispChgClick();
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(5, 50));
    QCOMPARE(m.state.GridWidthState, 0);
    m.MenuGridWidthChgClick();
    QCOMPARE(m.Grid().ColumnWidths(), (std::vector<int>{30, 100, 50, 50, 50}));
  }

  void faultyLinesAreReportedAndStillShown() {
    TestApp app;
    const std::string file = app.Path("a.csv");
    app.WriteSettings(Settings(file, "30,100,120"));
    app.Start(app.WriteFile("a.csv", "t1,t2\r\na,b\r\nc,d\r\nx,y\r\n"));
    TForm1& m = app.Main();
    // Lines no file can bring, changed in a child window: line 1 with 65
    // items, line 2 with an item past 4096 bytes ended by a separator.
    std::string many = "a";
    for (int k = 2; k <= 65; ++k) many += "," + std::to_string(k);
    const std::string item(4097, 'z');
    m.SelectListRow(1);
    app.modal.Then([&](QDialog& w) {
      m.state.Document.Set(1, Line(many));
      m.state.Document.Set(2, Line(item + ",y,w"));
      m.state.DocumentChanged = 1;
      w.accept();
    });
    m.MenuItemSetClick();
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::ItemCount(1, 65), msg::ItemLength(2, 1)}));
    QCOMPARE(app.dialogs.shown()[0].buttons, mbAbort);
    QCOMPARE(app.dialogs.shown()[1].buttons, mbAbort);
    // Both lines are shown; the fill went on to the last line.
    QCOMPARE(m.Grid().RowCount(), 5);
    QCOMPARE(m.Grid().Model()->columnCount(), 2);
    QCOMPARE(GridCell(m, 1, 2), "a");
    QCOMPARE(GridCell(m, 2, 2), "2");
    QCOMPARE(GridCell(m, 1, 3), item + ",y,w");
    QCOMPARE(GridCell(m, 2, 3), "");
    QCOMPARE(GridCell(m, 2, 4), "y");
    // A check failed: the remembered widths wait for Ctrl+W.
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(3, 50));
    QCOMPARE(m.state.GridWidthState, 0);
    m.MenuGridWidthChgClick();
    QCOMPARE(m.Grid().ColumnWidths(), (std::vector<int>{30, 100, 120}));
  }

  void aShorterFileLeavesNothingOfTheLongerOne() {
    TestApp app;
    const std::string a = app.WriteFile("a.csv", Sjis(kFile));
    const std::string b = app.WriteFile("b.csv", "p,q\r\n1,2\r\n");
    app.Start(a);
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.Grid().Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.BtnDispChgClick();
    QCOMPARE(m.Grid().Cells().Cell(4, 3), "x");
    app.files.Answer(b);
    m.MenuFileOpenClick();
    QVERIFY(m.ListVisible());
    // Until it is filled again the grid shows a.csv: it does not follow b's list.
    QCOMPARE(m.Grid().CornerText(), a);
    m.MenuGridWidthChgClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kGridNotLoaded)});
    m.BtnDispChgClick();
    QCOMPARE(m.Grid().CornerText(), b);
    QCOMPARE(m.Grid().RowCount(), 3);
    QCOMPARE(m.Grid().Model()->columnCount(), 2);
    for (auto [col, row] : {std::pair{3, 0}, {4, 3}, {1, 3}, {3, 2}, {0, 3}})
      QCOMPARE(m.Grid().Cells().Cell(col, row), "");
    QCOMPARE(GridCell(m, 2, 2), "2");
  }

  void columnsAreResizedByDraggingColumnZeroToo() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    ShowActive(m);
    m.BtnDispChgClick();
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(5, 84));
    // Column 1: its header's right edge.
    QHeaderView* top = m.Grid().View()->horizontalHeader();
    QWidget* topArea = top->viewport();
    const QPoint edge(top->sectionViewportPosition(0) + 83, 10);
    QTest::mousePress(topArea, Qt::LeftButton, Qt::NoModifier, edge);
    QTest::mouseMove(topArea, edge + QPoint(40, 0));
    QTest::mouseRelease(topArea, Qt::LeftButton, Qt::NoModifier, edge + QPoint(40, 0));
    QCOMPARE(m.Grid().ColumnWidths()[1], 124);
    // Column 0: the corner's right edge, or beside the line numbers.
    QAbstractButton* corner = m.Grid().View()->findChild<QAbstractButton*>();
    QVERIFY(corner);
    QCOMPARE(corner->width(), 84);
    const QPoint cornerEdge(82, 10);
    Mouse(corner, QEvent::MouseMove, cornerEdge);
    QCOMPARE(corner->cursor().shape(), Qt::SplitHCursor);
    Mouse(corner, QEvent::MouseButtonPress, cornerEdge, Qt::LeftButton);
    Mouse(corner, QEvent::MouseMove, cornerEdge + QPoint(30, 0), Qt::LeftButton);
    Mouse(corner, QEvent::MouseButtonRelease, cornerEdge + QPoint(30, 0));
    QCOMPARE(m.Grid().ColumnWidths()[0], 114);
    QTRY_COMPARE(corner->width(), 114);
    QWidget* numbers = m.Grid().View()->verticalHeader()->viewport();
    const QPoint numbersEdge(112, 30);
    Mouse(numbers, QEvent::MouseButtonPress, numbersEdge, Qt::LeftButton);
    Mouse(numbers, QEvent::MouseMove, numbersEdge - QPoint(200, 0), Qt::LeftButton);
    Mouse(numbers, QEvent::MouseButtonRelease, numbersEdge - QPoint(200, 0));
    QCOMPARE(m.Grid().ColumnWidths()[0], 0);
    // Away from the edge a press is the header's own (no resize).
    m.Grid().SetColumnWidths({84});
    Mouse(numbers, QEvent::MouseButtonPress, QPoint(20, 30), Qt::LeftButton);
    Mouse(numbers, QEvent::MouseMove, QPoint(60, 30), Qt::LeftButton);
    Mouse(numbers, QEvent::MouseButtonRelease, QPoint(60, 30));
    QCOMPARE(m.Grid().ColumnWidths()[0], 84);
    QCOMPARE(m.Grid().ColumnWidths(), (std::vector<int>{84, 124, 84, 84, 84}));
  }

  void widthsAreRememberedOnAskingAndAtExit() {
    TestApp app;
    app.WriteSettings("[GridSet]\r\nWidthSave=1\r\n");
    const std::string file = app.WriteFile("a.csv", Sjis(kFile));
    app.Start(file);
    TForm1& m = app.Main();
    m.BtnDispChgClick();
    m.Grid().SetColumnWidths({40, 90, 100});
    app.dialogs.Answer(mbNo);
    m.MenuGridWodthMemClick();
    QCOMPARE(m.state.ResumeFileName[1], "");
    app.dialogs.Answer(mbYes);
    Action(m, "MenuGridWodthMem")->trigger();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, std::string(msg::kAskStoreGridWidth)));
    // Written at once.
    std::string ini = ReadBytes(app.SettingsPath());
    QVERIFY(ini.find("1=" + file + "\r\n") != std::string::npos);
    QVERIFY(ini.find("1=40,90,100,84,84\r\n") != std::string::npos);
    QCOMPARE(m.state.GridWidthState, 1);  // left as the fill set it
    // At exit the widths as they are then.
    m.Grid().View()->horizontalHeader()->resizeSection(3, 33);
    app.Stop();
    ini = ReadBytes(app.SettingsPath());
    QVERIFY(ini.find("1=40,90,100,84,33\r\n") != std::string::npos);
    QVERIFY(ini.find("40,90,100,84,84") == std::string::npos);
  }

  void exitStoresNoWidthsForAFileTheGridDoesNotShow() {
    TestApp app;
    app.WriteSettings("[GridSet]\r\nWidthSave=1\r\n");
    const std::string a = app.WriteFile("a.csv", Sjis(kFile));
    const std::string b = app.WriteFile("b.csv", "p,q\r\n");
    app.Start(a);
    TForm1& m = app.Main();
    m.BtnDispChgClick();
    m.BtnDispChgClick();
    app.files.Answer(b);
    m.MenuFileOpenClick();
    // The grid still holds a.csv's cells and widths: they are not b's.
    app.Stop();
    const std::string ini = ReadBytes(app.SettingsPath());
    QVERIFY(ini.find("=" + b + "\r\n[") == std::string::npos);
    QVERIFY(ini.find("ResumeColumNum") == std::string::npos);
  }

  void returnRefreshRefillsTheGridAndKeepsItsCursor() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.Grid().Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.BtnDispChgClick();
    m.Grid().SetCurrentRow(2);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(m.state.CurrentLine, 1);
      m.state.Document.push_back(Line(Sjis("\"佐藤\",\"福岡県\",22,")));
      m.state.CurrentLine = 3;
      m.state.DocumentChanged = 1;
      w.accept();
    });
    m.MenuEditClick();
    QCOMPARE(m.Grid().RowCount(), 5);
    QCOMPARE(GridCell(m, 1, 4), Sjis("\"佐藤\""));
    QCOMPARE(GridCell(m, 0, 4), "3");
    QCOMPARE(m.Grid().CurrentRow(), 4);
    QVERIFY(!m.ListVisible());
    // Nothing changed: no refill, the cursor still follows the line.
    const int pauses = app.pump.calls();
    app.modal.Then([&](QDialog& w) {
      m.state.CurrentLine = 0;
      w.reject();
    });
    m.MenuViewClick();
    QCOMPARE(app.pump.calls(), pauses);
    QCOMPARE(m.Grid().CurrentRow(), 1);
  }

  void menuShortcutsReachTheWindowFromTheGrid() {
    TestApp app;
    const std::string file = app.Path("a.csv");
    app.WriteSettings(Settings(file, "30,100"));
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    ShowActive(m);
    m.BtnDispChgClick();
    QVERIFY(m.Grid().View()->hasFocus());
    QTest::keyClick(m.Grid().View(), Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(5, 50));
    app.dialogs.Answer(mbNo);
    QTest::keyClick(m.Grid().View(), Qt::Key_M, Qt::ControlModifier);
    QTest::keyClick(m.Grid().View(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClick(m.Grid().View(), Qt::Key_J, Qt::ControlModifier);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskStoreGridWidth)});
    QCOMPARE(app.modal.shown(), (std::vector<QString>{Utf8(msg::kCaptionSearch), Utf8(msg::kCaptionJump)}));
  }

  void blankingAndResettingFromTheSettingsDialog() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.Grid().Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.BtnDispChgClick();
    m.Grid().SetColumnWidths({10, 20});
    m.Grid().BlankCells(32, 4);
    QCOMPARE(GridCell(m, 0, 0), "");
    QCOMPARE(GridCell(m, 2, 3), "");
    QCOMPARE(m.Grid().Model()->index(2, 1).data().toString(), QString());
    m.state.ColWidth = 70;
    m.Grid().ResetWidths();
    QCOMPARE(m.Grid().ColumnWidths(), std::vector<int>(5, 70));
    m.MenuGridWidthChgClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kGridNotLoaded)});
  }
};

QTEST_MAIN(GridTest)
#include "test_grid.moc"
