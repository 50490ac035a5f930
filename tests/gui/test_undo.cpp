// 元に戻す and やり直し: every kind of change the editing windows make, undone
// and redone with the main window's return refresh; the saved file after an
// undo; the menu items' enabled states; the keys.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QtTest>
#include <functional>

#include "core/Messages.h"
#include "support/TestApp.h"
#include "windows/Convert.h"
#include "windows/Exchange.h"
#include "windows/Inport.h"
#include "windows/Itemset.h"
#include "windows/View.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "T1,T2,T3\r\na,b,c\r\nd,e,f\r\ng,h,i\r\n";

// Opens `window`'s command on list row `row` and runs `script` while the
// window shows.
template <class Window>
void Run(TestApp& app, int row, void (TForm1::*command)(), std::function<void(Window&)> script) {
  TForm1& m = app.Main();
  m.SelectListRow(row);
  app.modal.Then([script](QDialog& w) { script(static_cast<Window&>(w)); });
  (m.*command)();
}

// The record window's save of line 1 with its second value typed anew.
void RecordSave(TestApp& app) {
  Run<TForm2>(app, 1, &TForm1::MenuEditClick, [](TForm2& f) {
    QLineEdit* box = f.Edits[2];
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("B"));
    QApplication::sendEvent(box, &commit);
    f.BtnSave->click();
  });
}

// A title and three lines of two items.
std::string Lines4() { return "t,u\r\n1,x\r\n2,y\r\n3,z\r\n"; }

}  // namespace

