// The list view: the virtual model, ListBoxDisp with its captions and pause,
// the view switch, the return refresh after a child window, and the
// child-window protocol of the commands.
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QtTest>

#include "core/Messages.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Create.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Itemset.h"
#include "windows/LinesModel.h"
#include "windows/Search.h"
#include "windows/View.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "\"番号\",\"名前\"\r\n\"1\",\"一郎\"\r\n\"2\",\"二郎\"\r\n\"3\",\"三郎\"\r\n\"4\",\"四郎\"\r\n";

// The pause, recording the caption that shows while it lasts.
class CaptionPump : public Pump {
 public:
  TForm1* main = nullptr;
  std::vector<std::string> captions;
  void DelayTime(int milliseconds) override {
    QCOMPARE(milliseconds, 500);
    captions.push_back(main ? main->Caption() : std::string("(starting)"));
  }
};

}  // namespace

class ListViewTest : public QObject {
  Q_OBJECT
 private slots:
  void listBoxDispShowsItsTwoCaptions() {
    TestApp app;
    CaptionPump pump;
    app.adjustPorts = [&](AppPorts& p) { p.pump = &pump; };
    app.Start();
    TForm1& m = app.Main();
    pump.main = &m;
    const std::string file = app.WriteFile("一覧.csv", Sjis(kFile));
    app.files.Answer(file);
    m.MenuFileOpenClick();
    QCOMPARE(pump.captions, std::vector<std::string>{msg::StatusCaption("Cavel (ﾒｲﾝ)", file, "項目の読込開始")});
    QCOMPARE(pump.captions[0], "Cavel (ﾒｲﾝ)    " + file + "    項目の読込開始");
    QCOMPARE(m.Caption(), "Cavel (ﾒｲﾝ)    " + file + "    全行数 :     5");
    // ListBoxDisp leaves no selection; the open path selects line 0 after it.
    m.ListBoxDisp();
    QCOMPARE(m.ListSelection(), -1);
    QCOMPARE(pump.captions.size(), std::size_t(2));
  }

  void lineCountCaptionForOneAndForThirtyThousandLines() {
    TestApp app;
    app.Start(app.WriteFile("one.csv", "title"));
    QVERIFY(app.Main().Caption().ends_with("全行数 :     1"));
    std::string big;
    for (int i = 0; i < 30000; ++i) big += "a\r\n";
    app.files.Answer(app.WriteFile("big.csv", big));
    app.Main().MenuFileOpenClick();
    QVERIFY(app.Main().Caption().ends_with("全行数 : 30000"));
    QCOMPARE(app.Main().ListRowCount(), 30000);
  }

