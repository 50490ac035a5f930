#include "core/ColumnWidths.h"
#include "core/Settings.h"
#include "core/WindowPlacement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "TempFolder.h"
#include "core/IniFile.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

const char* const kWindowSectionOrder[] = {"FormMain",     "FormView",   "FormItemset", "FormCreate",
                                           "FormExchange", "FormInport", "FormConvert", "FormSort"};
const int kWindowNumbers[] = {1, 2, 3, 7, 8, 9, 10, 15};

using test::EnvVar;

class SettingsTest : public ::testing::Test {
 protected:
  void Put(std::string_view bytes) { test::WriteFile(ini_, bytes); }
  std::string Get() const { return test::ReadFile(ini_); }
  // Fills the memory with "/f/<i>.csv" -> "<i>" in slots 1..count.
  void PutMemory(int count) {
    IniFile ini(ini_);
    ini.Load();
    for (int i = 1; i <= count; ++i) {
      ini.WriteString("ResumeFileName", std::to_string(i), "/f/" + std::to_string(i) + ".csv");
      ini.WriteString("ResumeColumNum", std::to_string(i), std::to_string(i));
    }
    ASSERT_TRUE(ini.Save().ok);
  }
  std::string Slot(const char* section, int i) const {
    IniFile ini(ini_);
    ini.Load();
    return ini.ReadString(section, std::to_string(i), "<missing>");
  }

  test::TempFolder folder_{"settings"};
  const fs::path dir_ = folder_.path();
  const std::string ini_ = folder_.File("CAVEL.INI");
};

void ExpectDefaults(const HeldSettings& s) {
  for (int k : kWindowNumbers) {
    EXPECT_TRUE(s.FormPosMem[k]) << k;
    EXPECT_EQ(s.FormLeft[k], -1) << k;
    EXPECT_EQ(s.FormTop[k], -1) << k;
    EXPECT_EQ(s.FormWidth[k], -1) << k;
    EXPECT_EQ(s.FormHeight[k], -1) << k;
  }
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(s.OpenFileName[i], "none") << i;
  EXPECT_EQ(s.OpenFileNum, 9);
  EXPECT_TRUE(s.GridDisp);
  EXPECT_TRUE(s.GridResum);
  EXPECT_FALSE(s.GridWidthSave);
  EXPECT_EQ(s.ColWidth, 84);
  EXPECT_FALSE(s.CloseDialogDisp);
}

TEST_F(SettingsTest, NoSettingsFileGivesTheDefaults) {
  ExpectDefaults(HeldSettings());
  // Reading a missing file puts every value back to its default.
  HeldSettings s;
  s.FormPosMem[2] = false;
  s.FormLeft[9] = 5;
  s.OpenFileName[4] = "/x.csv";
  s.OpenFileNum = 2;
  s.GridDisp = false;
  s.ColWidth = 30;
  s.CloseDialogDisp = true;
  ReadIniFileValue(ini_, s);
  ExpectDefaults(s);
  // So does a file of garbage.
  Put(std::string("\0\xff[FormMain\0]\nMem=0\n\x1a\x81", 22) + std::string(100000, '\0'));
  ReadIniFileValue(ini_, s);
  ExpectDefaults(s);
}

