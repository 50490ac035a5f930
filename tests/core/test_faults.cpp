// Faults of the platform: a save that cannot finish (a folder that takes no
// new file, a full disk, a failed flush or rename, the process killed in the
// middle), a settings file that cannot be written, and a file that cannot be
// read when its turn comes. Each must leave what is on disk, and what is in
// memory, as it was, and say why.
//
// The tests run as root on the build machines, where permission bits do not
// hold. Faults come from what root cannot get around either (a path through
// a file, a link loop, a folder in place of the file, a small file system
// mounted for the test), from a child that gives up root before it acts,
// and from failures injected into write, pwrite, read, fsync, fallocate and
// rename: this program defines those functions itself, so the core library
// linked into it calls them, and they forward to the C library unless a test
// has armed them. An armed pause stops a save in the middle, for the test
// to kill the process there.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "Unprivileged.h"
#include "core/AtomicFile.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"
#include "core/GridFill.h"
#include "core/IniFile.h"
#include "core/MainState.h"
#include "core/Messages.h"
#include "core/SaveJournal.h"
#include "core/Settings.h"

namespace {

// What the armed functions do; all off by default. Only descriptors above 2
// are touched, so that the test's own output goes through.
struct Injection {
  long writeBytesLeft = -1;  // write() lets this many bytes through, then fails; -1: off
  int writeError = 0;
  long readCallsLeft = -1;  // read() succeeds this many times, then fails; -1: off
  int readError = 0;
  int fsyncError = 0;         // fsync() fails with this error; 0: off
  int renameError = 0;        // rename() fails with this error; 0: off
  int stallPipe = -1;         // after the first write that goes through: a byte to this pipe, then wait to be killed
  long pwriteBytesLeft = -1;  // pwrite() lets this many bytes through, then fails; -1: off
  int pwriteError = 0;
  long pwriteFailures = 0;  // how many calls fail before pwrite() works again; < 0: all
  int fallocateError = 0;   // fallocate() fails with this error; 0: off
  // A byte to this pipe, then wait to be killed: after the first pwrite()
  // that goes through (the file partly new), or at the fsync() after it
  // (the file wholly new).
  int pausePipe = -1;
  bool pauseAtFsync = false;
  bool pwriteSeen = false;
};
Injection injection;

[[noreturn]] void PauseForKill(int pipe) {
  char c = 1;
  (void)!::write(pipe, &c, 1);
  for (;;) ::pause();
}

template <typename Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t write(int fd, const void* buf, size_t n) {
  static const auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (fd > 2 && injection.writeBytesLeft >= 0) {
    if (injection.writeBytesLeft == 0) {
      errno = injection.writeError;
      return -1;
    }
    // A short write first, as a disk that fills up gives.
    n = std::min<size_t>(n, static_cast<size_t>(injection.writeBytesLeft));
    ssize_t r = real(fd, buf, n);
    if (r > 0) injection.writeBytesLeft -= r;
    return r;
  }
  ssize_t r = real(fd, buf, n);
  if (fd > 2 && r > 0 && injection.stallPipe >= 0) {
    char c = 1;
    (void)real(injection.stallPipe, &c, 1);
    for (;;) ::pause();
  }
  return r;
}

extern "C" ssize_t read(int fd, void* buf, size_t n) {
  static const auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
  if (fd > 2 && injection.readCallsLeft >= 0) {
    if (injection.readCallsLeft == 0) {
      errno = injection.readError;
      return -1;
    }
    --injection.readCallsLeft;
  }
  return real(fd, buf, n);
}

extern "C" ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
  static const auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  if (fd > 2 && injection.pwriteBytesLeft >= 0) {
    if (injection.pwriteBytesLeft == 0 && injection.pwriteFailures != 0) {
      if (injection.pwriteFailures > 0) --injection.pwriteFailures;
      errno = injection.pwriteError;
      return -1;
    }
    if (injection.pwriteBytesLeft > 0) n = std::min<size_t>(n, static_cast<size_t>(injection.pwriteBytesLeft));
    ssize_t r = real(fd, buf, n, at);
    if (r > 0 && injection.pwriteBytesLeft > 0) injection.pwriteBytesLeft -= r;
    return r;
  }
  ssize_t r = real(fd, buf, n, at);
  if (fd > 2 && r > 0) {
    injection.pwriteSeen = true;
    if (injection.pausePipe >= 0 && !injection.pauseAtFsync) PauseForKill(injection.pausePipe);
  }
  return r;
}

extern "C" int fallocate(int fd, int mode, off_t at, off_t size) {
  static const auto real = Next<int (*)(int, int, off_t, off_t)>("fallocate");
  if (injection.fallocateError) {
    errno = injection.fallocateError;
    return -1;
  }
  return real(fd, mode, at, size);
}

extern "C" int fsync(int fd) {
  static const auto real = Next<int (*)(int)>("fsync");
  if (injection.pausePipe >= 0 && injection.pauseAtFsync && injection.pwriteSeen) PauseForKill(injection.pausePipe);
  if (injection.fsyncError) {
    errno = injection.fsyncError;
    return -1;
  }
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
  static const auto real = Next<int (*)(const char*, const char*)>("rename");
  if (injection.renameError) {
    errno = injection.renameError;
    return -1;
  }
  return real(from, to);
}

