// The merge window: its buttons, tab order and focus, the open dialog with
// its filters, reading the second file (missing, refused, unreadable,
// replaced by a second read), inserting before and after with the line
// limit, cancel, the keys (Enter means nothing), an empty Document, the
// return refresh and the bounds it keeps.
#include <QtTest>
#include <filesystem>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Inport.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

TForm9& Form9(TestApp& app) { return *app.Forms().Form9; }

Lines ListRows(const TForm9& f) {
  Lines rows;
  for (int r = 0; r < f.ListBox1Model->rowCount(); ++r)
    rows.push_back(Line(f.ListBox1Model->index(r).data(LinesModel::LineBytesRole).toByteArray().toStdString()));
  return rows;
}

int Selected(const TForm9& f) {
  const QModelIndexList rows = f.ListBox1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

std::string Lines_(int n, const std::string& text) {
  std::string file;
  for (int i = 0; i < n; ++i) file += text + "\r\n";
  return file;
}

}  // namespace

class InportTest : public QObject {
  Q_OBJECT
 private slots:
  void buttonsTabOrderAndFocus() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "T\r\nA\r\n"));
    TForm9& f = Form9(app);
    QCOMPARE(f.BtnFileOpen->text(), Utf8("開く(&O)..."));
    QCOMPARE(f.BtnCancel->text(), Utf8("ｷｬﾝｾﾙ"));
    QCOMPARE(f.BtnPrevSave->text(), Utf8("ｶｰｿﾙの前に追加保存(&S)"));
    QCOMPARE(f.BtnNextSave->text(), Utf8("ｶｰｿﾙの後に追加保存(&D)"));
    QCOMPARE(f.BtnFileOpen->geometry(), QRect(0, 0, 100, 25));
    QCOMPARE(f.BtnCancel->geometry(), QRect(0, 24, 100, 25));
    QCOMPARE(f.BtnPrevSave->geometry(), QRect(100, 0, 200, 25));
    QCOMPARE(f.BtnNextSave->geometry(), QRect(100, 24, 200, 25));
    for (QPushButton* b : {f.BtnFileOpen, f.BtnCancel, f.BtnPrevSave, f.BtnNextSave})
      QCOMPARE(b->parentWidget(), f.Panel1);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8("Cavel (並順結合)"));
      QCOMPARE(w.size(), QSize(604, 380));
      QCOMPARE(f.Panel1->height(), 50);
      QCOMPARE(f.ListBox1->geometry(), QRect(0, 50, w.width(), w.height() - 50));
      QCOMPARE(f.ListBox1->font().pixelSize(), 13);
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      w.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&w));
      QCOMPARE(QApplication::focusWidget(), f.BtnFileOpen);
      for (QWidget* next :
           std::vector<QWidget*>{f.BtnCancel, f.BtnPrevSave, f.BtnNextSave, f.ListBox1, f.BtnFileOpen}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
      }
    });
    Action(app.Main(), "MenuInport")->trigger();
    QCOMPARE(app.modal.shown(), std::vector<QString>{Utf8(msg::kCaptionInport)});
  }

  void readingShowsTheSecondFileAndASecondReadReplacesIt() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "T,t\r\nA,a\r\nB,b\r\n"));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    QAbstractItemModelTester tester(f.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const std::string first = app.WriteFile("first.csv", Sjis("見出し\r\n一\r\n二\r\n"));
    // The second in UTF-8 with LF line ends: its lines come as Shift-JIS.
    const std::string second = app.WriteFile("second.csv", "ユ,u,u\nX,x,x\n");
    app.modal.Then([&](QDialog& w) {
      w.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&w));
      app.files.Cancel();
      f.BtnFileOpen->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      app.files.Answer(first);
      f.BtnFileOpen->click();
      QCOMPARE(ListRows(f), (Lines{Sjis("見出し"), Sjis("一"), Sjis("二")}));
      QCOMPARE(f.ListBox1Model->index(1).data().toString(), Utf8("一"));
      QCOMPARE(f.MergeLines(), ListRows(f));
      QCOMPARE(Selected(f), 0);
      QCOMPARE(QApplication::focusWidget(), f.ListBox1);
      app.files.Answer(second);
      QTest::keyClick(f.BtnFileOpen, Qt::Key_Space);
      QCOMPARE(ListRows(f), (Lines{Sjis("ユ,u,u"), "X,x,x"}));
      QCOMPARE(f.ListBox1Model->index(0).data().toString(), Utf8("ユ,u,u"));
      // A file that does not exist: the warning, and the list keeps what it showed.
      app.files.Answer(app.Path("missing.csv"));
      f.BtnFileOpen->click();
      QCOMPARE(ListRows(f), (Lines{Sjis("ユ,u,u"), "X,x,x"}));
      QVERIFY(w.isVisible());
    });
    m.MenuInportClick();
    QCOMPARE(app.files.asked().size(), std::size_t(4));
    const ScriptedFileDialogs::Asked& asked = app.files.asked()[0];
    QVERIFY(!asked.save);
    // The main window's open dialog's title, starting beside the open file.
    QCOMPARE(asked.title, std::string(msg::kTitleOpenFile));
    QCOMPARE(asked.folder, app.Dir());
    QCOMPARE(asked.filters.size(), std::size_t(2));
    QCOMPARE(asked.filters[0].caption, "CSVﾌｧｲﾙ(*.CSV)");
    QCOMPARE(asked.filters[0].patterns, "*.CSV");
    QCOMPARE(asked.filters[1].caption, "全ﾌｧｲﾙ(*.*)");
    // The item counts of the two files are never compared.
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kFileMissing)});
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    // Every opening starts empty.
    app.modal.Then([&](QDialog&) {
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      QVERIFY(f.MergeLines().empty());
    });
    m.MenuInportClick();
    QCOMPARE(m.state.DocumentChanged, 0);
  }

  void aRefusedSecondFileLeavesAnEmptyListAndTheDocument() {
    TestApp app;
    const std::string main = app.WriteFile("a.csv", "T\r\nA\r\n");
    app.Start(main);
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    std::string wide = "x";
    for (int i = 0; i < 64; ++i) wide += ",x";
    const std::string good = app.WriteFile("good.csv", "U\r\nX\r\n");
    const std::string bad = app.WriteFile("bad.csv", "a\r\n" + wide + "\r\n");
    m.SelectListRow(1);
    app.modal.Then([&](QDialog& w) {
      app.files.Answer(good);
      f.BtnFileOpen->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 2);
      app.files.Answer(bad);
      f.BtnFileOpen->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      QVERIFY(f.MergeLines().empty());
      QVERIFY(w.isVisible());
      // Inserting nothing still rebuilds the Document and reports it.
      f.BtnNextSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemCount(1, 65)});
    QCOMPARE(m.state.Document, (Lines{"T", "A"}));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.ListSelection(), 1);
    QCOMPARE(m.state.CurrentFileName, main);
    QVERIFY(Action(m, "MenuOverWriteSave")->isEnabled());
  }

  void anUnreadableSecondFileIsReportedWithItsPath() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "T\r\nA\r\n"));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    const std::string folder = app.Path("folder.csv");
    std::filesystem::create_directory(folder);
    const std::string good = app.WriteFile("good.csv", "U\r\n");
    app.modal.Then([&](QDialog& w) {
      app.files.Answer(good);
      f.BtnFileOpen->click();
      app.files.Answer(folder);
      f.BtnFileOpen->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      QVERIFY(w.isVisible());
    });
    m.MenuInportClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbOK));
    QVERIFY(app.dialogs.shown()[0].text.starts_with("   " + folder));
    QCOMPARE(m.state.Document, (Lines{"T", "A"}));
  }

  void insertingBeforeAndAfterTheCurrentLine() {
    TestApp app;
    const std::string main = app.WriteFile("a.csv", "T\r\nA\r\nB\r\n");
    app.Start(main);
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    const std::string second = app.WriteFile("u.csv", "U,1\r\nX,2\r\n");
    const auto history = m.state.OpenFileName;
    m.SelectListRow(1);
    app.modal.Then([&](QDialog&) {
      app.files.Answer(second);
      f.BtnFileOpen->click();
      f.BtnPrevSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document, (Lines{"T", "U,1", "X,2", "A", "B"}));
    QCOMPARE(m.state.CurrentLine, 3);
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.ListRowCount(), 5);
    QVERIFY(m.Caption().ends_with("全行数 :     5"));
    m.SelectListRow(3);
    app.modal.Then([&](QDialog&) {
      app.files.Answer(second);
      f.BtnFileOpen->click();
      f.BtnNextSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document, (Lines{"T", "U,1", "X,2", "A", "U,1", "X,2", "B"}));
    QCOMPARE(m.ListSelection(), 3);
    // Before the title line: the second file's title line becomes the Document's.
    m.SelectListRow(0);
    app.modal.Then([&](QDialog&) {
      app.files.Answer(second);
      f.BtnFileOpen->click();
      f.BtnPrevSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document[0], "U,1");
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.state.CurrentFileName, main);
    QCOMPARE(m.state.OpenFileName, history);
    QVERIFY(app.dialogs.shown().empty());
  }

  void theLineLimitCountsBothFiles() {
    TestApp app;
    app.Start(app.WriteFile("big.csv", Lines_(29999, "a")));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    const std::string one = app.WriteFile("one.csv", "b\r\n");
    const std::string two = app.WriteFile("two.csv", "b\r\nc\r\n");
    m.SelectListRow(5);
    app.modal.Then([&](QDialog& w) {
      app.files.Answer(two);
      f.BtnFileOpen->click();
      f.BtnNextSave->click();
      QVERIFY(!w.isVisible());
    });
    m.MenuInportClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kDocumentLineLimit)});
    QCOMPARE(m.state.Document.size(), std::size_t(29999));
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(m.ListSelection(), 5);
    app.modal.Then([&](QDialog&) {
      app.files.Answer(one);
      f.BtnFileOpen->click();
      f.BtnPrevSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document.size(), std::size_t(30000));
    QCOMPARE(m.state.Document[5], "b");
    QCOMPARE(m.ListSelection(), 6);
    QCOMPARE(m.ListRowCount(), 30000);
  }

  void cancelTakesTheMainSelectionBack() {
    TestApp app;
    const std::string main = app.WriteFile("a.csv", "T\r\nA\r\nB\r\n");
    app.Start(main);
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    const std::string second = app.WriteFile("u.csv", "U\r\n");
    m.SelectListRow(2);
    app.modal.Then([&](QDialog& w) {
      app.files.Answer(second);
      f.BtnFileOpen->click();
      m.state.CurrentLine = 0;
      f.BtnCancel->click();
      QVERIFY(!w.isVisible());
      QCOMPARE(m.state.CurrentLine, 2);
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document, (Lines{"T", "A", "B"}));
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.state.CurrentFileName, main);
    // An overwrite save afterwards writes the file that was open.
    app.files.Answer(main);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(main), std::string("T\r\nA\r\nB\r\n"));
  }

  void keysEscAndCtrlBracketButEnterDoesNothing() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "T\r\nA\r\n"));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    const std::string second = app.WriteFile("u.csv", "U\r\n");
    const std::vector<QWidget*> controls = {f.ListBox1, f.BtnFileOpen, f.BtnCancel, f.BtnPrevSave, f.BtnNextSave};
    for (QWidget* control : controls) {
      app.modal.Then([&](QDialog& w) {
        app.files.Answer(second);
        f.BtnFileOpen->click();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(w.isVisible());
        QCOMPARE(app.files.pending(), std::size_t(0));
        QTest::keyClick(control, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(w.isMaximized());
        QTest::keyClick(control, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(!w.isMaximized());
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
      });
      m.MenuInportClick();
      QCOMPARE(m.state.Document, (Lines{"T", "A"}));
      QCOMPARE(m.state.DocumentChanged, 0);
    }
    QCOMPARE(app.files.asked().size(), controls.size());
    QVERIFY(app.dialogs.shown().empty());
    m.state.CloseDialogDisp = true;
    app.modal.Then([&](QDialog& w) {
      app.dialogs.Answer(mbNo);
      QTest::keyClick(f.BtnNextSave, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(f.ListBox1, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuInportClick();
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
  }

  void anEmptyDocumentTakesTheBlockAsTheWholeDocument() {
    TestApp app;
    app.Start(app.WriteFile("empty.csv", ""));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    QVERIFY(Action(m, "MenuInport")->isEnabled());
    const std::string second = app.WriteFile("u.csv", "U,u\r\nX,x\r\n");
    app.modal.Then([&](QDialog&) {
      app.files.Answer(second);
      f.BtnFileOpen->click();
      f.BtnPrevSave->click();
    });
    m.MenuInportClick();
    QCOMPARE(m.state.Document, (Lines{"U,u", "X,x"}));
    QCOMPARE(m.state.CurrentLine, 0);
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.ListRowCount(), 2);
  }

  void closingCapturesTheBoundsOfWindowNine() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "T\r\nA\r\n"));
    TForm1& m = app.Main();
    TForm9& f = Form9(app);
    int shift = 0;
    for (QPushButton* b : {f.BtnCancel, f.BtnPrevSave, f.BtnNextSave}) {
      shift += 10;
      app.modal.Then([&](QDialog& w) {
        w.move(40 + shift, 30 + shift);
        w.resize(520 + shift, 300 + shift);
        b->click();
      });
      m.MenuInportClick();
      QCOMPARE(m.state.FormLeft[kWinInport], 40 + shift);
      QCOMPARE(m.state.FormWidth[kWinInport], 520 + shift);
    }
  }
};

QTEST_MAIN(InportTest)
#include "test_inport.moc"