TEST_F(SettingsTest, ReadsEveryValueLoosely) {
  Put("[formmain]\r\nMEM=0\r\nLeft=10\r\nTop=-20\r\nWidth=$280\r\nHeight=480\r\n"
      "[FormConvert]\r\nMem=5\r\nLeft=1\r\n"
      "[OpenFileName]\r\n1=/home/u/a.csv\r\n3=/home/u/c d.csv\r\n"
      "[OpenFileNum]\r\nMax=4\r\n"
      "[GridSet]\r\nDisp=2\r\nResum=0\r\nWidthSave=1\r\nColWidth=0x54\r\n"
      "[CloseDialogDisp]\r\nSet=1\r\n");
  HeldSettings s;
  ReadIniFileValue(ini_, s);
  EXPECT_FALSE(s.FormPosMem[1]);
  EXPECT_EQ((Rect{s.FormLeft[1], s.FormTop[1], s.FormWidth[1], s.FormHeight[1]}), (Rect{10, -20, 640, 480}));
  EXPECT_TRUE(s.FormPosMem[10]);
  EXPECT_EQ(s.FormLeft[10], 1);
  EXPECT_EQ(s.FormTop[10], -1);
  EXPECT_EQ(s.OpenFileName[1], "/home/u/a.csv");
  EXPECT_EQ(s.OpenFileName[2], "none");
  EXPECT_EQ(s.OpenFileName[3], "/home/u/c d.csv");
  EXPECT_EQ(s.OpenFileNum, 4);
  EXPECT_TRUE(s.GridDisp);  // 2 is true
  EXPECT_FALSE(s.GridResum);
  EXPECT_TRUE(s.GridWidthSave);
  EXPECT_EQ(s.ColWidth, 84);  // 0x54
  EXPECT_TRUE(s.CloseDialogDisp);

  Put("[GridSet]\r\nColWidth=abc\r\n[OpenFileNum]\r\nMax=12\r\n");
  ReadIniFileValue(ini_, s);
  EXPECT_EQ(s.ColWidth, 84);
  EXPECT_EQ(s.OpenFileNum, 9);
  Put("[OpenFileNum]\r\nMax=-3\r\n");
  ReadIniFileValue(ini_, s);
  EXPECT_EQ(s.OpenFileNum, 0);
}

TEST_F(SettingsTest, TheLineLimitIsTheDefaultUnlessItLiesInRange) {
  const std::pair<const char*, int> cases[] = {
      {"", 30000},      {"Lines=abc", 30000},        {"Lines=29999", 30000},  {"Lines=30000", 30000},
      {"Lines=500000", 500000}, {"Lines=1048576", 1048576}, {"Lines=1048577", 30000}, {"Lines=-1", 30000},
  };
  for (const auto& [entry, lines] : cases) {
    Put(std::string("[ReadLimit]\r\n") + entry + "\r\n");
    HeldSettings s;
    ReadIniFileValue(ini_, s);
    EXPECT_EQ(s.ReadLimitLines, lines) << entry;
  }
}

TEST_F(SettingsTest, WritesEveryKeyInTableOrder) {
  HeldSettings s;
  s.FormPosMem[3] = false;
  s.FormLeft[1] = 12;
  s.FormHeight[10] = 300;
  s.OpenFileName[1] = "/data/住所.csv";
  s.OpenFileNum = 5;
  s.GridWidthSave = true;
  s.ColWidth = 100;
  ASSERT_TRUE(WriteIniFileValue(ini_, s).ok);

  std::string expected;
  for (int w = 0; w < 8; ++w) {
    int k = kWindowNumbers[w];
    expected += std::string("[") + kWindowSectionOrder[w] + "]\r\n";
    expected += "Mem=" + std::to_string(s.FormPosMem[k] ? 1 : 0) + "\r\n";
    expected += "Left=" + std::to_string(s.FormLeft[k]) + "\r\n";
    expected += "Top=" + std::to_string(s.FormTop[k]) + "\r\n";
    expected += "Width=" + std::to_string(s.FormWidth[k]) + "\r\n";
    expected += "Height=" + std::to_string(s.FormHeight[k]) + "\r\n";
  }
  expected += "[OpenFileName]\r\n1=/data/住所.csv\r\n";
  for (int i = 2; i <= 9; ++i) expected += std::to_string(i) + "=none\r\n";
  expected += "[OpenFileNum]\r\nMax=5\r\n";
  expected += "[GridSet]\r\nDisp=1\r\nResum=1\r\nWidthSave=1\r\nColWidth=100\r\n";
  expected += "[CloseDialogDisp]\r\nSet=0\r\n";
  expected += "[ReadLimit]\r\nLines=30000\r\n";
  EXPECT_EQ(Get(), expected);
  EXPECT_NE(expected.find("[FormItemset]\r\nMem=0\r\nLeft=-1"), std::string::npos);

  HeldSettings back;
  ReadIniFileValue(ini_, back);
  EXPECT_FALSE(back.FormPosMem[3]);
  EXPECT_EQ(back.FormLeft[1], 12);
  EXPECT_EQ(back.FormHeight[10], 300);
  EXPECT_EQ(back.OpenFileName, s.OpenFileName);
  EXPECT_EQ(back.OpenFileNum, 5);
  EXPECT_TRUE(back.GridWidthSave);
  EXPECT_EQ(back.ColWidth, 100);
}

