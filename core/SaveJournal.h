// The journal of the in-place saves, in the state folder
// ($XDG_STATE_HOME/cavel, else ~/.local/state/cavel): before a save writes
// over a file, it copies the file's old bytes there and writes a record of
// what it is about to do (core/SaveRecord); once it is over, both go. A save
// killed on the way leaves them, and the next start puts its file right.
//
// The state folder's names: a save's entries are "<name>.XXXXXX" (the
// file's name, cut to fit, and six random characters) and an end:
//   .old   the copy of the old bytes, locked while the save runs
//   .part  the record while it is written; .save once it is whole
//   .kept  a copy that was not written back, left to the user
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Posix.h"
#include "core/SaveRecord.h"

namespace cavel {

std::string StateFolder();

// The copy of a file's old bytes and the record of one save under way.
class Journal {
 public:
  // Copies the old bytes of `fd` into the state folder `folder` and writes
  // `record` (its old size and hash filled in), both flushed to disk. False
  // with `error` set when either cannot be made, or when the folder is not
  // one the user may trust (a folder of their own, no link, that nobody
  // else may write).
  bool Begin(const std::string& folder, const std::string& base, SaveRecord record, int fd, std::string& error);
  // Writes the old bytes back into `fd`.
  bool Restore(int fd) const;
  // The save is over: the record goes first, so that a record never stands
  // without its copy.
  void Remove();
  // The old bytes could not be written back: the copy stays for the user.
  // Its path.
  std::string Keep();

 private:
  std::string folder_, stem_;
  Fd dir_, copyFd_;
  bool recordMade_ = false;
  std::uint64_t size_ = 0;
};

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
