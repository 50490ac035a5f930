// Find, find again and jump: the two dialogs (layout, keys, length limits),
// the commands moving the list's selection with the grid following, the
// histories, and find again's menu item.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Jump.h"
#include "windows/Search.h"

using namespace cavel;
using namespace cavel::test;

namespace {

const char* kFile = "名前,果物\r\n一郎,apple\r\n二郎,pear\r\n三郎,apple pie\r\n四郎,plum\r\n";

TForm5& Find(QDialog& w) { return static_cast<TForm5&>(w); }
TForm4& Jump(QDialog& w) { return static_cast<TForm4&>(w); }

// Find with `text` typed over the combo box and OK.
void FindText(TestApp& app, const QString& text) {
  app.modal.Then([text](QDialog& w) {
    Find(w).ComboBox1->setEditText(text);
    Find(w).BtnOk->click();
  });
  app.Main().MenuFindClick();
}

void JumpTo(TestApp& app, const QString& text) {
  app.modal.Then([text](QDialog& w) {
    Jump(w).ComboBox1->setEditText(text);
    Jump(w).BtnOk->click();
  });
  app.Main().MenuJumpClick();
}

// Types `text` into `w` as key presses that carry it (any script, no key code).
void Type(QWidget* w, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(w, &press);
  }
}

QStringList Items(QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

}  // namespace

