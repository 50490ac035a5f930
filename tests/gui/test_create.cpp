// The new file window: its opening, the titles it saves, the name it asks
// for, the file on disk, the main window afterwards, and its keys.
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <algorithm>
#include <filesystem>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Create.h"
#include "windows/LinesModel.h"

using namespace cavel;
using namespace cavel::test;

namespace {

TForm7& Form7(QDialog& w) { return static_cast<TForm7&>(w); }

QLineEdit* Box(TForm7& f, int i) { return f.Edit[static_cast<std::size_t>(i)]; }

// Opens the window from the menu item, runs `work` in it and returns once it has closed.
void RunCreate(TestApp& app, std::function<void(TForm7&)> work) {
  app.modal.Then([work](QDialog& w) { work(Form7(w)); });
  Action(app.Main(), "MenuCreate")->trigger();
}

struct Enabled {
  std::vector<std::string> on, off;
};

// Which of the main window's buttons and menu items are enabled.
Enabled ControlStates(TForm1& m) {
  Enabled e;
  for (const char* name :
       {"BtnFileOpen",  "BtnView",           "BtnEdit",         "BtnItemSet",  "BtnExchange", "BtnCreate",
        "BtnDispChg",   "MenuOverWriteSave", "MenuAnotherSave", "MenuView",    "MenuEdit",    "MenuItemSet",
        "MenuExchange", "MenuCreate",        "MenuInport",      "MenuConvert", "MenuDispChg", "MenuGridWidthChg",
        "MenuFind",     "MenuReFind",        "MenuJump",        "MenuSearch"})
    (IsEnabled(m, name) ? e.on : e.off).push_back(name);
  return e;
}

}  // namespace

