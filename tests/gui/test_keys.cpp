// The main window's keys on the tool buttons, the list and the grid, the
// double click, the menu short-cuts, exit, help and the companion window.
#include <QAbstractButton>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "a,b\r\n1,2\r\n3,4\r\n5,6\r\n";

// The main window on kFile, shown and active.
TForm1& Shown(TestApp& app) {
  app.Start(app.WriteFile("a.csv", kFile));
  TForm1& m = app.Main();
  ShowActive(m);
  return m;
}

std::vector<QWidget*> Buttons(TForm1& m) {
  return {Button(m, "BtnFileOpen"), Button(m, "BtnView"),   Button(m, "BtnEdit"),   Button(m, "BtnItemSet"),
          Button(m, "BtnExchange"), Button(m, "BtnCreate"), Button(m, "BtnDispChg")};
}

}  // namespace

class KeysTest : public QObject {
  Q_OBJECT
 private slots:
  void escClosesFromEveryButtonAndTheList() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    QSignalSpy closed(&m, &TForm1::closed);
    std::vector<QWidget*> controls = Buttons(m);
    controls.push_back(m.ListBox1);
    controls.push_back(m.Grid().View());
    for (QWidget* control : controls) {
      ShowActive(m);
      const int before = static_cast<int>(closed.count());
      QTest::keyClick(control, Qt::Key_Escape, Qt::ShiftModifier);
      QCOMPARE(static_cast<int>(closed.count()), before + 1);
      QVERIFY(!m.isVisible());
    }
    QVERIFY(app.dialogs.shown().empty());
  }

  void escAsksFirstWhenTheSettingSaysSo() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start();
    TForm1& m = app.Main();
    QSignalSpy closed(&m, &TForm1::closed);
    ShowActive(m);
    app.dialogs.Answer(mbNo);
    QTest::keyClick(Button(m, "BtnFileOpen"), Qt::Key_Escape);
    QCOMPARE(closed.count(), 0);
    QVERIFY(m.isVisible());
    app.dialogs.Answer(mbYes);
    QTest::keyClick(m.ListBox1, Qt::Key_Escape);
    QCOMPARE(closed.count(), 1);
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{std::string(msg::kAskQuit), std::string(msg::kAskQuit)}));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
  }

  void exitNeverAsks() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    QSignalSpy closed(&m, &TForm1::closed);
    ShowActive(m);
    Action(m, "MenuExit")->trigger();
    QCOMPARE(closed.count(), 1);
    QVERIFY(app.dialogs.shown().empty());
  }

  void enterOnTheListOpensTheRecordWindow() {
    TestApp app;
    TForm1& m = Shown(app);
    m.SelectListRow(2);
    int seenLine = -1;
    app.modal.Then([&](QDialog&) { seenLine = m.state.CurrentLine; });
    QTest::keyClick(m.ListBox1, Qt::Key_Return);
    QCOMPARE(app.modal.shown(),
             std::vector<QString>{Utf8(msg::PositionCaption(msg::kCaptionView, m.state.CurrentFileName, 2))});
    QCOMPARE(seenLine, 2);
    // Whatever modifiers are held, the keypad's Enter too.
    QTest::keyClick(m.ListBox1, Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier);
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
    // Not on a tool button.
    for (QWidget* b : Buttons(m)) QTest::keyClick(b, Qt::Key_Return);
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
  }

  void enterWithoutASelectionAsksForOne() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    ShowActive(m);
    QTest::keyClick(m.ListBox1, Qt::Key_Return);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kSelectLineFirst)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbOK));
    QVERIFY(app.modal.shown().empty());
  }

  void enterThatConfirmsAnInputMethodConversionIsNoEnter() {
    TestApp app;
    TForm1& m = Shown(app);
    m.SelectListRow(1);
    QInputMethodEvent preedit(QStringLiteral("かな"), {});
    QCoreApplication::sendEvent(m.ListBox1, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("仮名"));
    QCoreApplication::sendEvent(m.ListBox1, &commit);
    QVERIFY(app.modal.shown().empty());
    QVERIFY(app.dialogs.shown().empty());
  }

  void doubleClickOpensTheRecordWindow() {
    TestApp app;
    TForm1& m = Shown(app);
    const QRect row = m.ListBox1->visualRect(m.ListBox1->model()->index(3, 0));
    // A double click: a click, then the second press as a double click.
    QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QCOMPARE(m.ListSelection(), 3);
    QTest::mouseDClick(m.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QCOMPARE(app.modal.shown().size(), std::size_t(1));
    QCOMPARE(m.state.CurrentLine, 3);
    // Below the last row: no line is hit, the selection stays and decides.
    QTest::mouseDClick(m.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(5, m.ListBox1->viewport()->height() - 3));
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
  }

  void noClickLeavesTheListWithoutASelection() {
    TestApp app;
    TForm1& m = Shown(app);
    QWidget* rows = m.ListBox1->viewport();
    const QPoint below(5, rows->height() - 3);
    const QPoint row2 = m.ListBox1->visualRect(m.ListBox1->model()->index(2, 0)).center();
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, row2);
    QCOMPARE(m.ListSelection(), 2);
    QTest::mouseClick(rows, Qt::LeftButton, Qt::NoModifier, below);
    QCOMPARE(m.ListSelection(), 2);
    QTest::mouseClick(rows, Qt::LeftButton, Qt::ControlModifier, row2);
    QCOMPARE(m.ListSelection(), 2);
    QTest::keyClick(m.ListBox1, Qt::Key_Space, Qt::ControlModifier);
    QCOMPARE(m.ListSelection(), 2);
    QTest::keyClick(m.ListBox1, Qt::Key_Down);
    QCOMPARE(m.ListSelection(), 3);
    // The grid's double click then finds its current row, not a missing selection.
    m.BtnDispChgClick();
    m.Grid().SetCurrentRow(2);
    QTest::mouseDClick(m.Grid().View()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.CurrentLine, 1);
  }

  void aDoubleClickAnywhereOnTheGridViewsItsCurrentRow() {
    TestApp app;
    TForm1& m = Shown(app);
    m.SelectListRow(2);
    m.BtnDispChgClick();
    QHeaderView* titles = m.Grid().View()->horizontalHeader();
    QHeaderView* numbers = m.Grid().View()->verticalHeader();
    QWidget* cells = m.Grid().View()->viewport();
    // The first click of a double click on a cell makes its row current; on
    // the empty part or the fixed row, column and corner it moves nothing.
    struct Place {
      const char* what;
      QWidget* widget;
      QPoint at;
      int line;  // the line viewed
    } places[] = {
        {"a cell", cells, m.Grid().View()->visualRect(m.Grid().View()->model()->index(2, 1)).center(), 2},
        {"below the last row", cells, QPoint(5, cells->height() - 3), 2},
        {"a title", titles->viewport(), QPoint(titles->sectionSize(0) / 2, 12), 2},
        {"a line number", numbers->viewport(), QPoint(10, numbers->sectionViewportPosition(1) + 12), 2},
        {"the corner", m.Grid().View()->findChild<QAbstractButton*>(), QPoint(10, 10), 2},
    };
    std::size_t shown = 0;
    for (const Place& p : places) {
      QVERIFY2(p.widget, p.what);
      QTest::mouseClick(p.widget, Qt::LeftButton, Qt::NoModifier, p.at);
      QTest::mouseDClick(p.widget, Qt::LeftButton, Qt::NoModifier, p.at);
      QVERIFY2(app.modal.shown().size() == ++shown, p.what);
      QVERIFY2(m.state.CurrentLine == p.line, p.what);
    }
    // A column's edge: the column fits its contents, no window opens.
    titles->resizeSection(0, 200);
    QTest::mouseDClick(titles->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(199, 12));
    QCOMPARE(app.modal.shown().size(), shown);
    QVERIFY(titles->sectionSize(0) < 200);
  }

  void switchingToTheGridScrollsOnlyAsFarAsNeeded() {
    TestApp app;
    std::string file = "t\r\n";
    for (int i = 1; i < 100; ++i) file += std::to_string(i) + "\r\n";
    app.Start(app.WriteFile("a.csv", file));
    TForm1& m = app.Main();
    m.resize(604, 420);
    ShowActive(m);
    // A window that changed line 4 returns while the list shows: the grid
    // is filled and its cursor set while it is hidden.
    m.state.CurrentLine = 4;
    m.state.DocumentChanged = 1;
    m.ReturnRefresh();
    m.BtnDispChgClick();
    QCOMPARE(m.Grid().CurrentRow(), 5);
    QCOMPARE(m.Grid().View()->verticalScrollBar()->value(), 0);
    // Far down, the row comes into view at the bottom edge.
    m.BtnDispChgClick();
    m.SelectListRow(60);
    m.BtnDispChgClick();
    const QRect current = m.Grid().View()->visualRect(m.Grid().View()->currentIndex());
    QVERIFY(m.Grid().View()->viewport()->rect().contains(current));
    QVERIFY(current.bottom() > m.Grid().View()->viewport()->height() - 2 * 24);
  }

  void ctrlBracketTogglesMaximizedExactly() {
    TestApp app;
    TForm1& m = Shown(app);
    QTest::keyClick(Button(m, "BtnView"), Qt::Key_BracketLeft, Qt::ControlModifier);
    QVERIFY(m.isMaximized());
    QTest::keyClick(m.ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier);
    QVERIFY(!m.isMaximized());
    QTest::keyClick(m.ListBox1, Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(m.ListBox1, Qt::Key_BraceLeft, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(m.ListBox1, Qt::Key_BracketLeft);
    QVERIFY(!m.isMaximized());
    QSignalSpy closed(&m, &TForm1::closed);
    // What the desktop delivers for Ctrl+[: the key '[' whose text is ESC.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"));
    QCoreApplication::sendEvent(m.Grid().View(), &press);
    QVERIFY(m.isMaximized());
    QCOMPARE(closed.count(), 0);
    m.showMinimized();
    QTest::keyClick(Button(m, "BtnFileOpen"), Qt::Key_BracketLeft, Qt::ControlModifier);
    QVERIFY(!m.isMinimized());
    QVERIFY(!m.isMaximized());
  }

  void f4BringsTheCompanionForward() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    ShowActive(m);
    QTest::keyClick(m.ListBox1, Qt::Key_F4);
    QCOMPARE(app.topWindows.asked, (std::vector<std::string>{"VortaMainWin", "ExploreWClass"}));
    app.topWindows.asked.clear();
    app.topWindows.present = {"VortaMainWin", "ExploreWClass"};
    QTest::keyClick(Button(m, "BtnCreate"), Qt::Key_F4);
    QCOMPARE(app.topWindows.asked, std::vector<std::string>{"VortaMainWin"});
    app.topWindows.asked.clear();
    QTest::keyClick(m.ListBox1, Qt::Key_F4, Qt::ShiftModifier);
    QTest::keyClick(Button(m, "BtnFileOpen"), Qt::Key_F4, Qt::ControlModifier);
    QVERIFY(app.topWindows.asked.empty());
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QCoreApplication::sendEvent(m.Grid().View(), &f4);
    QCOMPARE(app.topWindows.asked, std::vector<std::string>{"VortaMainWin"});
    QVERIFY(m.isVisible());
  }

  void keysOnTheGrid() {
    TestApp app;
    TForm1& m = Shown(app);
    m.SelectListRow(1);
    m.BtnDispChgClick();
    QVERIFY(m.Grid().View()->isVisible());
    m.Grid().SetCurrentRow(4);
    QTest::keyClick(m.Grid().View(), Qt::Key_Return);
    QCOMPARE(app.modal.shown().size(), std::size_t(1));
    // The record window takes the grid's row while the grid shows.
    QCOMPARE(m.state.CurrentLine, 3);
    QTest::mouseDClick(m.Grid().View()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
  }

  void menuShortcuts() {
    TestApp app;
    TForm1& m = Shown(app);
    m.ListBox1->setFocus();
    app.files.Cancel();
    QTest::keyClick(&m, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(app.files.asked().size(), std::size_t(1));
    QTest::keyClick(&m, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(m.Grid().View()->isVisible());
    QTest::keyClick(&m, Qt::Key_R, Qt::ControlModifier);
    QVERIFY(m.ListBox1->isVisible());
    app.files.Cancel();
    QTest::keyClick(&m, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(app.files.asked().size(), std::size_t(2));
    QVERIFY(app.files.asked()[1].save);
  }

  void helpShowsTheContentsOfTheHelpFile() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    Action(m, "MenuHelpDisp")->trigger();
    QCOMPARE(app.help.asked, std::vector<std::string>{"CAVEL.HLP"});
    QVERIFY(app.dialogs.shown().empty());
    app.help.failure = "no book";
    m.MenuHelpDispClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::FileError("CAVEL.HLP", "no book")});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
  }
};

QTEST_MAIN(KeysTest)
#include "test_keys.moc"
