// The platform layer: message boxes, the pump, keys, placement, file
// dialogs, the help window and the window search.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputMethodEvent>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextTable>
#include <QTimer>
#include <QTranslator>
#include <QtTest>
#include <algorithm>
#include <fstream>

#include "core/CsvWriter.h"
#include "core/Messages.h"
#include "platform/FileDialogs.h"
#include "platform/Help.h"
#include "platform/Keys.h"
#include "platform/MessageDlg.h"
#include "platform/Placement.h"
#include "platform/Pump.h"
#include "platform/QtText.h"
#include "platform/TopWindows.h"
#include "support/TestApp.h"

using namespace cavel;

namespace {

// Runs `action` on the modal box as soon as it is up.
void WhenModal(std::function<void(QWidget*)> action) {
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [action, poll] {
    if (QWidget* w = QApplication::activeModalWidget())
      action(w);
    else
      QTimer::singleShot(5, *poll);
  };
  QTimer::singleShot(0, *poll);
}

// Whether the character at `position` is text drawn on a background of its
// own (the marks of paragraphs, tables and cells are not text).
bool Tinted(const QTextDocument& doc, int position) {
  const QChar c = doc.characterAt(position);
  if (c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1)) return false;
  QTextCursor at(const_cast<QTextDocument*>(&doc));
  at.setPosition(position + 1);
  return at.charFormat().background().style() != Qt::NoBrush;
}

QKeyEvent Key(int key, Qt::KeyboardModifiers mods, const QString& text = {}) {
  return QKeyEvent(QEvent::KeyPress, key, mods, text);
}

}  // namespace

