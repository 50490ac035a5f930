#include "app/Startup.h"

#include <QApplication>

#include "core/Dialogs.h"
#include "core/Messages.h"
#include "core/SaveJournal.h"
#include "core/System.h"

namespace cavel {

Application::Application(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
  toolkitArgv_[0] = argc > 0 ? argv[0] : nullptr;
  toolkitArgc_ = argc > 0 ? 1 : 0;
  app_ = std::make_unique<QApplication>(toolkitArgc_, toolkitArgv_);
}

Application::~Application() = default;

bool FileExists(const std::string& path) { return KindOf(path) == PathKind::Other; }

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

void ReportInterruptedSaves(const std::string& stateFolder, Dialogs& dialogs) {
  std::vector<msg::LeftEntry> left;
  for (const RecoveredSave& save : RecoverInterruptedSaves(stateFolder)) {
    if (save.result == RecoveredSave::Result::Restored)
      Notice(dialogs, msg::SaveRestored(save.target));
    else if (save.result == RecoveredSave::Result::Kept)
      ErrorReport(dialogs, msg::SaveNotRestored(save.target, save.reason, save.copy));
    else
      left.push_back({save.target, save.reason});
  }
  if (!left.empty()) Notice(dialogs, msg::SaveRecordsLeft(left));
}

}  // namespace cavel