namespace cavel {
namespace {

namespace fs = std::filesystem;

// Arms the injection for one scope.
struct Armed {
  explicit Armed(const Injection& what) { injection = what; }
  ~Armed() { injection = Injection{}; }
  Armed(const Armed&) = delete;
  Armed& operator=(const Armed&) = delete;
};

Injection FullDisk(long bytes) {
  Injection i;
  i.writeBytesLeft = bytes;
  i.writeError = ENOSPC;
  return i;
}

Lines BigDocument(std::size_t lines = 2000) {
  Lines doc;
  for (std::size_t i = 0; i < lines; ++i)
    doc.push_back(
        Line("\"" + std::to_string(i) + "\",\"" + std::string(1000 + i % 7, static_cast<char>('a' + i % 26)) + "\""));
  return doc;
}

std::string Joined(const Lines& lines) {
  std::string s;
  for (const auto& l : lines) s += std::string(l.view()) + "\r\n";
  return s;
}

class Faults : public ::testing::Test {
 protected:
  void TearDown() override { injection = Injection{}; }

  std::string Path(const std::string& name) const { return folder_.File(name); }
  std::vector<std::string> Entries(const std::string& folder = "") const { return folder_.Entries(folder); }

  // Runs `act` as a user whom permission bits bind (Unprivileged.h); false
  // when no such user can be had or reach the test's folder.
  bool AsUnprivileged(const std::function<std::string()>& act, std::string& text) const {
    if (!test::CanActUnprivileged(dir_)) return false;
    std::optional<std::string> out = test::AsUnprivileged(act);
    text = out.value_or("");
    return out.has_value();
  }

  // Any user may make the state folder, as in a home of their own.
  void SetUp() override { ASSERT_EQ(::chmod(stateHome_.path().c_str(), 01777), 0); }
  // What saves left in the state folder.
  std::vector<std::string> StateEntries() const {
    return fs::exists(state_) ? stateHome_.Entries("cavel") : std::vector<std::string>{};
  }

  test::TempFolder folder_{"faults"};
  const std::string dir_ = folder_.path();
  test::TempFolder stateHome_{"faults-state"};
  const std::string state_ = stateHome_.path() + "/cavel";
  test::EnvVar stateEnv_{"XDG_STATE_HOME", stateHome_.path().c_str()};
};

// A file with a second name, so that saves write it in place.
std::string TwoNames(const std::string& path, std::string_view content) {
  test::WriteFile(path, content);
  EXPECT_EQ(::link(path.c_str(), (path + ".link").c_str()), 0);
  return path;
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_ino;
}

// ---- saving -------------------------------------------------------------------------

TEST_F(Faults, ReadOnlyFolderTakesTheSaveInPlaceButNoNewFile) {
  const std::string folder = Path("readonly");
  fs::create_directory(folder);
  const std::string target = folder + "/data.csv";
  const std::string old = "\"old\",\"file\"\r\nno final line end";
  test::WriteFile(target, old);
  ASSERT_EQ(::chmod(target.c_str(), 0666), 0);  // the file itself may be written
  ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);  // the folder takes no new file
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);

  const Lines doc = BigDocument(50);
  std::string reasons;
  bool ran = AsUnprivileged(
      [&] {
        WriteOutcome over = WriteLines(target, doc);
        WriteOutcome fresh = WriteLines(folder + "/new.csv", doc);
        return std::string(over.ok ? "ok" : over.error) + "|" + (fresh.ok ? "ok" : fresh.error);
      },
      reasons);
  if (!ran) GTEST_SKIP() << "cannot act as an unprivileged user here, and root writes into any folder";
  EXPECT_EQ(reasons, std::string("ok|") + std::strerror(EACCES));
  EXPECT_TRUE(test::ReadFile(target) == Joined(doc));
  EXPECT_EQ(Entries("readonly"), std::vector<std::string>{"data.csv"});
  EXPECT_TRUE(StateEntries().empty());
}

TEST_F(Faults, SaveOntoAFullDiskLeavesTheOldFile) {
  const std::string target = Path("data.csv");
  const std::string old = Joined({"\"old\",\"file\"", "\"kept\",\"as is\""});
  test::WriteFile(target, old);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const Lines doc = BigDocument();  // about 2 MB: several blocks

  // The disk fills up at once, inside the first block, or after it.
  for (long room : {0L, 1000L, (1L << 20) + 17}) {
    SCOPED_TRACE(room);
    WriteOutcome out;
    {
      Armed armed(FullDisk(room));
      out = WriteLines(target, doc);
    }
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::strerror(ENOSPC));
    EXPECT_EQ(test::ReadFile(target), old);
    EXPECT_EQ(test::FileMode(target), 0640u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});  // no partial file left beside it
  }

  // A new file on a full disk is not created at all.
  {
    Armed armed(FullDisk(10));
    EXPECT_FALSE(WriteLines(Path("new.csv"), doc).ok);
  }
  EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});

  // With room again the same save goes through.
  ASSERT_TRUE(WriteLines(target, doc).ok);
  EXPECT_TRUE(test::ReadFile(target) == Joined(doc));
}

