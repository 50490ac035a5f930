#include "core/IniFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "TempFolder.h"
#include "core/Text.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

class IniFileTest : public ::testing::Test {
 protected:
  void Put(std::string_view bytes) { test::WriteFile(path_, bytes); }
  std::string Get() const { return test::ReadFile(path_); }
  IniFile Loaded() const {
    IniFile ini(path_);
    ini.Load();
    return ini;
  }

  test::TempFolder folder_{"ini"};
  const fs::path dir_ = folder_.path();
  const std::string path_ = folder_.File("CAVEL.INI");
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesTheDefault) {
  IniFile none(path_);
  none.Load();
  EXPECT_EQ(none.ReadString("GridSet", "Disp", "dflt"), "dflt");
  EXPECT_EQ(none.ReadInteger("GridSet", "ColWidth", 84), 84);
  EXPECT_TRUE(none.ReadBool("GridSet", "Disp", true));
  EXPECT_FALSE(none.ReadBool("GridSet", "Disp", false));

  Put("[GridSet]\r\nDisp=0\r\n");
  IniFile ini = Loaded();
  EXPECT_EQ(ini.ReadInteger("GridSet", "ColWidth", 84), 84);  // missing key
  EXPECT_EQ(ini.ReadInteger("Other", "Disp", 7), 7);          // missing section
  EXPECT_FALSE(ini.ReadBool("GridSet", "Disp", true));
  // The default is cut like a value read.
  EXPECT_EQ(ini.ReadString("X", "Y", std::string(2000, 'd')).size(), kIniValueLimit);
}

TEST_F(IniFileTest, SectionsAndKeysMatchWithoutCaseAndBlanksAroundThem) {
  Put("[ gridset ]\nDISP = 1\n  colwidth=120\n\tResum\t= 0\n");
  IniFile ini = Loaded();
  EXPECT_EQ(ini.ReadInteger("GridSet", "Disp", 9), 1);
  EXPECT_EQ(ini.ReadInteger("GRIDSET", "ColWidth", 9), 120);
  EXPECT_EQ(ini.ReadInteger("GridSet", "resum", 9), 0);
  // Case folding is ASCII only: bytes above 0x7F must be equal.
  Put("[\xC3\xA9t\xC3\xA9]\nK=v\n");
  ini = Loaded();
  EXPECT_EQ(ini.ReadString("\xC3\xA9T\xC3\xA9", "k", "-"), "v");
  EXPECT_EQ(ini.ReadString("\xC3\x89T\xC3\x89", "k", "-"), "-");
}

TEST_F(IniFileTest, LineEndsCommentsDuplicatesAndStrayLines) {
  // CR LF, LF and a lone CR each end a line; a UTF-8 mark before the first
  // header is no part of it.
  Put("\xEF\xBB\xBF[A]\r\nx=1\ry=2\nz=3\r\n"
      "; w=4\r\n"
      "no equals sign\r\n"
      "=5\r\n"
      "x=shadowed\r\n"
      "[a]\r\nx=second section\r\nq=only here\r\n");
  IniFile ini = Loaded();
  EXPECT_EQ(ini.ReadString("A", "x", "-"), "1");
  EXPECT_EQ(ini.ReadString("A", "y", "-"), "2");
  EXPECT_EQ(ini.ReadString("A", "z", "-"), "3");
  EXPECT_EQ(ini.ReadString("A", "; w", "-"), "-");
  EXPECT_EQ(ini.ReadString("A", "no equals sign", "-"), "-");
  // The first section and the first key of a name are the ones read.
  EXPECT_EQ(ini.ReadString("A", "q", "-"), "-");
  // Keys before any header belong to no section.
  Put("k=v\r\n[S]\r\n");
  EXPECT_EQ(Loaded().ReadString("", "k", "-"), "-");
}

TEST_F(IniFileTest, ValuesKeepTrailingBlanksAndAreCutAt1023Bytes) {
  std::string exact(kIniValueLimit, 'a');
  std::string longer = std::string(kIniValueLimit, 'b') + "tail";
  Put("[S]\r\nexact=" + exact + "\r\nlong=" + longer + "\r\nname=  /tmp/a b.csv  \r\n");
  IniFile ini = Loaded();
  EXPECT_EQ(ini.ReadString("S", "exact", ""), exact);
  EXPECT_EQ(ini.ReadString("S", "long", ""), longer.substr(0, kIniValueLimit));
  EXPECT_EQ(ini.ReadString("S", "name", ""), "/tmp/a b.csv  ");
}