class CreateTest : public QObject {
  Q_OBJECT
 private slots:
  void opensWithItsRowsAndEmptyBoxes() {
    TestApp app;
    app.WriteSettings("[FormCreate]\r\nMem=1\r\nLeft=40\r\nTop=50\r\nWidth=500\r\nHeight=360\r\n");
    app.Start();
    TForm1& m = app.Main();
    QVERIFY(Action(m, "MenuCreate")->isEnabled());
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
    bool ran = false;
    RunCreate(app, [&](TForm7& f) {
      ran = true;
      QCOMPARE(f.windowTitle(), Utf8("Cavel (新規作成)"));
      QCOMPARE(f.pos(), QPoint(40, 50));
      QCOMPARE(f.size(), QSize(500, 360));
      QCOMPARE(f.Label90->text(), Utf8("新規作成モード"));
      QCOMPARE(f.Button1->text(), Utf8("ｷｬﾝｾﾙ"));
      QCOMPARE(f.Button2->text(), Utf8("保存(&S)"));
      QCOMPARE(f.Button1->y(), f.Button2->y());
      QVERIFY(f.Button1->x() + f.Button1->width() <= f.Button2->x());
      QCOMPARE(f.ScrollBox1->frameShape(), QFrame::NoFrame);
      for (int i = 1; i <= kTitleBoxes; ++i) {
        QLabel* label = f.Label[static_cast<std::size_t>(i)];
        QCOMPARE(label->text(), QStringLiteral("項目%1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(label->objectName(), QStringLiteral("Label%1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(Box(f, i)->objectName(), QStringLiteral("Edit%1").arg(i, 2, 10, QLatin1Char('0')));
        QCOMPARE(Box(f, i)->y(), 30 * i);
        QCOMPARE(label->y(), 30 * i);
        QCOMPARE(Box(f, i)->width(), 400);
        QVERIFY(Box(f, i)->text().isEmpty());
        QVERIFY(Box(f, i)->x() > label->x());
      }
      // A box takes more than any title line can hold.
      QVERIFY(Box(f, 1)->maxLength() > 8192);
      // The last rows lie below the window: the box scrolls.
      QVERIFY(f.ScrollBox1->widget()->height() > 1920);
      QVERIFY(f.ScrollBox1->verticalScrollBar()->maximum() > 0);
      QCOMPARE(f.focusWidget(), Box(f, 1));
      Box(f, 1)->setText(Utf8("前回"));
      Box(f, 64)->setText(Utf8("最後"));
      f.ScrollBox1->verticalScrollBar()->setValue(f.ScrollBox1->verticalScrollBar()->maximum());
      f.Button1->click();
      QVERIFY(!f.isVisible());
    });
    QVERIFY(ran);
    QCOMPARE(app.modal.shown().size(), std::size_t(1));
    // Cancelled: nothing asked, written or changed; the bounds are kept for window 7.
    QVERIFY(app.dialogs.shown().empty());
    QVERIFY(app.files.asked().empty());
    QVERIFY(m.state.Document.empty());
    QCOMPARE(m.ListRowCount(), 0);
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
    QCOMPARE(m.state.FormLeft[kWinCreate], 40);
    QCOMPARE(m.state.FormWidth[kWinCreate], 500);

    // The button opens it too, with every box empty again and the view at the top.
    app.modal.Then([&](QDialog& w) {
      TForm7& f = Form7(w);
      for (int i = 1; i <= kTitleBoxes; ++i) QVERIFY(Box(f, i)->text().isEmpty());
      QCOMPARE(f.ScrollBox1->verticalScrollBar()->value(), 0);
      f.Label90->setText(QStringLiteral("x"));
      f.resize(620, 400);
    });
    Button(m, "BtnCreate")->click();
    QCOMPARE(app.modal.shown().size(), std::size_t(2));
    QCOMPARE(m.state.FormWidth[kWinCreate], 620);
    RunCreate(app, [&](TForm7& f) { QCOMPARE(f.Label90->text(), Utf8("新規作成モード")); });
  }

  void savesTheTitlesUpToTheFirstEmptyBox() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    const std::string path = app.Path("住所録.csv");
    app.files.Answer(path);
    RunCreate(app, [&](TForm7& f) {
      Box(f, 1)->setText(Utf8("郵便番号"));
      Box(f, 2)->setText(Utf8("住所 "));
      Box(f, 4)->setText(Utf8("電話"));
      f.Button2->click();
      QVERIFY(!f.isVisible());
    });
    QCOMPARE(ReadBytes(path), Sjis("郵便番号,住所 ") + "\r\n");
    QCOMPARE(m.state.Document, Lines{Sjis("郵便番号,住所 ")});
    QVERIFY(app.dialogs.shown().empty());
    const auto& asked = app.files.asked();
    QCOMPARE(asked.size(), std::size_t(1));
    QVERIFY(asked[0].save);
    QCOMPARE(asked[0].title, std::string("ﾌｧｲﾙの新規保存"));
    QVERIFY(asked[0].initialName.empty());
    QVERIFY(asked[0].filters.empty());

    // The main window works on the new file: one line, selected, focused,
    // and the caption names the file.
    QCOMPARE(m.state.NewFileMade, 1);
    QCOMPARE(m.state.DocumentChanged, 1);
    QCOMPARE(m.state.CurrentFileName, path);
    QCOMPARE(m.ListRowCount(), 1);
    QCOMPARE(m.ListSelection(), 0);
    QCOMPARE(m.focusWidget(), static_cast<QWidget*>(m.ListBox1));
    QCOMPARE(m.Caption(), msg::LineCountCaption(msg::kCaptionMain, path, 1));
    QCOMPARE(m.ListBox1Model->index(0).data().toString(), Utf8("郵便番号,住所 "));

    // An overwrite save writes the new file and no other.
    m.state.Document.push_back(Line("1000001,x"));
    app.files.Answer(app.Path("other.csv"));
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(path), Sjis("郵便番号,住所 ") + "\r\n1000001,x\r\n");
    QVERIFY(!std::filesystem::exists(app.Path("other.csv")));
  }

