// The item editor's window: its buttons, tab order and focus, the entries
// of the reference line, the list following up, down and delete, the three
// saves with their refusals and questions, the keys, a refused or missing
// reference line (never shown, bounds still captured) and the return refresh.
#include <QSignalSpy>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Exchange.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "A,B,C\r\nx1,y1,z1\r\nx2,y2,z2\r\n";

TForm8& Form8(TestApp& app) { return *app.Forms().Form8; }

std::vector<QString> ListTexts(const TForm8& f) {
  std::vector<QString> texts;
  for (int r = 0; r < f.ListBox1Model->rowCount(); ++r) texts.push_back(f.ListBox1Model->index(r).data().toString());
  return texts;
}

std::vector<QString> Texts(std::initializer_list<const char*> utf8) {
  std::vector<QString> texts;
  for (const char* t : utf8) texts.push_back(QString::fromUtf8(t));
  return texts;
}

int Selected(const TForm8& f) {
  const QModelIndexList rows = f.ListBox1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void ShowsTheModel(const TForm8& f) {
  QCOMPARE(f.ListBox1Model->rowCount(), f.Items().EntryCount());
  for (int r = 0; r < f.Items().EntryCount(); ++r)
    QCOMPARE(f.ListBox1Model->index(r).data(LinesModel::LineBytesRole).toByteArray().toStdString(), f.Items().Entry(r));
  QCOMPARE(Selected(f), f.Items().Cursor());
}

}  // namespace

