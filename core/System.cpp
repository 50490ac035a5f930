#include "core/System.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

bool OnlyUserWrites(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) return false;
  if (st.st_mode & S_IWOTH) return false;
  return !(st.st_mode & S_IWGRP) || st.st_gid == ::getegid();
}

bool MakeFolders(const std::string& dir) {
  for (std::size_t at = dir.find('/', 1); at != std::string::npos; at = dir.find('/', at + 1))
    ::mkdir(dir.substr(0, at).c_str(), 0700);
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  if (::stat(dir.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) return true;
  errno = ENOTDIR;
  return false;
}

}  // namespace cavel