  void theModelShowsTheLinesUntouched() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Two items of about 4000 bytes each.
    std::string longLine = Sjis("長い行");
    while (longLine.size() < 4000) longLine += Sjis("，項目");
    longLine += "," + longLine;
    const std::string bytes = Sjis("見出し,x\r\n") + "bad\x80,\x81\r\n" + longLine + "\r\n";
    app.files.Answer(app.WriteFile("m.csv", bytes));
    app.dialogs.SetFallback(mbYes);
    m.MenuFileOpenClick();
    QCOMPARE(m.ListRowCount(), 3);
    LinesModel& model = *m.ListBox1Model;
    QCOMPARE(model.index(0).data().toString(), Utf8("見出し,x"));
    QCOMPARE(model.index(1).data().toString(), QStringLiteral("bad\uFFFD,\uFFFD"));
    QCOMPARE(model.index(1).data(LinesModel::LineBytesRole).toByteArray(), QByteArray("bad\x80,\x81"));
    QCOMPARE(m.state.Document[1], std::string("bad\x80,\x81"));
    // A long line is decoded for painting only as far as any row can be seen.
    const QString shown = model.index(2).data().toString();
    const QString full = model.index(2).data(LinesModel::FullTextRole).toString();
    QVERIFY(full.startsWith(shown));
    QVERIFY(shown.size() >= 1000 && shown.size() < full.size());
    QCOMPARE(model.index(2).data(Qt::SizeHintRole).toSize(), QSize(2980, 18));
    // Lines changed under a filled list show nothing beyond their end until
    // the list is filled again.
    m.state.Document.pop_back();
    QVERIFY(!model.index(2).data().isValid());
    m.ListBoxDisp();
    QCOMPARE(m.ListRowCount(), 2);
  }

  void viewSwitchKeepsTheLine() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    ShowActive(m);
    m.SelectListRow(3);
    m.BtnDispChgClick();
    QVERIFY(m.Grid().View()->isVisible());
    QVERIFY(m.ListBox1->isHidden());
    QCOMPARE(m.Grid().CurrentRow(), 4);
    QVERIFY(m.Grid().View()->hasFocus());
    Action(m, "MenuDispChg")->trigger();
    QVERIFY(m.ListBox1->isVisible());
    QVERIFY(m.Grid().View()->isHidden());
    QCOMPARE(m.ListSelection(), 3);
    QVERIFY(m.ListBox1->hasFocus());
    // The grid's row moved while it showed: the list follows it back.
    Button(m, "BtnDispChg")->click();
    m.Grid().SetCurrentRow(2);
    Button(m, "BtnDispChg")->click();
    QCOMPARE(m.ListSelection(), 1);
  }

  void viewSwitchWithAnEmptyListDoesNothing() {
    TestApp app;
    app.Start(app.WriteFile("empty.csv", ""));
    TForm1& m = app.Main();
    QVERIFY(Button(m, "BtnDispChg")->isEnabled());
    QCOMPARE(m.ListRowCount(), 0);
    m.BtnDispChgClick();
    QVERIFY(m.ListVisible());
    QVERIFY(m.Grid().View()->isHidden());
  }

  void returnRefreshAfterAWindowThatChangedTheDocument() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    QAbstractItemModelTester tester(m.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.SelectListRow(2);
    m.state.DocumentChanged = 1;
    const int pauses = app.pump.calls();
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8(msg::kCaptionItemset));
      QCOMPARE(m.state.CurrentLine, 2);
      QCOMPARE(m.state.DocumentChanged, 0);
      // The window changes the Document in one step and reports it.
      m.state.Document.insert(m.state.Document.begin() + 3, Line("new,line"));
      m.state.CurrentLine = 3;
      m.state.DocumentChanged = 1;
      w.accept();
    });
    Button(m, "BtnItemSet")->click();
    QCOMPARE(app.modal.pending(), std::size_t(0));
    QCOMPARE(m.ListRowCount(), 6);
    QCOMPARE(m.ListBox1Model->index(3).data().toString(), QStringLiteral("new,line"));
    QCOMPARE(m.ListSelection(), 3);
    // The list's pause, then the grid's two.
    QCOMPARE(app.pump.calls(), pauses + 3);
    QVERIFY(m.Caption().ends_with("全行数 :     6"));
  }

  void returnRefreshAfterAWindowThatChangedNothing() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.SelectListRow(4);
    const int pauses = app.pump.calls();
    const std::string caption = m.Caption();
    for (auto command : {&TForm1::MenuExchangeClick, &TForm1::MenuInportClick, &TForm1::MenuConvertClick}) {
      app.modal.Then([&](QDialog& w) {
        QCOMPARE(m.state.CurrentLine, 4);
        m.state.CurrentLine = 1;
        w.reject();
      });
      (m.*command)();
      QCOMPARE(m.ListSelection(), 1);
      m.SelectListRow(4);
    }
    QCOMPARE(app.modal.shown(), (std::vector<QString>{Utf8(msg::kCaptionExchange), Utf8(msg::kCaptionInport),
                                                      Utf8(msg::kCaptionConvert)}));
    QCOMPARE(app.pump.calls(), pauses);
    QCOMPARE(m.Caption(), caption);
  }

  void recordWindowCommandsTakeTheVisibleViewsLine() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.SelectListRow(2);
    // Shown with DocumentChanged cleared, as every editing window is.
    m.state.DocumentChanged = 1;
    app.modal.Then([&](QDialog&) { QCOMPARE(m.state.DocumentChanged, 0); });
    Action(m, "MenuEdit")->trigger();
    QCOMPARE(m.state.CurrentLine, 2);
    m.BtnDispChgClick();
    m.Grid().SetCurrentRow(5);
    Button(m, "BtnView")->click();
    QCOMPARE(m.state.CurrentLine, 4);
    QCOMPARE(m.ListSelection(), 4);
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
  }

  void childWindowsArePlacedAndCaptureTheirBounds() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.SelectListRow(1);
    QDialog* itemset = app.Forms().Form3;
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.pos(), QPoint((1280 - 604) / 2, (1024 - 420) / 2));
      QCOMPARE(w.size(), QSize(604, 420));
      w.move(100, 120);
      w.resize(500, 300);
      w.accept();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.FormLeft[kWinItemset], 100);
    QCOMPARE(m.state.FormTop[kWinItemset], 120);
    QCOMPARE(m.state.FormWidth[kWinItemset], 500);
    QCOMPARE(m.state.FormHeight[kWinItemset], 300);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.pos(), QPoint(100, 120));
      w.showMaximized();
      w.close();
    });
    m.MenuItemSetClick();
    // Closed while maximized: the bounds stay.
    QCOMPARE(m.state.FormWidth[kWinItemset], 500);
    m.state.FormPosMem[kWinItemset] = false;
    itemset->showNormal();
    itemset->hide();
    app.modal.Then([&](QDialog& w) { QCOMPARE(w.pos(), QPoint(338, 302)); });
    m.MenuItemSetClick();
    // The settings dialogs are always centred.
    app.modal.Then([&](QDialog& w) { QCOMPARE(w.pos(), QPoint((1280 - 392) / 2, (1024 - 193) / 2)); });
    m.MenuFormPosClick();
    app.modal.Then([&](QDialog& w) { QCOMPARE(w.pos(), QPoint((1280 - 442) / 2, (1024 - 103) / 2)); });
    m.MenuFindClick();
    QCOMPARE(app.modal.shown().size(), std::size_t(5));
  }

  void escInAChildWindowAsksWhenTheSettingSaysSo() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.SelectListRow(0);
    app.modal.Then([&](QDialog& w) {
      QTest::keyClick(&w, Qt::Key_Return);
      QVERIFY(w.isVisible());
      QTest::keyClick(&w, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuConvertClick();
    QVERIFY(app.dialogs.shown().empty());
    m.state.CloseDialogDisp = true;
    app.modal.Then([&](QDialog& w) {
      app.dialogs.Answer(mbNo);
      QTest::keyClick(&w, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(&w, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuConvertClick();
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
  }

  void newFileCommandShowsTheNewLine() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    ShowActive(m);
    m.state.GridBuilt = 1;
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8(msg::kCaptionCreate));
      QCOMPARE(m.state.NewFileMade, 0);
      QCOMPARE(m.state.GridBuilt, 0);
      m.state.Document = {"a,b"};
      m.state.NewFileMade = 1;
      m.state.DocumentChanged = 1;
      w.accept();
    });
    Button(m, "BtnCreate")->click();
    QCOMPARE(m.ListRowCount(), 1);
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.ListBox1));
  }

  void historyCountDialogTrimsWhetherSavedOrNot() {
    TestApp app;
    app.WriteSettings("[OpenFileName]\r\n1=/a.csv\r\n2=/b.csv\r\n3=/c.csv\r\n");
    app.Start();
    TForm1& m = app.Main();
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8(msg::kCaptionFormregi));
      m.state.OpenFileNum = 1;
      w.reject();
    });
    m.MenuFileOpenMemClick();
    QCOMPARE(m.state.OpenFileName[2], std::string("none"));
    QVERIFY(Recent(m, 1)->isVisible());
    QVERIFY(!Recent(m, 2)->isVisible());
  }

  // Only the characters that can reach the view are laid out: what shows is
  // what the whole text would show, in the list scrolled anywhere and in a
  // grid cell that elides its item.
  void longTextsPaintAsIfWholeWhereTheyShow() {
    TestApp app;
    std::string line = Sjis("\"");
    for (int i = 0; i < 300; ++i) line += Sjis(i % 3 ? "漢字," : "ab,");
    app.Start(app.WriteFile("long.csv", line + "\r\n" + line + "\r\n"));
    TForm1& m = app.Main();
    ShowActive(m);
    auto same = [](QAbstractItemView& view) {
      const QImage cut = view.viewport()->grab().toImage();
      QAbstractItemDelegate* own = view.itemDelegate();
      QStyledItemDelegate whole;
      view.setItemDelegate(&whole);
      const QImage full = view.viewport()->grab().toImage();
      view.setItemDelegate(own);
      return cut == full;
    };
    for (int x : {0, 1234, m.ListBox1->horizontalScrollBar()->maximum()}) {
      m.ListBox1->horizontalScrollBar()->setValue(x);
      QVERIFY2(same(*m.ListBox1), qPrintable(QString::number(x)));
    }
    m.BtnDispChgClick();
    QVERIFY(same(*m.Grid().View()));
  }
};

QTEST_MAIN(ListViewTest)
#include "test_listview.moc"
