// Replacing the content of a file: the one way the program writes files. A
// save either leaves the file whole with its new content, or leaves it (and
// every other file) as it was and says why.
//
// Two ways lead there:
// - the rename path: a hidden temporary file beside the target
//   (".<name>.cavel-save-XXXXXX", the name cut to fit), flushed to disk and
//   renamed over it, then the folder flushed. Taken only where it keeps the file whole: the folder
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
// RecoverInterruptedSaves (core/SaveJournal), run when the program starts,
// puts such files right when they hold exactly what the killed save left.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

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
// in-place path keeps the old bytes in the state folder (core/SaveJournal).
WriteOutcome ReplaceFile(const std::string& path, const FileContent& content);
WriteOutcome ReplaceFile(const std::string& path, std::string_view content);

}  // namespace cavel