class UndoTest : public QObject {
  Q_OBJECT
 private slots:
  void everyKindOfChangeIsUndoneAndRedone() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", kFile));
    TForm1& m = app.Main();
    const std::string merged = app.WriteFile("m.csv", "M1,M2,M3\r\nm,n,o\r\n");
    struct Kind {
      const char* what;
      int row;  // the list row the change starts from
      std::function<void()> change;
    };
    const Kind kinds[] = {
        {"record save", 1, [&] { RecordSave(app); }},
        {"row order save", 2,
         [&] {
           Run<TForm3>(app, 2, &TForm1::MenuItemSetClick, [](TForm3& f) {
             f.BtnDown->click();
             f.BtnSave->click();
           });
         }},
        {"item order save", 1,
         [&] {
           Run<TForm8>(app, 1, &TForm1::MenuExchangeClick, [](TForm8& f) {
             f.BtnDown->click();
             f.BtnSave->click();
           });
         }},
        {"empty item save", 1,
         [&] { Run<TForm8>(app, 1, &TForm1::MenuExchangeClick, [](TForm8& f) { f.BtnAdd->click(); }); }},
        {"numbered item save", 3,
         [&] { Run<TForm8>(app, 3, &TForm1::MenuExchangeClick, [](TForm8& f) { f.BtnSpecial->click(); }); }},
        {"merge before the line", 2,
         [&] {
           Run<TForm9>(app, 2, &TForm1::MenuInportClick, [&](TForm9& f) {
             app.files.Answer(merged);
             f.BtnFileOpen->click();
             f.BtnPrevSave->click();
           });
         }},
        {"quotes added", 4,
         [&] { Run<TForm10>(app, 4, &TForm1::MenuConvertClick, [](TForm10& f) { f.BtnQuatationAddSave->click(); }); }},
    };
    for (const Kind& k : kinds) {
      const Lines before = m.state.Document;
      k.change();
      const Lines after = m.state.Document;
      const int lineAfter = m.state.CurrentLine;
      QVERIFY2(after != before, k.what);
      QVERIFY2(Action(m, "MenuUndo")->isEnabled() && !Action(m, "MenuRedo")->isEnabled(), k.what);

      // Undo: the Document and the line as before, shown at once: the list
      // and the grid show the lines without a fill's pause, the line selected.
      m.SelectListRow(0);
      m.state.DocumentChanged = 0;
      int pauses = app.pump.calls();
      Action(m, "MenuUndo")->trigger();
      QVERIFY2(m.state.Document == before, k.what);
      QVERIFY2(m.state.CurrentLine == k.row, k.what);
      QVERIFY2(m.state.DocumentChanged == 1, k.what);
      QVERIFY2(m.ListSelection() == k.row, k.what);
      QVERIFY2(m.ListRowCount() == static_cast<int>(before.size()), k.what);
      QVERIFY2(app.pump.calls() == pauses, k.what);
      QVERIFY2(m.Grid().HoldsLines(m.ListRowCount()) && m.Grid().CurrentRow() == k.row + 1, k.what);
      for (std::size_t i = 0; i < before.size(); ++i)
        QVERIFY2(GridCell(m, 1, static_cast<int>(i) + 1) == SplitItems(before[i].view())[0], k.what);
      // Only the first change's undo leaves nothing to undo.
      QVERIFY2(Action(m, "MenuUndo")->isEnabled() == (&k != &kinds[0]), k.what);
      QVERIFY2(Action(m, "MenuRedo")->isEnabled(), k.what);

      // Redo: the change again.
      pauses = app.pump.calls();
      Action(m, "MenuRedo")->trigger();
      QVERIFY2(m.state.Document == after, k.what);
      QVERIFY2(m.state.CurrentLine == lineAfter, k.what);
      QVERIFY2(m.ListSelection() == lineAfter, k.what);
      QVERIFY2(app.pump.calls() == pauses, k.what);
      QVERIFY2(!Action(m, "MenuRedo")->isEnabled(), k.what);
    }
    // The item editor's two prefix saves ask first (answered はい(&Y)).
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskAddSave), std::string(msg::kAskSpecialSave)}));
    app.dialogs.Clear();
    // Every step back to the file as loaded, and no further.
    for (std::size_t i = 0; i < std::size(kinds); ++i) m.MenuUndoClick();
    QCOMPARE(m.state.Document, (Lines{"T1,T2,T3", "a,b,c", "d,e,f", "g,h,i"}));
    QVERIFY(!Action(m, "MenuUndo")->isEnabled());
    const int pauses = app.pump.calls();
    m.MenuUndoClick();
    QCOMPARE(app.pump.calls(), pauses);
    QVERIFY(app.dialogs.shown().empty());
  }

  void theFileSavedAfterAnUndoIsTheFileAsItWas() {
    TestApp app;
    const std::string path = app.WriteFile("a.csv", kFile);
    app.Start(path);
    TForm1& m = app.Main();
    RecordSave(app);
    QCOMPARE(m.state.Document[1], std::string("a,B,c"));
    // Saving does not end the history.
    app.files.Answer(path);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(path), std::string("T1,T2,T3\r\na,B,c\r\nd,e,f\r\ng,h,i\r\n"));
    QVERIFY(Action(m, "MenuUndo")->isEnabled());
    m.MenuUndoClick();
    app.files.Answer(path);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(path), std::string(kFile));
  }

  void theMenuItemsFollowTheHistory() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    auto enabled = [&](bool undo, bool redo) {
      return Action(m, "MenuUndo")->isEnabled() == undo && Action(m, "MenuRedo")->isEnabled() == redo;
    };
    QVERIFY(enabled(false, false));  // no file
    const std::string path = app.WriteFile("a.csv", kFile);
    app.files.Answer(path);
    m.MenuFileOpenClick();
    QVERIFY(enabled(false, false));  // loaded
    RecordSave(app);
    QVERIFY(enabled(true, false));
    // A refused action is no step.
    Run<TForm8>(app, 1, &TForm1::MenuExchangeClick, [&](TForm8& f) {
      app.dialogs.Answer(mbNo);
      f.BtnAdd->click();
    });
    QCOMPARE(m.state.Undo.UndoCount(), std::size_t(1));
    m.MenuUndoClick();
    QVERIFY(enabled(false, true));
    m.MenuRedoClick();
    QVERIFY(enabled(true, false));

    // Any load ends the history, even one the loader refuses.
    app.files.Answer(path);
    m.MenuFileOpenClick();
    QVERIFY(enabled(false, false));
    RecordSave(app);
    QVERIFY(enabled(true, false));
    const std::string refused = app.WriteFile("bad.csv", std::string("a,b\r\n") + std::string(8193, 'x') + "\r\n");
    app.dialogs.Clear();
    app.files.Answer(refused);
    m.MenuFileOpenClick();
    QVERIFY(!app.dialogs.shown().empty());
    QVERIFY(!m.state.Undo.CanUndo());
    QVERIFY(enabled(false, false));
    m.MenuUndoClick();
    QVERIFY(m.state.Document.empty());
  }

  void ctrlZAndCtrlYFromTheListTheGridAndTheButtons() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Lines4()));
    TForm1& m = app.Main();
    ShowActive(m);
    const Lines loaded = m.state.Document;
    RecordSave(app);
    const Lines saved = m.state.Document;
    ShowActive(m);
    // Exact modifiers: Ctrl+Shift+Z and Alt+Ctrl+Z do nothing.
    QTest::keyClick(m.ListBox1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(m.ListBox1, Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(m.state.Document, saved);
    QTest::keyClick(m.ListBox1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m.state.Document, loaded);
    QTest::keyClick(Button(m, "BtnView"), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m.state.Document, saved);
    m.BtnDispChgClick();
    QVERIFY(m.Grid().View()->isVisible());
    QTest::keyClick(m.Grid().View(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m.state.Document, loaded);
    QCOMPARE(m.Grid().CurrentRow(), 2);
    QTest::keyClick(m.Grid().View(), Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m.state.Document, loaded);
    QTest::keyClick(Button(m, "BtnFileOpen"), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m.state.Document, saved);
    QVERIFY(app.dialogs.shown().empty());
  }
};

QTEST_MAIN(UndoTest)
#include "test_undo.moc"
