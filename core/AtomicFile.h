// Replacing the content of a file: the one place where the program writes
// files. A save either leaves the file whole with its new content, or leaves
// it (and every other file) as it was and says why.
//
// Two ways lead there:
// - the rename path: a hidden temporary file beside the target
//   (".<name>.cavel-save-XXXXXX"), flushed to disk and renamed over it, then
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
// RecoverInterruptedSaves, run when the program starts, puts such files right.
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

// What the start-up recovery did with one interrupted in-place save.
struct RecoveredSave {
  enum class Result {
    Restored,  // the file had part of its new content: its old bytes are back
    Kept,      // the old bytes could not be written back: they stay in `copy`
  };
  Result result = Result::Restored;
  std::string target;  // the file that was being saved
  std::string copy;    // Kept: the file holding its old bytes
  std::string reason;  // Kept: why
};

// Finds the records that interrupted in-place saves left in `stateFolder`
// and puts their files right: a file that holds the complete new content
// stays so; any other gets its old bytes back. Saves still running in
// another process of the program are left alone. Returns what the user must
// be told (nothing for a save that had finished or never began).
std::vector<RecoveredSave> RecoverInterruptedSaves(const std::string& stateFolder);

}  // namespace cavel
