#include "support/ScriptedPorts.h"

#include <algorithm>

namespace cavel::test {

std::optional<SaveChoice> ScriptedFileDialogs::Next() {
  if (answers_.empty()) return std::nullopt;
  std::optional<SaveChoice> a = std::move(answers_.front());
  answers_.pop_front();
  return a;
}

std::optional<std::string> ScriptedFileDialogs::OpenFileName(const OpenFileRequest& request) {
  asked_.push_back(Asked{false, request.title, {}, request.filters, request.folder});
  std::optional<SaveChoice> a = Next();
  if (!a) return std::nullopt;
  return std::move(a->path);
}

std::optional<SaveChoice> ScriptedFileDialogs::SaveFileName(const SaveFileRequest& request) {
  asked_.push_back(Asked{true, request.title, request.initialName, request.filters, request.folder});
  return Next();
}

int ScriptedModal::RunModal(QDialog& window) {
  shown_.push_back(window.windowTitle());
  window.show();
  if (!scripts_.empty()) {
    Script script = std::move(scripts_.front());
    scripts_.pop_front();
    script(window);
  }
  if (window.isVisible()) window.reject();
  return window.result();
}

bool RecordingTopWindows::RaiseByClass(const std::string& windowClass) {
  asked.push_back(windowClass);
  return std::find(present.begin(), present.end(), windowClass) != present.end();
}

bool RecordingHelp::ShowContents(const std::string& helpFile, std::string& reason) {
  asked.push_back(helpFile);
  if (failure) {
    reason = *failure;
    return false;
  }
  return true;
}

}  // namespace cavel::test