TEST_F(SettingsTest, WritingKeepsTheRestOfTheFile) {
  const std::string memory =
      "[ResumeFileName]\r\n1=/f/a.csv\r\n2=\r\n"
      "[ResumeColumNum]\r\n1=64,84,120\r\n2=\r\n";
  Put("; kept\r\n[GridSet]\r\nColWidth=50\r\nExtra=yes\r\n" + memory + "[Mine]\r\nx=1\r\n");
  HeldSettings s;
  ReadIniFileValue(ini_, s);
  EXPECT_EQ(s.ColWidth, 50);
  s.ColWidth = 77;
  ASSERT_TRUE(WriteIniFileValue(ini_, s).ok);
  std::string text = Get();
  EXPECT_EQ(text.rfind("; kept\r\n[GridSet]\r\nColWidth=77\r\nExtra=yes\r\nDisp=1\r\nResum=1\r\nWidthSave=0\r\n", 0),
            0u)
      << text;
  EXPECT_NE(text.find(memory + "[Mine]\r\nx=1\r\n[FormMain]\r\n"), std::string::npos) << text;
}

TEST_F(SettingsTest, WriteFailureIsReported) {
  HeldSettings s;
  WriteOutcome out = WriteIniFileValue((dir_ / "gone" / "CAVEL.INI").string(), s);
  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.error.empty());
}

TEST(SettingsFileName, ReplacesOrAppendsTheExtension) {
  EXPECT_EQ(SettingsFileName("/usr/bin/cavel"), "/usr/bin/cavel.INI");
  EXPECT_EQ(SettingsFileName("/opt/cavel/CAVEL.EXE"), "/opt/cavel/CAVEL.INI");
  EXPECT_EQ(SettingsFileName("/opt/v1.2/cavel"), "/opt/v1.2/cavel.INI");
  EXPECT_EQ(SettingsFileName("/a/b.c.d"), "/a/b.c.INI");
  EXPECT_EQ(SettingsFileName("/a/cavel."), "/a/cavel.INI");
  EXPECT_EQ(SettingsFileName("/home/ユーザー/表計算.bin"), "/home/ユーザー/表計算.INI");
  EXPECT_EQ(SettingsFileName("/home/ユーザー.d/表計算"), "/home/ユーザー.d/表計算.INI");
  // 0x81 would lead a double-byte Shift-JIS character and hide the ".";
  // as a stray byte of UTF-8 it stands alone.
  EXPECT_EQ(SettingsFileName("/x/a\x81.exe"), "/x/a\x81.INI");
  EXPECT_EQ(SettingsFileName("/x/\x81/cavel"), "/x/\x81/cavel.INI");
}

TEST_F(SettingsTest, SettingsFilePathBesideTheProgramOrInTheConfigFolder) {
  EXPECT_EQ(SettingsFilePath((dir_ / "cavel").string()), (dir_ / "cavel.INI").string());

  const std::string program = (dir_ / "readonly" / "bin" / "cavel.exe").string();
  fs::create_directories(dir_ / "readonly" / "bin");
  fs::permissions(dir_ / "readonly" / "bin", fs::perms::owner_read | fs::perms::owner_exec);
  // A folder that does not exist cannot be written either, even by root.
  const std::string missing = (dir_ / "nowhere" / "cavel.exe").string();
  std::vector<std::string> unwritable = {missing};
  if (geteuid() != 0) unwritable.push_back(program);
  // A folder that root may write but is another user's.
  fs::create_directories(dir_ / "others");
  if (geteuid() == 0 && ::chown((dir_ / "others").c_str(), 1, 1) == 0)
    unwritable.push_back((dir_ / "others" / "cavel").string());

  for (const std::string& prog : unwritable) {
    {
      EnvVar xdg("XDG_CONFIG_HOME", (dir_ / "xdg").c_str());
      EXPECT_EQ(SettingsFilePath(prog), (dir_ / "xdg" / "cavel" / "cavel.INI").string());
      EXPECT_TRUE(fs::is_directory(dir_ / "xdg" / "cavel"));
    }
    {
      EnvVar xdg("XDG_CONFIG_HOME", nullptr);
      EnvVar home("HOME", (dir_ / "home").c_str());
      EXPECT_EQ(SettingsFilePath(prog), (dir_ / "home" / ".config" / "cavel" / "cavel.INI").string());
      EXPECT_TRUE(fs::is_directory(dir_ / "home" / ".config" / "cavel"));
    }
    {
      // A relative XDG_CONFIG_HOME is not used.
      EnvVar xdg("XDG_CONFIG_HOME", "relative");
      EnvVar home("HOME", (dir_ / "home2").c_str());
      EXPECT_EQ(SettingsFilePath(prog), (dir_ / "home2" / ".config" / "cavel" / "cavel.INI").string());
    }
    fs::remove_all(dir_ / "xdg");
    fs::remove_all(dir_ / "home");
    fs::remove_all(dir_ / "home2");
  }
  fs::permissions(dir_ / "readonly" / "bin", fs::perms::owner_all);
}

