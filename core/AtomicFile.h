// Replacing the content of a file: the one place where the program writes
// files. A save either leaves the file whole with its new content, or leaves
// it (and every other file) as it was and says why.
//
// Two ways lead there:
// - the rename path: a hidden temporary file beside the target
//   (".<name>.cavel-save-XXXXXX", the name cut to fit), flushed to disk and renamed over it, then
//   the folder flushed. Taken only where it keeps the file whole: the folder
//   takes new files, the file has one link, and its owner, group, mode and
//   extended attributes (the ACL among them) can all be given to the new one.
//   A new file always takes it.
// - the in-place path for every other file the user may write: the old bytes
//   are first copied into the state folder with a record of what the save is
//   about to do; the new size is reserved (fallocate, where the file system
//   has it) so that a full disk refuses before any byte changes; then the new
//   bytes are written, the file is cut to their length and flushed. A failure
//   after the first byte changed writes the old bytes back. The copy and the
//   record are removed once the save is over.
// A process killed during an in-place write leaves its copy and record behind;
// RecoverInterruptedSaves, run when the program starts, puts such files right
// when they hold exactly what the killed save left there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace cavel {

struct WriteOutcome {
  bool ok = true;
  std::string error;     // the system's reason when !ok
  std::string keptCopy;  // when the old bytes could not be written back: the file that holds them
};

// A file's new content, handed over in pieces, as often as it is asked for.
class FileContent {
 public:
  virtual ~FileContent() = default;
  virtual std::uint64_t Size() const = 0;
  // Calls `take` with each piece in order; false as soon as `take` returns false.
  virtual bool Pieces(const std::function<bool(std::string_view)>& take) const = 0;
};

// Replaces the content of the file `path` names; a symbolic link stays and
// the file behind it gets the content. A folder, a file the user may not
// write, a file system that takes no writes: refused, nothing changes. The
// in-place path keeps the old bytes in StateFolder().
WriteOutcome ReplaceFile(const std::string& path, const FileContent& content);
WriteOutcome ReplaceFile(const std::string& path, std::string_view content);

// Where the in-place path keeps old bytes: $XDG_STATE_HOME/cavel, else
// ~/.local/state/cavel.
std::string StateFolder();
// Creates `dir` and the folders above it that are missing, with mode 0700.
// False (with errno) when `dir` is not a folder afterwards.
bool MakeFolders(const std::string& dir);

// What the start-up recovery did with one interrupted in-place save, or
// with an entry of the state folder it did not trust.
struct RecoveredSave {
  enum class Result {
    Restored,  // the file held what a killed save leaves: its old bytes are back
    Kept,      // nothing was written to the file: its old bytes stay in `copy`
    Left,      // `target` names an entry (or the folder) not trusted: left as it is
  };
  Result result = Result::Restored;
  std::string target;  // the file that was being saved; Left: the entry
  std::string copy;    // Kept: the file holding the old bytes (empty: there was none)
  std::string reason;  // Kept, Left: why
};

// Finds the records that interrupted in-place saves left in `stateFolder`
// and puts their files right. Only what the user's own saves wrote is read:
// the folder, and each record and copy in it, must be the user's, written
// by nobody else and no link; anything else is left alone and reported.
// A file that holds the complete new content or its old content stays so;
// one that holds exactly what a killed save leaves gets its old bytes back;
// any other (changed after the save stopped, replaced, or with a record that
// proves nothing) is not written, and its copy is kept under a name of its
// own. Saves still running in another process of the program are left
// alone. Returns what the user must be told.
std::vector<RecoveredSave> RecoverInterruptedSaves(const std::string& stateFolder);

}  // namespace cavel
