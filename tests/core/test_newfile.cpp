#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "StateSupport.h"
#include "core/Messages.h"
#include "core/NewFile.h"
#include "core/SavePath.h"

namespace cavel {
namespace {

using test::Refusals;
using test::StateWith;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class NewFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("cavel_newfile_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

std::array<std::string, kTitleBoxes> Boxes(std::initializer_list<const char*> texts) {
  std::array<std::string, kTitleBoxes> boxes{};
  std::size_t i = 0;
  for (const char* t : texts) boxes[i++] = t;
  return boxes;
}

TEST(NewFile, TitlesUpToTheFirstEmptyBox) {
  ScriptedDialogs dialogs;
  std::string line;
  EXPECT_EQ(BuildTitleLine(Boxes({"A", "B", "", "D"}), dialogs, line), TitleLineResult::Built);
  EXPECT_EQ(line, "A,B");
  EXPECT_EQ(BuildTitleLine(Boxes({"x,y", " z "}), dialogs, line), TitleLineResult::Built);
  EXPECT_EQ(line, "x,y, z ");  // as typed: the comma makes two items of the first title
  EXPECT_EQ(BuildTitleLine(Boxes({"\x8d\x80\x96\xda"}), dialogs, line), TitleLineResult::Built);
  EXPECT_EQ(line, "\x8d\x80\x96\xda");
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST(NewFile, SixtyFourTitles) {
  ScriptedDialogs dialogs;
  std::array<std::string, kTitleBoxes> boxes;
  for (int i = 0; i < kTitleBoxes; ++i) boxes[i] = "t" + std::to_string(i + 1);
  std::string line;
  EXPECT_EQ(BuildTitleLine(boxes, dialogs, line), TitleLineResult::Built);
  EXPECT_EQ(std::count(line.begin(), line.end(), ','), 63);
  EXPECT_TRUE(line.starts_with("t1,t2,"));
  EXPECT_TRUE(line.ends_with(",t64"));
}

TEST(NewFile, EmptyFirstBoxIsRefused) {
  ScriptedDialogs dialogs;
  std::string line;
  EXPECT_EQ(BuildTitleLine(Boxes({"", "B"}), dialogs, line), TitleLineResult::NothingSet);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{std::string(msg::kNothingSet)}));
}

TEST(NewFile, TitleLineLimitIs8192Bytes) {
  ScriptedDialogs dialogs;
  std::string line;
  // Two titles of 4096 bytes: at most 4096 per item, 8193 with the comma.
  std::array<std::string, kTitleBoxes> boxes{};
  boxes[0] = std::string(4096, 'a');
  boxes[1] = std::string(4095, 'b');
  EXPECT_EQ(BuildTitleLine(boxes, dialogs, line), TitleLineResult::Built);
  EXPECT_EQ(line.size(), kMaxLineBytes);
  boxes[1] += 'b';
  EXPECT_EQ(BuildTitleLine(boxes, dialogs, line), TitleLineResult::TooLong);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{std::string(msg::kRecordTooLong)}));
}

TEST(NewFile, ATitleLineTheLoaderWouldRefuseIsRefused) {
  ScriptedDialogs dialogs;
  std::string line;
  std::array<std::string, kTitleBoxes> boxes;
  for (auto& b : boxes) b = "a";
  boxes[10] = "x,y";  // 65 items
  EXPECT_EQ(BuildTitleLine(boxes, dialogs, line), TitleLineResult::Faulty);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::ItemCount(0, 65)}));

  dialogs.Clear();
  EXPECT_EQ(BuildTitleLine(Boxes({"a", std::string(4097, 'c').c_str()}), dialogs, line), TitleLineResult::Faulty);
  EXPECT_EQ(Refusals(dialogs), (std::vector<std::string>{msg::ItemLength(0, 2)}));
}

TEST(NewFile, ExtensionQuestionOnlyWithoutAnyDot) {
  ScriptedDialogs yes(mbYes);
  EXPECT_EQ(WithCsvExtension("/home/u/NEW", yes), "/home/u/NEW.CSV");
  ASSERT_EQ(yes.shown().size(), 1u);
  EXPECT_EQ(yes.shown()[0].text, msg::kAskAddExtension);
  EXPECT_EQ(yes.shown()[0].kind, MsgKind::Information);
  EXPECT_EQ(yes.shown()[0].buttons, mbYes | mbNo);

  ScriptedDialogs no(mbNo);
  EXPECT_EQ(WithCsvExtension("/home/u/NEW", no), "/home/u/NEW");
  ScriptedDialogs none;
  EXPECT_EQ(WithCsvExtension("/data.v2/NEW", none), "/data.v2/NEW");
  EXPECT_EQ(WithCsvExtension("/home/u/new.txt", none), "/home/u/new.txt");
  EXPECT_TRUE(none.shown().empty());
}

TEST(SavePath, AbsolutePathPutsTheWorkingFolderInFrontAndKeepsDotDot) {
  char* cwd = ::getcwd(nullptr, 0);
  ASSERT_NE(cwd, nullptr);
  const std::string here = cwd;
  std::free(cwd);
  const std::string in = here == "/" ? "/" : here + "/";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"a.csv", in + "a.csv"},
      {"-reverse", in + "-reverse"},
      {"./a.csv", in + "a.csv"},
      {"link/../x.csv", in + "link/../x.csv"},
      {"../up.csv", in + "../up.csv"},
      {"/abs//dir/./x.csv", "/abs/dir/x.csv"},
      {"/abs/link/../x.csv", "/abs/link/../x.csv"},
      {"", ""},
  };
  for (const auto& [given, full] : cases) EXPECT_EQ(AbsolutePath(given), full) << given;
}

TEST_F(NewFileOnDisk, CreateWritesTheLineAndMakesItTheDocument) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"old", "lines"}, 1);
  state.CurrentFileName = "/refused/file.csv";
  std::string path = (dir_ / "NEW.CSV").string();
  std::filesystem::path existing(path);
  { std::ofstream(existing) << "previous content that is longer"; }

  EXPECT_TRUE(CreateNewFile(state, path, "A,B", dialogs));
  EXPECT_EQ(ReadFile(path), "A,B\r\n");
  EXPECT_EQ(state.Document, (Lines{"A,B"}));
  EXPECT_EQ(state.CurrentFileName, path);
  EXPECT_EQ(state.DocumentFileName, path);
  EXPECT_EQ(state.CurrentLine, 0);
  EXPECT_EQ(state.NewFileMade, 1);
  EXPECT_EQ(state.DocumentChanged, 1);
  EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(NewFileOnDisk, AFailedWriteIsReportedAndChangesNothing) {
  ScriptedDialogs dialogs;
  MainState state = StateWith({"old"}, 0);
  state.CurrentFileName = "/was/here.csv";
  std::string path = (dir_ / "no-such-folder" / "NEW.CSV").string();
  EXPECT_FALSE(CreateNewFile(state, path, "A,B", dialogs));
  EXPECT_EQ(state.Document, (Lines{"old"}));
  EXPECT_EQ(state.CurrentFileName, "/was/here.csv");
  EXPECT_EQ(state.NewFileMade, 0);
  EXPECT_EQ(state.DocumentChanged, 0);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, MsgKind::Error);
  EXPECT_EQ(dialogs.shown()[0].buttons, mbOK);
  EXPECT_TRUE(dialogs.shown()[0].text.starts_with("   " + path + std::string(msg::kBR)));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace cavel
