// The four settings dialogs: their form, the menu commands that open them,
// what 保存(&S), ｷｬﾝｾﾙ and the keys do, what the grid is told after a save,
// and the settings reaching the file at exit.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/SettingsDialogs.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "support/TestApp.h"
#include "windows/Dialog.h"
#include "windows/Exchange.h"
#include "windows/Formpos.h"
#include "windows/Formregi.h"
#include "windows/Gridset.h"
#include "windows/Itemset.h"
#include "windows/Jump.h"
#include "windows/Readlimit.h"

using namespace cavel;
using namespace cavel::test;

namespace {

// Five recent files, all nine slots in use.
const char* kFiveRecent =
    "[OpenFileName]\r\n1=/d/one.csv\r\n2=/d/two.csv\r\n3=/d/three.csv\r\n4=/d/four.csv\r\n5=/d/five.csv\r\n";

QStringList MenuFiles(TForm1& m) {
  QStringList out;
  for (int i = 1; i <= kHistorySlots; ++i)
    if (Recent(m, i)->isVisible()) out << Recent(m, i)->text();
  return out;
}

// The widgets that take the focus by Tab, in the order Tab visits them.
std::vector<QWidget*> TabOrder(QWidget* first) {
  std::vector<QWidget*> order;
  QWidget* w = first;
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    w = w->nextInFocusChain();
  } while (w != first && order.size() < 50);
  return order;
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { QApplication::setFont(UiFont()); }

  void theSettingsDialogsShareOneFixedForm() {
    TestApp app;
    app.Start();
    const TForm1::Children& f = app.Forms();
    const std::vector<std::pair<SettingsForm*, std::string_view>> forms = {{f.Form11, msg::kCaptionFormpos},
                                                                           {f.Form12, msg::kCaptionFormregi},
                                                                           {f.Form13, msg::kCaptionGridset},
                                                                           {f.Form14, msg::kCaptionDialog},
                                                                           {f.Form17, msg::kCaptionReadLimit}};
    for (const auto& [form, caption] : forms) {
      QCOMPARE(form->windowTitle(), Utf8(caption));
      QCOMPARE(form->minimumSize(), QSize(392, 193));
      QCOMPARE(form->maximumSize(), QSize(392, 193));
      QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
      QCOMPARE(form->BtnCancel->text(), Utf8(msg::kBtnCancel));
      QCOMPARE(form->BtnSave->text(), Utf8(msg::kBtnSave));
      QCOMPARE(form->BtnCancel->size(), QSize(100, 25));
      QCOMPARE(form->BtnSave->size(), QSize(100, 25));
      QCOMPARE(form->BtnCancel->parentWidget(), form->Panel1);
      QCOMPARE(form->BtnSave->y(), form->BtnCancel->y());
      QVERIFY(form->BtnSave->x() >= form->BtnCancel->geometry().right());
      QCOMPARE(form->Panel1->geometry().topLeft(), QPoint(0, 0));
      // Nothing reaches outside the client area or is cut short.
      const QRect client(QPoint(0, 0), QSize(392, 193));
      for (QWidget* w : form->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QVERIFY2(client.contains(w->geometry()), qPrintable(w->objectName()));
        if (qobject_cast<QCheckBox*>(w) || qobject_cast<QLabel*>(w))
          QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
        if (w != form->Panel1) QVERIFY2(w->y() >= form->Panel1->height(), qPrintable(w->objectName()));
      }
    }
  }

