#include "core/DialogFolder.h"

namespace cavel {

std::string FolderOf(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

namespace {

std::string NewestRecentFolder(const MainState& s, const FolderTest& isFolder) {
  const std::string& newest = s.OpenFileName[1];
  if (newest == kNone) return {};
  std::string folder = FolderOf(newest);
  return isFolder(folder) ? folder : std::string();
}

std::string OpenFileFolder(const MainState& s, const FolderTest& isFolder) {
  std::string folder = FolderOf(s.CurrentFileName);
  return isFolder(folder) ? folder : std::string();
}

// Past the open file's folder: the newest recent file's (with a file open
// that is mostly the same folder), else home.
std::string Fallback(const MainState& s, const std::string& home, const FolderTest& isFolder) {
  if (std::string recent = NewestRecentFolder(s, isFolder); !recent.empty()) return recent;
  return isFolder(home) ? home : std::string();
}

}  // namespace

std::string OpenDialogFolder(const MainState& s, const std::string& home, const FolderTest& isFolder) {
  if (isFolder(s.DialogFolder)) return s.DialogFolder;
  if (std::string open = OpenFileFolder(s, isFolder); !open.empty()) return open;
  return Fallback(s, home, isFolder);
}

std::string SaveDialogFolder(const MainState& s, const std::string& home, const FolderTest& isFolder) {
  if (std::string open = OpenFileFolder(s, isFolder); !open.empty()) return open;
  return OpenDialogFolder(s, home, isFolder);
}

void RememberDialogFolder(MainState& s, std::string_view chosenPath) {
  if (std::string folder = FolderOf(chosenPath); !folder.empty()) s.DialogFolder = std::move(folder);
}

}  // namespace cavel
