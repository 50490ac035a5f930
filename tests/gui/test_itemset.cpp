// The row order editor's window: its buttons and their places, the tab
// order and focus, the opening (paste buttons disabled, the current line
// selected), the list following the model row by row, the keys and the
// three buttons that do not take them, saving, cancelling, the line limit,
// an empty Document and the bounds it keeps.
#include <QSignalSpy>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/EditorLayout.h"
#include "windows/Itemset.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "T,t\r\nA,a\r\nB,b\r\nC,c\r\nD,d\r\n";

TForm3& Form3(TestApp& app) { return *app.Forms().Form3; }

// What the list shows, row by row, as the model's bytes.
Lines ListRows(const TForm3& f) {
  Lines rows;
  for (int r = 0; r < f.ListBox1Model->rowCount(); ++r)
    rows.push_back(Line(f.ListBox1Model->index(r).data(LinesModel::LineBytesRole).toByteArray().toStdString()));
  return rows;
}

int Selected(const TForm3& f) {
  const QModelIndexList rows = f.ListBox1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

// The list shows the model's rows with the cursor's row selected and current.
void ShowsTheModel(const TForm3& f) {
  QCOMPARE(ListRows(f), f.Rows().Rows());
  QCOMPARE(Selected(f), f.Rows().Cursor());
  QCOMPARE(f.ListBox1->currentIndex().row(), f.Rows().Cursor());
}

void Activate(QWidget& w) {
  w.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

}  // namespace

class ItemsetTest : public QObject {
  Q_OBJECT
 private slots:
  void buttonsStandInTheirPlaces() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm3& f = Form3(app);
    struct Place {
      QPushButton* button;
      std::string_view caption;
      int left, top;
    };
    const Place places[] = {
        {f.BtnSave, "保存(&S)", 0, 0},
        {f.BtnCancel, "ｷｬﾝｾﾙ", 0, 24},
        {f.BtnUp, "一つ上へ", 100, 0},
        {f.BtnDown, "一つ下へ", 100, 24},
        {f.BtnCut, "ｶｯﾄ(&X)", 200, 0},
        {f.BtnCopy, "ｺﾋﾟｰ(&C)", 200, 24},
        {f.BtnDelete, "削除(&D)", 300, 24},
        {f.BtnPrevPaste, "前に貼付(&V)", 400, 0},
        {f.BtnNextPaste, "後に貼付(&W)", 400, 25},
        {f.BtnPrevAdd, "前に追加(&Y)", 500, 0},
        {f.BtnNextAdd, "後に追加(&Z)", 500, 25},
    };
    for (const Place& p : places) {
      QCOMPARE(p.button->parentWidget(), f.Panel1);
      QCOMPARE(p.button->text(), Utf8(p.caption));
      QCOMPARE(p.button->geometry(), QRect(p.left, p.top, 100, 25));
    }
    QCOMPARE(f.Panel1->findChildren<QPushButton*>().size(), qsizetype(11));
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8("Cavel (並順設定)"));
      QCOMPARE(f.Panel1->geometry(), QRect(0, 0, w.width(), 50));
      QCOMPARE(f.ListBox1->geometry(), QRect(0, 50, w.width(), w.height() - 50));
      QCOMPARE(f.ListBox1->font().pixelSize(), 13);
      QCOMPARE(f.ListBox1->visualRect(f.ListBox1Model->index(1)).height(), 18);
      QCOMPARE(f.ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    });
    app.Main().MenuItemSetClick();
  }

  void openingSelectsTheCurrentLineFocusesTheListAndFollowsTheTabOrder() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    m.SelectListRow(3);
    TForm3& f = Form3(app);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(m.state.CurrentLine, 3);
      QCOMPARE(m.state.DocumentChanged, 0);
      ShowsTheModel(f);
      QCOMPARE(f.Rows().Cursor(), 3);
      QCOMPARE(f.Rows().LineCount(), 5);
      Activate(w);
      QCOMPARE(QApplication::focusWidget(), f.ListBox1);
      const std::vector<QWidget*> order = {f.BtnSave,    f.BtnCancel,    f.BtnUp,        f.BtnDown,
                                           f.BtnCut,     f.BtnCopy,      f.BtnPrevPaste, f.BtnDelete,
                                           f.BtnPrevAdd, f.BtnNextPaste, f.BtnNextAdd,   f.ListBox1};
      // The paste buttons are disabled, so Tab passes them by.
      for (QWidget* next : order) {
        if (!next->isEnabled()) continue;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
      }
      w.reject();
    });
    Button(m, "BtnItemSet")->click();
    QCOMPARE(app.modal.shown(), std::vector<QString>{Utf8(msg::kCaptionItemset)});
  }

  void theCursorRowIsInViewWhenTheWindowShows() {
    TestApp app;
    std::string file;
    for (int i = 0; i < 300; ++i) file += "L" + std::to_string(i) + "\r\n";
    app.Start(app.WriteFile("a.csv", file));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    for (int line : {3, 250, 299}) {
      m.SelectListRow(line);
      app.modal.Then([&](QDialog&) {
        const QRect row = f.ListBox1->visualRect(f.ListBox1Model->index(line));
        QVERIFY(row.top() >= 0 && row.bottom() < f.ListBox1->viewport()->height());
        // A row of the first page shows with the title line above it.
        if (line == 3) QCOMPARE(f.ListBox1->indexAt(QPoint(1, 1)).row(), 0);
      });
      m.MenuItemSetClick();
    }
  }

  void pasteButtonsAreDisabledAtEachOpening() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(1);
    app.modal.Then([&](QDialog&) {
      QVERIFY(!f.BtnPrevPaste->isEnabled());
      QVERIFY(!f.BtnNextPaste->isEnabled());
      // Clicking a disabled button pastes nothing.
      QTest::mouseClick(f.BtnPrevPaste, Qt::LeftButton);
      f.BtnCopy->click();
      QVERIFY(f.BtnPrevPaste->isEnabled());
      QVERIFY(f.BtnNextPaste->isEnabled());
      QCOMPARE(f.Rows().HeldLine(), "A,a");
    });
    m.MenuItemSetClick();
    app.modal.Then([&](QDialog&) {
      QVERIFY(!f.BtnPrevPaste->isEnabled());
      QVERIFY(!f.BtnNextPaste->isEnabled());
      QCOMPARE(f.Rows().HeldLine(), "A,a");
      f.BtnNextPaste->click();
      QCOMPARE(f.Rows().LineCount(), 5);
      // Delete holds nothing and enables nothing; cut does.
      f.BtnDelete->click();
      QVERIFY(!f.BtnPrevPaste->isEnabled());
      f.BtnCut->click();
      QVERIFY(f.BtnPrevPaste->isEnabled());
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.Document, (Lines{"T,t", "A,a", "B,b", "C,c", "D,d"}));
    app.modal.Then([&](QDialog&) { QVERIFY(!f.BtnNextPaste->isEnabled()); });
    m.MenuItemSetClick();
  }

  void theListFollowsEveryOperationRowByRow() {
    TestApp app;
    const std::string T = Sjis("見出し,x"), A = "A,\"a,1\",z", B = "B,b,z", C = "C", D = "D,d,z", E = ",,";
    app.Start(app.WriteFile("a.csv", T + "\r\n" + A + "\r\n" + B + "\r\n" + C + "\r\n" + D + "\r\n"));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    QAbstractItemModelTester tester(f.ListBox1Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    m.SelectListRow(1);
    struct Step {
      QPushButton* TForm3::*button;
      int select;  // the row the user selects first, -1 for none
      Lines rows;
      int cursor;
    };
    const std::vector<Step> steps = {
        {&TForm3::BtnUp, -1, {A, T, B, C, D}, 0},
        {&TForm3::BtnDown, -1, {T, A, B, C, D}, 1},
        {&TForm3::BtnDown, -1, {T, B, A, C, D}, 2},
        {&TForm3::BtnCopy, -1, {T, B, A, C, D}, 2},
        {&TForm3::BtnPrevPaste, -1, {T, B, A, A, C, D}, 3},
        {&TForm3::BtnNextPaste, -1, {T, B, A, A, A, C, D}, 3},
        {&TForm3::BtnDelete, -1, {T, B, A, A, C, D}, 3},
        {&TForm3::BtnDown, -1, {T, B, A, C, A, D}, 4},
        {&TForm3::BtnCut, -1, {T, B, A, C, D}, 4},
        {&TForm3::BtnUp, -1, {T, B, A, D, C}, 3},
        {&TForm3::BtnPrevAdd, -1, {T, B, A, E, D, C}, 4},
        {&TForm3::BtnNextAdd, -1, {T, B, A, E, D, E, C}, 4},
        {&TForm3::BtnPrevAdd, 6, {T, B, A, E, D, E, "@", C}, 7},
        {&TForm3::BtnNextPaste, -1, {T, B, A, E, D, E, "@", C, A}, 7},
        {&TForm3::BtnCut, 8, {T, B, A, E, D, E, "@", C}, 7},
        {&TForm3::BtnCut, 0, {B, A, E, D, E, "@", C}, 0},
        {&TForm3::BtnPrevPaste, -1, {T, B, A, E, D, E, "@", C}, 1},
    };
    // (The load asked about the differing item counts.)
    const std::size_t messages = app.dialogs.shown().size();
    app.modal.Then([&](QDialog&) {
      QSignalSpy resets(f.ListBox1Model, &QAbstractItemModel::modelReset);
      QCOMPARE(f.ListBox1Model->index(0).data().toString(), Utf8("見出し,x"));
      for (const Step& step : steps) {
        if (step.select >= 0) {
          f.ListBox1->selectionModel()->setCurrentIndex(f.ListBox1Model->index(step.select),
                                                        QItemSelectionModel::ClearAndSelect);
          QCOMPARE(f.Rows().Cursor(), step.select);
        }
        (f.*step.button)->click();
        QCOMPARE(f.Rows().Rows(), step.rows);
        QCOMPARE(f.Rows().Cursor(), step.cursor);
        ShowsTheModel(f);
      }
      // Only the rows an operation changed were told to the view.
      QCOMPARE(resets.count(), 0);
      QCOMPARE(app.dialogs.shown().size(), messages);
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(m.state.Document, (Lines{T, A, B, C, D}));
  }

  void selectingARowMovesTheCursor() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(0);
    app.modal.Then([&](QDialog& w) {
      Activate(w);
      QTest::keyClick(f.ListBox1, Qt::Key_Down);
      QTest::keyClick(f.ListBox1, Qt::Key_Down);
      QCOMPARE(f.Rows().Cursor(), 2);
      const QRect row4 = f.ListBox1->visualRect(f.ListBox1Model->index(4));
      QTest::mouseClick(f.ListBox1->viewport(), Qt::LeftButton, {}, row4.center());
      QCOMPARE(f.Rows().Cursor(), 4);
      // A Ctrl+click on the selected row would leave none selected: the cursor's row stays selected.
      QTest::mouseClick(f.ListBox1->viewport(), Qt::LeftButton, Qt::ControlModifier, row4.center());
      QCOMPARE(Selected(f), 4);
      f.BtnUp->click();
      QCOMPARE(f.Rows().Rows()[3], "D,d");
      ShowsTheModel(f);
      f.BtnSave->click();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.Document, (Lines{"T,t", "A,a", "B,b", "D,d", "C,c"}));
    QCOMPARE(m.ListSelection(), 3);
  }

  void saveReplacesTheDocumentAndTheReturnRefreshShowsIt() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(1);
    const int pauses = app.pump.calls();
    app.modal.Then([&](QDialog&) {
      f.BtnUp->click();  // A becomes the title line
      f.BtnCopy->click();
      f.BtnDown->click();
      f.BtnDown->click();
      f.BtnNextPaste->click();
      f.BtnSave->click();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.Document, (Lines{"T,t", "B,b", "A,a", "A,a", "C,c", "D,d"}));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.state.CurrentLine, 2);
    QCOMPARE(m.ListRowCount(), 6);
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.ListBox1Model->index(3).data().toString(), QStringLiteral("A,a"));
    QCOMPARE(app.pump.calls(), pauses + 3);  // the list refilled (one pause), the grid refilled (two)
    QVERIFY(m.Caption().ends_with("全行数 :     6"));
    // The working copy is not kept once the window has closed.
    QCOMPARE(f.Rows().LineCount(), 0);
    QCOMPARE(f.ListBox1Model->rowCount(), 0);
    QVERIFY(app.dialogs.shown().empty());
  }

  void cancelTakesTheCursorOnlyWhenItMovedUp() {
    TestApp app;
    std::string file;
    for (int i = 0; i < 12; ++i) file += "L" + std::to_string(i) + "\r\n";
    app.Start(app.WriteFile("a.csv", file));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    const Lines before = m.state.Document;
    m.SelectListRow(7);
    app.modal.Then([&](QDialog&) {
      SelectListRow(*f.ListBox1, 3);
      QCOMPARE(f.Rows().Cursor(), 3);
      f.BtnCut->click();
      f.BtnCancel->click();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.Document, before);
    QCOMPARE(m.state.DocumentChanged, 0);
    QCOMPARE(m.ListSelection(), 3);
    m.SelectListRow(7);
    app.modal.Then([&](QDialog&) {
      SelectListRow(*f.ListBox1, 9);
      f.BtnCancel->click();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.ListSelection(), 7);
    // Esc and the close box leave CurrentLine where it was.
    app.modal.Then([&](QDialog&) {
      SelectListRow(*f.ListBox1, 1);
      QTest::keyClick(f.ListBox1, Qt::Key_Escape);
    });
    m.MenuItemSetClick();
    QCOMPARE(m.ListSelection(), 7);
    app.modal.Then([&](QDialog& w) {
      SelectListRow(*f.ListBox1, 1);
      w.close();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.ListSelection(), 7);
    QCOMPARE(m.state.Document, before);
  }

  void keysOnTheListAndTheButtonsThatTakeThem() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(2);
    const std::vector<QWidget*> bound = {f.ListBox1, f.BtnSave, f.BtnCancel, f.BtnUp,       f.BtnDown,
                                         f.BtnCut,   f.BtnCopy, f.BtnDelete, f.BtnPrevPaste};
    // Esc closes from each of them at once, without asking.
    for (QWidget* control : bound) {
      app.modal.Then([&](QDialog& w) {
        f.BtnPrevPaste->setEnabled(true);  // a disabled button takes no keys
        QTest::keyClick(control, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
      });
      m.MenuItemSetClick();
    }
    QVERIFY(app.dialogs.shown().empty());
    // Enter asks to save; いいえ(&N) keeps the window open, はい(&Y) saves.
    for (QWidget* control : bound) {
      app.modal.Then([&](QDialog& w) {
        f.BtnPrevPaste->setEnabled(true);
        app.dialogs.Answer(mbNo);
        QTest::keyClick(control, Qt::Key_Return);
        QVERIFY(w.isVisible());
        QCOMPARE(m.state.DocumentChanged, 0);
        f.BtnDown->click();
        app.dialogs.Answer(mbYes);
        QTest::keyClick(control, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!w.isVisible());
      });
      m.MenuItemSetClick();
      QCOMPARE(m.state.DocumentChanged, 1);
      QCOMPARE(m.state.CurrentLine, 3);
      m.SelectListRow(2);
    }
    QCOMPARE(app.dialogs.texts().size(), 2 * bound.size());
    for (const ScriptedDialogs::Shown& shown : app.dialogs.shown()) {
      QCOMPARE(shown.text, std::string(msg::kAskSave));
      QCOMPARE(shown.kind, MsgKind::Information);
      QCOMPARE(shown.buttons, MsgButtons(mbYes | mbNo));
    }
    // Ctrl+[ maximizes and restores.
    app.modal.Then([&](QDialog& w) {
      QTest::keyClick(f.BtnCut, Qt::Key_BracketLeft, Qt::ControlModifier);
      QVERIFY(w.isMaximized());
      QTest::keyClick(f.ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier);
      QVERIFY(!w.isMaximized());
      QTest::keyClick(f.ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier);
      QVERIFY(!w.isMaximized());
    });
    m.MenuItemSetClick();
  }

  void escWithTheQuestionSwitchedOn() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    app.modal.Then([&](QDialog& w) {
      app.dialogs.Answer(mbNo);
      QTest::keyClick(f.ListBox1, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(f.BtnUp, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuItemSetClick();
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
  }

  void threeButtonsTakeNoneOfTheKeys() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(1);
    app.modal.Then([&](QDialog& w) {
      f.BtnCopy->click();
      for (QPushButton* b : {f.BtnPrevAdd, f.BtnNextPaste, f.BtnNextAdd}) {
        QTest::keyClick(b, Qt::Key_Escape);
        QTest::keyClick(b, Qt::Key_Return);
        QTest::keyClick(b, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(w.isVisible());
        QVERIFY(!w.isMaximized());
      }
      QCOMPARE(f.Rows().LineCount(), 5);
      w.reject();
    });
    m.MenuItemSetClick();
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.DocumentChanged, 0);
  }

  void pasteAndAddStopAtThirtyThousandLines() {
    TestApp app;
    std::string file;
    for (int i = 0; i < 30000; ++i) file += "a,b\r\n";
    app.Start(app.WriteFile("big.csv", file));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    m.SelectListRow(29999);
    app.modal.Then([&](QDialog&) {
      QCOMPARE(f.ListBox1Model->rowCount(), 30000);
      f.BtnCopy->click();
      for (QPushButton* b : {f.BtnPrevPaste, f.BtnNextPaste, f.BtnPrevAdd, f.BtnNextAdd}) b->click();
      QCOMPARE(app.dialogs.texts(), std::vector<std::string>(4, std::string(msg::kDocumentLineLimit)));
      QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
      QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
      QCOMPARE(f.ListBox1Model->rowCount(), 30000);
      f.BtnDelete->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 29999);
      QCOMPARE(f.Rows().Cursor(), 29998);
      f.BtnPrevAdd->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 30000);
      QCOMPARE(f.ListBox1Model->index(29998).data().toString(), QStringLiteral(","));
      f.BtnNextPaste->click();
      QCOMPARE(app.dialogs.texts().size(), std::size_t(5));
      ShowsTheModel(f);
      f.BtnSave->click();
    });
    m.MenuItemSetClick();
    QCOMPARE(m.state.Document.size(), std::size_t(30000));
    QCOMPARE(m.state.Document[29998], ",");
    QCOMPARE(m.ListSelection(), 29999);
  }

  void addOnAFaultyLineNamesTheCursorRow() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "a,b\r\nc,d\r\n"));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    // A line of 65 items (no load lets one in; the check is the editor's own).
    std::string bad = "x";
    for (int i = 0; i < 64; ++i) bad += ",x";
    m.state.Document.push_back(Line(bad));
    m.ListBoxDisp();
    m.SelectListRow(2);
    app.modal.Then([&](QDialog& w) {
      f.BtnNextAdd->click();
      f.BtnPrevAdd->click();
      QCOMPARE(f.Rows().LineCount(), 3);
      ShowsTheModel(f);
      QVERIFY(w.isVisible());
    });
    m.MenuItemSetClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, msg::ItemCount(2, 65)));
    QCOMPARE(app.dialogs.shown().back().kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown().back().buttons, MsgButtons(mbAbort));
  }

  void anEmptyDocumentShowsNoRowsAndItsButtonsDoNothing() {
    TestApp app;
    app.Start(app.WriteFile("empty.csv", ""));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    QVERIFY(Button(m, "BtnItemSet")->isEnabled());
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      QCOMPARE(f.Rows().Cursor(), -1);
      for (QPushButton* b : {f.BtnUp, f.BtnDown, f.BtnCut, f.BtnCopy, f.BtnDelete, f.BtnPrevPaste, f.BtnNextPaste,
                             f.BtnPrevAdd, f.BtnNextAdd})
        b->click();
      QCOMPARE(f.ListBox1Model->rowCount(), 0);
      QVERIFY(!f.BtnPrevPaste->isEnabled());
      QVERIFY(w.isVisible());
      f.BtnSave->click();
    });
    m.MenuItemSetClick();
    QVERIFY(m.state.Document.empty());
    QCOMPARE(m.ListRowCount(), 0);
    QCOMPARE(m.ListSelection(), -1);
    QVERIFY(app.dialogs.shown().empty());
  }

  void longLinesAreDecodedAsFarAsARowShows() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", "a\r\n"));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    std::string narrow;
    while (narrow.size() < 8000) narrow += "il.|'";
    m.state.Document = {narrow, Sjis("漢字") + std::string(3999, 'x')};
    m.ListBoxDisp();
    app.modal.Then([&](QDialog&) {
      const QFontMetrics metrics(f.ListBox1->font());
      const int rowWidth = f.ListBox1Model->index(0).data(Qt::SizeHintRole).toSize().width();
      for (int r = 0; r < 2; ++r) {
        const QString shown = f.ListBox1Model->index(r).data().toString();
        const QString full = f.ListBox1Model->index(r).data(LinesModel::FullTextRole).toString();
        QVERIFY(shown.size() < full.size());
        QVERIFY(full.startsWith(shown));
        QVERIFY(metrics.horizontalAdvance(shown) >= rowWidth);
      }
    });
    m.MenuItemSetClick();
  }

  void closingCapturesTheBoundsOfWindowThree() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    TForm3& f = Form3(app);
    for (auto close : std::vector<std::function<void(QDialog&)>>{
             [&](QDialog&) { f.BtnSave->click(); }, [&](QDialog&) { f.BtnCancel->click(); },
             [&](QDialog&) { QTest::keyClick(f.ListBox1, Qt::Key_Escape); }, [&](QDialog& w) { w.close(); }}) {
      static int shift = 0;
      shift += 10;
      app.modal.Then([&, close](QDialog& w) {
        w.move(40 + shift, 30 + shift);
        w.resize(520 + shift, 300 + shift);
        close(w);
      });
      m.MenuItemSetClick();
      QCOMPARE(m.state.FormLeft[kWinItemset], 40 + shift);
      QCOMPARE(m.state.FormTop[kWinItemset], 30 + shift);
      QCOMPARE(m.state.FormWidth[kWinItemset], 520 + shift);
      QCOMPARE(m.state.FormHeight[kWinItemset], 300 + shift);
    }
  }
};

QTEST_MAIN(ItemsetTest)
#include "test_itemset.moc"
