#include "core/SavePath.h"

#include "core/Messages.h"

namespace cavel {

std::string WithCsvExtension(const std::string& chosen, Dialogs& dialogs) {
  if (chosen.find('.') != std::string::npos) return chosen;
  if (!Ask(dialogs, std::string(msg::kAskAddExtension))) return chosen;
  return chosen + ".CSV";
}

}  // namespace cavel
