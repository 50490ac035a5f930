#include "core/System.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace cavel {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return {};
}

std::string XdgFolder(const char* variable, std::string_view underHome) {
  if (const char* value = std::getenv(variable); value && value[0] == '/') return std::string(value) + "/cavel";
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  return home + "/" + std::string(underHome) + "/cavel";
}

std::string WorkingFolder() {
  std::unique_ptr<char, void (*)(void*)> cwd(::getcwd(nullptr, 0), ::free);
  return cwd ? std::string(cwd.get()) : std::string();
}

PathKind KindOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return PathKind::None;
  return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

bool IsFolder(const std::string& path) { return KindOf(path) == PathKind::Folder; }

bool FolderWritable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

bool OwnedByUser(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid();
}

}  // namespace cavel