  void eachDialogHasItsControlsInTabOrder() {
    TestApp app;
    app.Start();
    TForm11& p = *app.Forms().Form11;
    const std::vector<QCheckBox*> boxes = {p.CheckMain,   p.CheckView,   p.CheckItemset, p.CheckExcahnge,
                                           p.CheckCreate, p.CheckInport, p.CheckConvert, p.CheckSort};
    const std::vector<std::string_view> captions = {msg::kCheckMain,     msg::kCheckView,   msg::kCheckItemset,
                                                    msg::kCheckExcahnge, msg::kCheckCreate, msg::kCheckInport,
                                                    msg::kCheckConvert,  msg::kCheckSort};
    const char* names[] = {"CheckMain",   "CheckView",   "CheckItemset", "CheckExcahnge",
                           "CheckCreate", "CheckInport", "CheckConvert", "CheckSort"};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      QCOMPARE(boxes[i]->text(), Utf8(captions[i]));
      QCOMPARE(boxes[i]->objectName(), QLatin1String(names[i]));
    }
    // Two columns, 30 pixels apart from top to bottom.
    for (std::size_t i = 1; i < 5; ++i) {
      QCOMPARE(boxes[i]->x(), boxes[0]->x());
      QCOMPARE(boxes[i]->y(), boxes[i - 1]->y() + 30);
    }
    QVERIFY(p.CheckInport->x() > p.CheckMain->geometry().right());
    QCOMPARE(p.CheckInport->y(), p.CheckMain->y());
    QCOMPARE(p.CheckConvert->y(), p.CheckInport->y() + 30);
    QCOMPARE(p.CheckSort->y(), p.CheckConvert->y() + 30);
    std::vector<QWidget*> expected(boxes.begin(), boxes.end());
    expected.push_back(p.BtnCancel);
    expected.push_back(p.BtnSave);
    QCOMPARE(TabOrder(p.CheckMain), expected);

    TForm12& h = *app.Forms().Form12;
    QCOMPARE(h.Label1->text(), Utf8(msg::kHistoryCountLabel));
    QCOMPARE(h.Label2->text(), Utf8(msg::kHistoryCountHint));
    QVERIFY(h.Label2->y() > h.Label1->y());
    QVERIFY(h.Edit1->x() > h.Label1->geometry().right());
    QVERIFY(h.Edit1->x() > h.Label2->geometry().right());
    QCOMPARE(h.Edit1->maxLength(), 1);
    QCOMPARE(TabOrder(h.Edit1), (std::vector<QWidget*>{h.Edit1, h.BtnCancel, h.BtnSave}));

    TForm13& g = *app.Forms().Form13;
    QCOMPARE(g.CheckGridDisp->text(), Utf8(msg::kCheckGridDisp));
    QCOMPARE(g.CheckGridResum->text(), Utf8(msg::kCheckGridResum));
    QCOMPARE(g.CheckGridWidthSave->text(), Utf8(msg::kCheckGridWidthSave));
    QCOMPARE(g.Label1->text(), Utf8("項目幅の既定値(16-256)"));
    QVERIFY(g.CheckGridResum->y() > g.CheckGridDisp->geometry().bottom());
    QVERIFY(g.CheckGridWidthSave->y() > g.CheckGridResum->geometry().bottom());
    QVERIFY(g.Label1->y() > g.CheckGridWidthSave->geometry().bottom());
    QCOMPARE(g.Edit1->maxLength(), 3);
    QCOMPARE(TabOrder(g.CheckGridDisp), (std::vector<QWidget*>{g.CheckGridDisp, g.CheckGridResum, g.CheckGridWidthSave,
                                                               g.Edit1, g.BtnCancel, g.BtnSave}));