TEST_F(Faults, FailedFlushOrRenameLeavesTheOldFile) {
  const std::string target = Path("data.csv");
  const std::string old = "a,b\r\n";
  test::WriteFile(target, old);
  for (bool flush : {true, false}) {
    SCOPED_TRACE(flush ? "fsync fails" : "rename fails");
    Injection fault;
    (flush ? fault.fsyncError : fault.renameError) = EIO;
    WriteOutcome out;
    {
      Armed armed(fault);
      out = WriteLines(target, {"new,line"});
    }
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::strerror(EIO));
    EXPECT_EQ(test::ReadFile(target), old);
    EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});
  }
}

TEST_F(Faults, ProcessKilledInTheMiddleOfASaveLeavesTheOldFile) {
  const std::string old = Joined({"\"old\",\"file\"", "\"second\",\"line\""});
  const Lines doc = BigDocument(3000);  // about 3 MB: the first block is written, then the child stops
  std::string kanji;
  for (int i = 0; i < 80; ++i) kanji += "表";
  // A name so long that the temporary file's name must be cut to fit.
  for (const std::string& name : {std::string("data.csv"), kanji + ".csv"}) {
    SCOPED_TRACE(name.size());
    const std::string target = Path(name);
    test::WriteFile(target, old);
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(fds[0]);
      Injection stall;
      stall.stallPipe = fds[1];
      injection = stall;
      WriteLines(target, doc);
      ::_exit(3);  // not reached: the first write stops the child
    }
    ::close(fds[1]);
    char c = 0;
    ASSERT_EQ(::read(fds[0], &c, 1), 1) << "the child never wrote";
    ::close(fds[0]);
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(test::ReadFile(target), old);
    // What the child had written stays in its hidden temporary file, never in
    // the target; a later save is not disturbed by it.
    std::vector<std::string> names = Entries();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[1], name);
    const std::size_t mark = names[0].rfind(".cavel-save-");
    ASSERT_NE(mark, std::string::npos) << names[0];
    EXPECT_EQ(names[0].size(), mark + 18);
    EXPECT_EQ(names[0][0], '.');
    EXPECT_TRUE(name.starts_with(names[0].substr(1, mark - 1)));
    EXPECT_GE(mark - 1, std::min<std::size_t>(name.size(), 230));  // cut only as far as needed
    EXPECT_GT(fs::file_size(Path(names[0])), 0u);
    // The next save of the file takes it away.
    ASSERT_TRUE(WriteLines(target, doc).ok);
    EXPECT_TRUE(test::ReadFile(target) == Joined(doc));
    EXPECT_EQ(Entries(), std::vector<std::string>{name});
    fs::remove(target);
  }
}

TEST_F(Faults, KilledAtAnyMomentTheTargetIsWholeOldOrWholeNew) {
  const std::string target = Path("data.csv");
  const std::string old = "old\r\n";
  const Lines doc = BigDocument(4000);
  const std::string fresh = Joined(doc);
  for (int delayUs : {0, 200, 1000, 3000, 10000, 30000}) {
    SCOPED_TRACE(delayUs);
    test::WriteFile(target, old);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) ::_exit(WriteLines(target, doc).ok ? 0 : 1);
    std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string now = test::ReadFile(target);
    EXPECT_TRUE(now == old || now == fresh) << "a target of " << now.size() << " bytes";
    for (const std::string& name : Entries())
      if (name != "data.csv") fs::remove(Path(name));
  }
}

TEST_F(Faults, TargetThatIsNoFileIsRefused) {
  // A path through a file, and a folder in place of the file: root cannot
  // write there either.
  test::WriteFile(Path("plain"), "x");
  WriteOutcome through = WriteLines(Path("plain/data.csv"), {"a"});
  EXPECT_FALSE(through.ok);
  EXPECT_EQ(through.error, std::strerror(ENOTDIR));
  EXPECT_EQ(test::ReadFile(Path("plain")), "x");

  fs::create_directory(Path("folder.csv"));
  WriteOutcome folder = ReplaceFile(Path("folder.csv"), "a\r\n");
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.error, std::strerror(EISDIR));
  EXPECT_TRUE(fs::is_empty(Path("folder.csv")));
}

