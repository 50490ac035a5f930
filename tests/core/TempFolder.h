// A folder of the tests' own under the system's temporary folder, and the
// byte-exact reading and writing of files in it.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace cavel::test {

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Creates or replaces `path` with exactly `bytes`; false when that failed.
inline bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return out.good();
}

// The permission bits of `path`.
inline mode_t FileMode(const std::string& path) {
  struct stat st;
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// Sets (or, with nullptr, unsets) an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    if (const char* v = std::getenv(name)) old_ = v;
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Made fresh as "cavel-<tag>-XXXXXX"; removed with all it holds (made
// writable again first, for the tests that take permissions away).
class TempFolder {
 public:
  explicit TempFolder(std::string_view tag) {
    std::string tmpl = (std::filesystem::temp_directory_path() / ("cavel-" + std::string(tag) + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "cannot make a temporary folder";
    path_ = tmpl;
  }
  ~TempFolder() {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    for (const auto& e : fs::recursive_directory_iterator(path_, ec))
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return (std::filesystem::path(path_) / name).string(); }
  // The names in the folder (or in its sub-folder `sub`), sorted, so that
  // left-over temporary files show.
  std::vector<std::string> Entries(std::string_view sub = {}) const {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(sub.empty() ? path_ : File(sub)))
      out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::string path_;
};

}  // namespace cavel::test
