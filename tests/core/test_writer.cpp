// Saving: the bytes written, and that a failed save leaves the old file as
// it was.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "core/CsvWriter.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

class Writer : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.File(name); }
  std::vector<std::string> Entries() const { return folder_.Entries(); }

  test::TempFolder folder_{"writer"};
  const std::string dir_ = folder_.path();
};

TEST_F(Writer, EveryLineEndsInCrLfAndNothingElseIsWritten) {
  std::string nul("x\0y", 3);
  Lines lines = {"\"郵便番号\",\"住所\"", "", "a,\"b\nc\"", nul, "\x81\x40\xFF"};
  ASSERT_TRUE(WriteLines(Path("out.csv"), lines).ok);
  EXPECT_EQ(test::ReadFile(Path("out.csv")),
            "\"郵便番号\",\"住所\"\r\n\r\na,\"b\nc\"\r\n" + nul + "\r\n\x81\x40\xFF\r\n");

  ASSERT_TRUE(WriteLines(Path("one.csv"), {"only"}).ok);
  EXPECT_EQ(test::ReadFile(Path("one.csv")), "only\r\n");
  ASSERT_TRUE(WriteLines(Path("empty.csv"), {}).ok);
  EXPECT_EQ(test::ReadFile(Path("empty.csv")), "");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"empty.csv", "one.csv", "out.csv"}));
}

TEST_F(Writer, LargeDocumentsAreWrittenWhole) {
  Lines lines;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    lines.push_back(std::string(static_cast<std::size_t>(i % 8193), static_cast<char>('a' + i % 26)));
    expected += lines.back() + "\r\n";
  }
  ASSERT_TRUE(WriteLines(Path("big.csv"), lines).ok);
  EXPECT_TRUE(test::ReadFile(Path("big.csv")) == expected);
}

TEST_F(Writer, OverwriteKeepsPermissionBitsAndReplacesTheContent) {
  std::string path = Path("data.csv");
  test::WriteFile(path, "old content that is longer than the new one\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteLines(path, {"new"}).ok);
  EXPECT_EQ(test::ReadFile(path), "new\r\n");
  EXPECT_EQ(test::FileMode(path), 0640u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});
}

TEST_F(Writer, NewFileTakesTheUsualMode) {
  mode_t mask = ::umask(022);
  WriteOutcome w = WriteLines(Path("fresh.csv"), {"a"});
  ::umask(mask);
  ASSERT_TRUE(w.ok);
  EXPECT_EQ(test::FileMode(Path("fresh.csv")), 0644u);
}

TEST_F(Writer, MissingFolderFailsWithTheReason) {
  WriteOutcome w = WriteLines(Path("no-such-folder/out.csv"), {"a"});
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.error, std::strerror(ENOENT));
  EXPECT_TRUE(Entries().empty());
}

TEST_F(Writer, DirectoryTargetIsRefusedAndLeftAlone) {
  fs::create_directory(Path("folder"));
  test::WriteFile(Path("folder/inside.csv"), "keep\r\n");
  WriteOutcome w = WriteLines(Path("folder"), {"a"});
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.error, std::strerror(EISDIR));
  EXPECT_TRUE(fs::is_directory(Path("folder")));
  EXPECT_EQ(test::ReadFile(Path("folder/inside.csv")), "keep\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"folder"});
}

TEST_F(Writer, FailedWriteLeavesTheOldFileByteIdentical) {
  // The save runs in a child whose file-size limit makes the write fail
  // part-way (EFBIG), as a full disk would.
  std::string path = Path("data.csv");
  const std::string old = "\"old\",\"file\"\r\nlast line without end";
  test::WriteFile(path, old);
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  Lines big(2000, std::string(4000, 'n'));

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    WriteOutcome w = WriteLines(path, big);
    bool reason = w.error == std::strerror(EFBIG);
    ::_exit(!w.ok && reason ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the save did not fail with EFBIG";
  EXPECT_EQ(test::ReadFile(path), old);
  EXPECT_EQ(test::FileMode(path), 0600u);
  EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});
}

TEST_F(Writer, SymbolicLinkStaysAndTheFileBehindItIsReplaced) {
  test::WriteFile(Path("real.csv"), "old\r\n");
  fs::create_symlink("real.csv", Path("link.csv"));
  ASSERT_TRUE(WriteLines(Path("link.csv"), {"new"}).ok);
  EXPECT_TRUE(fs::is_symlink(Path("link.csv")));
  EXPECT_EQ(test::ReadFile(Path("real.csv")), "new\r\n");
}

TEST_F(Writer, ReplaceFileWritesTheContentAsIs) {
  std::string path = Path("settings.ini");
  test::WriteFile(path, "[Old]\r\n");
  ASSERT_TRUE(ReplaceFile(path, "[New]\nKey=1\n").ok);
  EXPECT_EQ(test::ReadFile(path), "[New]\nKey=1\n");
}

}  // namespace
}  // namespace cavel