class PlatformTest : public QObject {
  Q_OBJECT
 private slots:
  // ---- message boxes ---------------------------------------------------------
  void messageBoxTitleIconAndText_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::newRow("warning") << int(MsgKind::Warning) << Utf8("警告") << int(QMessageBox::Warning);
    QTest::newRow("error") << int(MsgKind::Error) << Utf8("ｴﾗｰ") << int(QMessageBox::Critical);
    QTest::newRow("information") << int(MsgKind::Information) << Utf8("情報") << int(QMessageBox::Information);
    QTest::newRow("confirmation") << int(MsgKind::Confirmation) << Utf8("確認") << int(QMessageBox::Question);
  }
  void messageBoxTitleIconAndText() {
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(int, icon);
    const std::string text = msg::ItemCountDiffers(4, 3, 4);
    BuiltMessageBox built = BuildMessageBox(text, MsgKind(kind), mbYes | mbAbort, nullptr);
    QCOMPARE(built.box->windowTitle(), title);
    QCOMPARE(int(built.box->icon()), icon);
    QCOMPARE(built.box->textFormat(), Qt::PlainText);
    // LF CR is one line break; every blank stays.
    QString expected = Utf8(text);
    expected.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QCOMPARE(built.box->text(), expected);
    QVERIFY(built.box->text().startsWith(QStringLiteral("   4 行目")));
    QCOMPARE(built.box->text().count(QLatin1Char('\n')), 3);
    QCOMPARE(MessageText("a\nb\rc\n\r"), QStringLiteral("a\nb\rc\n"));
    QCOMPARE(MessageText(msg::kAskQuit), Utf8("    終了しますか。           "));
  }

  void messageBoxButtonsInBitOrder() {
    const MsgButtons all = mbYes | mbNo | mbOK | mbCancel | mbAbort | mbRetry | mbIgnore | mbAll | mbHelp;
    BuiltMessageBox built = BuildMessageBox("x", MsgKind::Information, all, nullptr);
    built.box->show();
    QVERIFY(QTest::qWaitForWindowExposed(built.box.get()));
    const QList<QAbstractButton*> list = built.box->buttons();
    std::vector<QAbstractButton*> buttons(list.begin(), list.end());
    std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
      return a->mapToGlobal(QPoint(0, 0)).x() < b->mapToGlobal(QPoint(0, 0)).x();
    });
    QStringList captions;
    for (QAbstractButton* b : buttons) captions << b->text();
    QCOMPARE(captions, (QStringList{Utf8("はい(&Y)"), Utf8("いいえ(&N)"), Utf8("OK"), Utf8("ｷｬﾝｾﾙ"), Utf8("中止(&A)"),
                                    Utf8("再試行(&R)"), Utf8("無視(&I)"), Utf8("すべて"), Utf8("ﾍﾙﾌﾟ")}));
    QCOMPARE(built.box->defaultButton()->text(), Utf8("はい(&Y)"));
    built.box->hide();
  }

  void messageBoxReturnsTheButtonPressed() {
    MessageDlg dlg;
    WhenModal([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      for (QAbstractButton* b : box->buttons())
        if (b->text() == Utf8("いいえ(&N)")) b->click();
    });
    QCOMPARE(dlg.ShowMessageDlg("   question   ", MsgKind::Information, mbYes | mbNo), mbNo);
    WhenModal([](QWidget* w) {
      for (QAbstractButton* b : qobject_cast<QMessageBox*>(w)->buttons())
        if (b->text() == Utf8("はい(&Y)")) b->click();
    });
    QCOMPARE(dlg.ShowMessageDlg("q", MsgKind::Warning, mbYes | mbAbort), mbYes);
  }

  void messageBoxClosedWithoutAButton_data() {
    QTest::addColumn<unsigned>("buttons");
    QTest::addColumn<unsigned>("expected");
    QTest::newRow("yes no") << unsigned(mbYes | mbNo) << unsigned(mbNo);
    QTest::newRow("yes abort") << unsigned(mbYes | mbAbort) << unsigned(mbAbort);
    QTest::newRow("abort") << unsigned(mbAbort) << unsigned(mbAbort);
    QTest::newRow("ok") << unsigned(mbOK) << unsigned(mbOK);
    QTest::newRow("yes") << unsigned(mbYes) << unsigned(mbYes);
  }
  void messageBoxClosedWithoutAButton() {
    QFETCH(unsigned, buttons);
    QFETCH(unsigned, expected);
    MessageDlg dlg;
    WhenModal([](QWidget* w) { w->close(); });
    QCOMPARE(unsigned(dlg.ShowMessageDlg("x", MsgKind::Warning, buttons)), expected);
    WhenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QCOMPARE(unsigned(dlg.ShowMessageDlg("x", MsgKind::Warning, buttons)), expected);
  }

  // ---- the pump --------------------------------------------------------------------
  void delayTimeRunsUntilTheTickHasPassed() {
    std::vector<std::uint32_t> ticks{1000, 1200, 1500, 1501, 9999};
    std::size_t next = 0;
    EventPump pump([&] { return ticks[std::min(next++, ticks.size() - 1)]; });
    pump.DelayTime(500);
    QCOMPARE(pump.rounds(), 3);
    QCOMPARE(next, std::size_t(4));
  }

  void delayTimeEndsWhenTheTickWraps() {
    std::vector<std::uint32_t> ticks{0xFFFFFFF0u, 0xFFFFFFF8u, 0xFFFFFFFFu, 0x00000004u, 0x00000300u};
    std::size_t next = 0;
    EventPump pump([&] { return ticks[std::min(next++, ticks.size() - 1)]; });
    // start + 500 lies beyond the 32-bit range: no early end before the wrap.
    pump.DelayTime(500);
    QCOMPARE(pump.rounds(), 3);
  }

  void delayTimeServesMessagesAndWaits() {
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    EventPump pump;
    QElapsedTimer clock;
    clock.start();
    pump.DelayTime(60);
    QVERIFY(served);
    QVERIFY(clock.elapsed() >= 60);
    // Zero milliseconds still serves the queue once.
    served = false;
    QTimer::singleShot(0, [&] { served = true; });
    pump.DelayTime(0);
    QVERIFY(served);
    NoDelayPump none;
    served = false;
    QTimer::singleShot(0, [&] { served = true; });
    clock.restart();
    none.DelayTime(500);
    QVERIFY(served);
    QVERIFY(clock.elapsed() < 400);
    QCOMPARE(none.calls(), 1);
    QCOMPARE(none.lastMilliseconds(), 500);
  }

  // ---- keys --------------------------------------------------------------------------
  void exactModifiers() {
    QVERIFY(IsCtrlBracket(Key(Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"))));
    QVERIFY(IsCtrlBracket(Key(Qt::Key_BracketLeft, Qt::ControlModifier | Qt::KeypadModifier)));
    QVERIFY(!IsCtrlBracket(Key(Qt::Key_BracketLeft, Qt::ControlModifier | Qt::ShiftModifier)));
    QVERIFY(!IsCtrlBracket(Key(Qt::Key_BraceLeft, Qt::ControlModifier | Qt::ShiftModifier)));
    QVERIFY(!IsCtrlBracket(Key(Qt::Key_BracketLeft, Qt::NoModifier, QStringLiteral("["))));
    QVERIFY(!IsCtrlBracket(Key(Qt::Key_BracketLeft, Qt::ControlModifier | Qt::AltModifier)));
    // Ctrl+[ types ESC as its text, but it is not the Esc key.
    QVERIFY(!IsEsc(Key(Qt::Key_BracketLeft, Qt::ControlModifier, QStringLiteral("\x1b"))));
    QVERIFY(IsPlainF4(Key(Qt::Key_F4, Qt::NoModifier)));
    QVERIFY(!IsPlainF4(Key(Qt::Key_F4, Qt::ShiftModifier)));
    QVERIFY(!IsPlainF4(Key(Qt::Key_F4, Qt::ControlModifier)));
    QVERIFY(!IsPlainF4(Key(Qt::Key_F3, Qt::NoModifier)));
    QVERIFY(IsEsc(Key(Qt::Key_Escape, Qt::ShiftModifier | Qt::ControlModifier)));
    QVERIFY(IsEnter(Key(Qt::Key_Return, Qt::NoModifier)));
    QVERIFY(IsEnter(Key(Qt::Key_Enter, Qt::KeypadModifier)));
    QVERIFY(IsEnter(Key(Qt::Key_Return, Qt::ShiftModifier)));
    QVERIFY(IsEnterWith(Key(Qt::Key_Return, Qt::ControlModifier), Qt::ControlModifier));
    QVERIFY(IsEnterWith(Key(Qt::Key_Enter, Qt::KeypadModifier), Qt::NoModifier));
    QVERIFY(!IsEnterWith(Key(Qt::Key_Return, Qt::ShiftModifier), Qt::NoModifier));
    QVERIFY(IsKey(Key(Qt::Key_PageDown, Qt::NoModifier), Qt::Key_PageDown, Qt::NoModifier));
  }

  void keyHookSeesKeyPressesOnlyNeverAnInputMethodCommit() {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    int enters = 0, presses = 0;
    KeyHook hook(&window, [&](QKeyEvent& e) {
      ++presses;
      if (IsEnter(e)) ++enters;
      return false;
    });
    hook.Bind(edit);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    // Typing Japanese: the conversion shows as pre-edit text, and the Enter
    // that confirms it arrives as the commit of an input-method event.
    QInputMethodEvent preedit(QStringLiteral("にほん"), {});
    QCoreApplication::sendEvent(edit, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("日本"));
    QCoreApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), QStringLiteral("日本"));
    QCOMPARE(enters, 0);
    QCOMPARE(presses, 0);
    QTest::keyRelease(edit, Qt::Key_Return);
    QCOMPARE(presses, 0);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(enters, 1);
    QTest::keyClick(edit, Qt::Key_A);
    QCOMPARE(presses, 2);
    QCOMPARE(edit->text(), QStringLiteral("日本a"));
  }

  void keyHookConsumesWhenTheHandlerSaysSo() {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    KeyHook hook(&window, [](QKeyEvent& e) { return e.key() == Qt::Key_X; });
    hook.Bind({edit});
    window.show();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("axb"));
    QCOMPARE(edit->text(), QStringLiteral("ab"));
  }

  void ctrlBracketTogglesMaximized() {
    QWidget window;
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ToggleMaximized(window);
    QVERIFY(window.isMaximized());
    ToggleMaximized(window);
    QVERIFY(!window.isMaximized());
    window.showMinimized();
    ToggleMaximized(window);
    QVERIFY(!window.isMinimized());
    QVERIFY(!window.isMaximized());
  }

  void escClosesAfterTheQuestionWhenAsked() {
    ScriptedDialogs dialogs;
    QWidget window;
    window.show();
    QVERIFY(EscClose(window, dialogs, false, msg::kAskBackToList));
    QVERIFY(!window.isVisible());
    QVERIFY(dialogs.shown().empty());
    window.show();
    dialogs.Answer(mbNo);
    QVERIFY(!EscClose(window, dialogs, true, msg::kAskBackToList));
    QVERIFY(window.isVisible());
    dialogs.Answer(mbYes);
    QVERIFY(EscClose(window, dialogs, true, msg::kAskBackToList));
    QVERIFY(!window.isVisible());
    QCOMPARE(dialogs.shown().size(), std::size_t(2));
    QCOMPARE(dialogs.shown()[0].text, std::string(msg::kAskBackToList));
    QCOMPARE(dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
  }

  // ---- placement -----------------------------------------------------------------------
  void placementAppliesAndCapturesTheRules() {
    HeldSettings s;
    QWidget window;
    const ScreenSet screen{{1280, 1024}, {{0, 0, 1280, 1024}}};
    PlaceWidget(window, s, kWinItemset, QSize(604, 420), screen);
    QCOMPARE(BoundsOf(window), (Rect{338, 302, 604, 420}));
    // A window larger than the screen is fitted to it, its title bar on it.
    PlaceWidget(window, s, kWinItemset, QSize(604, 420), ScreenSet{{600, 400}, {{0, 0, 600, 400}}});
    const FrameMargins frame = kAssumedFrame;
    QCOMPARE(BoundsOf(window), (Rect{0, 0, 600 - frame.left - frame.right, 400 - frame.top - frame.bottom}));
    s.FormLeft[3] = 10, s.FormTop[3] = 20, s.FormWidth[3] = 500, s.FormHeight[3] = 300;
    Placement placed = PlaceWidget(window, s, kWinItemset, QSize(604, 420), screen);
    QCOMPARE(BoundsOf(window), (Rect{10, 20, 500, 300}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.move(40, 50);
    CaptureWidgetBounds(s, kWinItemset, window, placed);
    QCOMPARE(s.FormLeft[3], 40);
    QCOMPARE(s.FormTop[3], 50);
    QCOMPARE(s.FormWidth[3], 500);
    window.showMaximized();
    QCOMPARE(StateOf(window), WindowState::Maximized);
    CaptureWidgetBounds(s, kWinItemset, window, placed);
    QCOMPARE(s.FormLeft[3], 40);
    QCOMPARE(s.FormWidth[3], 500);
    // Closed maximized, placed again: normal at the remembered bounds, and
    // Ctrl+[ twice comes back to them.
    window.hide();
    PlaceWidget(window, s, kWinItemset, QSize(604, 420), screen);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(StateOf(window), WindowState::Normal);
    QCOMPARE(BoundsOf(window), (Rect{40, 50, 500, 300}));
    ToggleMaximized(window);
    QTRY_COMPARE(StateOf(window), WindowState::Maximized);
    ToggleMaximized(window);
    QTRY_COMPARE(BoundsOf(window), (Rect{40, 50, 500, 300}));
    CentreWidget(window, QSize(392, 193), screen);
    QCOMPARE(window.pos(), QPoint(444, 415));
  }

  // ---- file dialogs ----------------------------------------------------------------------
  void openDialogSetUp() {
    QFileDialog dialog;
    QTemporaryDir start;
    PrepareOpenDialog(dialog, OpenFileRequest{"ファイルを開く", CsvFileFilters(), start.path().toStdString()});
    QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(start.path()).canonicalPath());
    QCOMPARE(dialog.windowTitle(), Utf8("ファイルを開く"));
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
    QVERIFY(dialog.defaultSuffix().isEmpty());
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo);
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(0), Utf8("CSVﾌｧｲﾙ(*.CSV)"));
    QCOMPARE(combo->itemText(1), Utf8("全ﾌｧｲﾙ(*.*)"));
    QCOMPARE(combo->currentIndex(), 0);
  }

  void csvFilterShowsLowerCaseNamesAndAllShowsNamesWithoutDot() {
    QTemporaryDir dir;
    for (const char* name : {"a.csv", "B.CSV", "c.Csv", "d.txt", "noext"})
      std::ofstream(dir.filePath(name).toStdString()) << "x";
    QFileDialog dialog;
    PrepareOpenDialog(dialog, OpenFileRequest{"t", CsvFileFilters(), {}});
    dialog.setDirectory(dir.path());
    dialog.show();
    auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
    QVERIFY(list);
    auto shown = [&] {
      QStringList names;
      QAbstractItemModel* m = list->model();
      const QModelIndex root = list->rootIndex();
      for (int r = 0; r < m->rowCount(root); ++r) names << m->index(r, 0, root).data().toString();
      names.sort();
      return names;
    };
    QTRY_COMPARE(shown(), (QStringList{"B.CSV", "a.csv", "c.Csv"}));
    // The user picks the second entry of the list of filters.
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    QTRY_COMPARE(shown(), (QStringList{"B.CSV", "a.csv", "c.Csv", "d.txt", "noext"}));
    dialog.hide();
  }

  void saveDialogSetUp() {
    QTemporaryDir dir;
    QFileDialog dialog;
    const std::string initial = dir.filePath(QStringLiteral("データ.csv")).toStdString();
    PrepareSaveDialog(dialog, SaveFileRequest{"ﾌｧｲﾙの上書保存", initial, CsvFileFilters(), {}});
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QVERIFY(dialog.defaultSuffix().isEmpty());
    QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(name);
    QCOMPARE(name->text(), Utf8("データ.csv"));
    // A name in Shift-JIS bytes shows as its characters.
    PrepareSaveDialog(dialog, SaveFileRequest{"t", dir.path().toStdString() + "/\x95\x5C.csv", {}, {}});
    QCOMPARE(name->text(), Utf8("表.csv"));
  }

  void qtDialogsReturnTheChosenPathOrNothing() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("無い.csv"));
    QtFileDialogs files;
    WhenModal([missing](QWidget* w) {
      auto* d = qobject_cast<QFileDialog*>(w);
      QVERIFY(d);
      d->selectFile(missing);
      QMetaObject::invokeMethod(d, "accept");
    });
    // The open dialog takes a name that does not exist: the caller tests it.
    std::optional<std::string> chosen = files.OpenFileName(OpenFileRequest{"t", CsvFileFilters(), {}});
    QVERIFY(chosen);
    QCOMPARE(Utf8(*chosen), missing);
    WhenModal([](QWidget* w) { qobject_cast<QFileDialog*>(w)->reject(); });
    QVERIFY(!files.SaveFileName(SaveFileRequest{"t", "", {}, {}}));
    // A name typed without extension comes back without one, with the
    // file type the user picked.
    const QString bare = dir.filePath(QStringLiteral("data"));
    WhenModal([bare](QWidget* w) {
      auto* d = qobject_cast<QFileDialog*>(w);
      auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      combo->setCurrentIndex(3);
      emit combo->activated(3);
      d->selectFile(bare);
      QMetaObject::invokeMethod(d, "accept");
    });
    const std::optional<SaveChoice> saved = files.SaveFileName(SaveFileRequest{"t", "", SaveAsFilters(), {}});
    QVERIFY(saved);
    QCOMPARE(Utf8(saved->path), bare);
    QCOMPARE(saved->filter, std::size_t(3));
  }

  void aNameTypedThroughALinkAndDotDotIsKept() {
    // link -> real/sub: "link/../new.csv" is real/new.csv, not a new.csv
    // beside link.
    QTemporaryDir dir;
    const QString root = dir.path();
    QVERIFY(QDir(root).mkpath(QStringLiteral("real/sub")));
    QVERIFY(QFile::link(QStringLiteral("real/sub"), root + QStringLiteral("/link")));
    QtFileDialogs files;
    WhenModal([root](QWidget* w) {
      auto* d = qobject_cast<QFileDialog*>(w);
      d->setDirectory(root);
      d->selectFile(QStringLiteral("link/../new.csv"));  // as typed into the name box
      QMetaObject::invokeMethod(d, "accept");
    });
    const std::optional<SaveChoice> chosen = files.SaveFileName(
        SaveFileRequest{"t", "", CsvFileFilters(), root.toStdString()});
    QVERIFY(chosen);
    QCOMPARE(Utf8(chosen->path), root + QStringLiteral("/link/../new.csv"));
    QVERIFY(WriteLines(chosen->path, {"a"}).ok);
    QVERIFY(QFile::exists(root + QStringLiteral("/real/new.csv")));
    QVERIFY(!QFile::exists(root + QStringLiteral("/new.csv")));
  }

  // ---- help ------------------------------------------------------------------------------------
  void helpBookShowsItsContentsPage() {
    HelpBook none({QStringLiteral("/nonexistent/help")});
    std::string reason;
    QVERIFY(!none.ShowContents("CAVEL.HLP", reason));
    QCOMPARE(reason, std::string(msg::kHelpNotFound));
    QVERIFY(!none.window());

    HelpBook book({QStringLiteral("/nonexistent/help"), QStringLiteral(CAVEL_SOURCE_DIR "/help")});
    QCOMPARE(book.IndexPath(), QDir(QStringLiteral(CAVEL_SOURCE_DIR "/help")).absoluteFilePath("index.html"));
    QVERIFY(book.ShowContents("CAVEL.HLP", reason));
    QVERIFY(book.window());
    QVERIFY(book.window()->isVisible());
    QCOMPARE(book.window()->windowTitle(), Utf8(msg::kCaptionHelp));
    QCOMPARE(book.window()->browser()->source().fileName(), QStringLiteral("index.html"));
    QVERIFY(book.window()->browser()->toPlainText().contains(QStringLiteral("Cavel")));
  }

  void helpBookLinksLeadToPagesAndAnchorsThatExist() {
    const QDir dir(QStringLiteral(CAVEL_SOURCE_DIR "/help"));
    const QStringList pages = dir.entryList({QStringLiteral("*.html")});
    QVERIFY(pages.size() >= 5);
    const QRegularExpression href(QStringLiteral("href=\"([^\"#:]*)(#([^\"]*))?\""));
    for (const QString& page : pages) {
      QFile file(dir.filePath(page));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QString html = QString::fromUtf8(file.readAll());
      QVERIFY2(html.contains(QStringLiteral("<meta charset=\"utf-8\">")), qPrintable(page));
      for (auto it = href.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
        QFile linked(dir.filePath(target));
        QVERIFY2(linked.open(QIODevice::ReadOnly), qPrintable(page + " -> " + target));
        if (!m.captured(3).isEmpty())
          QVERIFY2(QString::fromUtf8(linked.readAll()).contains(QStringLiteral("id=\"%1\"").arg(m.captured(3))),
                   qPrintable(page + " -> " + m.captured(0)));
      }
    }
  }

  void helpWindowFitsTheScreenItOpensOnAndCanBeResized() {
    // 1024 x 768 at a scale of 1.5, less a panel, as the screen reports it.
    const QRect small(0, 24, 683, 488);
    HelpBook book({QStringLiteral(CAVEL_SOURCE_DIR "/help")}, [small] { return small; });
    std::string reason;
    QVERIFY(book.ShowContents("CAVEL.HLP", reason));
    HelpWindow& w = *book.window();
    const FrameMargins frame = FrameOf(w);
    const QRect outer = w.geometry().adjusted(-frame.left, -frame.top, frame.right, frame.bottom);
    QVERIFY2(
        small.contains(outer),
        qPrintable(QStringLiteral("%1,%2 %3x%4").arg(outer.x()).arg(outer.y()).arg(outer.width()).arg(outer.height())));
    w.resize(320, 240);
    QCOMPARE(w.size(), QSize(320, 240));
    w.resize(900, 700);
    QCOMPARE(w.size(), QSize(900, 700));
    // Where there is room: the size it was made for, centred.
    w.hide();
    HelpBook roomy({QStringLiteral(CAVEL_SOURCE_DIR "/help")}, [] { return QRect(0, 0, 1280, 1024); });
    QVERIFY(roomy.ShowContents("CAVEL.HLP", reason));
    QCOMPARE(BoundsOf(*roomy.window()), (Rect{(1280 - 720) / 2, (1024 - 600) / 2, 720, 600}));
  }

  void helpSetsEveryMessageApartWithAStyleItDraws() {
    // The texts of the message boxes, as far as the help quotes them.
    const std::string_view messages[] = {
        msg::kBadParameters,      msg::kLineTooLong,       msg::kTooManyLines,      msg::kAskQuit,
        msg::kAskBackToList,      msg::kAskSave,           msg::kAskAddExtension,   msg::kFileMissing,
        msg::kRecordTooLong,      msg::kDocumentLineLimit, msg::kSelectLineFirst,   msg::kGridNotLoaded,
        msg::kGridWidthNotStored, msg::kAskStoreGridWidth, msg::kNotFound,          msg::kJumpOutOfRange,
        msg::kNoMoreThan64Items,  msg::kNothingSet,        msg::kColWidthOutOfRange};
    const QDir dir(QStringLiteral(CAVEL_SOURCE_DIR "/help"));
    int found = 0;
    for (const QString& page : dir.entryList({QStringLiteral("*.html")})) {
      QTextBrowser browser;
      browser.setSource(QUrl::fromLocalFile(dir.filePath(page)));
      const QTextDocument& doc = *browser.document();
      for (std::string_view m : messages) {
        const QString text = Utf8(m.substr(0, m.find('\n'))).trimmed();
        for (QTextCursor at = doc.find(text); !at.isNull(); at = doc.find(text, at)) {
          ++found;
          const QString where = page + QStringLiteral(": ") + text;
          QTextTable* table = at.currentTable();
          const bool tintedCell = table && table->cellAt(at).format().background().style() != Qt::NoBrush;
          // Inline: the tinted run that holds the text is 「...」.
          int start = at.selectionStart(), end = at.selectionEnd();
          const bool tinted = Tinted(doc, start);
          while (start > 0 && Tinted(doc, start - 1)) --start;
          while (end < doc.characterCount() - 1 && Tinted(doc, end)) ++end;
          const bool quoted = doc.characterAt(start) == QChar(u'「') && doc.characterAt(end - 1) == QChar(u'」');
          QVERIFY2(tintedCell || (tinted && quoted), qPrintable(where));
        }
      }
    }
    QVERIFY(found >= 20);
  }

  void helpNamesOnlyButtonsAndMenusTheProgramHas() {
    test::TestApp app;
    app.Start();
    // Captions as the help writes them: 保存(&S) is 保存(S).
    QSet<QString> names;
    const auto add = [&](QString caption) { names << caption.remove(QLatin1Char('&')); };
    for (const QAbstractButton* b : app.Main().findChildren<QAbstractButton*>()) add(b->text());
    for (const QAction* a : app.Main().findChildren<QAction*>()) add(a->text());
    HelpWindow help;
    for (const QAbstractButton* b : help.findChildren<QAbstractButton*>()) add(b->text());
    for (MsgButton b : {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbHelp})
      add(Utf8(ButtonCaption(b)));
    // The file dialogs, in the Japanese of the program's own.
    QTranslator japanese;
    QVERIFY(japanese.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&japanese);
    for (bool save : {false, true}) {
      QFileDialog dialog;
      if (save)
        PrepareSaveDialog(dialog, SaveFileRequest{"t", "", CsvFileFilters(), {}});
      else
        PrepareOpenDialog(dialog, OpenFileRequest{"t", CsvFileFilters(), {}});
      for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) add(b->text());
    }
    QCoreApplication::removeTranslator(&japanese);
    QVERIFY(names.contains(Utf8("保存(S)")));

    const QDir dir(QStringLiteral(CAVEL_SOURCE_DIR "/help"));
    const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"));
    int named = 0;
    for (const QString& page : dir.entryList({QStringLiteral("*.html")})) {
      QFile file(dir.filePath(page));
      QVERIFY(file.open(QIODevice::ReadOnly));
      const QString html = QString::fromUtf8(file.readAll());
      for (auto it = bold.globalMatch(html); it.hasNext(); ++named) {
        const QString name = it.next().captured(1);
        QVERIFY2(names.contains(name), qPrintable(page + QStringLiteral(": ") + name));
      }
    }
    QVERIFY(named >= 30);
  }

  // ---- other applications' windows ----------------------------------------------------------------
  void noWindowIsFoundWithoutAnX11Display() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) QSKIP("runs on X11");
    X11TopWindows windows;
    QVERIFY(!windows.RaiseByClass("VortaMainWin"));
    QVERIFY(!windows.RaiseByClass("ExploreWClass"));
  }

  void aWindowIsFoundByItsClassOnX11() {
    const QByteArray display = qgetenv("DISPLAY");
    const QString xmessage = QStandardPaths::findExecutable(QStringLiteral("xmessage"));
    if (display.isEmpty() || xmessage.isEmpty()) QSKIP("needs an X11 display and xmessage");
    QProcess other;
    other.start(xmessage, {QStringLiteral("-name"), QStringLiteral("cavelprobe"), QStringLiteral("probe")});
    QVERIFY(other.waitForStarted());
    X11TopWindows windows(display.toStdString());
    // With several virtual displays starting at once (other test runs on the
    // machine), xvfb-run may hand out a display this run cannot use; the
    // probe then ends at once and there is nothing to look for.
    QTRY_VERIFY_WITH_TIMEOUT(windows.RaiseByClass("Xmessage") || other.state() == QProcess::NotRunning, 10000);
    if (other.state() == QProcess::NotRunning) QSKIP("xmessage could not open the display");
    QVERIFY(windows.RaiseByClass("Xmessage"));
    QVERIFY(!windows.RaiseByClass("VortaMainWin"));
    other.kill();
    other.waitForFinished();
  }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
