// The quote conversion window: its opening from the main list, the preview,
// the two conversions (all or nothing, the window closing either way), cancel,
// the keys, and the main window's refresh afterwards.
#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Convert.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

TForm10& Form10(QDialog& w) { return static_cast<TForm10&>(w); }

// Japanese lines, mixed quoting, five lines with the title line.
std::string Source() {
  return Sjis(
      "\"郵便番号\",都道府県,\"町域\"\r\n"
      "\"0010000\",北海道,\"\"\r\n"
      "0010010,\"北海道\",北十条西\r\n"
      "\"0010011\",\"北海道\",\"北十一条西\"\r\n"
      "0010012,北海道,北十二条西\r\n");
}

Lines Added() {
  return {Sjis("\"郵便番号\",\"都道府県\",\"町域\""), Sjis("\"0010000\",\"北海道\",\"\""),
          Sjis("\"0010010\",\"北海道\",\"北十条西\""), Sjis("\"0010011\",\"北海道\",\"北十一条西\""),
          Sjis("\"0010012\",\"北海道\",\"北十二条西\"")};
}

Lines Removed() {
  return {Sjis("郵便番号,都道府県,町域"), Sjis("0010000,北海道,"), Sjis("0010010,北海道,北十条西"),
          Sjis("0010011,北海道,北十一条西"), Sjis("0010012,北海道,北十二条西")};
}

QString ListRow(TForm1& m, int row) { return m.ListBox1Model->index(row).data().toString(); }

}  // namespace

class ConvertTest : public QObject {
  Q_OBJECT
 private slots:
  void opensOnAPreviewOfTheDocument() {
    TestApp app;
    app.WriteSettings("[FormConvert]\r\nMem=1\r\nLeft=30\r\nTop=40\r\nWidth=640\r\nHeight=300\r\n");
    app.Start(app.WriteFile("zip.csv", Source()));
    TForm1& m = app.Main();
    m.SelectListRow(2);
    // The list's selection counts, even while the grid is the view shown.
    m.BtnDispChgClick();
    QVERIFY(!m.ListVisible());
    m.Grid().SetCurrentRow(5);
    m.state.DocumentChanged = 1;
    const int fills = app.pump.calls();
    bool ran = false;
    app.modal.Then([&](QDialog& w) {
      ran = true;
      TForm10& f = Form10(w);
      QCOMPARE(f.windowTitle(), Utf8("Cavel (型式変換)"));
      QCOMPARE(f.pos(), QPoint(30, 40));
      QCOMPARE(f.size(), QSize(640, 300));
      QCOMPARE(f.BtnCancel->text(), Utf8("ｷｬﾝｾﾙ"));
      QCOMPARE(f.BtnQuatationAddSave->text(), Utf8("\" (二重引用符)を追加保存(&A)"));
      QCOMPARE(f.BtnQuatationDelSave->text(), Utf8("\" (二重引用符)を削除保存(&D)"));
      QCOMPARE(m.state.CurrentLine, 2);
      QCOMPARE(m.state.DocumentChanged, 0);
      QAbstractItemModelTester tester(f.ListBox1->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
      QCOMPARE(f.ListBox1->model()->rowCount(), 5);
      QCOMPARE(f.Preview(), m.state.Document);
      QCOMPARE(f.ListBox1->model()->index(3, 0).data().toString(), Utf8("\"0010011\",\"北海道\",\"北十一条西\""));
      QCOMPARE(f.ListBox1->selectionModel()->selectedRows().size(), 1);
      QCOMPARE(f.ListBox1->selectionModel()->selectedRows()[0].row(), 0);
      QCOMPARE(f.ListBox1->editTriggers(), QAbstractItemView::NoEditTriggers);
      // The preview fills the window below the buttons.
      QVERIFY(f.ListBox1->y() >= f.BtnCancel->y() + f.BtnCancel->height());
      QCOMPARE(f.ListBox1->width(), f.width());
      // It is a copy: the Document may change under it without touching the rows.
      m.state.Document.push_back(Line("x"));
      QCOMPARE(f.ListBox1->model()->rowCount(), 5);
      m.state.Document.pop_back();
      f.resize(700, 320);
      // Cancel takes the current line from the main list again.
      m.state.CurrentLine = 4;
      f.BtnCancel->click();
      QVERIFY(!f.isVisible());
    });
    Action(m, "MenuConvert")->trigger();
    QVERIFY(ran);
    // Cancelled: nothing changed, no refill, the list's line selected again.
    QCOMPARE(m.state.Document.size(), std::size_t(5));
    QCOMPARE(app.pump.calls(), fills);
    QCOMPARE(m.state.CurrentLine, 2);
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.state.FormWidth[kWinConvert], 700);
    QCOMPARE(m.state.FormHeight[kWinConvert], 320);
    QVERIFY(app.Forms().Form10->Preview().empty());
  }