class FindTest : public QObject {
  Q_OBJECT
 private slots:
  void dialogsAsDesigned() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    app.modal.Then([&](QDialog& w) {
      TForm5& f = Find(w);
      QCOMPARE(w.windowTitle(), Utf8(msg::kCaptionSearch));
      QCOMPARE(w.size(), QSize(442, 103));
      QCOMPARE(w.minimumSize(), w.maximumSize());
      QCOMPARE(w.pos(), QPoint((1280 - 442) / 2, (1024 - 103) / 2));
      QCOMPARE(f.Label1->text(), Utf8("検索文字"));
      QCOMPARE(f.Label2->text(), Utf8("(半角64文字)"));
      QVERIFY(f.ComboBox1->isEditable());
      QCOMPARE(f.BtnOk->text(), Utf8("OK(&O)"));
      QCOMPARE(f.BtnCancel->text(), Utf8("ｷｬﾝｾﾙ"));
      for (QWidget* c : std::initializer_list<QWidget*>{f.Label1, f.Label2, f.ComboBox1, f.BtnOk, f.BtnCancel})
        QVERIFY2(w.rect().contains(c->geometry()), qPrintable(c->objectName()));
      QCOMPARE(f.ComboBox1->count(), 3);
      QCOMPARE(f.ComboBox1->currentText(), QString());
    });
    m.MenuFindClick();
    TForm4& jump = *app.Forms().Form4;
    jump.Label2->setText(QStringLiteral("x"));
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(w.windowTitle(), Utf8(msg::kCaptionJump));
      QCOMPARE(w.size(), QSize(342, 103));
      QCOMPARE(w.minimumSize(), w.maximumSize());
      QCOMPARE(w.pos(), QPoint((1280 - 342) / 2, (1024 - 103) / 2));
      QCOMPARE(jump.Label1->text(), Utf8("行番号"));
      QCOMPARE(jump.Label2->text(), Utf8("(0-29999)"));
      QCOMPARE(jump.ComboBox1->currentText(), QStringLiteral("0"));
      QCOMPARE(Items(jump.ComboBox1), (QStringList{QStringLiteral("0"), QString(), QString()}));
      // Five characters at most.
      QTest::keyClicks(jump.ComboBox1, QStringLiteral("123456"));
      QCOMPARE(jump.ComboBox1->currentText(), QStringLiteral("12345"));
      for (QWidget* c :
           std::initializer_list<QWidget*>{jump.Label1, jump.Label2, jump.ComboBox1, jump.BtnOk, jump.BtnCancel})
        QVERIFY2(w.rect().contains(c->geometry()), qPrintable(c->objectName()));
    });
    m.SelectListRow(3);
    m.MenuJumpClick();
    // Closed without a button: the jump goes to JumpHistory[1]; what was typed is not taken.
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.state.JumpHistory, (std::array<std::string, 4>{"", "0", "0", ""}));
  }

  void findSelectsTheLineAndTheGridFollows() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    QVERIFY(!Action(m, "MenuReFind")->isEnabled());
    m.SelectListRow(1);
    FindText(app, QStringLiteral("apple"));
    QCOMPARE(m.ListSelection(), 1);  // the selected line itself
    QVERIFY(Action(m, "MenuReFind")->isEnabled());
    // The grid was never filled: it does not follow.
    QCOMPARE(m.Grid().CurrentRow(), 1);
    m.BtnDispChgClick();
    m.BtnDispChgClick();
    Action(m, "MenuReFind")->trigger();
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.Grid().CurrentRow(), 4);
    // Find again on the last match: the notice, no wrap; nothing moves.
    m.BtnDispChgClick();
    QVERIFY(!m.ListVisible());
    m.MenuReFindClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kNotFound)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, mbOK);
    QCOMPARE(m.ListSelection(), 3);
    QCOMPARE(m.Grid().CurrentRow(), 4);
    // While the grid shows, find works on the list's selection and moves the cursor.
    m.SelectListRow(0);
    FindText(app, Utf8("四郎"));
    QCOMPARE(m.ListSelection(), 4);
    QCOMPARE(m.Grid().CurrentRow(), 5);
    QCOMPARE(m.state.FindText, Sjis("四郎"));
  }

  void findIsExactBytesOnCharacterBoundaries() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis("t\r\nア\r\nABC\r\nxA\r\n?\r\n")));
    TForm1& m = app.Main();
    FindText(app, QStringLiteral("A"));
    QCOMPARE(m.ListSelection(), 2);  // not line 1: ア is 83 41
    FindText(app, QStringLiteral("abc"));
    QCOMPARE(m.ListSelection(), 2);
    // A character Shift-JIS cannot hold matches nothing, not even '?'.
    m.SelectListRow(0);
    FindText(app, Utf8("한"));
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, std::string(msg::kNotFound)));
    m.MenuReFindClick();
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(app.dialogs.shown().size(), std::size_t(3));
  }

  void reFindIsEnabledByTheFirstFindWithAText() {
    TestApp app;
    const std::string good = app.WriteFile("a.csv", Sjis(kFile));
    app.Start(good);
    TForm1& m = app.Main();
    app.modal.Then([](QDialog& w) { Find(w).BtnCancel->click(); });
    m.MenuFindClick();
    m.MenuFindClick();  // closed by the title bar with an empty history
    QVERIFY(!Action(m, "MenuReFind")->isEnabled());
    QVERIFY(app.dialogs.shown().empty());
    FindText(app, QStringLiteral("nowhere"));
    QVERIFY(Action(m, "MenuReFind")->isEnabled());
    // A refused load disables it; a good one leaves it so until the next find.
    app.files.Answer(app.WriteFile("bad.csv", std::string(8193, 'x') + "\r\n"));
    m.MenuFileOpenClick();
    QVERIFY(!Action(m, "MenuReFind")->isEnabled());
    app.files.Answer(good);
    m.MenuFileOpenClick();
    QVERIFY(!Action(m, "MenuReFind")->isEnabled());
    FindText(app, QStringLiteral("pear"));
    QVERIFY(Action(m, "MenuReFind")->isEnabled());
    QCOMPARE(m.ListSelection(), 2);
  }

  void historiesAndTheTitleBar() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    FindText(app, QStringLiteral("apple"));
    FindText(app, QStringLiteral("apple"));
    QCOMPARE(m.state.FindHistory[1], "apple");
    QCOMPARE(m.state.FindHistory[2], "apple");
    FindText(app, Utf8("二郎"));
    m.MenuReFindClick();  // not found after line 2; the history shifts all the same
    QCOMPARE(m.state.FindHistory[1], Sjis("二郎"));
    QCOMPARE(m.state.FindHistory[2], Sjis("二郎"));
    QCOMPARE(m.state.FindHistory[3], "apple");
    // Closed by the title bar: the last search once more, from the selection.
    m.SelectListRow(3);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(Find(w).ComboBox1->currentText(), Utf8("二郎"));
      QCOMPARE(Items(Find(w).ComboBox1), (QStringList{Utf8("二郎"), Utf8("二郎"), QStringLiteral("apple")}));
      QVERIFY(Find(w).ComboBox1->lineEdit()->hasSelectedText());
      Find(w).ComboBox1->setEditText(QStringLiteral("typed, not taken"));
      w.close();
    });
    m.MenuFindClick();
    QCOMPARE(m.state.FindText, Sjis("二郎"));
    QCOMPARE(app.dialogs.texts().back(), std::string(msg::kNotFound));

    JumpTo(app, QStringLiteral("3"));
    JumpTo(app, QStringLiteral("29999"));
    QCOMPARE(m.ListSelection(), 4);  // the last line of a 5-line file
    JumpTo(app, QStringLiteral("0"));
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.state.JumpHistory, (std::array<std::string, 4>{"", "0", "29999", "3"}));
    m.SelectListRow(2);
    app.modal.Then([&](QDialog& w) {
      QCOMPARE(Items(Jump(w).ComboBox1),
               (QStringList{QStringLiteral("0"), QStringLiteral("29999"), QStringLiteral("3")}));
      w.close();
    });
    m.MenuJumpClick();
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.state.JumpHistory[2], "0");
  }

  void jumpRefusesWhatIsNotALineNumberAndTheGridFollows() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.BtnDispChgClick();
    app.modal.Then([&](QDialog& w) {
      TForm4& j = Jump(w);
      j.ComboBox1->setEditText(QStringLiteral("30000"));
      j.BtnOk->click();
      QVERIFY(w.isVisible());
      j.ComboBox1->setEditText(QStringLiteral("abc"));
      QTest::keyClick(j.ComboBox1, Qt::Key_Return);
      QVERIFY(w.isVisible());
      QVERIFY(j.ComboBox1->lineEdit()->hasSelectedText());
      j.ComboBox1->setEditText(QStringLiteral("2"));
      QTest::keyClick(j.ComboBox1, Qt::Key_Enter);
      QVERIFY(!w.isVisible());
    });
    m.MenuJumpClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(2));
    QCOMPARE(app.dialogs.shown()[0].text, std::string(msg::kJumpOutOfRange));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, mbAbort);
    QCOMPARE(app.dialogs.shown()[1].text, "'abc' は整数ではありません");
    QCOMPARE(app.dialogs.shown()[1].kind, MsgKind::Error);
    QCOMPARE(m.ListSelection(), 2);
    QCOMPARE(m.Grid().CurrentRow(), 3);
    QCOMPARE(m.state.JumpHistory[1], "2");
  }

  void dialogKeysCancelWithoutAQuestion() {
    TestApp app;
    app.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    TForm1& m = app.Main();
    m.SelectListRow(0);
    FindText(app, QStringLiteral("pear"));
    QCOMPARE(m.ListSelection(), 2);
    // Enter in the combo box is OK.
    m.SelectListRow(0);
    app.modal.Then([](QDialog& w) {
      QTest::keyClicks(Find(w).ComboBox1, QStringLiteral("plum"));
      QTest::keyClick(Find(w).ComboBox1, Qt::Key_Return);
      QVERIFY(!w.isVisible());
    });
    m.MenuFindClick();
    QCOMPARE(m.ListSelection(), 4);
    // Esc in the combo box, on either button, or anywhere: cancel.
    m.SelectListRow(0);
    for (int place = 0; place < 4; ++place) {
      app.modal.Then([place](QDialog& w) {
        TForm5& f = Find(w);
        f.ComboBox1->setEditText(QStringLiteral("apple"));
        QWidget* target = place == 0   ? static_cast<QWidget*>(f.ComboBox1->lineEdit())
                          : place == 1 ? static_cast<QWidget*>(f.BtnOk)
                          : place == 2 ? static_cast<QWidget*>(f.BtnCancel)
                                       : static_cast<QWidget*>(&w);
        QTest::keyClick(target, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
      });
      m.MenuFindClick();
      QCOMPARE(m.state.FindText, "");
      QVERIFY2(m.ListSelection() == 0, qPrintable(QString::number(place)));
    }
    // Enter on a focused button presses that button.
    app.modal.Then([](QDialog& w) {
      Find(w).ComboBox1->setEditText(QStringLiteral("apple"));
      Find(w).BtnCancel->setFocus();
      QTest::keyClick(Find(w).BtnCancel, Qt::Key_Return);
    });
    m.MenuFindClick();
    QCOMPARE(m.ListSelection(), 0);
    app.modal.Then([](QDialog& w) {
      Find(w).ComboBox1->setEditText(QStringLiteral("apple"));
      Find(w).BtnOk->setFocus();
      QTest::keyClick(Find(w).BtnOk, Qt::Key_Return);
    });
    m.MenuFindClick();
    QCOMPARE(m.ListSelection(), 1);
    // The jump dialog alike.
    app.modal.Then([](QDialog& w) {
      Jump(w).ComboBox1->setEditText(QStringLiteral("3"));
      QTest::keyClick(Jump(w).ComboBox1, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuJumpClick();
    QCOMPARE(m.ListSelection(), 1);
    QCOMPARE(m.state.JumpHistory[1], "0");
    QVERIFY(app.dialogs.shown().empty());
  }

  void findTextIsHeldTo64BytesOfShiftJis() {
    TestApp app;
    app.Start(app.WriteFile("a.csv", Sjis(kFile)));
    app.modal.Then([](QDialog& w) {
      QComboBox* combo = Find(w).ComboBox1;
      QLineEdit* edit = combo->lineEdit();
      QTest::keyClicks(combo, QString(70, QLatin1Char('a')));
      QCOMPARE(combo->currentText(), QString(64, QLatin1Char('a')));
      edit->clear();
      // Double-byte characters count two, half-width katakana one.
      Type(combo, QString(40, QChar(0x3042)));  // あ
      QCOMPARE(combo->currentText(), QString(32, QChar(0x3042)));
      QTest::keyClicks(combo, QStringLiteral("a"));
      QCOMPARE(combo->currentText().size(), 32);
      edit->clear();
      Type(combo, QString(65, QChar(0xFF71)));  // ｱ
      QCOMPARE(combo->currentText(), QString(64, QChar(0xFF71)));
      // A paste keeps what fits of its beginning, the text around it stays.
      edit->setText(QStringLiteral("abc"));
      edit->setCursorPosition(1);
      edit->insert(QString(100, QChar(0x3042)));
      QCOMPARE(combo->currentText(), QStringLiteral("a") + QString(30, QChar(0x3042)) + QStringLiteral("bc"));
      QCOMPARE(edit->cursorPosition(), 31);
      Find(w).BtnOk->click();
    });
    app.Main().MenuFindClick();
    QCOMPARE(app.Main().state.FindText.size(), std::size_t(63));
    std::string expected = "a";
    for (int i = 0; i < 30; ++i) expected += "\x82\xa0";
    QCOMPARE(app.Main().state.FindText, expected + "bc");
  }
};

QTEST_MAIN(FindTest)
#include "test_find.moc"