TEST_F(Faults, SmallFileSystemFullOrReadOnlyRefusesBeforeAnyByteChanges) {
  // A file system of 64 KB of the test's own where this machine lets root
  // mount one; elsewhere the disk fills up by injection.
  const std::string small = Path("small");
  fs::create_directory(small);
  const bool mounted = ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
  struct Unmount {
    std::string at;
    bool on;
    ~Unmount() {
      if (on) ::umount2(at.c_str(), MNT_DETACH);
    }
  } unmount{small, mounted};
  if (!mounted) std::cout << "(no file system of the test's own here: the full disk is injected)\n";

  const std::string old = Joined({"\"old\",\"file\"", "\"kept\",\"as is\""});
  const Lines doc = BigDocument(200);  // about 200 KB
  for (const char* name : {"renamed.csv", "in-place.csv"}) {
    SCOPED_TRACE(name);
    const bool inPlace = name[0] == 'i';
    const std::string target = small + "/" + name;
    inPlace ? (void)TwoNames(target, old) : (void)test::WriteFile(target, old);
    const ino_t inode = Inode(target);
    Injection full;
    if (!mounted) full = inPlace ? Injection{} : FullDisk(1000);
    if (!mounted && inPlace) full.fallocateError = ENOSPC;
    WriteOutcome out;
    {
      Armed armed(full);
      out = WriteLines(target, doc);
    }
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::strerror(ENOSPC));
    EXPECT_TRUE(out.keptCopy.empty());
    EXPECT_EQ(test::ReadFile(target), old);
    if (inPlace) {
      EXPECT_EQ(test::ReadFile(target + ".link"), old);
    }
    EXPECT_EQ(Inode(target), inode);
  }
  EXPECT_EQ(Entries("small"), (std::vector<std::string>{"in-place.csv", "in-place.csv.link", "renamed.csv"}));
  EXPECT_TRUE(StateEntries().empty());

  if (!mounted) return;
  ASSERT_EQ(::mount("tmpfs", small.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k"), 0);
  for (const char* name : {"renamed.csv", "in-place.csv", "new.csv"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(WriteLines(small + "/" + name, {"a"}).error, std::strerror(EROFS));
  }
  EXPECT_EQ(test::ReadFile(small + "/renamed.csv"), old);
  EXPECT_EQ(test::ReadFile(small + "/in-place.csv"), old);
  EXPECT_TRUE(StateEntries().empty());
}

TEST_F(Faults, InPlaceWriteThatFailsPartWayPutsTheOldBytesBack) {
  const std::string old = Joined({"\"old\",\"file\"", "no final line end"});
  const Lines doc = BigDocument(2000);  // about 2 MB

  // The disk fills up after the first bytes changed, and has room again for
  // the old ones: a file-size limit in a child (EFBIG), and an injected
  // failure of one write (ENOSPC).
  for (bool limit : {true, false}) {
    SCOPED_TRACE(limit ? "file-size limit" : "one write fails");
    const std::string target = TwoNames(Path(limit ? "limit.csv" : "full.csv"), old);
    const ino_t inode = Inode(target);
    if (limit) {
      const auto error = test::UnderFileSizeLimit(64 * 1024, [&] {
        WriteOutcome w = WriteLines(target, doc);
        return w.error + "|" + w.keptCopy;
      });
      EXPECT_EQ(error, std::string(std::strerror(EFBIG)) + "|");
    } else {
      Injection once;
      once.pwriteBytesLeft = 1000;
      once.pwriteError = ENOSPC;
      once.pwriteFailures = 1;
      Armed armed(once);
      WriteOutcome w = WriteLines(target, doc);
      EXPECT_FALSE(w.ok);
      EXPECT_EQ(w.error, std::strerror(ENOSPC));
      EXPECT_TRUE(w.keptCopy.empty());
    }
    EXPECT_EQ(test::ReadFile(target), old);
    EXPECT_EQ(test::ReadFile(target + ".link"), old);
    EXPECT_EQ(Inode(target), inode);
    EXPECT_TRUE(StateEntries().empty());
  }

  // The old bytes cannot be written back either: the report names the copy
  // that holds them, which stays for the user; no recovery takes it up.
  const std::string target = TwoNames(Path("stuck.csv"), old);
  Injection stuck;
  stuck.pwriteBytesLeft = 1000;
  stuck.pwriteError = EIO;
  stuck.pwriteFailures = -1;
  WriteOutcome w;
  {
    Armed armed(stuck);
    w = WriteLines(target, doc);
  }
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.error, std::strerror(EIO));
  ASSERT_EQ(StateEntries().size(), 1u);
  EXPECT_EQ(w.keptCopy, state_ + "/" + StateEntries()[0]);
  EXPECT_TRUE(w.keptCopy.starts_with(state_ + "/stuck.csv.") && w.keptCopy.ends_with(".kept")) << w.keptCopy;
  EXPECT_EQ(test::ReadFile(w.keptCopy), old);
  EXPECT_EQ(msg::SaveError(target, w.error, w.keptCopy),
            "   " + target + "\n\r   " + std::strerror(EIO) +
                "\n\r   元の内容は次のファイルに残っています : " + w.keptCopy + "           ");
  EXPECT_TRUE(RecoverInterruptedSaves(state_).empty());
  EXPECT_EQ(test::ReadFile(w.keptCopy), old);
}

TEST_F(Faults, InPlaceSaveWithNowhereToKeepTheOldBytesIsRefused) {
  const std::string target = TwoNames(Path("data.csv"), "old\r\n");
  test::WriteFile(Path("not-a-folder"), "x");
  {
    test::EnvVar state("XDG_STATE_HOME", Path("not-a-folder").c_str());
    WriteOutcome w = WriteLines(target, {"new"});
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.error, std::string(std::strerror(ENOTDIR)) + " (" + Path("not-a-folder") + "/cavel)");
    EXPECT_EQ(test::ReadFile(target), "old\r\n");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"data.csv", "data.csv.link", "not-a-folder"}));
  }
  // Nor does a state folder of another user's take them.
  fs::create_directories(state_);
  if (::chown(state_.c_str(), 1, 1) != 0) GTEST_SKIP() << "no folder of another user's can be made here";
  EXPECT_EQ(WriteLines(target, {"new"}).error, std::string(msg::kNotYours) + " (" + state_ + ")");
  EXPECT_EQ(test::ReadFile(target), "old\r\n");
  EXPECT_TRUE(StateEntries().empty());
}

