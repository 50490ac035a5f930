// Shift-JIS at the widget boundary: what code page 932 decodes and encodes.
#include <QtTest>

#include "core/Cp932.h"
#include "core/Text.h"
#include "platform/Sjis.h"

using namespace cavel;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string B(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}
QString Hex(const std::string& bytes) {
  QString out;
  for (unsigned char c : bytes) out += QString::asprintf("%02X ", c);
  return out.trimmed();
}

}  // namespace

class SjisTest : public QObject {
  Q_OBJECT
 private slots:
  void asciiIsTheIdentity() {
    std::string all;
    for (int b = 0; b < 0x80; ++b) all.push_back(static_cast<char>(b));
    const QString text = SjisDecode(all);
    QCOMPARE(text.size(), 128);
    for (int b = 0; b < 0x80; ++b) QCOMPARE(text.at(b).unicode(), char16_t(b));
    QCOMPARE(SjisDecode("\x5C"), QStringLiteral("\\"));
    QCOMPARE(SjisDecode("\x7E"), QStringLiteral("~"));
    QCOMPARE(SjisEncode(QStringLiteral("\\~")).bytes, std::string("\x5C\x7E"));
    QCOMPARE(SjisEncode(text).bytes, all);
  }

  void extensionRowsDecode() {
    QCOMPARE(SjisDecode(B({0x87, 0x40})), U("①"));  // NEC row 13
    QCOMPARE(SjisDecode(B({0x87, 0x54})), U("Ⅰ"));
    QCOMPARE(SjisDecode(B({0xED, 0x40})), U("纊"));  // NEC-selected IBM extension
    QCOMPARE(SjisDecode(B({0xFA, 0x40})), U("ⅰ"));   // IBM extension
    QCOMPARE(SjisDecode(B({0xFB, 0xFC})), U("髙"));
    QCOMPARE(SjisDecode(B({0xEE, 0xF9})), U("￢"));
    QCOMPARE(SjisDecode(B({0xF0, 0x40})), QString(QChar(0xE000)));  // user-defined area
    QCOMPARE(SjisDecode(B({0xB1})), U("ｱ"));                        // half-width katakana
  }

  void characterWithTwoCodesEncodesAsWindowsWrites_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::newRow("髙") << U("髙") << "FB FC";
    QTest::newRow("∵") << U("∵") << "81 E6";
    QTest::newRow("≒") << U("≒") << "81 E0";
    QTest::newRow("￢") << U("￢") << "81 CA";
    QTest::newRow("Ⅰ") << U("Ⅰ") << "87 54";
    QTest::newRow("ⅰ") << U("ⅰ") << "FA 40";
    QTest::newRow("纊") << U("纊") << "FA 5C";
    QTest::newRow("～") << U("～") << "81 60";
    QTest::newRow("ｱ") << U("ｱ") << "B1";
  }
  void characterWithTwoCodesEncodesAsWindowsWrites() {
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    const SjisEncoded encoded = SjisEncode(text);
    QVERIFY(encoded.ok());
    QCOMPARE(Hex(encoded.bytes), bytes);
  }

  void everyValidTwoByteCodeDecodesAndEncodesBack() {
    int valid = 0, userDefined = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsSjisLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        const std::string code = B({lead, trail});
        const QString text = SjisDecode(code);
        QCOMPARE(text.size(), 1);
        if (!SjisValidPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail))) {
          QCOMPARE(text.at(0).unicode(), char16_t(0xFFFD));
          QVERIFY2(!Cp932Valid(static_cast<std::uint16_t>(lead << 8 | trail)), qPrintable(Hex(code)));
          continue;
        }
        ++valid;
        if (lead >= 0xF0 && lead <= 0xF9) ++userDefined;
        QVERIFY2(text.at(0).unicode() != 0xFFFD, qPrintable(Hex(code)));
        // The loader's conversion shows in the views as the character it read.
        QCOMPARE(QString::fromStdString(Cp932ToUtf8(code)), text);
        // The code Windows writes for the character decodes to it again.
        const SjisEncoded back = SjisEncode(text);
        QVERIFY2(back.ok(), qPrintable(Hex(code)));
        QCOMPARE(SjisDecode(back.bytes), text);
      }
    }
    // JIS X 0208 (6879), NEC row 13 (83), the NEC-selected (374) and IBM
    // (388) extensions, and the user-defined area F040-F9FC.
    QCOMPARE(valid - userDefined, 6879 + 83 + 374 + 388);
    QCOMPARE(userDefined, 10 * 188);
    // The rows' edges.
    QVERIFY(SjisValidPair(0x88, 0x9F));
    QVERIFY(!SjisValidPair(0x88, 0x9E));
    QVERIFY(SjisValidPair(0xEA, 0xA4));
    QVERIFY(!SjisValidPair(0xEA, 0xA5));
    QVERIFY(SjisValidPair(0xFC, 0x4B));
    QVERIFY(!SjisValidPair(0xFC, 0x4C));
  }

  void invalidBytesShowAsReplacementCharacters_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString R(QChar(0xFFFD));
    QTest::newRow("single bytes 80 A0 FD FE FF") << QByteArray("\x80\xA0\xFD\xFE\xFF") << R + R + R + R + R;
    QTest::newRow("lead byte at the end") << QByteArray("a\x81") << QStringLiteral("a") + R;
    QTest::newRow("lead byte alone at the end") << QByteArray("\xE0") << R;
    QTest::newRow("lead byte before a comma") << QByteArray("\x81,x") << R + QStringLiteral(",x");
    QTest::newRow("lead byte before DEL") << QByteArray("\x81\x7F") << R + QString(QChar(0x7F));
    QTest::newRow("a lead byte is a trail byte after a lead byte") << QByteArray("\x81\x82") << U("≠");
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40z") << R + QStringLiteral("z");
    QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
  }
  void invalidBytesShowAsReplacementCharacters() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const std::string stored = bytes.toStdString();
    QCOMPARE(SjisDecode(stored), text);
    QCOMPARE(stored, bytes.toStdString());
  }

  void unmappableCharactersAreReportedNotSubstituted() {
    SjisEncoded e = SjisEncode(U("a😀b€c😀"));
    QVERIFY(!e.ok());
    QCOMPARE(e.unmappable, U("😀€"));
    QVERIFY(e.bytes.empty());
    // Characters that other converters map to a look-alike.
    for (const char* c : {"¥", "〜", "¬", "‖", "−"}) {
      e = SjisEncode(U(c));
      QVERIFY2(!e.ok(), c);
      QCOMPARE(e.unmappable, U(c));
    }
    // A lone surrogate is no character.
    e = SjisEncode(QString(QChar(0xD800)));
    QVERIFY(!e.ok());
    e = SjisEncode(U("住所,〒100-0001"));
    QVERIFY(e.ok());
    QCOMPARE(SjisDecode(e.bytes), U("住所,〒100-0001"));
  }
};

QTEST_GUILESS_MAIN(SjisTest)
#include "test_sjis.moc"
