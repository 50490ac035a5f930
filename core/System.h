// What the core asks of the operating system besides reading and writing
// files (the loader reads them, AtomicFile writes them): the environment,
// the user's home, the working folder, what a path names, and the making of
// folders.
#pragma once

#include <string>
#include <string_view>

namespace cavel {

// The user's home folder: $HOME when it holds an absolute path, else the
// user database's entry; empty when neither is known.
std::string HomeFolder();

// "$<variable>/cavel" when the variable holds an absolute path, else
// "<home>/<underHome>/cavel"; empty when there is no home either.
std::string XdgFolder(const char* variable, std::string_view underHome);

// The working folder; empty when it cannot be had.
std::string WorkingFolder();

// What a path names, symbolic links followed: nothing that can be reached,
// a folder, or anything else (a file, a device, a pipe).
enum class PathKind { None, Folder, Other };
PathKind KindOf(const std::string& path);
bool IsFolder(const std::string& path);

// Whether the user may create and replace files in the folder `dir`.
bool FolderWritable(const std::string& dir);
// Whether `path` (links followed) belongs to the user the program runs as.
bool OwnedByUser(const std::string& path);
// Whether the open file `fd` is the user's own and no other user may write
// it: not others, and its group only when that is the user's own group.
bool OnlyUserWrites(int fd);

// Creates `dir` and the folders above it that are missing, with mode 0700.
// False (with errno) when `dir` is not a folder afterwards.
bool MakeFolders(const std::string& dir);

}  // namespace cavel