TEST_F(IniFileTest, IntegersDecimalAndHexadecimal) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"84", 84},
      {"-1", -1},
      {"+7", 7},
      {" 42 ", 42},
      {"0x54", 84},
      {"0X54", 84},
      {"0x7fffffff", INT_MAX},
      {"$54", 84},
      {"$ff", 255},
      {"-$10", -16},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"007", 7},
      // Everything below gives the default.
      {"abc", 999},
      {"", 999},
      {"0x", 999},
      {"$", 999},
      {"-", 999},
      {"12abc", 999},
      {"1 2", 999},
      {"0x5g", 999},
      {"1.5", 999},
      {"2147483648", 999},
      {"-2147483649", 999},
      {"0x80000000", 999},
      {"99999999999999999999999", 999},
  };
  std::string text = "[S]\r\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) text += "k" + std::to_string(i) + "=" + cases[i].text + "\r\n";
  Put(text);
  IniFile ini = Loaded();
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(ini.ReadInteger("S", "k" + std::to_string(i), 999), cases[i].expected) << '"' << cases[i].text << '"';
}

// The dialogs' numbers are decimal with blanks in front only; the same texts
// read from the settings file are numbers.
TEST(ParseIntTest, DecimalFormRefusesWhatOnlyTheSettingsFileTakes) {
  for (const char* text : {"0x54", "$54", "42 ", "\t42"}) {
    int value = 7;
    EXPECT_FALSE(ParseInt(text, value)) << text;
    EXPECT_EQ(value, 7) << text;
    EXPECT_TRUE(ParseInt(text, value, IntForm::Profile)) << text;
  }
  int value = 0;
  EXPECT_TRUE(ParseInt("  -2147483648", value));
  EXPECT_EQ(value, INT_MIN);
  EXPECT_FALSE(ParseInt("2147483648", value));
}

TEST_F(IniFileTest, BooleansAreIntegersAndAnyNonZeroIsTrue) {
  Put("[S]\r\none=1\r\ntwo=2\r\nneg=-1\r\nzero=0\r\nhex=0x0\r\nbad=yes\r\n");
  IniFile ini = Loaded();
  EXPECT_TRUE(ini.ReadBool("S", "one", false));
  EXPECT_TRUE(ini.ReadBool("S", "two", false));
  EXPECT_TRUE(ini.ReadBool("S", "neg", false));
  EXPECT_FALSE(ini.ReadBool("S", "zero", true));
  EXPECT_FALSE(ini.ReadBool("S", "hex", true));
  EXPECT_TRUE(ini.ReadBool("S", "bad", true));
  EXPECT_FALSE(ini.ReadBool("S", "bad", false));
}

TEST_F(IniFileTest, WritingChangesOnlyTheLinesItMust) {
  Put("; settings\n"
      "[First]\n"
      "  Keep = as it was  \n"
      "Width=10\n"
      "\n"
      "[Second]\n"
      "odd line\n"
      "a=1\n");
  IniFile ini = Loaded();
  ini.WriteInteger("first", "WIDTH", 640);  // existing key, spelt as in the file
  ini.WriteString("First", "New", "x");     // new key, before the blank line
  ini.WriteBool("Second", "b", true);       // new key at the end of the last section
  ini.WriteString("Third", "c", "/p/q r");  // new section at the end
  ASSERT_TRUE(ini.Save().ok);
  EXPECT_EQ(Get(),
            "; settings\r\n"
            "[First]\r\n"
            "  Keep = as it was  \r\n"
            "Width=640\r\n"
            "New=x\r\n"
            "\r\n"
            "[Second]\r\n"
            "odd line\r\n"
            "a=1\r\n"
            "b=1\r\n"
            "[Third]\r\n"
            "c=/p/q r\r\n");
  // The held text answers reads at once, and so does the file reloaded.
  EXPECT_EQ(ini.ReadInteger("First", "Width", 0), 640);
  IniFile again = Loaded();
  EXPECT_EQ(again.ReadInteger("First", "Width", 0), 640);
  EXPECT_EQ(again.ReadString("First", "Keep", ""), "as it was  ");
  EXPECT_EQ(again.ReadString("Third", "c", ""), "/p/q r");
}

TEST_F(IniFileTest, WritingTwiceKeepsOneLineAndLineBreaksCannotEnterTheFile) {
  IniFile ini(path_);
  ini.Load();
  ini.WriteInteger("S", "n", 1);
  ini.WriteInteger("S", "N", -2);
  ini.WriteString("S", "v", "first\nsecond\r\nthird");
  ASSERT_TRUE(ini.Save().ok);
  EXPECT_EQ(Get(), "[S]\r\nn=-2\r\nv=first\r\n");
}