TEST_F(Faults, RenameRefusedByASharedFolderWritesInPlace) {
  const std::string target = Path("data.csv");
  test::WriteFile(target, "old\r\n");
  const ino_t inode = Inode(target);
  Injection sticky;
  sticky.renameError = EPERM;
  WriteOutcome w;
  {
    Armed armed(sticky);
    w = WriteLines(target, {"new"});
  }
  EXPECT_TRUE(w.ok) << w.error;
  EXPECT_EQ(test::ReadFile(target), "new\r\n");
  EXPECT_EQ(Inode(target), inode);
  EXPECT_EQ(Entries(), std::vector<std::string>{"data.csv"});
  EXPECT_TRUE(StateEntries().empty());
}

// Saves `doc` over `target` (a file written in place) in a child that is
// killed after its first write (the file partly new) or at the flush (the
// file wholly new). While the child waits, the recovery of another start
// leaves its save alone.
void KillInTheMiddleOfASave(const std::string& target, const Lines& doc, bool atFsync, const std::string& state) {
  const bool alone = !fs::exists(state) || fs::is_empty(state);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(fds[0]);
    injection = Injection{};
    injection.pausePipe = fds[1];
    injection.pauseAtFsync = atFsync;
    WriteLines(target, doc);
    ::_exit(3);  // not reached
  }
  ::close(fds[1]);
  char byte = 0;
  ASSERT_EQ(::read(fds[0], &byte, 1), 1) << "the save never paused";
  ::close(fds[0]);
  if (alone) {
    EXPECT_TRUE(RecoverInterruptedSaves(state).empty());
  }
  ASSERT_EQ(::kill(child, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
}

TEST_F(Faults, KilledWithTheNewContentWholeTheNextStartLeavesIt) {
  const Lines doc = BigDocument(3000);
  const std::string target = TwoNames(Path("data.csv"), "old\r\n");
  KillInTheMiddleOfASave(target, doc, true, state_);
  EXPECT_EQ(StateEntries().size(), 2u);
  EXPECT_TRUE(RecoverInterruptedSaves(state_).empty());
  EXPECT_TRUE(test::ReadFile(target) == Joined(doc));
  EXPECT_TRUE(StateEntries().empty());
}

// What the next start writes after a save killed part-way, by what came
// between: only the user's own record of a file left exactly as the killed
// save left it gets its old bytes back.
TEST_F(Faults, TheNextStartRestoresOnlyWhatAKilledSaveOfTheUsersOwnLeft) {
  const std::string old = Joined({"\"old\",\"file\"", "\"second\",\"line\""});
  const Lines doc = BigDocument(3000);  // about 3 MB: killed after the first of three blocks
  const std::string target = Path("data.csv");
  auto entry = [&](std::string_view end) {
    for (const std::string& name : StateEntries())
      if (name.ends_with(end)) return state_ + "/" + name;
    return std::string();
  };
  auto chownAll = [&](uid_t uid, mode_t entries) {
    for (const std::string& name : StateEntries()) {
      EXPECT_EQ(::chown((state_ + "/" + name).c_str(), uid, 0), 0);
      EXPECT_EQ(::chmod((state_ + "/" + name).c_str(), entries), 0);
    }
    EXPECT_EQ(::chown(state_.c_str(), uid, 0), 0);
  };
  const auto nobody = test::NobodyIds();
  using R = RecoveredSave::Result;
  struct Case {
    const char* what;
    std::function<void()> between;
    R result;
    std::string_view reason;
    bool asNobody = false;  // the next start is nobody's
  };
  const Case cases[] = {
      {"nothing", [] {}, R::Restored, {}},
      {"a second run's save killed as well",  // both go back, the later first
       [&] { KillInTheMiddleOfASave(target, Lines(2000, Line(std::string(999, 'z'))), false, state_); },
       R::Restored,
       {}},
      {"the file typed into by hand", [&] { std::ofstream(target, std::ios::app) << "typed\r\n"; }, R::Kept,
       msg::kChangedAfterStop},
      {"a second run's save finished",  // two pages, as a killed save could leave
       [&] {
         ASSERT_TRUE(WriteLines(target, {std::string(4094, 's'), std::string(4094, 't')}).ok);
       },
       R::Kept, msg::kChangedAfterStop},
      {"the file replaced",
       [&] {
         test::WriteFile(Path("other.csv"), "another file\r\n");
         ASSERT_EQ(::rename(Path("other.csv").c_str(), target.c_str()), 0);
       },
       R::Kept, msg::kFileReplaced},
      {"a record of the old format",
       [&] {
         test::WriteFile(entry(".save"), "cavel in-place save 1\nfile 1 2\nold 3 4\nnew 5 6\npath " +
                                             std::to_string(target.size()) + "\n" + target + "\nend\n");
       },
       R::Kept, msg::kOldRecord},
      {"the copy changed", [&] { std::fstream(entry(".old"), std::ios::in | std::ios::out) << "x"; }, R::Kept,
       msg::kCopyDiffers},
      {"the state folder a link",
       [&] {
         fs::rename(state_, state_ + ".real");
         fs::create_directory_symlink(state_ + ".real", state_);
       },
       R::Left, msg::kIsLink},
      {"the state folder writable by the group",
       [&] { fs::permissions(state_, fs::perms::group_write, fs::perm_options::add); }, R::Left, msg::kOthersMayWrite},
      {"the record writable by others", [&] { ASSERT_EQ(::chmod(entry(".save").c_str(), 0602), 0); }, R::Left,
       msg::kOthersMayWrite},
      {"the copy given a second name", [&] { ASSERT_EQ(::link(entry(".old").c_str(), (state_ + "/x").c_str()), 0); },
       R::Left, msg::kOtherNames},
      {"root's state folder made another user's", [&] { chownAll(nobody->first, 0600); }, R::Left, msg::kNotYours},
      {"records planted for another user",
       [&] {
         ASSERT_EQ(::chown(target.c_str(), nobody->first, 0), 0);
         chownAll(0, 0644);
         ASSERT_EQ(::chmod(state_.c_str(), 0777), 0);
       },
       R::Left, msg::kNotYours, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.reason == msg::kNotYours && !nobody) continue;  // no other user to be had
    if (c.asNobody && !test::CanActUnprivileged(stateHome_.path())) continue;
    TwoNames(target, old);
    KillInTheMiddleOfASave(target, doc, false, state_);
    c.between();
    const std::string before = test::ReadFile(target);
    const std::vector<std::string> entries = StateEntries();
    ASSERT_TRUE(before != old);

    std::vector<RecoveredSave> notes;
    if (c.asNobody) {
      const auto text = test::AsUnprivileged([&] {
        std::string out;
        for (const RecoveredSave& n : RecoverInterruptedSaves(state_))
          out += std::to_string(int(n.result)) + "\t" + n.target + "\t" + n.reason + "\n";
        return out;
      });
      std::istringstream lines(text.value_or(""));
      for (std::string result, path, reason;
           std::getline(lines, result, '\t') && std::getline(lines, path, '\t') && std::getline(lines, reason);)
        notes.push_back({R(std::stoi(result)), path, {}, reason});
    } else {
      notes = RecoverInterruptedSaves(state_);
    }
    ASSERT_EQ(notes.size(), entries.size() / 2);  // one for each save, its record and copy
    for (const RecoveredSave& note : notes) {
      EXPECT_EQ(note.result, c.result);
      EXPECT_EQ(note.reason, c.reason);
    }
    if (c.result == R::Restored) {
      EXPECT_EQ(test::ReadFile(target), old);
      EXPECT_EQ(test::ReadFile(target + ".link"), old);
      EXPECT_TRUE(StateEntries().empty());
    } else {
      EXPECT_TRUE(test::ReadFile(target) == before);
    }
    if (c.result == R::Kept) {
      EXPECT_EQ(notes[0].target, target);
      EXPECT_TRUE(notes[0].copy.ends_with(".kept")) << notes[0].copy;
      EXPECT_EQ(StateEntries(), std::vector<std::string>{fs::path(notes[0].copy).filename()});
      if (c.reason != msg::kCopyDiffers) {
        EXPECT_EQ(test::ReadFile(notes[0].copy), old);
      }
    }
    if (c.result == R::Left) {
      EXPECT_TRUE(notes[0].target.starts_with(state_)) << notes[0].target;
      EXPECT_EQ(StateEntries(), entries);
    }
    // The start after is told the same of what was left, and nothing else.
    if (!c.asNobody) {
      EXPECT_EQ(RecoverInterruptedSaves(state_).size(), c.result == R::Left ? 1u : 0u);
    }
    fs::remove_all(state_);
    fs::remove_all(state_ + ".real");
    fs::remove(target);
    fs::remove(target + ".link");
  }
}

// ---- the settings file ------------------------------------------------------------------

class SettingsFaults : public Faults {
 protected:
  void SetUp() override {
    Faults::SetUp();
    ini_ = Path("CAVEL.INI");
    before_ =
        "; hand-written note\r\n[GridSet]\r\nColWidth=50\r\nExtra=kept\r\n"
        "[ResumeFileName]\r\n1=/d/a.csv\r\n[ResumeColumNum]\r\n1=64,84,120\r\n"
        "[Mine]\r\nx=1\r\n";
    test::WriteFile(ini_, before_);
  }
  std::string ini_;
  std::string before_;
};

TEST_F(SettingsFaults, HeldSettingsThatCannotBeWrittenLoseNothingOnDisk) {
  HeldSettings s;
  ReadIniFileValue(ini_, s);
  s.ColWidth = 99;
  s.OpenFileName[1] = "/d/new.csv";
  for (long room : {0L, 40L}) {
    WriteOutcome out;
    {
      Armed armed(FullDisk(room));
      out = WriteIniFileValue(ini_, s);
    }
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::strerror(ENOSPC));
    EXPECT_EQ(test::ReadFile(ini_), before_);
    EXPECT_EQ(Entries(), std::vector<std::string>{"CAVEL.INI"});
  }
  // The held values are still there to be written once the disk has room.
  ASSERT_TRUE(WriteIniFileValue(ini_, s).ok);
  HeldSettings back;
  ReadIniFileValue(ini_, back);
  EXPECT_EQ(back.ColWidth, 99);
  EXPECT_EQ(back.OpenFileName[1], "/d/new.csv");
  IniFile ini(ini_);
  ini.Load();
  EXPECT_EQ(ini.ReadString("GridSet", "Extra", ""), "kept");
  EXPECT_EQ(ini.ReadString("Mine", "x", ""), "1");
  EXPECT_EQ(ini.ReadString("ResumeColumNum", "1", ""), "64,84,120");
}

