// The two save commands: the dialog as confirmation or for the new name,
// the ".CSV" question, the bytes on disk (in place for a file with a second
// name), and a write that fails.
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "core/Messages.h"
#include "support/TestApp.h"

using namespace cavel;
using namespace cavel::test;

namespace {

// Quoted Japanese, a last line without line end, and bytes that are not
// Shift-JIS (a stray trail byte and a lead byte at the end of the line).
std::string Source() {
  return Sjis("\"郵便番号\",\"住所\"\r\n\"0010000\",\"北海道\"\r\n") + "x\x80y,\xA0\r\n" + "end,\x81";
}
std::string Saved() {
  return Sjis("\"郵便番号\",\"住所\"\r\n\"0010000\",\"北海道\"\r\n") + "x\x80y,\xA0\r\nend,\x81\r\n";
}

}  // namespace

class SaveTest : public QObject {
  Q_OBJECT
 private slots:
  void overwriteSaveWritesTheOpenFile() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Source());
    app.Start(file);
    TForm1& m = app.Main();
    // Painting the lines does not touch their bytes.
    m.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m));
    m.ListBox1->viewport()->repaint();
    // The name typed in the dialog is not used: the dialog only confirms.
    app.files.Answer(app.Path("other.csv"));
    m.MenuOverWriteSaveClick();
    QCOMPARE(app.files.asked().size(), std::size_t(1));
    const auto& asked = app.files.asked()[0];
    QVERIFY(asked.save);
    QCOMPARE(asked.title, std::string("ﾌｧｲﾙの上書保存"));
    QCOMPARE(asked.initialName, file);
    QCOMPARE(asked.filters.size(), std::size_t(2));
    QCOMPARE(ReadBytes(file), Saved());
    QVERIFY(!QFile::exists(QString::fromStdString(app.Path("other.csv"))));
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(m.ListSelection(), 0);
  }

  void overwriteSaveOfAFileWithASecondNameWritesItInPlace() {
    // A rename would leave the other name with the old content.
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Source());
    const std::string other = app.Path("other-name.csv");
    QCOMPARE(::link(file.c_str(), other.c_str()), 0);
    struct stat before {
    }, after{};
    QCOMPARE(::stat(file.c_str(), &before), 0);
    app.Start(file);
    app.files.Answer(file);
    app.Main().MenuOverWriteSaveClick();
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(ReadBytes(file), Saved());
    QCOMPARE(ReadBytes(other), Saved());
    QCOMPARE(::stat(file.c_str(), &after), 0);
    QCOMPARE(after.st_ino, before.st_ino);
    // The copy of the old bytes is gone with the save.
    QVERIFY(std::filesystem::is_empty(app.StateFolder()));
  }

  void overwriteSaveCancelledWritesNothing() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Source());
    app.Start(file);
    app.Main().state.Document.push_back(Line("added"));
    app.files.Cancel();
    app.Main().MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(file), Source());
  }

  void overwriteSaveOfAnEditedDocument() {
    TestApp app;
    const std::string file = app.WriteFile("one.csv", "a,b");
    app.Start(file);
    TForm1& m = app.Main();
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(file), std::string("a,b\r\n"));
    m.state.Document.Set(0, Line(Sjis("変更,済")));
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    QCOMPARE(ReadBytes(file), Sjis("変更,済\r\n"));
  }

  void saveAsAsksForTheExtensionWhenThePathHasNoDot() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", Source());
    app.Start(file);
    TForm1& m = app.Main();
    const std::string caption = m.Caption();
    const std::string folder = app.Path("plain");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    // No dot anywhere: はい appends ".CSV".
    app.files.Answer(folder + "/copy");
    app.dialogs.Answer(mbYes);
    m.MenuAnotherSaveClick();
    const auto& asked = app.files.asked().back();
    QCOMPARE(asked.title, std::string("ﾌｧｲﾙの別名保存"));
    QVERIFY(asked.initialName.empty());
    QCOMPARE(app.dialogs.texts(), std::vector<std::string>{std::string(msg::kAskAddExtension)});
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Information);
    QCOMPARE(app.dialogs.shown()[0].buttons, MsgButtons(mbYes | mbNo));
    QCOMPARE(ReadBytes(folder + "/copy.CSV"), Saved());
    QVERIFY(!std::filesystem::exists(folder + "/copy"));
    // いいえ keeps the name.
    app.files.Answer(folder + "/copy2");
    app.dialogs.Answer(mbNo);
    m.MenuAnotherSaveClick();
    QCOMPARE(ReadBytes(folder + "/copy2"), Saved());
    // The open file stays the one worked on.
    QCOMPARE(m.state.CurrentFileName, file);
    QCOMPARE(m.Caption(), caption);
    QCOMPARE(m.state.OpenFileName[1], file);
    QCOMPARE(m.state.OpenFileName[2], std::string("none"));
  }

  void saveAsWithADotAnywhereAsksNothing() {
    TestApp app;
    const std::string file = app.WriteFile("data.csv", "a\r\n");
    app.Start(file);
    TForm1& m = app.Main();
    const std::string dotted = app.Path("my.dir");
    QVERIFY(QDir().mkpath(QString::fromStdString(dotted)));
    app.files.Answer(dotted + "/data");
    m.MenuAnotherSaveClick();
    app.files.Answer(app.Path("notes.txt"));
    m.MenuAnotherSaveClick();
    QVERIFY(app.dialogs.shown().empty());
    QCOMPARE(ReadBytes(dotted + "/data"), std::string("a\r\n"));
    QCOMPARE(ReadBytes(app.Path("notes.txt")), std::string("a\r\n"));
    app.files.Cancel();
    m.MenuAnotherSaveClick();
    QVERIFY(app.dialogs.shown().empty());
  }

  void saveAsWritesTheFormatOfTheTypeChosen() {
    TestApp app;
    const std::string utf8Lf = "名前,住所\n山田,東京都\n";
    const std::string file = app.WriteFile("utf8.csv", utf8Lf);
    app.Start(file);
    TForm1& m = app.Main();
    struct Case {
      std::size_t type;
      std::string bytes;
    } cases[] = {
        {0, utf8Lf},  // the two plain types write the file's own format
        {1, utf8Lf},
        {2, Sjis("名前,住所\r\n山田,東京都\r\n")},
        {3, "\xEF\xBB\xBF名前,住所\r\n山田,東京都\r\n"},
    };
    for (const Case& c : cases) {
      const std::string copy = app.Path("copy" + std::to_string(c.type) + ".csv");
      app.files.Answer(copy, c.type);
      m.MenuAnotherSaveClick();
      QCOMPARE(ReadBytes(copy), c.bytes);
    }
    const auto& filters = app.files.asked().back().filters;
    QCOMPARE(filters.size(), std::size_t(11));
    QCOMPARE(filters[3].caption, std::string("CSVﾌｧｲﾙ UTF-8 BOM付き CR LF(*.CSV)"));
    // The open file keeps its format: the overwrite save writes it in its
    // own, whatever type its dialog shows.
    m.state.Document.Set(1, Line(Sjis("鈴木,大阪府")));
    app.files.Answer(file, 2);
    m.MenuOverWriteSaveClick();
    QCOMPARE(app.files.asked().back().filters.size(), std::size_t(2));
    QCOMPARE(ReadBytes(file), std::string("名前,住所\n鈴木,大阪府\n"));
    QVERIFY(app.dialogs.shown().empty());
  }

  void aWriteThatFailsIsReportedAndLeavesTheOldFile() {
    TestApp app;
    const std::string folder = app.Path("work");
    QVERIFY(QDir().mkpath(QString::fromStdString(folder)));
    const std::string file = folder + "/data.csv";
    { std::ofstream(file, std::ios::binary) << Source(); }
    app.Start(file);
    TForm1& m = app.Main();
    // Save as into a folder that does not exist.
    app.files.Answer(app.Path("nowhere/copy.csv"));
    m.MenuAnotherSaveClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(1));
    QCOMPARE(app.dialogs.shown()[0].kind, MsgKind::Error);
    QVERIFY(app.dialogs.shown()[0].text.starts_with("   " + app.Path("nowhere/copy.csv") + "\n\r   "));
    // The open file's name now stands for a folder: the write fails and
    // nothing of the folder is lost.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    std::ofstream(file + "/keep") << "k";
    app.files.Answer(file);
    m.MenuOverWriteSaveClick();
    QCOMPARE(app.dialogs.shown().size(), std::size_t(2));
    QCOMPARE(app.dialogs.shown()[1].kind, MsgKind::Error);
    QVERIFY(app.dialogs.shown()[1].text.starts_with("   " + file + "\n\r   "));
    QCOMPARE(ReadBytes(file + "/keep"), std::string("k"));
  }
};

QTEST_MAIN(SaveTest)
#include "test_save.moc"