TEST(SettingsPlace, OnlyACopyInAFolderOfTheUsersOwnKeepsItsSettingsBesideIt) {
  struct Case {
    const char* folder;
    bool owned, writable, beside;
  };
  for (const Case& c : {Case{"/home/u/cavel/build", true, true, true}, Case{"/home/u/cavel/build", false, true, false},
                        Case{"/home/u/read-only", true, false, false}, Case{"/usr/bin", true, true, false},
                        Case{"/usr/local/bin", true, true, false}, Case{"/opt/cavel", true, true, false},
                        Case{"/usr", true, true, false}, Case{"/usr-tools/bin", true, true, true},
                        Case{"/optional/bin", true, true, true}})
    EXPECT_EQ(SettingsBesideProgram(c.folder, c.owned, c.writable), c.beside) << c.folder << c.owned << c.writable;
}

TEST(PlaceWindow, SavedBoundsOrCentred) {
  HeldSettings s;
  // Nothing known: centred with the design size, truncating toward zero.
  EXPECT_EQ(PlaceWindow(s, 2, 401, 301, 1024, 768), (Rect{311, 233, 401, 301}));
  EXPECT_EQ(CentreWindow(1201, 1001, 1024, 768), (Rect{-88, -116, 1201, 1001}));
  EXPECT_EQ(CentreWindow(101, 100, 0, 0), (Rect{-50, -50, 101, 100}));

  s.FormLeft[2] = 5, s.FormTop[2] = 6, s.FormWidth[2] = 700, s.FormHeight[2] = 500;
  EXPECT_EQ(PlaceWindow(s, 2, 401, 301, 1024, 768), (Rect{5, 6, 700, 500}));
  // Off the screen is kept: the window manager may know better.
  s.FormLeft[2] = -3000;
  EXPECT_EQ(PlaceWindow(s, 2, 401, 301, 1024, 768), (Rect{-3000, 6, 700, 500}));
  s.FormLeft[2] = 5;

  // One bound of -1 centres, whichever it is.
  for (auto field :
       {&HeldSettings::FormLeft, &HeldSettings::FormTop, &HeldSettings::FormWidth, &HeldSettings::FormHeight}) {
    HeldSettings t = s;
    (t.*field)[2] = -1;
    EXPECT_EQ(PlaceWindow(t, 2, 400, 300, 1024, 768), (Rect{312, 234, 400, 300}));
  }
  // A size of zero would be an invisible window.
  HeldSettings z = s;
  z.FormWidth[2] = 0;
  EXPECT_EQ(PlaceWindow(z, 2, 400, 300, 1024, 768), (Rect{312, 234, 400, 300}));

  s.FormPosMem[2] = false;
  EXPECT_EQ(PlaceWindow(s, 2, 400, 300, 1024, 768), (Rect{312, 234, 400, 300}));
  // Another window's bounds are its own.
  EXPECT_EQ(PlaceWindow(s, 3, 400, 300, 1024, 768), (Rect{312, 234, 400, 300}));
}

