// Changes made in the grid: a cell edited in place (F2, typing, an input
// method, Enter, Esc, leaving the cell), the clipboard both ways with the
// list and the grid, Delete, and undo of an edit.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

#include "core/Messages.h"
#include "support/TestApp.h"
#include "windows/CellClipboard.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "a,b,c,d\r\n\"山田\",\"東京都\",30,\r\n\"鈴木\",\"大阪府,北区\",41,x\r\np,q,r,s\r\n";

// The main window on kFile, shown and active, with the grid shown.
TForm1& GridShown(TestApp& app) {
  app.Start(app.WriteFile("a.csv", Sjis(kFile)));
  TForm1& m = app.Main();
  ShowActive(m);
  m.BtnDispChgClick();
  return m;
}

// Makes the cell of `line`, item `item` current (and the only one selected).
QTableView* At(TForm1& m, int line, int item) {
  QTableView* grid = m.Grid().View();
  grid->setCurrentIndex(grid->model()->index(line, item - 1));
  return grid;
}

QLineEdit* Editor(TForm1& m) { return m.Grid().Editor(); }

void InputMethod(QWidget* w, const QString& preedit, const QString& commit) {
  QInputMethodEvent e(preedit, {});
  e.setCommitString(commit);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace

class GridEditTest : public QObject {
  Q_OBJECT
 private slots:
  void f2EditsTheCellEnterWritesItEscCancels() {
    TestApp app;
    TForm1& m = GridShown(app);
    QSignalSpy closed(&m, &TForm1::closed);
    QTableView* grid = At(m, 1, 3);
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* editor = Editor(m);
    QVERIFY(editor && editor->hasFocus());
    QCOMPARE(editor->text(), QStringLiteral("30"));
    QCOMPARE(editor->cursorPosition(), 2);
    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(m.state.Document[1], Sjis("\"山田\",\"東京都\",305,"));
    QVERIFY(!m.Grid().Editor() && grid->hasFocus());
    QCOMPARE(GridCell(m, 3, 2), std::string("305"));
    QCOMPARE(m.ListBox1->model()->index(1, 0).data().toString(), Utf8("\"山田\",\"東京都\",305,"));
    QCOMPARE(m.state.Undo.UndoCount(), std::size_t(1));

    // The quotes are the item's: a cell shows them and edits them.
    At(m, 2, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    QCOMPARE(Editor(m)->text(), Utf8("\"大阪府,北区\""));
    QTest::keyClick(Editor(m), Qt::Key_Escape);
    QVERIFY(!m.Grid().Editor());

    // A typed character starts editing with it; a value that would make two
    // items is refused and the editor stays open with it.
    At(m, 1, 3);
    QTest::keyClick(grid, Qt::Key_Comma);
    editor = Editor(m);
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral(","));
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{msg::ItemBoundsChanged(1, 3)});
    QVERIFY(Editor(m) == editor && editor->hasFocus());
    QCOMPARE(m.state.Document[1], Sjis("\"山田\",\"東京都\",305,"));
    // Esc belongs to the editor: nothing written, nothing asked, the window stays.
    QTest::keyClick(editor, Qt::Key_Escape);
    QVERIFY(!m.Grid().Editor());
    QCOMPARE(m.state.Document[1], Sjis("\"山田\",\"東京都\",305,"));
    QCOMPARE(closed.count(), 0);
    QCOMPARE(m.state.Undo.UndoCount(), std::size_t(1));

    // An input method's composition begun in the grid opens the editor; the
    // Enter that confirms it writes nothing.
    At(m, 1, 3);
    InputMethod(grid, Utf8("かな"), QString());
    QVERIFY(m.Grid().Editor());
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(m.state.Document[1], Sjis("\"山田\",\"東京都\",305,"));
    InputMethod(grid, QString(), Utf8("仮名"));
    QCOMPARE(Editor(m)->text(), Utf8("仮名"));
    QTest::keyClick(Editor(m), Qt::Key_Return);
    QCOMPARE(m.state.Document[1], Sjis("\"山田\",\"東京都\",仮名,"));

    // Leaving the cell writes it; the cell clicked stays current.
    At(m, 3, 1);
    QTest::keyClick(grid, Qt::Key_Z);
    const QRect other = grid->visualRect(grid->model()->index(2, 3));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, other.center());
    QTRY_VERIFY(!m.Grid().Editor());
    QCOMPARE(m.state.Document[3], std::string("z,q,r,s"));
    QCOMPARE(grid->currentIndex(), grid->model()->index(2, 3));
    // So does a command, before it runs.
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(Editor(m), Qt::Key_Y);
    QTest::keyClick(Editor(m), Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(m.state.Document[2], Sjis("\"鈴木\",\"大阪府,北区\",41,xy"));
    QVERIFY(m.ListBox1->isVisible());

    // With the editor closed, Enter opens the record window as before.
    m.BtnDispChgClick();
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(app.modal.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
  }

  void copyAndPasteThroughTheClipboard() {
    TestApp app;
    TForm1& m = GridShown(app);
    QClipboard* clipboard = QGuiApplication::clipboard();
    // A block by Shift and the arrows.
    QTableView* grid = At(m, 1, 1);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), Utf8("山田\t東京都\n鈴木\t大阪府,北区\n"));
    QCOMPARE(clipboard->mimeData()->data(kCellsMimeType).toStdString(),
             Sjis("\"山田\",\"東京都\"\r\n\"鈴木\",\"大阪府,北区\"\r\n"));

    // Cavel's own cells back, quoted as the items they replace or where they must be.
    At(m, 2, 3);
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(m.state.Document[2], Sjis("\"鈴木\",\"大阪府,北区\",山田,東京都"));
    QCOMPARE(m.state.Document[3], Sjis("p,q,鈴木,\"大阪府,北区\""));
    QCOMPARE(m.state.Undo.UndoCount(), std::size_t(1));
    QCOMPARE(m.state.CurrentLine, 2);
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(GridCell(m, 4, 4), Sjis("\"大阪府,北区\""));
    QCOMPARE(grid->selectionModel()->selectedIndexes().size(), 4);

    // Another program's text: tab-separated Unicode.
    clipboard->setText(Utf8("東\t西\n"));
    At(m, 3, 1);
    m.MenuPasteClick();
    QCOMPARE(m.state.Document[3], Sjis("東,西,鈴木,\"大阪府,北区\""));
    // A character Shift-JIS cannot hold, and an empty clipboard: refused.
    const Lines before = m.state.Document;
    clipboard->setText(Utf8("x\té"));
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ShiftModifier);
    clipboard->clear();
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{msg::PasteNotShiftJis({0xE9}), std::string(msg::kNothingToPaste)}));
    QCOMPARE(m.state.Document, before);
    // A line break inside a value: held as a bare LF where lines end in CR LF,
    // refused where they end in LF.
    clipboard->setText(QStringLiteral("\"x\ny\""));
    m.state.DocumentFormat.lineEnd = LineEnd::Lf;
    At(m, 3, 1);
    app.dialogs.Clear();
    m.MenuPasteClick();
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::CharNotHeld(3, 1, U'\n')}));
    m.state.DocumentFormat.lineEnd = LineEnd::CrLf;
    m.MenuPasteClick();
    QCOMPARE(m.state.Document[3], Sjis("\"x\ny\",西,鈴木,\"大阪府,北区\""));
    m.MenuUndoClick();
    app.dialogs.Clear();

    // Delete empties the selected cells; a quoted item keeps its quotes.
    At(m, 1, 1);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(m.state.Document[1], std::string("\"\",\"\",30,"));

    // The list copies its line as it stands, and pastes nowhere.
    m.BtnDispChgClick();
    m.SelectListRow(2);
    QTest::keyClick(m.ListBox1, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), Utf8("\"鈴木\",\"大阪府,北区\",山田,東京都"));
    app.dialogs.Clear();
    QTest::keyClick(m.ListBox1, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kPasteInGrid)});
    QCOMPARE(m.state.Document[1], std::string("\"\",\"\",30,"));
  }

  void anEditIsUndoneAndRedone() {
    TestApp app;
    TForm1& m = GridShown(app);
    const Lines loaded = m.state.Document;
    QTableView* grid = At(m, 3, 2);
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(Editor(m), Qt::Key_Backspace);
    QTest::keyClick(Editor(m), Qt::Key_Return);
    QCOMPARE(m.state.Document[3], std::string("p,,r,s"));
    const Lines edited = m.state.Document;
    At(m, 0, 1);
    QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m.state.Document, loaded);
    QCOMPARE(GridCell(m, 2, 4), std::string("q"));
    QCOMPARE(m.state.CurrentLine, 3);
    QCOMPARE(grid->currentIndex().row(), 3);
    QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m.state.Document, edited);
    QCOMPARE(GridCell(m, 2, 4), std::string());
  }
};

QTEST_MAIN(GridEditTest)
#include "test_gridedit.moc"
