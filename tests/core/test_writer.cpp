// Saving: the bytes written, the way each file is replaced (renamed into
// place or written in place) so that it stays whole, and that a failed save
// leaves the old file as it was.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "Unprivileged.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/SavePath.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

// What the disk shows of a file.
struct Look {
  std::string bytes;
  ino_t inode = 0;
  uid_t uid = 0;
  gid_t gid = 0;
  mode_t mode = 0;
  nlink_t links = 0;
};

Look LookAt(const std::string& path) {
  Look look;
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  look.bytes = test::ReadFile(path);
  look.inode = st.st_ino, look.uid = st.st_uid, look.gid = st.st_gid, look.mode = st.st_mode & 07777;
  look.links = st.st_nlink;
  return look;
}

// Another user and group than the test's and "nobody"'s.
constexpr uid_t kOtherUser = 4242;
constexpr gid_t kOtherGroup = 4243;

class Writer : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.File(name); }
  std::vector<std::string> Entries(const std::string& sub = "") const { return folder_.Entries(sub); }
  // A case's file "<case>/data.csv" in a folder of its own, holding an old
  // content longer than the new one.
  std::string CaseFile(const std::string& what) const {
    const std::string folder = Path(what);
    std::filesystem::create_directory(folder);
    const std::string file = folder + "/data.csv";
    test::WriteFile(file, "old content, longer than the new one\r\n");
    return file;
  }
  // What the in-place path left in the state folder: nothing, after any save.
  std::vector<std::string> StateEntries() const {
    return std::filesystem::exists(state_) ? stateHome_.Entries("cavel") : std::vector<std::string>{};
  }

  test::TempFolder folder_{"writer"};
  const std::string dir_ = folder_.path();
  test::TempFolder stateHome_{"writer-state"};
  const std::string state_ = stateHome_.path() + "/cavel";
  test::EnvVar stateEnv_{"XDG_STATE_HOME", stateHome_.path().c_str()};
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
    lines.push_back(Line(std::string(static_cast<std::size_t>(i % 8193), static_cast<char>('a' + i % 26))));
    expected += std::string(lines.back().view()) + "\r\n";
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
  Lines big(2000, Line(std::string(4000, 'n')));

  const auto outcome = test::UnderFileSizeLimit(64 * 1024, [&] {
    WriteOutcome w = WriteLines(path, big);
    return std::string(w.ok ? "saved" : w.error);
  });
  EXPECT_EQ(outcome, std::string(std::strerror(EFBIG))) << "the save did not fail with EFBIG";
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

// Each case: how the file is set up, and whether it must be written in place
// to stay whole (one inode, every name, its owner, group and mode) or may be
// renamed into place. Either way the content is new, nothing is left beside
// it and the state folder ends empty.
struct PathCase {
  const char* what;
  std::function<void(const std::string& folder, const std::string& file)> prepare;
  bool inPlace;
};

void ExpectSavedWhole(const Look& before, const Look& after, bool inPlace) {
  EXPECT_EQ(after.bytes, "new,content\r\n");
  EXPECT_EQ(after.inode == before.inode, inPlace);
  EXPECT_EQ(after.uid, before.uid);
  EXPECT_EQ(after.gid, before.gid);
  EXPECT_EQ(after.mode, before.mode);
  EXPECT_EQ(after.links, before.links);
}

TEST_F(Writer, EachFileIsReplacedTheWayThatKeepsItWhole) {
  const std::vector<PathCase> cases = {
      {"one name in a folder it may write", [](auto&, auto&) {}, false},
      {"a second hard link", [](auto&, auto& file) { ASSERT_EQ(::link(file.c_str(), (file + ".link").c_str()), 0); },
       true},
      {"another user's file, which root hands back to that user",
       [](auto&, auto& file) {
         if (::geteuid() != 0) return;  // only root can give a file to another user
         ASSERT_EQ(::chown(file.c_str(), kOtherUser, kOtherGroup), 0);
         ASSERT_EQ(::chmod(file.c_str(), 0604), 0);
       },
       false},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = Path(c.what);
    const std::string file = CaseFile(c.what);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    c.prepare(folder, file);
    const Look before = LookAt(file);
    ASSERT_TRUE(WriteLines(file, {"new,content"}).ok);
    ExpectSavedWhole(before, LookAt(file), c.inPlace);
    if (before.links > 1) {
      EXPECT_EQ(test::ReadFile(file + ".link"), "new,content\r\n");
    }
    EXPECT_EQ(Entries(c.what).size(), before.links);
    EXPECT_TRUE(StateEntries().empty());
  }
}

