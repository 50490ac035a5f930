// The record window and its zoom view: layout, the openings with their
// checks, stepping, edit mode, saving (the 8192-byte limit, untouched values
// kept as their bytes, characters Shift-JIS cannot hold), the keys, resizing
// and the bounds, and the zoom's text in both modes.
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <functional>

#include "core/Messages.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"
#include "support/TestApp.h"
#include "windows/Editdsp.h"
#include "windows/LinesModel.h"
#include "windows/View.h"

using namespace cavel;
using namespace cavel::test;

namespace {

// Title of 5 items (the third longer than 16 bytes); line 1: 5 items; line
// 2: 3 items, one quoted with a comma; line 3: 5 items; line 4: 2 items.
const char* kFile =
    "番号,氏名,住所（都道府県と市区町村）,電話,備考\r\n"
    "1,山田太郎,東京都千代田区,03-1234-5678,メモ\r\n"
    "2,\"鈴木, 花子\",大阪府\r\n"
    "3,佐藤,福岡県,092,終\r\n"
    "4,end\r\n";

using Script = std::function<void(TForm2&)>;

// Opens the record window on `line` (view or edit mode) and runs `script`
// while it shows; false when the window was not shown.
bool OpenOn(TestApp& app, int line, bool edit, Script script) {
  TForm1& m = app.Main();
  m.SelectListRow(line);
  const std::size_t before = app.modal.shown().size();
  app.modal.Then([script](QDialog& w) { script(static_cast<TForm2&>(w)); });
  edit ? m.MenuEditClick() : m.MenuViewClick();
  const bool shown = app.modal.shown().size() > before;
  if (!shown) app.modal = ScriptedModal();  // drop the unused script
  return shown;
}

// Starts the program on `bytes`; the loader's question about lines with
// another item count than the title line is answered はい(&Y) and forgotten.
void StartOn(TestApp& app, const std::string& bytes) {
  app.Start(app.WriteFile("住所録.csv", bytes));
  app.dialogs.Clear();
}

std::string Caption(const TForm1& m, int line) {
  return msg::PositionCaption(msg::kCaptionView, m.state.CurrentFileName, line);
}

QLineEdit* Box(TForm2& f, int n) { return f.Edits[static_cast<std::size_t>(n)]; }
QLabel* Label(TForm2& f, int n) { return f.Labels[static_cast<std::size_t>(n)]; }

// Types `text` into a box as the user does: everything selected and deleted,
// then the text committed by the input method.
void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QInputMethodEvent commit;
  commit.setCommitString(text);
  QApplication::sendEvent(box, &commit);
}

std::string Items(int count, const std::string& stem) {
  std::string line;
  for (int k = 1; k <= count; ++k) line += (k > 1 ? "," : "") + stem + std::to_string(k);
  return line;
}

}  // namespace

class RecordWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void viewModeLayoutAndTexts() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    const bool shown = OpenOn(app, 1, false, [&](TForm2& f) {
      QCOMPARE(f.Caption(), Caption(m, 1));
      QCOMPARE(f.Label90->text(), Utf8("閲覧モード"));
      QVERIFY(f.BtnEdit->isEnabled());
      QVERIFY(!f.BtnSave->isEnabled());
      QCOMPARE(Label(f, 1)->text(), Utf8("01 : 番号"));
      // 16 bytes of the title item, eight double-byte characters.
      QCOMPARE(Label(f, 3)->text(), Utf8("03 : 住所（都道府県と"));
      QCOMPARE(Label(f, 9)->text(), Utf8("09 : "));
      QCOMPARE(Label(f, 64)->text(), Utf8("64 : "));
      QCOMPARE(Box(f, 2)->text(), Utf8("山田太郎"));
      QCOMPARE(Box(f, 4)->text(), Utf8("03-1234-5678"));
      QCOMPARE(Box(f, 6)->text(), Utf8("06 : "));
      for (int n = 1; n <= 64; ++n) {
        QCOMPARE(Label(f, n)->isHidden(), n > 5);
        QCOMPARE(Box(f, n)->isHidden(), n > 5);
        QVERIFY(Box(f, n)->isReadOnly());
      }
    });
    QVERIFY(shown);
    QCOMPARE(m.state.CurrentLine, 1);
    TForm2& f = *app.Forms().Form2;
    QCOMPARE(f.ScrollBox1->geometry(), f.rect());
    QCOMPARE(m.ListSelection(), 1);
  }

  void controlsSitWhereDesigned() {
    TestApp app;
    app.Start();
    TForm2& f = *app.Forms().Form2;
    QCOMPARE(f.RecordCaption, std::string(msg::kCaptionView));
    QCOMPARE(f.ScrollBox1->frameShape(), QFrame::NoFrame);
    QCOMPARE(f.Label90->geometry(), QRect(5, 3, 150, 20));
    const std::pair<QPushButton*, std::string_view> buttons[] = {{f.BtnCancel, "ｷｬﾝｾﾙ"},
                                                                 {f.BtnPrev, "前項(&T)"},
                                                                 {f.BtnNext, "後項(&V)"},
                                                                 {f.BtnEdit, "編集(&E)"},
                                                                 {f.BtnSave, "保存(&S)"}};
    int left = 170;
    for (auto [button, text] : buttons) {
      QCOMPARE(button->parentWidget(), f.ScrollContents);
      QCOMPARE(button->geometry(), QRect(left, 0, 75, 25));
      QCOMPARE(button->text(), Utf8(text));
      left += 75;
    }
    for (int n = 1; n <= 64; ++n) {
      QCOMPARE(Label(f, n)->objectName(), QStringLiteral("Label%1").arg(n, 2, 10, QLatin1Char('0')));
      QCOMPARE(Box(f, n)->objectName(), QStringLiteral("Edit%1").arg(n, 2, 10, QLatin1Char('0')));
      QCOMPARE(Label(f, n)->pos(), QPoint(5, 30 * n));
      QCOMPARE(Label(f, n)->width(), 150);
      QCOMPARE(Box(f, n)->geometry(), QRect(170, 30 * n, 604 - 210, 26));
      QCOMPARE(Box(f, n)->font().pixelSize(), 13);
      QCOMPARE(Box(f, n)->font().family(), SystemFamily());
      QCOMPARE(Label(f, n)->font().pixelSize(), 13);
      QCOMPARE(Label(f, n)->wordWrap(), false);
    }
    // No length limit on a value.
    QVERIFY(Box(f, 1)->maxLength() >= (1 << 20));
    // Tab order: the five buttons, then the boxes.
    auto next = [](QWidget* w) {
      do w = w->nextInFocusChain();
      while (!(w->focusPolicy() & Qt::TabFocus));
      return w;
    };
    std::vector<QWidget*> order = {f.BtnCancel, f.BtnPrev, f.BtnNext, f.BtnEdit, f.BtnSave, Box(f, 1), Box(f, 2)};
    for (std::size_t i = 1; i < order.size(); ++i) QCOMPARE(next(order[i - 1]), order[i]);
    QCOMPARE(next(Box(f, 63)), Box(f, 64));
    QCOMPARE(f.ScrollBox1->focusPolicy(), Qt::NoFocus);
  }

  void editModeOpening() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 2, true, [&](TForm2& f) {
      QCOMPARE(f.Label90->text(), Utf8("編集モード"));
      QVERIFY(!f.BtnEdit->isEnabled());
      QVERIFY(f.BtnSave->isEnabled());
      QCOMPARE(f.Caption(), Caption(m, 2));
      QCOMPARE(Box(f, 2)->text(), Utf8("\"鈴木, 花子\""));
      for (int n = 1; n <= 64; ++n) {
        QCOMPARE(Box(f, n)->isReadOnly(), n > 3);
        QCOMPARE(Box(f, n)->isHidden(), n > 3);
      }
    }));
    // A view-mode opening after it: every box read-only again.
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      for (int n = 1; n <= 64; ++n) QVERIFY(Box(f, n)->isReadOnly());
      QCOMPARE(f.Label90->text(), Utf8("閲覧モード"));
    }));
    QVERIFY(app.dialogs.shown().empty());
  }

  void withoutASelectionTheNoticeAndNoWindow() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    for (auto command : {&TForm1::MenuViewClick, &TForm1::MenuEditClick}) {
      m.SelectListRow(-1);
      (m.*command)();
    }
    QCOMPARE(app.modal.shown().size(), std::size_t(0));
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>(2, std::string(msg::kSelectLineFirst))));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbOK));
  }

  void failingChecksKeepTheWindowClosed() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    // A line the loader would not take: 511 commas and 255 quotes.
    m.state.Document.Set(3, Line("\"" + std::string(511, ',') + "\"" + std::string(255, '"')));
    m.ListBoxDisp();
    QVERIFY(!OpenOn(app, 3, false, [](TForm2&) {}));
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::CommaCount(3), msg::QuoteCount(3)}));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    QCOMPARE(m.state.RecordSetupFailed, 1);
    // The title line is checked first, with line 0 in its message.
    app.dialogs.Clear();
    m.state.Document.Set(0, Line(Items(65, "t")));
    QVERIFY(!OpenOn(app, 1, true, [](TForm2&) {}));
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::ItemCount(0, 65)}));
    QCOMPARE(app.modal.shown().size(), std::size_t(0));
  }

  void titleLineAsARecord() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 0, true, [&](TForm2& f) {
      QCOMPARE(Label(f, 3)->text(), Utf8("03 : 住所（都道府県と"));
      QCOMPARE(Box(f, 3)->text(), Utf8("住所（都道府県と市区町村）"));
      QCOMPARE(f.Caption(), Caption(m, 0));
      Type(Box(f, 5), Utf8("メモ欄"));
      f.BtnSave->click();
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.Document[0], Sjis("番号,氏名,住所（都道府県と市区町村）,電話,メモ欄"));
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.ListBox1Model->index(0).data().toString(), Utf8("番号,氏名,住所（都道府県と市区町村）,電話,メモ欄"));
    QCOMPARE(m.ListSelection(), 0);
  }

  void steppingKeepsRowsAndSkipsFailingLines() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    // Line 3 fails now: 65 items.
    m.state.Document.Set(3, Line(Items(65, "x")));
    m.ListBoxDisp();
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      QTest::keyClick(f.BtnCancel, Qt::Key_PageDown);
      QCOMPARE(m.state.CurrentLine, 2);
      QCOMPARE(f.Caption(), Caption(m, 2));
      // From 5 items to 3: five rows stay, rows 4 and 5 show their numbers.
      for (int n = 1; n <= 64; ++n) QCOMPARE(Box(f, n)->isHidden(), n > 5);
      QCOMPARE(Box(f, 3)->text(), Utf8("大阪府"));
      QCOMPARE(Box(f, 4)->text(), Utf8("04 : "));
      QCOMPARE(Box(f, 5)->text(), Utf8("05 : "));
      QVERIFY(app.dialogs.shown().empty());
      // Line 3 fails its check: the message, and the window stays on line 2.
      f.BtnNext->click();
      QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::ItemCount(3, 65)}));
      QCOMPARE(m.state.CurrentLine, 2);
      QCOMPARE(f.Caption(), Caption(m, 2));
      QCOMPARE(Box(f, 2)->text(), Utf8("\"鈴木, 花子\""));
      QTest::keyClick(Box(f, 1), Qt::Key_PageUp);
      QCOMPARE(m.state.CurrentLine, 1);
      QCOMPARE(Box(f, 5)->text(), Utf8("メモ"));
      f.BtnPrev->click();
      QCOMPARE(m.state.CurrentLine, 0);
      QCOMPARE(Box(f, 1)->text(), Utf8("番号"));
      // Previous on line 0 shows line 0 again.
      f.BtnPrev->click();
      QCOMPARE(m.state.CurrentLine, 0);
      QCOMPARE(f.Caption(), Caption(m, 0));
      QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    }));
    // The window closed on line 0: the list follows it; nothing was refilled.
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.state.DocumentChanged, 0);
    QVERIFY(OpenOn(app, 4, false, [&](TForm2& f) {
      f.BtnNext->click();
      QCOMPARE(m.state.CurrentLine, 4);
      QCOMPARE(Box(f, 2)->text(), Utf8("end"));
      // Two items: rows 3 and beyond stay hidden on the way back.
      QTest::keyClick(f.BtnCancel, Qt::Key_PageUp);
      QCOMPARE(m.state.CurrentLine, 4);  // line 3 still fails
      QVERIFY(Box(f, 3)->isHidden());
    }));
  }

  void aFailedStepSavesOverTheShownLine() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    m.state.Document.Set(3, Line(Items(65, "x")));
    QVERIFY(OpenOn(app, 2, true, [&](TForm2& f) {
      Type(Box(f, 3), Utf8("京都府"));
      QTest::keyClick(Box(f, 3), Qt::Key_PageDown);
      QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{msg::ItemCount(3, 65)}));
      // The typed value is still there and still belongs to line 2.
      QCOMPARE(Box(f, 3)->text(), Utf8("京都府"));
      f.BtnSave->click();
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.Document[2], Sjis("2,\"鈴木, 花子\",京都府"));
    QCOMPARE(m.state.Document[3], Items(65, "x"));
    QCOMPARE(m.ListSelection(), 2);
  }

  void steppingDropsTypedValuesAndSavesTheLinesItemsOnly() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    const std::string line2(m.state.Document[2].view());
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Type(Box(f, 2), Utf8("書き換え"));
      QVERIFY(f.BoxEdited(2));
      QTest::keyClick(Box(f, 2), Qt::Key_PageDown);
      QCOMPARE(Box(f, 2)->text(), Utf8("\"鈴木, 花子\""));
      QVERIFY(!f.BoxEdited(2));
      // Rows 4 and 5 are still open for typing, but not part of line 2.
      QVERIFY(!Box(f, 4)->isReadOnly());
      Type(Box(f, 4), Utf8("余り"));
      f.BtnSave->click();
    }));
    QCOMPARE(m.state.Document[1], Sjis("1,山田太郎,東京都千代田区,03-1234-5678,メモ"));
    QCOMPARE(m.state.Document[2], line2);
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.ListSelection(), 2);
  }

  void switchingToEditMode() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      const QString caption = f.windowTitle();
      f.BtnEdit->setFocus();
      f.BtnEdit->click();
      QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.BtnCancel));
      QCOMPARE(f.Label90->text(), Utf8("編集モード"));
      QVERIFY(!f.BtnEdit->isEnabled());
      QVERIFY(f.BtnSave->isEnabled());
      QCOMPARE(f.windowTitle(), caption);
      for (int n = 1; n <= 64; ++n) QCOMPARE(Box(f, n)->isReadOnly(), n > 5);
      Type(Box(f, 5), Utf8("備考あり"));
      QTest::keyClick(Box(f, 5), Qt::Key_Return);
    }));
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskSaveRecord)});
    QCOMPARE(m.state.Document[1], Sjis("1,山田太郎,東京都千代田区,03-1234-5678,備考あり"));
    // The focus stays where it is when it was not on BtnEdit.
    QVERIFY(OpenOn(app, 2, false, [&](TForm2& f) {
      Box(f, 2)->setFocus();
      f.BtnEdit->click();
      QCOMPARE(f.focusWidget(), static_cast<QWidget*>(Box(f, 2)));
    }));
  }

  void theJoinHoldsAtMost8192Bytes() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    // Line 4 has two items: "4" and the rest; the comma makes one byte more.
    const QString fits = QString(8192 - 2, QLatin1Char('a'));
    QVERIFY(OpenOn(app, 4, true, [&](TForm2& f) {
      Type(Box(f, 2), fits + QLatin1Char('b'));
      f.BtnSave->click();
      QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kRecordTooLong)});
      QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
      QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
      QVERIFY(f.isVisible());
      QCOMPARE(m.state.Document[4], std::string("4,end"));
      QCOMPARE(m.state.DocumentChanged, 0);
      // Corrected: exactly 8192 bytes go in.
      Type(Box(f, 2), fits);
      f.BtnSave->click();
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.Document[4].size(), std::size_t(8192));
    QCOMPARE(m.state.Document[4], "4," + fits.toStdString());
    // Double-byte characters count two bytes each.
    QVERIFY(OpenOn(app, 4, true, [&](TForm2& f) {
      Type(Box(f, 2), QString(4095, QChar(0x3042)) + QLatin1Char('b'));  // あ...あb
      f.BtnSave->click();
      QVERIFY(f.isVisible());
      Type(Box(f, 2), QString(4095, QChar(0x3042)));
      f.BtnSave->click();
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.Document[4].size(), std::size_t(8192));
  }

  void untouchedValuesKeepTheirBytes() {
    TestApp app;
    // Bytes that are no Shift-JIS characters: 0x80, 0xA0, 0xFD, a lead byte
    // with a trail that does not fit it.
    const std::string odd = "x\x80y\xA0\xFDz\x81\x7F";
    const std::string line = "1," + odd + ",keep";
    StartOn(app, "a,b,c\r\n" + line + "\r\n");
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      QCOMPARE(Box(f, 2)->text(), SjisDecode(odd));
      QVERIFY(Box(f, 2)->text().contains(QChar(0xFFFD)));
      // Unchanged save: the same line, and the views are still refreshed.
      f.BtnSave->click();
    }));
    QCOMPARE(m.state.Document[1], line);
    QCOMPARE(m.state.DocumentChanged, 1);
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Type(Box(f, 3), Utf8("変更"));
      // Typed into and put back: still the original bytes.
      Box(f, 2)->setFocus();
      Box(f, 2)->end(false);
      QTest::keyClicks(Box(f, 2), QStringLiteral("Q"));
      QTest::keyClick(Box(f, 2), Qt::Key_Backspace);
      QVERIFY(f.BoxEdited(2));
      f.BtnSave->click();
    }));
    QCOMPARE(m.state.Document[1], "1," + odd + "," + Sjis("変更"));
    // Really changed, the box holds U+FFFD, which Shift-JIS cannot hold.
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Box(f, 2)->setFocus();
      QTest::keyClicks(Box(f, 2), QStringLiteral("Q"));
      f.BtnSave->click();
      QVERIFY(f.isVisible());
      QCOMPARE(app.dialogs.texts().back(), msg::NotShiftJis("\xEF\xBF\xBD"));
    }));
    QCOMPARE(m.state.Document[1], "1," + odd + "," + Sjis("変更"));
  }

  void aCharacterShiftJisCannotHoldIsRefused() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    const std::string before(m.state.Document[1].view());
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Type(Box(f, 2), Utf8("김한국😀"));
      Type(Box(f, 4), Utf8("한😀😁"));
      Box(f, 1)->setFocus();
      f.BtnSave->click();
      QVERIFY(f.isVisible());
      QCOMPARE(f.focusWidget(), static_cast<QWidget*>(Box(f, 2)));
      // Enter's save refuses the same way.
      app.dialogs.Answer(mbYes);
      QTest::keyClick(Box(f, 2), Qt::Key_Return);
      QVERIFY(f.isVisible());
    }));
    const std::string warning = msg::NotShiftJis("김한국😀😁");
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{warning, std::string(msg::kAskSaveRecord), warning}));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Warning);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbAbort));
    QCOMPARE(m.state.Document[1], before);
    QCOMPARE(m.state.DocumentChanged, 0);
  }

  void aValueTypedWithACommaAddsAnItem() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 2, true, [&](TForm2& f) {
      Type(Box(f, 3), Utf8("大阪府,堺市"));
      f.BtnSave->click();
    }));
    QCOMPARE(m.state.Document[2], Sjis("2,\"鈴木, 花子\",大阪府,堺市"));
    QVERIFY(OpenOn(app, 2, false, [&](TForm2& f) {
      QCOMPARE(Box(f, 4)->text(), Utf8("堺市"));
      QVERIFY(!Box(f, 4)->isHidden());
      QVERIFY(Box(f, 5)->isHidden());
    }));
  }

  void enterAndTheModifiers() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    // View mode: Enter does nothing, with or without modifiers.
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      QTest::keyClick(Box(f, 1), Qt::Key_Return);
      QTest::keyClick(f.BtnCancel, Qt::Key_Return, Qt::AltModifier);
      QTest::keyClick(f.BtnEdit, Qt::Key_Enter, Qt::KeypadModifier);
      QVERIFY(f.isVisible());
    }));
    QVERIFY(app.dialogs.shown().empty());
    // Edit mode: Enter with any modifiers but Ctrl alone or Shift alone asks.
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Type(Box(f, 1), QStringLiteral("10"));
      const std::pair<Qt::Key, Qt::KeyboardModifiers> asks[] = {
          {Qt::Key_Return, Qt::NoModifier},
          {Qt::Key_Enter, Qt::KeypadModifier},
          {Qt::Key_Return, Qt::AltModifier},
          {Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier},
      };
      for (auto [key, mods] : asks) {
        app.dialogs.Answer(mbNo);
        QTest::keyClick(f.BtnCancel, key, mods);
        QVERIFY(f.isVisible());
      }
      QCOMPARE(app.dialogs.texts(), std::vector<std::string>(4, std::string(msg::kAskSaveRecord)));
      QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
      QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
      QCOMPARE(m.state.DocumentChanged, 0);
      app.dialogs.Answer(mbYes);
      QTest::keyClick(Box(f, 3), Qt::Key_Return);
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.Document[1], Sjis("10,山田太郎,東京都千代田区,03-1234-5678,メモ"));
  }

  void enterThatConfirmsAConversionIsTyping() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      QLineEdit* box = Box(f, 2);
      box->setFocus();
      box->end(false);
      QInputMethodEvent preedit(QStringLiteral("さま"), {});
      QApplication::sendEvent(box, &preedit);
      // Enter confirms the conversion: the input method commits the text.
      QInputMethodEvent commit;
      commit.setCommitString(Utf8("様"));
      QApplication::sendEvent(box, &commit);
      QVERIFY(f.isVisible());
      QVERIFY(app.dialogs.shown().empty());
      QCOMPARE(box->text(), Utf8("山田太郎様"));
      QVERIFY(f.BoxEdited(2));
      app.dialogs.Answer(mbYes);
      QTest::keyClick(box, Qt::Key_Return);
    }));
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskSaveRecord)});
    QCOMPARE(m.state.Document[1], Sjis("1,山田太郎様,東京都千代田区,03-1234-5678,メモ"));
  }

  void arrowsMoveTheFocus() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      auto focused = [&] { return f.focusWidget(); };
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnCancel));
      QTest::keyClick(f.BtnCancel, Qt::Key_Down);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnPrev));
      QTest::keyClick(f.BtnPrev, Qt::Key_Up);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnCancel));
      // Round the end: the last shown box, then back to the first control.
      QTest::keyClick(f.BtnCancel, Qt::Key_Up);
      QCOMPARE(focused(), static_cast<QWidget*>(Box(f, 5)));
      QTest::keyClick(Box(f, 5), Qt::Key_Down, Qt::ShiftModifier);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnCancel));
      // BtnSave is disabled in view mode: Up from Edit01 lands on BtnEdit.
      Box(f, 1)->setFocus();
      QTest::keyClick(Box(f, 1), Qt::Key_Up);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnEdit));
      QTest::keyClick(f.BtnEdit, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
      QCOMPARE(focused(), static_cast<QWidget*>(Box(f, 1)));
      Box(f, 3)->setFocus();
      QTest::keyClick(Box(f, 3), Qt::Key_Down, Qt::AltModifier);
      QTest::keyClick(Box(f, 3), Qt::Key_Up, Qt::AltModifier);
      QCOMPARE(focused(), static_cast<QWidget*>(Box(f, 3)));
      QTest::keyClick(Box(f, 3), Qt::Key_Down, Qt::ControlModifier);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnCancel));
      Box(f, 4)->setFocus();
      QTest::keyClick(Box(f, 4), Qt::Key_Up, Qt::ControlModifier);
      QCOMPARE(focused(), static_cast<QWidget*>(f.BtnCancel));
    }));
    QVERIFY(app.dialogs.shown().empty());
  }

  void theFocusedBoxIsScrolledIntoView() {
    TestApp app;
    StartOn(app, Items(40, "t") + "\r\n" + Items(40, "v") + "\r\n");
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      // The scrolled area holds the shown rows, no more.
      QCOMPARE(f.ScrollContents->height(), 30 * 40 + 26);
      QCOMPARE(f.ScrollBox1->verticalScrollBar()->value(), 0);
      // BtnPrev, BtnNext, BtnEdit (BtnSave is disabled), then 30 boxes.
      for (int n = 1; n <= 3 + 30; ++n) QTest::keyClick(f.focusWidget(), Qt::Key_Down);
      QCOMPARE(f.focusWidget(), static_cast<QWidget*>(Box(f, 30)));
      QVERIFY(f.ScrollBox1->verticalScrollBar()->value() > 0);
      const QRect seen = f.ScrollBox1->viewport()->rect();
      const QRect box(Box(f, 30)->mapTo(f.ScrollBox1->viewport(), QPoint(0, 0)), Box(f, 30)->size());
      QVERIFY(seen.contains(box));
      QTest::keyClick(f.focusWidget(), Qt::Key_Up, Qt::ControlModifier);
      QCOMPARE(f.ScrollBox1->verticalScrollBar()->value(), 0);
    }));
    // Each opening starts at the top.
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      QCOMPARE(f.ScrollBox1->verticalScrollBar()->value(), 0);
      QCOMPARE(f.focusWidget(), static_cast<QWidget*>(f.BtnCancel));
    }));
  }

  void escAndCtrlBracket() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 1, true, [&](TForm2& f) {
      Type(Box(f, 2), QStringLiteral("typed"));
      QTest::keyClick(Box(f, 2), Qt::Key_BracketLeft, Qt::ControlModifier);
      QVERIFY(f.isMaximized());
      QTest::keyClick(f.BtnPrev, Qt::Key_BracketLeft, Qt::ControlModifier);
      QVERIFY(!f.isMaximized());
      QTest::keyClick(Box(f, 2), Qt::Key_Escape);
      QVERIFY(!f.isVisible());
    }));
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.state.Document[1], Sjis("1,山田太郎,東京都千代田区,03-1234-5678,メモ"));
    m.state.CloseDialogDisp = true;
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      app.dialogs.Answer(mbNo);
      QTest::keyClick(Box(f, 1), Qt::Key_Escape);
      QVERIFY(f.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(f.BtnNext, Qt::Key_Escape);
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, std::string(msg::kAskBackToList)));
  }

  void resizeAndBounds() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      QCOMPARE(f.pos(), QPoint((1280 - 604) / 2, (1024 - 415) / 2));
      f.move(40, 50);
      f.resize(800, 500);
      for (int n = 1; n <= 64; ++n) QCOMPARE(Box(f, n)->width(), 800 - 210);
      QCOMPARE(Label(f, 1)->width(), 150);
      f.BtnCancel->click();
      QVERIFY(!f.isVisible());
    }));
    QCOMPARE(m.state.FormLeft[kWinView], 40);
    QCOMPARE(m.state.FormTop[kWinView], 50);
    QCOMPARE(m.state.FormWidth[kWinView], 800);
    QCOMPARE(m.state.FormHeight[kWinView], 500);
    m.state.FormPosMem[kWinView] = true;
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      QCOMPARE(f.geometry().size(), QSize(800, 500));
      QCOMPARE(f.pos(), QPoint(40, 50));
      f.resize(300, 200);
      QCOMPARE(Box(f, 1)->width(), 90);
    }));
  }

  void zoomShowsTheFocusedValue() {
    TestApp app;
    StartOn(app, Sjis(kFile));
    TForm1& m = app.Main();
    TForm6& zoom = *app.Forms().Form6;
    QCOMPARE(zoom.Memo1->toPlainText(), QString());
    QString seen;
    QRect zoomBounds, recordBounds;
    auto look = [&](QDialog& w) {
      seen = static_cast<TForm6&>(w).Memo1->toPlainText();
      zoomBounds = QRect(w.pos(), w.size());
    };
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      f.move(30, 40);
      f.resize(650, 430);
      recordBounds = QRect(f.pos(), f.size());
      app.modal.Then(look);
      QTest::mouseDClick(Box(f, 3), Qt::LeftButton);
      QCOMPARE(seen, Utf8("東京都千代田区"));
      QCOMPARE(zoomBounds, recordBounds);
      app.modal.Then(look);
      Box(f, 2)->setFocus();
      QTest::keyClick(Box(f, 2), Qt::Key_Return, Qt::ControlModifier);
      QCOMPARE(seen, Utf8("山田太郎"));
      // On a button: no value box has the focus, the memo keeps its text.
      app.modal.Then(look);
      f.BtnNext->setFocus();
      QTest::keyClick(f.BtnNext, Qt::Key_Return, Qt::ShiftModifier);
      QCOMPARE(seen, Utf8("山田太郎"));
      QCOMPARE(app.modal.shown().size(), std::size_t(4));
      QCOMPARE(app.modal.shown()[1], Utf8(msg::kCaptionEditdsp));
      QVERIFY(f.isVisible());
    }));
    QVERIFY(app.dialogs.shown().empty());
    // Edit mode: the text as typed, the stored value untouched.
    QVERIFY(OpenOn(app, 2, true, [&](TForm2& f) {
      Type(Box(f, 2), Utf8("\"鈴木, 花子\"様"));
      app.modal.Then(look);
      QTest::keyClick(Box(f, 2), Qt::Key_Return, Qt::ShiftModifier);
      QCOMPARE(seen, Utf8("\"鈴木, 花子\"様"));
      app.modal.Then(look);
      QTest::mouseDClick(Box(f, 2), Qt::LeftButton);
      QCOMPARE(seen, Utf8("\"鈴木, 花子\"様"));
    }));
    QCOMPARE(m.state.Document[2], Sjis("2,\"鈴木, 花子\",大阪府"));
    QVERIFY(app.dialogs.shown().empty());
  }

  void zoomLayoutAndKeys() {
    TestApp app;
    // One value of 4000 bytes (an item holds at most 4096).
    std::string longValue;
    for (int i = 0; i < 2000; ++i) longValue += Sjis(i % 10 == 9 ? "。" : "長");
    StartOn(app, "a,b\r\n1," + longValue + "\r\n");
    TForm1& m = app.Main();
    m.state.CloseDialogDisp = true;
    QVERIFY(OpenOn(app, 1, false, [&](TForm2& f) {
      const QSize recordSize = f.size();
      app.modal.Then([&](QDialog& w) {
        TForm6& z = static_cast<TForm6&>(w);
        QCOMPARE(z.Memo1->toPlainText(), SjisDecode(longValue));
        QVERIFY(z.Memo1->isReadOnly());
        QCOMPARE(z.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(z.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(z.Memo1->font().pixelSize(), 19);
        QCOMPARE(z.Memo1->font().family(), SystemFamily());
        QCOMPARE(z.Panel1->geometry(), QRect(0, 0, z.width(), 25));
        QCOMPARE(z.BtnCancel->geometry(), QRect(0, 0, 100, 25));
        QCOMPARE(z.Memo1->geometry(), QRect(0, 25, z.width(), z.height() - 25));
        // Wrapped into many lines that scroll.
        QTest::qWait(0);
        QVERIFY(z.Memo1->verticalScrollBar()->maximum() > 0);
        QCOMPARE(z.Memo1->document()->blockCount(), 1);
        // Ctrl+[ maximizes the zoom only.
        QTest::keyClick(z.Memo1, Qt::Key_BracketLeft, Qt::ControlModifier);
        QVERIFY(z.isMaximized());
        QCOMPARE(f.size(), recordSize);
        app.dialogs.Answer(mbNo);
        QTest::keyClick(z.Memo1, Qt::Key_Escape);
        QVERIFY(z.isVisible());
        app.dialogs.Answer(mbYes);
        QTest::keyClick(z.BtnCancel, Qt::Key_Escape);
        QVERIFY(!z.isVisible());
      });
      Box(f, 2)->setFocus();
      QTest::keyClick(Box(f, 2), Qt::Key_Return, Qt::ControlModifier);
      QVERIFY(f.isVisible());
      QCOMPARE(f.size(), recordSize);
      QVERIFY(!f.isMaximized());
      // Opened again: normal, at the record window's bounds.
      app.modal.Then([&](QDialog& w) {
        QVERIFY(!w.isMaximized());
        QCOMPARE(w.size(), recordSize);
        static_cast<TForm6&>(w).BtnCancel->click();
        QVERIFY(!w.isVisible());
      });
      QTest::mouseDClick(Box(f, 1), Qt::LeftButton);
      QCOMPARE(app.modal.pending(), std::size_t(0));
    }));
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>(2, std::string(msg::kAskBackToList)));
    // The zoom's bounds are not remembered; the record window's are.
    QCOMPARE(m.state.FormWidth[kWinView], 604);
  }
};

QTEST_MAIN(RecordWindowTest)
#include "test_recordwindow.moc"
