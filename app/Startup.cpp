#include "app/Startup.h"

#include <sys/stat.h>

#include "core/Dialogs.h"
#include "core/Messages.h"

namespace cavel {

bool FileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

CommandLine CheckCommandLine(const std::vector<std::string>& arguments, Dialogs& dialogs) {
  CommandLine result;
  if (arguments.size() > 1) {
    Refuse(dialogs, std::string(msg::kBadParameters));
    return result;
  }
  if (arguments.size() == 1) {
    if (!FileExists(arguments.front())) {
      Refuse(dialogs, msg::ArgumentFileMissing(arguments.front()));
      return result;
    }
    result.file = arguments.front();
  }
  result.run = true;
  return result;
}

}  // namespace cavel