TEST_F(SettingsTest, CaptureOnlyInTheNormalStateWhateverMemSays) {
  HeldSettings s;
  CaptureWindowBounds(s, 8, {10, 20, 300, 200}, WindowState::Normal);
  CaptureWindowBounds(s, 8, {0, 0, 1920, 1080}, WindowState::Maximized);
  CaptureWindowBounds(s, 8, {-32000, -32000, 160, 24}, WindowState::Minimized);
  EXPECT_EQ(PlaceWindow(s, 8, 400, 300, 1024, 768), (Rect{10, 20, 300, 200}));

  // With Mem off the bounds are still captured and written at exit, and
  // turning Mem on again restores them.
  s.FormPosMem[8] = false;
  CaptureWindowBounds(s, 8, {30, 40, 500, 400}, WindowState::Normal);
  EXPECT_EQ(PlaceWindow(s, 8, 400, 300, 1024, 768), (Rect{312, 234, 400, 300}));
  ASSERT_TRUE(WriteIniFileValue(ini_, s).ok);
  HeldSettings next;
  ReadIniFileValue(ini_, next);
  EXPECT_FALSE(next.FormPosMem[8]);
  next.FormPosMem[8] = true;
  EXPECT_EQ(PlaceWindow(next, 8, 400, 300, 1024, 768), (Rect{30, 40, 500, 400}));
}

TEST(ReachableBounds, TheTitleBarIsPulledOntoAScreen) {
  const FrameMargins frame{2, 30, 2, 2};
  const std::vector<Rect> one{{0, 0, 1024, 768}};
  const std::vector<Rect> two{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}};
  const std::vector<Rect> panel{{0, 28, 1024, 740}};  // a panel across the top
  struct Case {
    const char* what;
    Rect bounds;
    std::vector<Rect> screens;
    Rect expected;
  } cases[] = {
      {"on the screen", {100, 80, 604, 420}, one, {100, 80, 604, 420}},
      {"partly off, title bar reachable", {800, 500, 604, 420}, one, {800, 500, 604, 420}},
      {"saved on a larger screen", {1400, 800, 604, 420}, one, {416, 316, 604, 420}},
      {"title bar above the screen", {100, -10, 604, 420}, one, {100, 0, 604, 420}},
      {"title bar under a panel", {100, 10, 604, 420}, panel, {100, 28, 604, 420}},
      {"too little of the title bar", {980, 100, 604, 420}, one, {416, 100, 604, 420}},
      {"larger than the screen", {-5, 0, 1100, 900}, one, {0, 0, 1020, 736}},
      {"on the second screen", {1400, 100, 604, 420}, two, {1400, 100, 604, 420}},
      {"the second screen gone", {1400, 100, 604, 420}, {two[0]}, {672, 100, 604, 420}},
      {"no screen known", {5000, 5000, 604, 420}, {}, {5000, 5000, 604, 420}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReachableBounds(c.bounds, c.screens, frame), c.expected) << c.what;
}

TEST(ReachableBounds, OnlyTheUsersOwnMoveIsCaptured) {
  HeldSettings s;
  s.FormLeft[2] = 1400, s.FormTop[2] = 800, s.FormWidth[2] = 604, s.FormHeight[2] = 420;
  const Placement pulled{{1400, 800, 604, 420}, {416, 316, 604, 420}};
  CapturePlacedBounds(s, 2, pulled, pulled.applied, WindowState::Normal);
  EXPECT_EQ(PlaceWindow(s, 2, 400, 300, 1024, 768), pulled.wanted);
  CapturePlacedBounds(s, 2, pulled, {410, 316, 604, 420}, WindowState::Normal);
  EXPECT_EQ(PlaceWindow(s, 2, 400, 300, 1024, 768), (Rect{410, 316, 604, 420}));
  // Placed where it was wanted: captured as always.
  const Placement kept{{10, 20, 300, 200}, {10, 20, 300, 200}};
  CapturePlacedBounds(s, 2, kept, kept.applied, WindowState::Normal);
  EXPECT_EQ(PlaceWindow(s, 2, 400, 300, 1024, 768), kept.applied);
}