class ExchangeTest : public QObject {
  Q_OBJECT
 private slots:
  void buttonsTabOrderAndFocus() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm8& f = Form8(app);
    struct Place {
      QPushButton* button;
      std::string_view caption;
      int left, top;
    };
    const Place places[] = {
        {f.BtnSave, "保存(&S)", 0, 0},          {f.BtnCancel, "ｷｬﾝｾﾙ", 0, 24},      {f.BtnUp, "一つ上へ", 100, 0},
        {f.BtnDown, "一つ下へ", 100, 24},       {f.BtnAdd, "追加保存(&N)", 200, 0}, {f.BtnDelete, "削除(&D)", 200, 24},
        {f.BtnSpecial, "特殊保存(&A)", 300, 0},
    };
    for (const Place& p : places) {
      QCOMPARE(p.button->parentWidget(), f.Panel1);
      QCOMPARE(p.button->text(), Utf8(p.caption));
      QCOMPARE(p.button->geometry(), QRect(p.left, p.top, 100, 25));
    }
    QCOMPARE(f.Panel1->findChildren<QPushButton*>().size(), qsizetype(7));
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8("Cavel (項目設定)"));
      QCOMPARE(f.ListBox1->geometry(), QRect(0, 50, w.width(), w.height() - 50));
      QCOMPARE(f.ListBox1->font().pixelSize(), 13);
      QCOMPARE(f.ListBox1->visualRect(f.ListBox1Model->index(0)).height(), 18);
      w.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&w));
      QCOMPARE(QApplication::focusWidget(), f.ListBox1);
      for (QWidget* next : std::vector<QWidget*>{f.BtnCancel, f.BtnUp, f.BtnDown, f.BtnAdd, f.BtnDelete, f.BtnSave,
                                                 f.BtnSpecial, f.ListBox1}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
      }
    });
    Button(app.Main(), "BtnExchange")->click();
    QCOMPARE(app.modal.shown(), std::vector<QString>{Utf8(msg::kCaptionExchange)});
  }

  void entriesAreTheItemsOfTheCurrentLine() {
    TestApp app;
    std::string title = Sjis("番号,\"氏名,かな\"");
    for (int k = 3; k <= 11; ++k) title += ",c" + std::to_string(k);
    app.Start(app.WriteFile("a.csv", title + "\r\n" + Sjis("1,\"山田,やまだ\",") + "3,4,5,6,7,8,9,10,11\r\n"));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    app.modal.Then([&](QDialog&) {
      const std::vector<QString> texts = ListTexts(f);
      QCOMPARE(texts.size(), std::size_t(11));
      QCOMPARE(texts[0], Utf8("01 : 番号"));
      QCOMPARE(texts[1], Utf8("02 : \"氏名,かな\""));
      QCOMPARE(texts[8], Utf8("09 : c9"));
      QCOMPARE(texts[9], Utf8("10 : c10"));
      QCOMPARE(Selected(f), 0);
    });
    m.MenuExchangeClick();
    // A record line shows its own values.
    m.SelectListRow(1);
    app.modal.Then([&](QDialog&) {
      QCOMPARE(ListTexts(f)[1], Utf8("02 : \"山田,やまだ\""));
      QCOMPARE(ListTexts(f)[10], Utf8("11 : 11"));
    });
    m.MenuExchangeClick();
    QCOMPARE(m.ListSelection(), 1);
    QCOMPARE(m.state.DocumentChanged, 0);
  }

  void upDownDeleteAndSaveRebuildEveryLine() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    QAbstractItemModelTester tester(f.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.SelectListRow(2);
    const int pauses = app.pump.calls();
    app.modal.Then([&](QDialog&) {
      QSignalSpy resets(f.ListBox1Model, &QAbstractItemModel::modelReset);
      QCOMPARE(ListTexts(f), Texts({"01 : x2", "02 : y2", "03 : z2"}));
      f.BtnUp->click();  // at the top: nothing
      ShowsTheModel(f);
      f.ListBox1->selectionModel()->setCurrentIndex(f.ListBox1Model->index(2), QItemSelectionModel::ClearAndSelect);
      QCOMPARE(f.Items().Cursor(), 2);
      f.BtnUp->click();
      ShowsTheModel(f);
      f.BtnUp->click();
      ShowsTheModel(f);
      QCOMPARE(ListTexts(f), Texts({"03 : z2", "01 : x2", "02 : y2"}));
      f.BtnDown->click();
      ShowsTheModel(f);
      QCOMPARE(ListTexts(f), Texts({"01 : x2", "03 : z2", "02 : y2"}));
      f.BtnDelete->click();
      ShowsTheModel(f);
      QCOMPARE(ListTexts(f), Texts({"01 : x2", "02 : y2"}));
      QCOMPARE(f.Items().Cursor(), 1);
      f.BtnUp->click();
      ShowsTheModel(f);
      QCOMPARE(resets.count(), 0);
      f.BtnSave->click();
    });
    m.MenuExchangeClick();
    QCOMPARE(m.state.Document, (Lines{"B,A", "y1,x1", "y2,x2"}));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.ListBox1Model->index(0).data().toString(), QStringLiteral("B,A"));
    QCOMPARE(app.pump.calls(), pauses + 3);  // the list refilled (one pause), the grid refilled (two)
    QVERIFY(app.dialogs.shown().empty());
    // Saving without a change still redisplays the main window.
    app.modal.Then([&](QDialog&) { f.BtnSave->click(); });
    m.MenuExchangeClick();
    QCOMPARE(m.state.Document, (Lines{"B,A", "y1,x1", "y2,x2"}));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(app.pump.calls(), pauses + 6);
  }

  void theTwoPrefixSavesAskAndCanBeDeclined() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    const Lines original = m.state.Document;
    m.SelectListRow(1);
    for (QPushButton* b : {f.BtnAdd, f.BtnSpecial}) {
      app.modal.Then([&](QDialog& w) {
        app.dialogs.Answer(mbNo);
        b->click();
        QVERIFY(!w.isVisible());
      });
      m.MenuExchangeClick();
      QCOMPARE(m.state.Document, original);
      QCOMPARE(m.state.DocumentChanged, 0);
    }
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskAddSave), std::string(msg::kAskSpecialSave)}));
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
    // The list's order is not applied by either of them.
    app.modal.Then([&](QDialog&) {
      f.BtnDelete->click();
      f.BtnAdd->click();
    });
    m.MenuExchangeClick();
    QCOMPARE(m.state.Document, (Lines{",A,B,C", ",x1,y1,z1", ",x2,y2,z2"}));
    app.modal.Then([&](QDialog&) { f.BtnSpecial->click(); });
    m.MenuExchangeClick();
    QCOMPARE(m.state.Document, (Lines{"\"1\",,A,B,C", "\"1\",,x1,y1,z1", "\"1\",,x2,y2,z2"}));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.ListSelection(), 1);
  }

  void prefixSavesRefuse64ItemsAndOverlongLinesAndClose() {
    TestApp app;
    std::string wide = "c1";
    for (int k = 2; k <= 64; ++k) wide += ",c" + std::to_string(k);
    app.Start(app.WriteFile("a.csv", wide + "\r\n"));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    for (QPushButton* b : {f.BtnAdd, f.BtnSpecial}) {
      app.modal.Then([&](QDialog& w) {
        b->click();
        QVERIFY(!w.isVisible());
      });
      m.MenuExchangeClick();
    }
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, std::string(msg::kNoMoreThan64Items)));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes));
    QCOMPARE(m.state.Document, Lines{wide});
    QCOMPARE(m.state.DocumentChanged, 0);

    // 8191 bytes: the empty item fits (8192), "1" in quotes does not.
    TestApp app2;
    const std::string longLine = std::string(4000, 'b') + "," + std::string(4000, 'c') + "," + std::string(189, 'd');
    QCOMPARE(longLine.size(), std::size_t(8191));
    app2.Start(app2.WriteFile("b.csv", "t,u,v\r\n" + longLine + "\r\n"));
    TForm1& m2 = app2.Main();
    TForm8& f2 = Form8(app2);
    app2.modal.Then([&](QDialog&) { f2.BtnSpecial->click(); });
    m2.MenuExchangeClick();
    QCOMPARE(app2.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskSpecialSave), std::string(msg::kRecordTooLong)}));
    QCOMPARE(m2.state.Document[1], longLine);
    QCOMPARE(m2.state.DocumentChanged, 0);
    app2.modal.Then([&](QDialog&) { f2.BtnAdd->click(); });
    m2.MenuExchangeClick();
    QCOMPARE(m2.state.Document[1], "," + longLine);
    QCOMPARE(m2.state.Document[1].size(), std::size_t(8192));
  }

  void aRefusedOrMissingReferenceLineIsNeverShown() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    std::string bad = "x";
    for (int i = 0; i < 64; ++i) bad += ",x";
    m.state.Document.push_back(Line(bad));
    m.ListBoxDisp();
    m.SelectListRow(3);
    m.state.FormLeft[kWinExchange] = -7;
    m.state.FormWidth[kWinExchange] = -7;
    m.MenuExchangeClick();
    QVERIFY(app.modal.shown().empty());
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(3, 65)});
    // FormClose ran all the same: the bounds the window was placed at.
    QCOMPARE(m.state.FormLeft[kWinExchange], (1280 - 604) / 2);
    QCOMPARE(m.state.FormWidth[kWinExchange], 604);
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.state.DocumentChanged, 0);

    TestApp empty;
    empty.Start(empty.WriteFile("e.csv", ""));
    QVERIFY(Button(empty.Main(), "BtnExchange")->isEnabled());
    Button(empty.Main(), "BtnExchange")->click();
    QVERIFY(empty.modal.shown().empty());
    QVERIFY(empty.dialogs.shown().empty());
  }

  void aLineFailingDuringSaveLeavesTheDocument() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    std::string bad = "x";
    for (int i = 0; i < 64; ++i) bad += ",x";
    m.state.Document.push_back(Line(bad));
    m.ListBoxDisp();
    m.SelectListRow(0);
    const Lines before = m.state.Document;
    app.modal.Then([&](QDialog& w) {
      f.BtnDown->click();
      f.BtnSave->click();
      QVERIFY(!w.isVisible());
    });
    m.MenuExchangeClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(3, 65)});
    QCOMPARE(m.state.Document, before);
    QCOMPARE(m.state.DocumentChanged, 0);
  }

  void keysOnTheListAndEveryButton() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    const std::vector<QWidget*> controls = {f.ListBox1, f.BtnSave, f.BtnCancel, f.BtnUp,
                                            f.BtnDown,  f.BtnAdd,  f.BtnDelete, f.BtnSpecial};
    for (QWidget* control : controls) {
      app.modal.Then([&](QDialog& w) {
        QTest::keyClick(control, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(w.isMaximized());
        QTest::keyClick(control, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(!w.isMaximized());
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
      });
      m.MenuExchangeClick();
    }
    QVERIFY(app.dialogs.shown().empty());
    for (QWidget* control : controls) {
      app.modal.Then([&](QDialog& w) {
        app.dialogs.Answer(mbNo);
        QTest::keyClick(control, Qt::Key_Return);
        QVERIFY(w.isVisible());
        f.BtnDown->click();
        app.dialogs.Answer(mbYes);
        QTest::keyClick(control, Qt::Key_Return);
        QVERIFY(!w.isVisible());
      });
      m.MenuExchangeClick();
    }
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2 * controls.size(), std::string(msg::kAskSave)));
    // Eight saves, each moving item 1 down one place.
    QCOMPARE(m.state.Document[0], "A,B,C");
    QCOMPARE(m.state.DocumentChanged, 1);

    m.state.CloseDialogDisp = true;
    app.modal.Then([&](QDialog& w) {
      app.dialogs.Answer(mbNo);
      QTest::keyClick(f.BtnSpecial, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(f.ListBox1, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuExchangeClick();
    QCOMPARE(app.dialogs.texts().back(), std::string(msg::kAskBackToList));
  }

  void closingCapturesTheBoundsOfWindowEight() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm8& f = Form8(app);
    int shift = 0;
    for (QPushButton* b : {f.BtnSave, f.BtnCancel, f.BtnAdd, f.BtnSpecial}) {
      shift += 10;
      app.modal.Then([&](QDialog& w) {
        w.move(40 + shift, 30 + shift);
        w.resize(520 + shift, 300 + shift);
        b->click();
      });
      m.MenuExchangeClick();
      QCOMPARE(m.state.FormLeft[kWinExchange], 40 + shift);
      QCOMPARE(m.state.FormHeight[kWinExchange], 300 + shift);
    }
  }
};

QTEST_MAIN(ExchangeTest)
#include "test_exchange.moc"
