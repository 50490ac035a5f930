#include "core/SavePath.h"

#include "core/Messages.h"
#include "core/System.h"

namespace cavel {

std::string AbsolutePath(const std::string& path) {
  if (path.empty()) return path;
  std::string full;
  if (path.front() != '/') {
    full = WorkingFolder();
    if (full.empty()) return path;
  }
  // Every part but "." and the empty ones, each after a "/".
  for (std::size_t at = 0; at <= path.size();) {
    std::size_t end = path.find('/', at);
    if (end == std::string::npos) end = path.size();
    const std::string_view part(path.data() + at, end - at);
    if (!part.empty() && part != ".") {
      if (full.empty() || full.back() != '/') full += '/';
      full += part;
    }
    at = end + 1;
  }
  if (full.empty()) full = "/";
  // A path that named a folder ("x/", "x/.") keeps saying so.
  if ((path.back() == '/' || path.ends_with("/.") || path == ".") && full.back() != '/') full += '/';
  return full;
}

std::string WithCsvExtension(const std::string& chosen, Dialogs& dialogs) {
  if (chosen.find('.') != std::string::npos) return chosen;
  if (!Ask(dialogs, std::string(msg::kAskAddExtension))) return chosen;
  return chosen + ".CSV";
}

}  // namespace cavel