TEST(StoredNameMatches, WholeNameCaseSensitive) {
  EXPECT_TRUE(StoredNameMatches("/home/u/a.csv", "/home/u/a.csv"));
  EXPECT_TRUE(StoredNameMatches("/d/あ.csv", "/d/あ.csv"));
  EXPECT_FALSE(StoredNameMatches("/home/u/a.csv", "u/a"));
  EXPECT_FALSE(StoredNameMatches("/home/u/a.csv.bak", "/home/u/a.csv"));
  EXPECT_FALSE(StoredNameMatches("/home/u/a.csv", "/home/u/A.csv"));
  EXPECT_FALSE(StoredNameMatches("/home/u/a.csv", "/home/u/a.csv2"));
  EXPECT_FALSE(StoredNameMatches("", "/a.csv"));
  EXPECT_FALSE(StoredNameMatches("/a.csv", ""));
  EXPECT_FALSE(StoredNameMatches("", ""));
}

TEST_F(SettingsTest, FindColumnWidthsLoadsTheMemoryAndTakesTheFirstMatch) {
  HeldSettings s;
  EXPECT_EQ(FindColumnWidths(ini_, "/f/1.csv", s), 0);  // no file at all
  Put("[ResumeFileName]\r\n1=/f/x.csv\r\n2=\r\n3=/f/a.csv.bak\r\n4=/f/a.csv\r\n64=/f/last.csv\r\n"
      "[resumecolumnum]\r\n3=1,2\r\n4=64,84\r\n64=9\r\n");
  // The entry of a.csv.bak is another file's, not a.csv's.
  EXPECT_EQ(FindColumnWidths(ini_, "/f/a.csv", s), 4);
  EXPECT_EQ(s.ResumeFileName[4], "/f/a.csv");
  EXPECT_EQ(s.ResumeColumNum[4], "64,84");
  EXPECT_EQ(s.ResumeColumNum[64], "9");
  EXPECT_EQ(s.ResumeFileName[5], "");
  EXPECT_EQ(FindColumnWidths(ini_, "/f/last.csv", s), 64);
  EXPECT_EQ(FindColumnWidths(ini_, "/F/X.CSV", s), 0);
  EXPECT_EQ(FindColumnWidths(ini_, "", s), 0);
}

TEST_F(SettingsTest, StoringANewFileShiftsAllAndDropsSlot64) {
  PutMemory(64);
  Put(Get() + "[GridSet]\r\nColWidth=90\r\n");
  HeldSettings s;
  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/new.csv", {20, 84, 120}, s).ok);
  EXPECT_EQ(Slot("ResumeFileName", 1), "/f/new.csv");
  EXPECT_EQ(Slot("ResumeColumNum", 1), "20,84,120");
  for (int i = 2; i <= 64; ++i) {
    EXPECT_EQ(Slot("ResumeFileName", i), "/f/" + std::to_string(i - 1) + ".csv");
    EXPECT_EQ(Slot("ResumeColumNum", i), std::to_string(i - 1));
  }
  EXPECT_EQ(Get().find("/f/64.csv"), std::string::npos);
  EXPECT_EQ(s.ResumeFileName[1], "/f/new.csv");
  EXPECT_EQ(s.ResumeFileName[64], "/f/63.csv");
  // The rest of the file stays.
  HeldSettings held;
  ReadIniFileValue(ini_, held);
  EXPECT_EQ(held.ColWidth, 90);
}

TEST_F(SettingsTest, ANameWithALineBreakIsNotStored) {
  PutMemory(3);
  const std::string before = Get();
  HeldSettings s;
  EXPECT_TRUE(StoreColumnWidths(ini_, "/f/1.csv\nx", {20}, s).ok);
  EXPECT_EQ(Get(), before);
}