TEST_F(Writer, AUserBoundByPermissionsGetsTheFileWrittenInPlaceWhereARenameWouldNot) {
  if (::geteuid() != 0) GTEST_SKIP() << "setting the cases up needs root";
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  if (!test::CanActUnprivileged(dir_))
    GTEST_SKIP() << "no user \"nobody\" that can reach " << dir_ << ", and root passes every permission";
  const auto nobody = *test::NobodyIds();
  // The user's own state folder.
  ASSERT_EQ(::chown(stateHome_.path().c_str(), nobody.first, nobody.second), 0);
  auto own = [nobody](const std::string& path) { ASSERT_EQ(::chown(path.c_str(), nobody.first, nobody.second), 0); };

  const std::vector<PathCase> cases = {
      {"a writable file in a folder the user may not write",
       [](auto& folder, auto& file) {
         ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
         ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
       },
       true},
      {"another user's writable file in a sticky folder",
       [](auto& folder, auto& file) {
         ASSERT_EQ(::chown(file.c_str(), kOtherUser, kOtherGroup), 0);
         ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
         ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
       },
       true},
      {"the user's own file of a group the user is not in",
       [own](auto& folder, auto& file) {
         own(folder);
         ASSERT_EQ(::chown(file.c_str(), test::NobodyIds()->first, kOtherGroup), 0);
         ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
       },
       true},
      {"the user's own file in the user's own folder",
       [own](auto& folder, auto& file) {
         own(folder);
         own(file);
       },
       false},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = Path(c.what);
    const std::string file = CaseFile(c.what);
    c.prepare(folder, file);
    const Look before = LookAt(file);
    const auto result = test::AsUnprivileged([&] {
      WriteOutcome w = WriteLines(file, {"new,content"});
      return w.ok ? std::string("ok") : w.error;
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, "ok");
    ExpectSavedWhole(before, LookAt(file), c.inPlace);
    EXPECT_EQ(Entries(c.what), std::vector<std::string>{"data.csv"});
    EXPECT_TRUE(StateEntries().empty());
  }

  // Refused, and nothing on disk changes: a file the user may not write, a
  // new file in a folder that takes none.
  const std::string readOnly = Path("a read-only file");
  std::filesystem::create_directory(readOnly);
  own(readOnly);
  test::WriteFile(readOnly + "/data.csv", "old\r\n");
  own(readOnly + "/data.csv");
  ASSERT_EQ(::chmod((readOnly + "/data.csv").c_str(), 0444), 0);
  const std::string noNew = Path("a folder the user may not write") + "/new.csv";
  std::filesystem::create_directory(Path("a folder the user may not write"));
  for (const std::string& target : {readOnly + "/data.csv", noNew}) {
    SCOPED_TRACE(target);
    const auto result = test::AsUnprivileged([&] { return WriteLines(target, {"new"}).error; });
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, std::strerror(EACCES));
  }
  EXPECT_EQ(test::ReadFile(readOnly + "/data.csv"), "old\r\n");
  EXPECT_EQ(Entries("a read-only file"), std::vector<std::string>{"data.csv"});
  EXPECT_TRUE(Entries("a folder the user may not write").empty());
  EXPECT_TRUE(StateEntries().empty());
}

TEST_F(Writer, ExtendedAttributesAndTheAclStayWithTheFile) {
  const std::string file = Path("data.csv");
  test::WriteFile(file, "old\r\n");
  if (::setxattr(file.c_str(), "user.origin", "scanner 7", 9, 0) != 0)
    GTEST_SKIP() << "the test folder's file system takes no user attributes: " << std::strerror(errno);
  // An access list that also lets one more user read: version 2, then
  // (tag, permissions, id) for owner, that user, group, mask and others.
  struct Entry {
    std::uint16_t tag, perm;
    std::uint32_t id;
  };
  struct {
    std::uint32_t version = 2;
    Entry entries[5] = {{0x01, 6, ~0u}, {0x02, 4, kOtherUser}, {0x04, 4, ~0u}, {0x10, 4, ~0u}, {0x20, 0, ~0u}};
  } acl;
  const bool withAcl = ::setxattr(file.c_str(), "system.posix_acl_access", &acl, sizeof acl, 0) == 0;
  auto attributes = [](const std::string& path) {
    std::string out;
    for (const char* name : {"user.origin", "system.posix_acl_access"}) {
      char value[256];
      ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
      out += std::string(name) + "=" + (n < 0 ? "none" : std::string(value, static_cast<std::size_t>(n))) + ";";
    }
    return out;
  };
  const std::string before = attributes(file);
  const Look old = LookAt(file);
  ASSERT_TRUE(WriteLines(file, {"new,content"}).ok);
  EXPECT_EQ(attributes(file), before);
  ExpectSavedWhole(old, LookAt(file), false);
  if (!withAcl) std::cout << "(no access list: the file system takes none)\n";
}

TEST_F(Writer, APathThroughALinkAndDotDotIsTheFileTheSystemFinds) {
  // "link/../x.csv" with link -> real/sub is real/x.csv, not the x.csv
  // beside link; the path is kept as given.
  std::filesystem::create_directories(Path("real/sub"));
  std::filesystem::create_directory_symlink("real/sub", Path("link"));
  test::WriteFile(Path("real/x.csv"), "behind,the link\r\n");
  test::WriteFile(Path("x.csv"), "beside,the link\r\n");
  const std::string path = Path("link/../x.csv");
  EXPECT_EQ(AbsolutePath(path), path);
  ScriptedDialogs dialogs;
  Lines lines;
  ASSERT_EQ(CsvLoader(path, kItemLimitWide, dialogs, lines).result, LoadResult::Loaded);
  EXPECT_EQ(lines, Lines{"behind,the link"});
  ASSERT_TRUE(WriteLines(path, {"new,content"}).ok);
  EXPECT_EQ(test::ReadFile(Path("real/x.csv")), "new,content\r\n");
  EXPECT_EQ(test::ReadFile(Path("x.csv")), "beside,the link\r\n");
  EXPECT_EQ(Entries("real"), (std::vector<std::string>{"sub", "x.csv"}));
}

TEST_F(Writer, ReplaceFileWritesTheContentAsIs) {
  std::string path = Path("settings.ini");
  test::WriteFile(path, "[Old]\r\n");
  ASSERT_TRUE(ReplaceFile(path, "[New]\nKey=1\n").ok);
  EXPECT_EQ(test::ReadFile(path), "[New]\nKey=1\n");
}

}  // namespace
}  // namespace cavel