  void theControlsAfterASave() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    const Enabled before = ControlStates(m);
    app.files.Answer(app.Path("new.csv"));
    RunCreate(app, [&](TForm7& f) {
      Box(f, 1)->setText(QStringLiteral("a"));
      f.BtnSaveClick();
    });
    const Enabled after = ControlStates(m);
    QCOMPARE(after.on, (std::vector<std::string>{"BtnFileOpen", "BtnView", "BtnEdit", "BtnItemSet", "BtnExchange",
                                                 "BtnDispChg", "MenuOverWriteSave", "MenuAnotherSave", "MenuView",
                                                 "MenuEdit", "MenuItemSet", "MenuExchange", "MenuInport", "MenuConvert",
                                                 "MenuFind", "MenuJump", "MenuSearch"}));
    // 表示切替, ｸﾞﾘｯﾄﾞ幅切替 and 再検索 keep the state they had: off after a start without file.
    QCOMPARE(after.off,
             (std::vector<std::string>{"BtnCreate", "MenuCreate", "MenuDispChg", "MenuGridWidthChg", "MenuReFind"}));
    QVERIFY(std::find(before.on.begin(), before.on.end(), "MenuCreate") != before.on.end());

    // After a failed load they keep theirs too, whatever it was.
    TestApp app2;
    const std::string bad = app2.WriteFile("bad.csv", std::string(8193, 'x'));
    app2.Start(bad);
    TForm1& m2 = app2.Main();
    QVERIFY(Button(m2, "BtnCreate")->isEnabled());
    Action(m2, "MenuDispChg")->setEnabled(true);
    app2.files.Answer(app2.Path("new.csv"));
    app2.modal.Then([&](QDialog& w) {
      Box(Form7(w), 1)->setText(QStringLiteral("a"));
      Form7(w).BtnSaveClick();
    });
    m2.MenuCreateClick();
    QVERIFY(Action(m2, "MenuDispChg")->isEnabled());
    QVERIFY(!Action(m2, "MenuGridWidthChg")->isEnabled());
    QCOMPARE(m2.state.CurrentFileName, app2.Path("new.csv"));
    QCOMPARE(m2.state.GridBuilt, 0);
  }

  void sixtyFourTitlesAndATitleWithAComma() {
    TestApp app;
    app.Start();
    const std::string path = app.Path("wide.csv");
    app.files.Answer(path);
    RunCreate(app, [&](TForm7& f) {
      for (int i = 1; i <= kTitleBoxes; ++i) Box(f, i)->setText(QStringLiteral("項%1").arg(i));
      f.BtnSaveClick();
    });
    std::string expected;
    for (int i = 1; i <= kTitleBoxes; ++i) expected += (i > 1 ? "," : "") + Sjis("項") + std::to_string(i);
    QCOMPARE(ReadBytes(path), expected + "\r\n");
    QCOMPARE(std::count(expected.begin(), expected.end(), ','), 63);

    // A title typed with a comma goes in as typed: the line has two items.
    TestApp app2;
    app2.Start();
    app2.files.Answer(app2.Path("comma.csv"));
    RunCreate(app2, [&](TForm7& f) {
      Box(f, 1)->setText(QStringLiteral("x,y"));
      f.BtnSaveClick();
    });
    QCOMPARE(ReadBytes(app2.Path("comma.csv")), std::string("x,y\r\n"));
    QCOMPARE(app2.Main().state.Document, Lines{"x,y"});

    // With 64 boxes filled, a comma makes 65 items: refused, the window stays open.
    TestApp app3;
    app3.Start();
    RunCreate(app3, [&](TForm7& f) {
      for (int i = 1; i <= kTitleBoxes; ++i) Box(f, i)->setText(QStringLiteral("t"));
      Box(f, 10)->setText(QStringLiteral("x,y"));
      f.BtnSaveClick();
      QVERIFY(f.isVisible());
    });
    QCOMPARE(app3.dialogs.texts(), std::vector<std::string>{msg::ItemCount(0, 65)});
    QVERIFY(app3.files.asked().empty());
    QVERIFY(app3.Main().state.Document.empty());
  }

  void theExtensionQuestion() {
    TestApp app;
    app.Start();
    const std::string plain = app.Path("plain");
    const std::string dotted = app.Path("data.v2");
    QVERIFY(QDir().mkpath(QString::fromStdString(plain)));
    QVERIFY(QDir().mkpath(QString::fromStdString(dotted)));
    auto save = [&](TestApp& a, const std::string& chosen) {
      a.files.Answer(chosen);
      RunCreate(a, [&](TForm7& f) {
        Box(f, 1)->setText(QStringLiteral("A"));
        f.BtnSaveClick();
      });
    };
    app.dialogs.Answer(mbYes);
    save(app, plain + "/NEW");
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskAddExtension)});
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
    QCOMPARE(ReadBytes(plain + "/NEW.CSV"), std::string("A\r\n"));
    QVERIFY(!std::filesystem::exists(plain + "/NEW"));
    QCOMPARE(app.Main().state.CurrentFileName, plain + "/NEW.CSV");

    TestApp no;
    no.Start();
    no.dialogs.Answer(mbNo);
    save(no, plain + "/NEW2");
    QCOMPARE(no.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskAddExtension)});
    QCOMPARE(ReadBytes(plain + "/NEW2"), std::string("A\r\n"));
    QVERIFY(!std::filesystem::exists(plain + "/NEW2.CSV"));

    TestApp dot;
    dot.Start();
    save(dot, dotted + "/NEW");
    QVERIFY(dot.dialogs.shown().empty());
    QCOMPARE(ReadBytes(dotted + "/NEW"), std::string("A\r\n"));
  }

  void refusalsKeepTheWindowOrCloseIt() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    // The first box empty: the warning, nothing asked, the window stays.
    RunCreate(app, [&](TForm7& f) {
      Box(f, 2)->setText(QStringLiteral("B"));
      f.BtnSaveClick();
      QVERIFY(f.isVisible());
      // A character that Shift-JIS cannot hold is refused, never replaced.
      Box(f, 1)->setText(Utf8("名前"));
      Box(f, 2)->setText(Utf8("한글"));
      Box(f, 4)->setText(Utf8("😀"));  // after the first empty box: not counted
      f.BtnSaveClick();
      QVERIFY(f.isVisible());
      QCOMPARE(f.focusWidget(), Box(f, 2));
      // The save dialog cancelled: the window stays with the titles.
      Box(f, 2)->setText(Utf8("住所"));
      app.files.Cancel();
      f.BtnSaveClick();
      QVERIFY(f.isVisible());
      QCOMPARE(Box(f, 2)->text(), Utf8("住所"));
      // A folder that does not exist: the failure with its path; nothing changes.
      app.files.Answer(app.Path("nowhere/new.csv"));
      f.BtnSaveClick();
      QVERIFY(f.isVisible());
      QCOMPARE(Box(f, 1)->text(), Utf8("名前"));
    });
    const auto& shown = app.dialogs.shown();
    QCOMPARE(shown.size(), std::size_t(3));
    QCOMPARE(shown[0].text, std::string(msg::kNothingSet));
    QCOMPARE(shown[0].kind, MsgKind::Warning);
    QCOMPARE(shown[0].buttons, MsgButtons(mbAbort));
    QCOMPARE(shown[1].text, msg::NotShiftJis("한글"));
    QCOMPARE(shown[1].kind, MsgKind::Warning);
    QCOMPARE(shown[2].kind, MsgKind::Error);
    QVERIFY(shown[2].text.starts_with("   " + app.Path("nowhere/new.csv") + "\n\r   "));
    QCOMPARE(app.files.asked().size(), std::size_t(2));
    QVERIFY(m.state.Document.empty());
    QCOMPARE(m.state.NewFileMade, 0);
    QCOMPARE(m.state.DocumentChanged, 0);
    QVERIFY(m.state.CurrentFileName.empty());
    QVERIFY(Button(m, "BtnCreate")->isEnabled());
    QVERIFY(!Action(m, "MenuOverWriteSave")->isEnabled());
    QCOMPARE(m.ListRowCount(), 0);

    // A title line over 8192 bytes: the warning, then the window closes; nothing written.
    TestApp big;
    big.Start();
    RunCreate(big, [&](TForm7& f) {
      Box(f, 1)->setText(QString(4096, QLatin1Char('a')));
      Box(f, 2)->setText(QString(2048, QChar(0x3042)));  // あ, two bytes each: 4096 + 1 + 4096
      f.BtnSaveClick();
      QVERIFY(!f.isVisible());
    });
    QCOMPARE(big.dialogs.texts(), std::vector<std::string>{std::string(msg::kRecordTooLong)});
    QVERIFY(big.files.asked().empty());
    QVERIFY(big.Main().state.Document.empty());
    QVERIFY(Button(big.Main(), "BtnCreate")->isEnabled());
  }

  void keysOnTheButtonsAndEveryBox() {
    TestApp app;
    app.Start();
    std::vector<QWidget*> controls;
    RunCreate(app, [&](TForm7& f) {
      controls = {f.Button1, f.Button2};
      for (int i = 1; i <= kTitleBoxes; ++i) controls.push_back(Box(f, i));
      for (QWidget* c : controls) {
        if (!f.isVisible()) f.show();
        QTest::keyClick(c, Qt::Key_Escape);
        QVERIFY2(!f.isVisible(), qPrintable(c->objectName()));
      }
      // Ctrl+[ maximizes and goes back to normal; '[' alone is typing.
      f.show();
      QVERIFY(QTest::qWaitForWindowExposed(&f));
      QTest::keyClick(Box(f, 33), Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_VERIFY(f.isMaximized());
      QTest::keyClick(f.Button2, Qt::Key_BracketLeft, Qt::ControlModifier);
      QTRY_VERIFY(!f.isMaximized());
      QVERIFY(Box(f, 33)->text().isEmpty());
      QTest::keyClick(Box(f, 33), Qt::Key_BracketLeft);
      QCOMPARE(Box(f, 33)->text(), QStringLiteral("["));
    });
    QVERIFY(app.dialogs.shown().empty());

    // Esc asks first when the setting says so.
    TestApp ask;
    ask.WriteSettings("[CloseDialogDisp]\r\nSet=1\r\n");
    ask.Start();
    RunCreate(ask, [&](TForm7& f) {
      ask.dialogs.Answer(mbNo);
      QTest::keyClick(Box(f, 64), Qt::Key_Escape);
      QVERIFY(f.isVisible());
      ask.dialogs.Answer(mbYes);
      QTest::keyClick(f.Button1, Qt::Key_Escape);
      QVERIFY(!f.isVisible());
    });
    QCOMPARE(ask.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
    QCOMPARE(ask.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
  }

  void enterAsksAndSaves() {
    TestApp app;
    app.Start();
    const std::string path = app.Path("enter.csv");
    RunCreate(app, [&](TForm7& f) {
      f.show();
      QVERIFY(QTest::qWaitForWindowExposed(&f));
      QLineEdit* box = Box(f, 1);
      // Typing Japanese through an input method: its Enter ends the conversion.
      QInputMethodEvent preedit(QStringLiteral("じゅうしょ"), {});
      QCoreApplication::sendEvent(box, &preedit);
      QTest::keyClick(box, Qt::Key_Return);
      QInputMethodEvent commit;
      commit.setCommitString(QStringLiteral("住所"));
      QCoreApplication::sendEvent(box, &commit);
      QCOMPARE(box->text(), Utf8("住所"));
      QVERIFY(app.dialogs.shown().empty());
      QVERIFY(f.isVisible());
      // Enter itself asks; いいえ keeps the window as it is.
      app.dialogs.Answer(mbNo);
      QTest::keyClick(f.Button1, Qt::Key_Return);
      QVERIFY(f.isVisible());
      QVERIFY(app.files.asked().empty());
      // はい saves, on a box far down as on the first one.
      app.dialogs.Answer(mbYes);
      app.files.Answer(path);
      QTest::keyClick(Box(f, 50), Qt::Key_Enter, Qt::KeypadModifier);
      QVERIFY(!f.isVisible());
    });
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{std::string(msg::kAskSave), std::string(msg::kAskSave)}));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
    QCOMPARE(ReadBytes(path), Sjis("住所") + "\r\n");
    QCOMPARE(app.Main().ListRowCount(), 1);
  }
};

QTEST_MAIN(CreateTest)
#include "test_create.moc"