    TForm14& o = *app.Forms().Form14;
    QCOMPARE(o.CheckCloseDialogDisp->text(), Utf8(msg::kCheckCloseDialogDisp));
    QCOMPARE(o.CheckCloseDialogDisp->objectName(), QStringLiteral("CheckCloseDialogDisp"));
    QCOMPARE(TabOrder(o.CheckCloseDialogDisp), (std::vector<QWidget*>{o.CheckCloseDialogDisp, o.BtnCancel, o.BtnSave}));
  }

  void theMenuCommandsCentreFillAndShow() {
    TestApp app;
    app.WriteSettings(
        "[FormItemset]\r\nMem=0\r\n[FormConvert]\r\nMem=0\r\n[OpenFileNum]\r\nMax=4\r\n"
        "[GridSet]\r\nDisp=0\r\nResum=1\r\nWidthSave=1\r\nColWidth=120\r\n[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start();
    TForm1& m = app.Main();
    const QPoint centre((1280 - 392) / 2, (1024 - 193) / 2);
    std::vector<QPoint> positions;
    app.modal.Then([&](QDialog& w) {
      positions.push_back(w.pos());
      auto& p = static_cast<TForm11&>(w);
      QVERIFY(p.CheckMain->isChecked());
      QVERIFY(p.CheckView->isChecked());
      QVERIFY(!p.CheckItemset->isChecked());
      QVERIFY(p.CheckExcahnge->isChecked());
      QVERIFY(p.CheckCreate->isChecked());
      QVERIFY(p.CheckInport->isChecked());
      QVERIFY(!p.CheckConvert->isChecked());
    });
    app.modal.Then([&](QDialog& w) {
      positions.push_back(w.pos());
      auto& h = static_cast<TForm12&>(w);
      QCOMPARE(h.Edit1->text(), QStringLiteral("4"));
      QCOMPARE(h.focusWidget(), h.Edit1);
      QVERIFY(h.Edit1->hasSelectedText());  // a digit typed replaces it
    });
    app.modal.Then([&](QDialog& w) {
      positions.push_back(w.pos());
      auto& g = static_cast<TForm13&>(w);
      QCOMPARE(g.focusWidget(), g.CheckGridDisp);
      QVERIFY(!g.CheckGridDisp->isChecked());
      QVERIFY(g.CheckGridResum->isChecked());
      QVERIFY(g.CheckGridWidthSave->isChecked());
      QCOMPARE(g.Edit1->text(), QStringLiteral("120"));
    });
    app.modal.Then([&](QDialog& w) {
      positions.push_back(w.pos());
      QVERIFY(static_cast<TForm14&>(w).CheckCloseDialogDisp->isChecked());
    });
    Action(m, "MenuFormPos")->trigger();
    Action(m, "MenuFileOpenMem")->trigger();
    Action(m, "MenuGridSet")->trigger();
    Action(m, "MenuOptionSet")->trigger();
    QCOMPARE(app.modal.shown(), (std::vector<QString>{Utf8(msg::kCaptionFormpos), Utf8(msg::kCaptionFormregi),
                                                      Utf8(msg::kCaptionGridset), Utf8(msg::kCaptionDialog)}));
    QCOMPARE(positions, (std::vector<QPoint>(4, centre)));
    QCOMPARE(app.modal.pending(), std::size_t{0});
    // The dialogs are refilled each time: what was typed and cancelled is gone.
    app.modal.Then([&](QDialog& w) { static_cast<TForm13&>(w).Edit1->setText(QStringLiteral("99")); });
    m.MenuGridSetClick();
    app.modal.Then([&](QDialog& w) { QCOMPARE(static_cast<TForm13&>(w).Edit1->text(), QStringLiteral("120")); });
    m.MenuGridSetClick();
    QCOMPARE(m.state.ColWidth, 120);
  }

  void aRaisedLineLimitOpensALongerFileAndWidensTheJump() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    std::string bytes;
    for (int i = 0; i < 30001; ++i) bytes += "a\r\n";
    const std::string path = app.WriteFile("long.csv", bytes);
    app.files.Answer(path);
    m.MenuFileOpenClick();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kTooManyLines)});
    app.dialogs.Clear();

    app.modal.Then([&](QDialog& w) {
      auto& r = static_cast<TForm17&>(w);
      QCOMPARE(r.Edit1->text(), QStringLiteral("30000"));
      r.Edit1->setText(QStringLiteral("1048577"));
      r.BtnSave->click();  // out of range: refused, the dialog stays
      QVERIFY(r.isVisible());
      r.Edit1->setText(QStringLiteral("30001"));
      r.BtnSave->click();
    });
    Action(m, "MenuReadLimit")->trigger();
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kReadLimitOutOfRange)});
    QCOMPARE(m.state.ReadLimitLines, 30001);
    app.files.Answer(path);
    m.MenuFileOpenClick();
    QCOMPARE(m.ListRowCount(), 30001);
    app.modal.Then([&](QDialog& w) {
      auto& j = static_cast<TForm4&>(w);
      QCOMPARE(j.Label2->text(), QStringLiteral("(0-30000)"));
      j.ComboBox1->setEditText(QStringLiteral("30000"));
      j.BtnOk->click();
    });
    Action(m, "MenuJump")->trigger();
    QCOMPARE(m.ListSelection(), 30000);
  }

  void untickingOnePlacementFlagCentresThatWindowOnly() {
    TestApp app;
    app.WriteSettings(
        "[FormItemset]\r\nMem=1\r\nLeft=10\r\nTop=20\r\nWidth=500\r\nHeight=400\r\n"
        "[FormExchange]\r\nMem=1\r\nLeft=30\r\nTop=40\r\nWidth=600\r\nHeight=450\r\n");
    app.Start();
    TForm1& m = app.Main();
    // Cancel changes nothing.
    app.modal.Then([&](QDialog& w) {
      auto& p = static_cast<TForm11&>(w);
      p.CheckItemset->setChecked(false);
      p.CheckMain->setChecked(false);
      p.BtnCancel->click();
      QVERIFY(!w.isVisible());
    });
    m.MenuFormPosClick();
    QVERIFY(m.state.FormPosMem[kWinItemset]);
    QVERIFY(m.state.FormPosMem[kWinMain]);

    app.modal.Then([&](QDialog& w) {
      auto& p = static_cast<TForm11&>(w);
      QTest::mouseClick(p.CheckItemset, Qt::LeftButton);
      QVERIFY(!p.CheckItemset->isChecked());
      p.BtnSave->click();
      QVERIFY(!w.isVisible());
      QCOMPARE(w.result(), int(QDialog::Accepted));
    });
    m.MenuFormPosClick();
    QVERIFY(!m.state.FormPosMem[kWinItemset]);
    for (int k : {kWinMain, kWinView, kWinExchange, kWinCreate, kWinInport, kWinConvert})
      QVERIFY(m.state.FormPosMem[static_cast<std::size_t>(k)]);

    TForm3& rows = *app.Forms().Form3;
    rows.Place();
    const QSize design = rows.DesignSize();
    QCOMPARE(rows.pos(), QPoint((1280 - design.width()) / 2, (1024 - design.height()) / 2));
    QCOMPARE(rows.size(), design);
    TForm8& items = *app.Forms().Form8;
    items.Place();
    QCOMPARE(items.geometry().topLeft(), QPoint(30, 40));
    QCOMPARE(items.pos(), QPoint(30, 40));
    QCOMPARE(items.size(), QSize(600, 450));
    // The bounds are still captured and reach the file.
    app.Stop();
    IniFile ini(app.SettingsPath());
    ini.Load();
    QCOMPARE(ini.ReadInteger("FormItemset", "Mem", -1), 0);
    QCOMPARE(ini.ReadInteger("FormItemset", "Left", -1), 10);
    QCOMPARE(ini.ReadInteger("FormExchange", "Mem", -1), 1);
  }

  void historyCountThreeThenNine() {
    TestApp app;
    app.WriteSettings(kFiveRecent);
    app.Start();
    TForm1& m = app.Main();
    QCOMPARE(MenuFiles(m).size(), 5);
    app.modal.Then([&](QDialog& w) {
      auto& h = static_cast<TForm12&>(w);
      QCOMPARE(h.Edit1->text(), QStringLiteral("9"));
      QTest::keyClicks(h.Edit1, QStringLiteral("3"));
      QCOMPARE(h.Edit1->text(), QStringLiteral("3"));
      h.BtnSave->click();
      QVERIFY(!w.isVisible());
    });
    Action(m, "MenuFileOpenMem")->trigger();
    QCOMPARE(m.state.OpenFileNum, 3);
    QCOMPARE(MenuFiles(m), (QStringList{"/d/one.csv", "/d/two.csv", "/d/three.csv"}));
    QCOMPARE(m.state.OpenFileName[4], std::string("none"));
    QCOMPARE(m.state.OpenFileName[5], std::string("none"));

    app.modal.Then([&](QDialog& w) {
      auto& h = static_cast<TForm12&>(w);
      QCOMPARE(h.Edit1->text(), QStringLiteral("3"));
      h.Edit1->setText(QStringLiteral("9"));
      h.BtnSave->click();
    });
    Action(m, "MenuFileOpenMem")->trigger();
    QCOMPARE(m.state.OpenFileNum, 9);
    QCOMPARE(MenuFiles(m).size(), 3);

    // 0 empties every slot.
    app.modal.Then([&](QDialog& w) {
      static_cast<TForm12&>(w).Edit1->setText(QStringLiteral("0"));
      static_cast<TForm12&>(w).BtnSave->click();
    });
    Action(m, "MenuFileOpenMem")->trigger();
    QCOMPARE(m.state.OpenFileNum, 0);
    QVERIFY(MenuFiles(m).isEmpty());
    QVERIFY(Action(m, "MenuFileSeparate")->isVisible());
  }

  void anEntryOtherThanADigitIsIgnoredAndCancelTrimsAllTheSame() {
    struct Case {
      const char* entry;
      bool cancel;
    };
    for (const Case& c : {Case{"x", false}, Case{"", false}, Case{"-", false}, Case{"1", true}}) {
      const bool cancel = c.cancel;
      const QString entry = QString::fromLatin1(c.entry);
      TestApp app;
      app.WriteSettings(std::string(kFiveRecent) + "[OpenFileNum]\r\nMax=3\r\n");
      app.Start();
      TForm1& m = app.Main();
      // At start-up the list is shown as read, untrimmed.
      QCOMPARE(MenuFiles(m).size(), 5);
      app.modal.Then([&](QDialog& w) {
        auto& h = static_cast<TForm12&>(w);
        h.Edit1->setText(entry);
        if (cancel)
          h.BtnCancel->click();
        else
          h.BtnSave->click();
        QVERIFY(!w.isVisible());
      });
      m.MenuFileOpenMemClick();
      QCOMPARE(m.state.OpenFileNum, 3);
      QCOMPARE(MenuFiles(m), (QStringList{"/d/one.csv", "/d/two.csv", "/d/three.csv"}));
      QCOMPARE(m.state.OpenFileName[4], std::string("none"));
      QVERIFY(app.dialogs.shown().empty());
    }
  }

  void historyEditBoxKeys() {
    TestApp app;
    app.WriteSettings(std::string(kFiveRecent) + "[CloseDialogDisp]\r\nSet=1\r\n");
    app.Start();
    TForm1& m = app.Main();
    // The box takes one character; Enter saves.
    app.modal.Then([&](QDialog& w) {
      auto& h = static_cast<TForm12&>(w);
      h.Edit1->clear();
      QTest::keyClicks(h.Edit1, QStringLiteral("24"));
      QCOMPARE(h.Edit1->text(), QStringLiteral("2"));
      QTest::keyClick(h.Edit1, Qt::Key_Return);
      QVERIFY(!w.isVisible());
      QCOMPARE(w.result(), int(QDialog::Accepted));
    });
    m.MenuFileOpenMemClick();
    QCOMPARE(m.state.OpenFileNum, 2);
    QCOMPARE(MenuFiles(m).size(), 2);
    QVERIFY(app.dialogs.shown().empty());

    // Esc asks first (CloseDialogDisp is on), and closes without saving on はい(&Y).
    app.modal.Then([&](QDialog& w) {
      auto& h = static_cast<TForm12&>(w);
      h.Edit1->setText(QStringLiteral("1"));
      app.dialogs.Answer(mbNo);
      QTest::keyClick(h.Edit1, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      QCOMPARE(h.Edit1->text(), QStringLiteral("1"));
      app.dialogs.Answer(mbYes);
      QTest::keyClick(h.Edit1, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuFileOpenMemClick();
    QCOMPARE(m.state.OpenFileNum, 2);
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
  }

  void gridWidthsOutsideTheRangeOrNotANumberKeepTheDialogOpen() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    struct Case {
      const char* text;
      bool accepted;
      std::string message;
      MsgKind kind;
    };
    const std::vector<Case> cases = {
        {"15", false, std::string(msg::kColWidthOutOfRange), MsgKind::Warning},
        {"257", false, std::string(msg::kColWidthOutOfRange), MsgKind::Warning},
        {"1a", false, "'1a' は整数ではありません", MsgKind::Error},
        {"", false, "'' は整数ではありません", MsgKind::Error},
        {"16", true, "", MsgKind::Warning},
        {"256", true, "", MsgKind::Warning},
        {" 40", true, "", MsgKind::Warning},
    };
    for (const Case& c : cases) {
      app.dialogs.Clear();
      const int before = m.state.ColWidth;
      const bool resumBefore = m.state.GridResum;
      app.modal.Then([&](QDialog& w) {
        auto& g = static_cast<TForm13&>(w);
        g.CheckGridResum->setChecked(!resumBefore);
        g.Edit1->clear();
        QTest::keyClicks(g.Edit1, QString::fromLatin1(c.text));
        g.BtnSave->click();
        QCOMPARE(w.isVisible(), !c.accepted);
        if (!c.accepted) {
          QCOMPARE(g.Edit1->text(), QString::fromLatin1(c.text));
          QVERIFY(g.CheckGridResum->isChecked() != resumBefore);
        }
      });
      m.MenuGridSetClick();
      if (c.accepted) {
        QCOMPARE(m.state.ColWidth, QString::fromLatin1(c.text).trimmed().toInt());
        QCOMPARE(m.state.GridResum, !resumBefore);
        QVERIFY(app.dialogs.shown().empty());
      } else {
        QCOMPARE(m.state.ColWidth, before);
        QCOMPARE(m.state.GridResum, resumBefore);
        QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{c.message}));
        QCOMPARE(app.dialogs.shown()[0].kind, c.kind);
        QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(c.kind == MsgKind::Error ? mbOK : mbAbort));
      }
    }
  }

  void theGridDoesWhatASaveOfItsSettingsDecides() {
    // What a save decides is core's (GridDialogSave); the grid carries it out.
    struct Case {
      const char* what;
      bool gridShown, disp, resum;
      const char* width;
      bool refilled, blanked, open;
      int widths;
    };
    const Case cases[] = {
        {"display on while the grid shows", true, true, true, "100", true, false, false, 100},
        {"display on while the list shows", false, true, true, "100", false, false, false, 7},
        {"display off while the grid shows", true, false, true, "100", false, true, false, 100},
        {"resume off", true, true, false, "64", true, false, false, 64},
        {"a width out of range", true, false, false, "300", false, false, true, 7},
    };
    for (const Case& c : cases) {
      TestApp app;
      app.Start(app.WriteFile("a.csv", "a,b\r\n1,2\r\n3,4\r\n"));
      TForm1& m = app.Main();
      m.BtnDispChgClick();
      m.Grid().SetColumnWidths({7, 7, 7});
      if (!c.gridShown) m.BtnDispChgClick();
      const int pauses = app.pump.calls();
      bool open = false;
      app.modal.Then([&](QDialog& w) {
        auto& f = static_cast<TForm13&>(w);
        f.CheckGridDisp->setChecked(c.disp);
        f.CheckGridResum->setChecked(c.resum);
        f.Edit1->setText(QString::fromLatin1(c.width));
        f.BtnSave->click();
        open = f.isVisible();
      });
      m.MenuGridSetClick();
      QVERIFY2((app.pump.calls() > pauses) == c.refilled, c.what);
      QVERIFY2(GridCell(m, 1, 2).empty() == c.blanked && GridCell(m, 0, 0).empty() == c.blanked, c.what);
      QVERIFY2(open == c.open, c.what);
      QVERIFY2(m.Grid().ColumnWidths() == std::vector<int>(3, c.widths), c.what);
    }
  }

  void theEscQuestionSwitchActsInTheOtherWindows() {
    TestApp app;
    app.Start();
    TForm1& m = app.Main();
    // Off: Esc on a button or check box closes each dialog at once, unsaved.
    app.modal.Then([&](QDialog& w) {
      auto& p = static_cast<TForm11&>(w);
      p.CheckMain->setChecked(false);
      QTest::keyClick(p.CheckMain, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuFormPosClick();
    app.modal.Then([&](QDialog& w) {
      auto& g = static_cast<TForm13&>(w);
      g.Edit1->setText(QStringLiteral("50"));
      QTest::keyClick(g.BtnSave, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuGridSetClick();
    // The width box has no keys of its own: Enter does nothing, Esc reaches the dialog.
    app.modal.Then([&](QDialog& w) {
      auto& g = static_cast<TForm13&>(w);
      g.Edit1->setText(QStringLiteral("50"));
      QTest::keyClick(g.Edit1, Qt::Key_Return);
      QVERIFY(w.isVisible());
      QTest::keyClick(g.Edit1, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuGridSetClick();
    app.modal.Then([&](QDialog& w) {
      auto& o = static_cast<TForm14&>(w);
      QVERIFY(!o.CheckCloseDialogDisp->isChecked());
      o.CheckCloseDialogDisp->setChecked(true);
      QTest::keyClick(o.BtnCancel, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuOptionSetClick();
    QVERIFY(m.state.FormPosMem[kWinMain]);
    QCOMPARE(m.state.ColWidth, 84);
    QVERIFY(!m.state.CloseDialogDisp);
    QVERIFY(app.dialogs.shown().empty());

    // Switched on in the options dialog.
    app.modal.Then([&](QDialog& w) {
      auto& o = static_cast<TForm14&>(w);
      QTest::keyClick(o.CheckCloseDialogDisp, Qt::Key_Space);
      QVERIFY(o.CheckCloseDialogDisp->isChecked());
      o.BtnSave->click();
    });
    m.MenuOptionSetClick();
    QVERIFY(m.state.CloseDialogDisp);

    // Now Esc asks in another dialog ...
    app.modal.Then([&](QDialog& w) {
      auto& p = static_cast<TForm11&>(w);
      p.CheckView->setChecked(false);
      app.dialogs.Answer(mbNo);
      QTest::keyClick(p.CheckView, Qt::Key_Escape);
      QVERIFY(w.isVisible());
      app.dialogs.Answer(mbYes);
      QTest::keyClick(p.BtnSave, Qt::Key_Escape);
      QVERIFY(!w.isVisible());
    });
    m.MenuFormPosClick();
    QVERIFY(m.state.FormPosMem[kWinView]);
    QCOMPARE(app.dialogs.texts(),
             (std::vector<std::string>{std::string(msg::kAskBackToList), std::string(msg::kAskBackToList)}));
    // ... and in the main window.
    app.dialogs.Clear();
    app.dialogs.Answer(mbNo);
    m.show();
    QTest::keyClick(Button(m, "BtnFileOpen"), Qt::Key_Escape);
    QVERIFY(m.isVisible());
    QCOMPARE(app.dialogs.texts(), (std::vector<std::string>{std::string(msg::kAskQuit)}));
    // Ctrl+[ does not maximize a settings dialog.
    app.modal.Then([&](QDialog& w) {
      QTest::keyClick(static_cast<TForm14&>(w).CheckCloseDialogDisp, Qt::Key_BracketLeft, Qt::ControlModifier);
      QVERIFY(!w.isMaximized());
      QCOMPARE(w.size(), QSize(392, 193));
    });
    m.MenuOptionSetClick();
  }

  void settingsReachTheFileAtExitAndComeBackAtTheNextStart() {
    TestApp app;
    const std::string before = "[GridSet]\r\nColWidth=84\r\n";
    app.WriteSettings(before);
    app.Start();
    TForm1& m = app.Main();
    app.modal.Then([&](QDialog& w) {
      auto& g = static_cast<TForm13&>(w);
      g.CheckGridResum->setChecked(false);
      g.CheckGridWidthSave->setChecked(true);
      g.Edit1->setText(QStringLiteral("120"));
      g.BtnSave->click();
    });
    m.MenuGridSetClick();
    app.modal.Then([&](QDialog& w) {
      static_cast<TForm12&>(w).Edit1->setText(QStringLiteral("4"));
      static_cast<TForm12&>(w).BtnSave->click();
    });
    m.MenuFileOpenMemClick();
    app.modal.Then([&](QDialog& w) {
      static_cast<TForm14&>(w).CheckCloseDialogDisp->setChecked(true);
      static_cast<TForm14&>(w).BtnSave->click();
    });
    m.MenuOptionSetClick();
    app.modal.Then([&](QDialog& w) {
      static_cast<TForm11&>(w).CheckConvert->setChecked(false);
      static_cast<TForm11&>(w).BtnSave->click();
    });
    m.MenuFormPosClick();
    // Nothing is written before the end of the run.
    QCOMPARE(ReadBytes(app.SettingsPath()), before);

    app.Stop();
    IniFile ini(app.SettingsPath());
    ini.Load();
    QCOMPARE(ini.ReadInteger("GridSet", "ColWidth", 0), 120);
    QCOMPARE(ini.ReadInteger("GridSet", "Resum", -1), 0);
    QCOMPARE(ini.ReadInteger("GridSet", "WidthSave", -1), 1);
    QCOMPARE(ini.ReadInteger("OpenFileNum", "Max", -1), 4);
    QCOMPARE(ini.ReadInteger("CloseDialogDisp", "Set", -1), 1);
    QCOMPARE(ini.ReadInteger("FormConvert", "Mem", -1), 0);

    app.Start();
    TForm1& again = app.Main();
    QCOMPARE(again.state.ColWidth, 120);
    QVERIFY(!again.state.GridResum);
    QVERIFY(again.state.GridWidthSave);
    QCOMPARE(again.state.OpenFileNum, 4);
    QVERIFY(again.state.CloseDialogDisp);
    QVERIFY(!again.state.FormPosMem[kWinConvert]);
    app.modal.Then([&](QDialog& w) {
      auto& g = static_cast<TForm13&>(w);
      QCOMPARE(g.Edit1->text(), QStringLiteral("120"));
      QVERIFY(!g.CheckGridResum->isChecked());
    });
    again.MenuGridSetClick();
  }
};

QTEST_MAIN(SettingsDialogsTest)
#include "test_settingsdialogs.moc"