TEST_F(SettingsFaults, ColumnWidthsThatCannotBeStoredAreReportedAndLoseNothing) {
  MainState state;
  state.CurrentFileName = "/d/b.csv";
  state.Document = {"a,b,c", "1,2,3"};
  state.GridDisp = true;
  state.GridResum = false;
  ScriptedDialogs dialogs(mbYes);
  GridFill fill(state, dialogs, ini_);
  GridCells grid;
  ASSERT_TRUE(fill.ApplyTo(grid).has_value());
  ASSERT_TRUE(GridShowsFile(state, grid));
  const std::vector<int> widths = {40, 100, 120, 140};

  {
    Armed armed(FullDisk(0));
    EXPECT_FALSE(RememberGridWidths(state, dialogs, ini_, grid, widths));
  }
  ASSERT_EQ(dialogs.shown().size(), 2u);
  EXPECT_EQ(dialogs.shown()[0].text, msg::kAskStoreGridWidth);
  EXPECT_EQ(dialogs.shown()[1].text, msg::CannotWrite(ini_));
  EXPECT_EQ(dialogs.shown()[1].kind, MsgKind::Error);
  EXPECT_EQ(dialogs.shown()[1].buttons, static_cast<MsgButtons>(mbOK));
  EXPECT_EQ(test::ReadFile(ini_), before_);

  // At exit, without a question: the same report, the same file.
  dialogs.Clear();
  state.GridWidthSave = true;
  {
    Armed armed(FullDisk(100));
    EXPECT_FALSE(StoreGridWidthsAtExit(state, dialogs, ini_, grid, widths));
  }
  EXPECT_EQ(dialogs.texts(), std::vector<std::string>{msg::CannotWrite(ini_)});
  EXPECT_EQ(test::ReadFile(ini_), before_);
  EXPECT_EQ(Entries(), std::vector<std::string>{"CAVEL.INI"});

  // And with room, stored in front of the entry that was there.
  dialogs.Clear();
  EXPECT_TRUE(StoreGridWidthsAtExit(state, dialogs, ini_, grid, widths));
  EXPECT_TRUE(dialogs.shown().empty());
  IniFile ini(ini_);
  ini.Load();
  EXPECT_EQ(ini.ReadString("ResumeFileName", "1", ""), "/d/b.csv");
  EXPECT_EQ(ini.ReadString("ResumeColumNum", "1", ""), "40,100,120,140");
  EXPECT_EQ(ini.ReadString("ResumeFileName", "2", ""), "/d/a.csv");
  EXPECT_EQ(ini.ReadString("Mine", "x", ""), "1");
}