TEST_F(SettingsTest, StoringAKnownFileMovesItToSlotOne) {
  PutMemory(10);
  HeldSettings s;
  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/5.csv", {64, 99}, s).ok);
  EXPECT_EQ(Slot("ResumeFileName", 1), "/f/5.csv");
  EXPECT_EQ(Slot("ResumeColumNum", 1), "64,99");
  for (int i = 2; i <= 5; ++i) EXPECT_EQ(Slot("ResumeFileName", i), "/f/" + std::to_string(i - 1) + ".csv");
  for (int i = 6; i <= 10; ++i) EXPECT_EQ(Slot("ResumeFileName", i), "/f/" + std::to_string(i) + ".csv");
  EXPECT_EQ(Slot("ResumeFileName", 11), "");

  // Slot 1 is replaced in place.
  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/5.csv", {64}, s).ok);
  EXPECT_EQ(Slot("ResumeFileName", 1), "/f/5.csv");
  EXPECT_EQ(Slot("ResumeColumNum", 1), "64");
  EXPECT_EQ(Slot("ResumeFileName", 2), "/f/1.csv");
  EXPECT_EQ(Slot("ResumeFileName", 6), "/f/6.csv");
}

TEST_F(SettingsTest, StoringTheFilesOfSlots63And64) {
  PutMemory(64);
  HeldSettings s;
  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/63.csv", {1}, s).ok);
  EXPECT_EQ(Slot("ResumeFileName", 1), "/f/63.csv");
  EXPECT_EQ(Slot("ResumeFileName", 63), "/f/62.csv");
  EXPECT_EQ(Slot("ResumeFileName", 64), "/f/64.csv");

  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/64.csv", {2}, s).ok);
  EXPECT_EQ(Slot("ResumeFileName", 1), "/f/64.csv");
  EXPECT_EQ(Slot("ResumeFileName", 2), "/f/63.csv");
  EXPECT_EQ(Slot("ResumeFileName", 64), "/f/62.csv");
  EXPECT_EQ(Get().find("/f/64.csv"), Get().rfind("/f/64.csv"));  // once only
}

TEST_F(SettingsTest, StoringWritesAll128KeysEmptyOnesIncluded) {
  HeldSettings s;
  ASSERT_TRUE(StoreColumnWidths(ini_, "/f/only.csv", {64}, s).ok);
  std::string expected = "[ResumeFileName]\r\n1=/f/only.csv\r\n";
  for (int i = 2; i <= 64; ++i) expected += std::to_string(i) + "=\r\n";
  expected += "[ResumeColumNum]\r\n1=64\r\n";
  for (int i = 2; i <= 64; ++i) expected += std::to_string(i) + "=\r\n";
  EXPECT_EQ(Get(), expected);

  // Nothing is stored for no file.
  ASSERT_TRUE(StoreColumnWidths(ini_, "", {64}, s).ok);
  EXPECT_EQ(Get(), expected);

  WriteOutcome out = StoreColumnWidths((dir_ / "gone" / "X.INI").string(), "/f/a.csv", {64}, s);
  EXPECT_FALSE(out.ok);
  EXPECT_FALSE(out.error.empty());
}

TEST(WidthList, TextAndParsing) {
  EXPECT_EQ(WidthListText({64, 84, 120}), "64,84,120");
  EXPECT_EQ(WidthListText({64}), "64");
  EXPECT_EQ(WidthListText({}), "");

  using V = std::vector<int>;
  EXPECT_EQ(ParseWidthList("64,84,120", 64), (V{64, 84, 120}));
  EXPECT_EQ(ParseWidthList("64,84,120", 2), (V{64, 84}));
  EXPECT_EQ(ParseWidthList("64,84,120", 0), V{});
  EXPECT_EQ(ParseWidthList("", 64), V{});
  EXPECT_EQ(ParseWidthList("0,32767,5", 64), (V{0, 32767, 5}));
  // The list ends at the first part that is not a plain width.
  EXPECT_EQ(ParseWidthList("64,abc,120", 64), V{64});
  EXPECT_EQ(ParseWidthList("64,-5,120", 64), V{64});
  EXPECT_EQ(ParseWidthList("64,+5,120", 64), V{64});
  EXPECT_EQ(ParseWidthList("64,,120", 64), V{64});
  EXPECT_EQ(ParseWidthList("64, 84", 64), V{64});
  EXPECT_EQ(ParseWidthList("64,84,", 64), (V{64, 84}));
  EXPECT_EQ(ParseWidthList("64,32768,1", 64), V{64});
  EXPECT_EQ(ParseWidthList("64,99999999999999,1", 64), V{64});
  EXPECT_EQ(ParseWidthList("12x", 64), V{});
}

}  // namespace
}  // namespace cavel