  void addConvertsEveryLineAndTheMainWindowShowsIt() {
    TestApp app;
    app.Start(app.WriteFile("zip.csv", Source()));
    TForm1& m = app.Main();
    m.SelectListRow(3);
    const std::string caption = m.Caption();
    const int fills = app.pump.calls();
    app.modal.Then([&](QDialog& w) {
      Form10(w).BtnQuatationAddSave->click();
      QVERIFY(!w.isVisible());
    });
    m.MenuConvertClick();
    QCOMPARE(m.state.Document, Added());
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.state.CurrentLine, 3);
    QVERIFY(app.dialogs.shown().empty());
    // The return refresh: list refilled from the new lines, the line selected again.
    QCOMPARE(app.pump.calls(), fills + 3);  // the list refilled (one pause), the grid refilled (two)
    QCOMPARE(m.ListRowCount(), 5);
    QCOMPARE(ListRow(m, 2), Utf8("\"0010010\",\"北海道\",\"北十条西\""));
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.Caption(), caption);
    // Only memory changed: the file waits for a save.
    QCOMPARE(ReadBytes(m.state.CurrentFileName), Source());

    // Removing takes them off again; the next opening previews the new Document.
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(Form10(w).Preview(), Added());
      Form10(w).BtnQuatationDelSaveClick();
    });
    m.MenuConvertClick();
    QCOMPARE(m.state.Document, Removed());
    QCOMPARE(ListRow(m, 0), Utf8("郵便番号,都道府県,町域"));
    QCOMPARE(m.ListSelection(), 3);
  }

  void aFailingLineChangesNothingAndTheWindowCloses() {
    TestApp app;
    const std::string source = Sjis("名前,住所\r\n\"山田\",東京\r\n\"佐藤\"x,大阪\r\n鈴木,\"名古屋\r\n");
    app.Start(app.WriteFile("bad.csv", source));
    TForm1& m = app.Main();
    const Lines before = m.state.Document;
    QCOMPARE(before.size(), std::size_t(4));
    m.SelectListRow(1);
    const int fills = app.pump.calls();
    app.modal.Then([&](QDialog& w) {
      Form10(w).BtnQuatationDelSave->click();
      QVERIFY(!w.isVisible());
    });
    m.MenuConvertClick();
    // Line 2 stops it: lines 0 and 1 would convert, and do not.
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::MissingClosingQuote(2, 1)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    QCOMPARE(m.state.Document, before);
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(app.pump.calls(), fills);
    QCOMPARE(m.ListSelection(), 1);

    // The add conversion stops at the same line.
    app.dialogs.Clear();
    app.modal.Then([&](QDialog& w) { Form10(w).BtnQuatationAddSaveClick(); });
    m.MenuConvertClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::MissingClosingQuote(2, 1)});
    QCOMPARE(m.state.Document, before);
  }

  void keysOnTheButtonsAndThePreview() {
    TestApp app;
    app.Start(app.WriteFile("zip.csv", Source()));
    TForm1& m = app.Main();
    m.SelectListRow(1);
    app.modal.Then([&](QDialog& w) {
      TForm10& f = Form10(w);
      QVERIFY(QTest::qWaitForWindowExposed(&f));
      QTest::keyClick(f.ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_VERIFY(f.isMaximized());
      QTest::keyClick(f.BtnQuatationDelSave, Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_VERIFY(!f.isMaximized());
      // Enter converts nothing; the preview's own keys still move its row.
      QTest::keyClick(f.ListBox1, Qt::Key_Return);
      QTest::keyClick(f.ListBox1, Qt::Key_Down);
      QCOMPARE(f.ListBox1->currentIndex().row(), 1);
      QVERIFY(f.isVisible());
      for (QWidget* c :
           std::initializer_list<QWidget*>{f.BtnCancel, f.BtnQuatationAddSave, f.BtnQuatationDelSave, f.ListBox1}) {
        if (!f.isVisible()) f.show();
        QTest::keyClick(c, Qt::Key_Escape);
        QVERIFY2(!f.isVisible(), qPrintable(c->objectName()));
      }
    });
    m.MenuConvertClick();
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.Document.size(), std::size_t(5));
    QCOMPARE(m.state.Document[1], Sjis("\"0010000\",北海道,\"\""));

    TestApp ask;
    ask.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    ask.Start(ask.WriteFile("zip.csv", Source()));
    ask.modal.Then([&](QDialog& w) {
      ask.dialogs.Answer(mbNo);
      QTest::keyClick(Form10(w).ListBox1, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      ask.dialogs.Answer(mbYes);
      QTest::keyClick(Form10(w).BtnQuatationAddSave, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    ask.Main().MenuConvertClick();
    QCOMPARE(ask.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
    QCOMPARE(ask.Main().state.DocumentChanged, 0);
  }
};

QTEST_MAIN(ConvertTest)
#include "test_convert.moc"