TEST_F(SettingsFaults, SettingsPathThatIsAFolderReadsAsDefaultsAndIsNotReplaced) {
  const std::string folder = Path("FOLDER.INI");
  fs::create_directory(folder);
  test::WriteFile(folder + "/inside", "keep");
  HeldSettings s;
  s.ColWidth = 12;
  ReadIniFileValue(folder, s);
  EXPECT_EQ(s.ColWidth, 84);  // the default
  WriteOutcome out = WriteIniFileValue(folder, s);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.error, std::strerror(EISDIR));
  EXPECT_EQ(test::ReadFile(folder + "/inside"), "keep");
}

TEST_F(SettingsFaults, SettingsFileInAReadOnlyFolder) {
  // The user's own file may be written: it is, in place. It may not:
  // refused, unchanged.
  const std::string folder = Path("config");
  fs::create_directory(folder);
  const std::string ini = folder + "/CAVEL.INI";
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  const auto nobody = test::NobodyIds();
  for (mode_t mode : {0644, 0444}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    test::WriteFile(ini, before_);
    if (nobody) {
      ASSERT_EQ(::chown(ini.c_str(), nobody->first, nobody->second), 0);
    }
    ASSERT_EQ(::chmod(ini.c_str(), mode), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    std::string reason;
    bool ran = AsUnprivileged(
        [&] {
          HeldSettings s;
          s.ColWidth = 99;
          WriteOutcome out = WriteIniFileValue(ini, s);
          return out.ok ? std::string("ok") : out.error;
        },
        reason);
    if (!ran) GTEST_SKIP() << "cannot act as an unprivileged user here, and root writes into any folder";
    if (mode == 0444) {
      EXPECT_EQ(reason, std::strerror(EACCES));
      EXPECT_EQ(test::ReadFile(ini), before_);
      continue;
    }
    EXPECT_EQ(reason, "ok");
    // (Read as text: the file is the unprivileged user's, not this one's.)
    const std::string written = test::ReadFile(ini);
    EXPECT_NE(written.find("ColWidth=99\r\n"), std::string::npos);
    EXPECT_NE(written.find("[Mine]\r\nx=1\r\n"), std::string::npos);
  }
  EXPECT_EQ(Entries("config"), std::vector<std::string>{"CAVEL.INI"});
  EXPECT_TRUE(StateEntries().empty());
}

// ---- reading ------------------------------------------------------------------------------

class LoadFaults : public Faults {
 protected:
  // Loads into a destination that holds an earlier Document.
  LoadOutcome Load(const std::string& path) {
    dest = {"old 0", "old 1"};
    return CsvLoader(path, kItemLimitWide, dialogs, dest);
  }
  void ExpectUnreadable(const LoadOutcome& outcome, int err) {
    EXPECT_EQ(outcome.result, LoadResult::Unreadable);
    EXPECT_EQ(outcome.error, std::strerror(err));
    EXPECT_EQ(dest, (Lines{"old 0", "old 1"}));
    EXPECT_TRUE(dialogs.shown().empty());
  }
  ScriptedDialogs dialogs;
  Lines dest;
};

TEST_F(LoadFaults, FileGoneOrChangedIntoSomethingElseBeforeItIsRead) {
  // Chosen as a file, then: removed; a link to nowhere; a link loop; a
  // folder; a file in place of its folder.
  const std::string chosen = Path("chosen.csv");
  test::WriteFile(chosen, "a,b\r\n");
  fs::remove(chosen);
  ExpectUnreadable(Load(chosen), ENOENT);

  fs::create_symlink(Path("nowhere.csv"), chosen);
  ExpectUnreadable(Load(chosen), ENOENT);
  fs::remove(chosen);

  fs::create_symlink(Path("loop2.csv"), Path("loop1.csv"));
  fs::create_symlink(Path("loop1.csv"), Path("loop2.csv"));
  ExpectUnreadable(Load(Path("loop1.csv")), ELOOP);

  fs::create_directory(chosen);
  ExpectUnreadable(Load(chosen), EISDIR);

  fs::create_directory(Path("sub"));
  test::WriteFile(Path("sub/in.csv"), "a,b\r\n");
  fs::remove_all(Path("sub"));
  test::WriteFile(Path("sub"), "now a file");
  ExpectUnreadable(Load(Path("sub/in.csv")), ENOTDIR);
}

TEST_F(LoadFaults, FileMadeUnreadableBeforeItIsRead) {
  const std::string path = Path("locked.csv");
  test::WriteFile(path, "a,b\r\n1,2\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  ASSERT_EQ(::chmod(dir_.c_str(), 0755), 0);
  std::string result;
  bool ran = AsUnprivileged(
      [&] {
        ScriptedDialogs quiet;
        Lines lines = {"old 0", "old 1"};
        LoadOutcome outcome = CsvLoader(path, kItemLimitWide, quiet, lines);
        bool untouched = lines == Lines{"old 0", "old 1"} && quiet.shown().empty();
        return std::string(outcome.result == LoadResult::Unreadable ? "unreadable" : "read") + "|" + outcome.error +
               "|" + (untouched ? "untouched" : "changed");
      },
      result);
  if (!ran) GTEST_SKIP() << "cannot act as an unprivileged user here, and root reads any file";
  EXPECT_EQ(result, std::string("unreadable|") + std::strerror(EACCES) + "|untouched");
}

TEST_F(LoadFaults, ReadFailingPartWayKeepsNothingOfTheFile) {
  // Four reads' worth of good lines; the third read fails.
  const std::string item = "\"" + std::string(2000, 'x') + "\",";
  Lines lines(1400, Line(item + item + item + "\"y\""));
  const std::string path = Path("big.csv");
  test::WriteFile(path, Joined(lines));
  for (long good : {0L, 2L}) {
    SCOPED_TRACE(good);
    Injection fault;
    fault.readCallsLeft = good;
    fault.readError = EIO;
    LoadOutcome outcome;
    {
      Armed armed(fault);
      outcome = Load(path);
    }
    ExpectUnreadable(outcome, EIO);
  }
  // Nothing was held back: the same file reads whole afterwards.
  EXPECT_EQ(Load(path).result, LoadResult::Loaded);
  EXPECT_TRUE(dest == lines);
}

TEST_F(LoadFaults, FifoWithoutWriterDoesNotHang) {
  const std::string fifo = Path("pipe.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Nothing will ever be written: the load ends at once with what it read.
  auto start = std::chrono::steady_clock::now();
  LoadOutcome outcome = Load(fifo);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(outcome.result, LoadResult::Loaded);
  EXPECT_TRUE(dest.empty());
}

}  // namespace
}  // namespace cavel
