// The sort and replace windows' wiring: the keys chosen by title, 実行 as one
// undo step, ｷｬﾝｾﾙ and a refusal changing nothing, the remembered place;
// find next selecting the line and the grid's cell, replace one, replace all
// with its count, a refusal, Esc.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/LinesModel.h"
#include "windows/Replace.h"
#include "windows/Sortset.h"

using namespace cavel;
using namespace cavel::test;

namespace {

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

Lines SjisLines(std::initializer_list<const char*> utf8) {
  Lines lines;
  for (const char* l : utf8) lines.push_back(Line(Sjis(l)));
  return lines;
}

// The grid's current cell as (line, item).
QPoint GridCellAt(TForm1& m) {
  const QModelIndex at = m.Grid().View()->currentIndex();
  return QPoint(at.row(), at.column() + 1);
}

}  // namespace

class SortReplaceTest : public QObject {
  Q_OBJECT
 private slots:
  void sortRunsTheChosenKeysAsOneStep() {
    TestApp app;
    app.WriteSettings("[FormSort]\r\nMem=1\r\nLeft=30\r\nTop=40\r\nWidth=560\r\nHeight=176\r\n");
    app.Start(app.WriteFile("a.csv", Sjis("名前,年齢\r\n三郎,30\r\n一郎,9\r\n二郎,100\r\n")));
    TForm1& m = app.Main();
    const Lines before = m.state.Document;
    m.SelectListRow(2);
    app.modal.Then([&](QDialog& w) {
      auto& f = static_cast<TForm15&>(w);
      QCOMPARE(w.windowTitle(), Utf8("Cavel (並べ替え)"));
      QCOMPARE(w.pos(), QPoint(30, 40));
      QCOMPARE(Items(f.KeyRows[0].item), (QStringList{Utf8("(なし)"), Utf8("1 : 名前"), Utf8("2 : 年齢")}));
      QCOMPARE(f.KeyRows[0].item->currentIndex(), 1);
      QCOMPARE(f.KeyRows[1].item->currentIndex(), 0);
      QCOMPARE(f.KeyRows[2].item->currentIndex(), 0);
      // No key: refused, and the window stays open to mend it.
      f.KeyRows[0].item->setCurrentIndex(0);
      f.BtnExecute->click();
      QCOMPARE(app.dialogs.texts().back(), std::string(msg::kNoSortKey));
      QVERIFY(w.isVisible());
      f.KeyRows[0].item->setCurrentIndex(2);
      f.KeyRows[0].descending->setChecked(true);
      f.KeyRows[0].asNumber->setChecked(true);
      w.move(50, 60);
      // Enter asks, then sorts.
      QTest::keyClick(f.KeyRows[0].item, Qt::Key_Return);
      QCOMPARE(app.dialogs.texts().back(), std::string(msg::kAskSort));
      QVERIFY(!w.isVisible());
    });
    Action(m, "MenuSort")->trigger();
    QCOMPARE(m.state.Document, SjisLines({"名前,年齢", "二郎,100", "三郎,30", "一郎,9"}));
    // The return refresh: the list shows the sorted lines, the line kept selected.
    QCOMPARE(m.ListBox1Model->index(1).data().toString(), Utf8("二郎,100"));
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.state.FormLeft[kWinSort], 50);
    m.MenuUndoClick();
    QCOMPARE(m.state.Document, before);
    QVERIFY(!m.state.Undo.CanUndo());

    // ｷｬﾝｾﾙ: nothing changes; the keys start again from their defaults.
    app.modal.Then([&](QDialog& w) {
      auto& f = static_cast<TForm15&>(w);
      QCOMPARE(f.KeyRows[0].item->currentIndex(), 1);
      QVERIFY(f.KeyRows[0].ascending->isChecked() && f.KeyRows[0].asText->isChecked());
      f.KeyRows[1].item->setCurrentIndex(2);
      f.BtnCancel->click();
    });
    m.MenuSortClick();
    QCOMPARE(m.state.Document, before);
    QCOMPARE(m.state.DocumentChanged, 0);
    QVERIFY(!m.state.Undo.CanUndo());
  }

  void replaceFindsReplacesAndShowsEachChangeAtOnce() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start(
        app.WriteFile("a.csv", Sjis("品名,メモ\r\n\"りんご\",赤いりんご\r\nみかん,りんごでない\r\nぶどう,紫\r\n")));
    TForm1& m = app.Main();
    QCOMPARE(Action(m, "MenuReplace")->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    m.BtnDispChgClick();  // the grid shows the file
    m.SelectListRow(1);
    const int pauses = app.pump.calls();
    app.modal.Then([&](QDialog& w) {
      auto& f = static_cast<TForm16&>(w);
      QCOMPARE(w.windowTitle(), Utf8("Cavel (置換)"));
      QVERIFY(w.focusWidget() == f.ComboFind || w.focusWidget() == f.ComboFind->lineEdit());
      QCOMPARE(Items(f.ComboScope), (QStringList{Utf8("すべての項目"), Utf8("1 : 品名"), Utf8("2 : メモ")}));
      f.ComboFind->setEditText(Utf8("りんご"));
      f.ComboReplace->setEditText(Utf8("林檎"));
      // From the selected line: inside the quotes of item 1, then item 2.
      f.BtnFindNext->click();
      QCOMPARE(m.ListSelection(), 1);
      QCOMPARE(GridCellAt(m), QPoint(1, 1));
      QTest::keyClick(f.ComboFind->lineEdit(), Qt::Key_Return);
      QCOMPARE(GridCellAt(m), QPoint(1, 2));
      // 置換: the match shown, then the next one shown.
      f.BtnReplace->click();
      QCOMPARE(m.state.Document[1], Line(Sjis("\"りんご\",赤い林檎")));
      QCOMPARE(m.ListSelection(), 2);
      QCOMPARE(GridCellAt(m), QPoint(2, 2));
      // A replacement that would add an item is refused; nothing changes.
      const Lines kept = m.state.Document;
      f.ComboReplace->setEditText(QStringLiteral("x,y"));
      f.BtnReplaceAll->click();
      QCOMPARE(app.dialogs.shown().back().kind, MsgKind::Warning);
      QCOMPARE(m.state.Document, kept);
      // すべて置換: the count, and the views show it without a fill.
      f.ComboReplace->setEditText(Utf8("林檎"));
      f.BtnReplaceAll->click();
      QCOMPARE(app.dialogs.texts().back(), msg::ReplacedCount(2));
      QCOMPARE(m.ListBox1Model->index(2).data().toString(), Utf8("みかん,林檎でない"));
      QCOMPARE(GridCell(m, 1, 2), Sjis("\"林檎\""));
      // Esc closes at once, though CloseDialogDisp asks elsewhere.
      const std::size_t messages = app.dialogs.shown().size();
      QTest::keyClick(f.CheckRegex, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
      QCOMPARE(app.dialogs.shown().size(), messages);
    });
    m.MenuReplaceClick();
    QCOMPARE(app.pump.calls(), pauses);
    QCOMPARE(m.state.Document, SjisLines({"品名,メモ", "\"林檎\",赤い林檎", "みかん,林檎でない", "ぶどう,紫"}));
    // Two steps: the one replacement and the replace-all.
    m.MenuUndoClick();
    m.MenuUndoClick();
    QCOMPARE(m.state.Document[1], Line(Sjis("\"りんご\",赤いりんご")));
    QVERIFY(!m.state.Undo.CanUndo());
  }
};

QTEST_MAIN(SortReplaceTest)
#include "test_sortreplace.moc"