TEST_F(IniFileTest, FailedSaveLeavesTheFileAsItWas) {
  const std::string before = "[S]\r\nold=" + std::string(100, 'o') + "\r\n";
  Put(before);
  IniFile ini = Loaded();
  ini.WriteString("S", "new", std::string(5000, 'n'));

  // Allow files of 1 KiB only: the temporary file cannot be written whole.
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  WriteOutcome out = ini.Save();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.error.empty());
  EXPECT_EQ(Get(), before);
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  IniFile nowhere((dir_ / "missing" / "X.INI").string());
  nowhere.WriteInteger("S", "k", 1);
  EXPECT_FALSE(nowhere.Save().ok);
}

// A settings file that another user could have written is not taken at its
// word, nor written over.
TEST_F(IniFileTest, AFileOthersMayWriteReadsAsEmptyAndIsLeftAlone) {
  const std::string text = "[S]\r\nk=7\r\n";
  struct Case {
    const char* what;
    fs::perms perms;
    bool taken;
  };
  for (const Case& c : {Case{"the user's own", fs::perms(0644), true}, Case{"the group's", fs::perms(0664), true},
                        Case{"anyone's", fs::perms(0666), false}}) {
    Put(text);
    fs::permissions(path_, c.perms);
    IniFile ini = Loaded();
    EXPECT_EQ(ini.ReadInteger("S", "k", 0), c.taken ? 7 : 0) << c.what;
    ini.WriteInteger("S", "k", 8);
    EXPECT_EQ(ini.Save().ok, c.taken) << c.what;
    if (!c.taken) {
      EXPECT_EQ(Get(), text) << c.what;
    }
  }
  // Another user's file, where this process may act for another (root).
  if (::geteuid() == 0) {
    Put(text);
    ASSERT_EQ(::chown(path_.c_str(), 65534, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(Loaded().ReadInteger("S", "k", 0), 0);
  }
}

TEST_F(IniFileTest, GarbageReadsAsDefaultsAndSurvivesWriting) {
  std::string junk;
  junk += std::string("\0\0[GridSet\0]\0Disp=0\0", 20);
  junk += std::string(kIniFileLimit - 10000, 'z');  // one huge line
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 131) & 0xFF);
  Put(junk);
  IniFile ini = Loaded();
  EXPECT_EQ(ini.ReadInteger("GridSet", "ColWidth", 84), 84);
  EXPECT_TRUE(ini.ReadBool("GridSet", "Disp", true));
  ini.WriteInteger("GridSet", "ColWidth", 100);
  ASSERT_TRUE(ini.Save().ok);
  EXPECT_EQ(Loaded().ReadInteger("GridSet", "ColWidth", 84), 100);

  // A file of the largest size is read; one byte more and it reads as empty
  // and is not replaced.
  std::string big = "[GridSet]\r\nColWidth=100\r\n";
  big += std::string(kIniFileLimit - big.size(), '\n');
  Put(big);
  EXPECT_EQ(Loaded().ReadInteger("GridSet", "ColWidth", 84), 100);
  big += '\n';
  Put(big);
  IniFile huge = Loaded();
  EXPECT_EQ(huge.ReadInteger("GridSet", "ColWidth", 84), 84);
  huge.WriteInteger("GridSet", "ColWidth", 120);
  WriteOutcome out = huge.Save();
  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.error.empty());
  EXPECT_EQ(Get(), big);

  // Random files made of the characters that matter to the format: a value
  // written is always read back, and what was there before is kept.
  std::mt19937 rng(12345);
  const std::string alphabet = "[]=; \t\r\nAaSsKk0x$-\x81\xEF";
  for (int round = 0; round < 300; ++round) {
    std::string text;
    int len = static_cast<int>(rng() % 200);
    for (int i = 0; i < len; ++i) text += alphabet[rng() % alphabet.size()];
    Put(text);
    IniFile r = Loaded();
    std::string before = r.ReadString("S", "K", "<none>");
    (void)r.ReadInteger("s", "k", 0);
    r.WriteString("Sa", "Ka", "value " + std::to_string(round));
    ASSERT_TRUE(r.Save().ok);
    IniFile back = Loaded();
    EXPECT_EQ(back.ReadString("sa", "ka", ""), "value " + std::to_string(round)) << text;
    EXPECT_EQ(back.ReadString("S", "K", "<none>"), before) << text;
  }
}

}  // namespace
}  // namespace cavel
