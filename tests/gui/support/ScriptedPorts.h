// Scripted stand-ins for the desktop ports, for GUI tests: each answers from
// a script and records what it was asked.
#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileDialogs.h"
#include "platform/Help.h"
#include "platform/Modal.h"
#include "platform/TopWindows.h"

namespace cavel::test {

// File dialogs: each request takes the next answer (a path, with the file
// type chosen in a save dialog, or nothing for Cancel); with no answer left
// the dialog is cancelled. Requests are kept.
class ScriptedFileDialogs : public FileDialogs {
 public:
  struct Asked {
    bool save = false;
    std::string title;
    std::string initialName;
    std::vector<FileFilter> filters;
    std::string folder;
  };

  void Answer(std::optional<std::string> path, std::size_t filter = 0) {
    answers_.push_back(path ? std::optional<SaveChoice>(SaveChoice{std::move(*path), filter}) : std::nullopt);
  }
  void Cancel() { answers_.push_back(std::nullopt); }

  std::optional<std::string> OpenFileName(const OpenFileRequest& request) override;
  std::optional<SaveChoice> SaveFileName(const SaveFileRequest& request) override;

  const std::vector<Asked>& asked() const { return asked_; }
  std::size_t pending() const { return answers_.size(); }

 private:
  std::optional<SaveChoice> Next();
  std::deque<std::optional<SaveChoice>> answers_;
  std::vector<Asked> asked_;
};

// Modal windows: shows the window, runs the next script on it while it is
// "modal", and closes it if the script did not (rejected). With no script
// the window is closed at once. The titles of the windows shown are kept.
class ScriptedModal : public ModalRunner {
 public:
  using Script = std::function<void(QDialog&)>;
  void Then(Script script) { scripts_.push_back(std::move(script)); }
  int RunModal(QDialog& window) override;
  const std::vector<QString>& shown() const { return shown_; }
  std::size_t pending() const { return scripts_.size(); }

 private:
  std::deque<Script> scripts_;
  std::vector<QString> shown_;
};

// Raising other applications' windows: records the classes asked for and
// finds those listed in `present`.
class RecordingTopWindows : public TopWindows {
 public:
  std::vector<std::string> present;
  std::vector<std::string> asked;
  bool RaiseByClass(const std::string& windowClass) override;
};

// The help system: records the files asked for; fails with `failure` when set.
class RecordingHelp : public Help {
 public:
  std::vector<std::string> asked;
  std::optional<std::string> failure;
  bool ShowContents(const std::string& helpFile, std::string& reason) override;
};

}  // namespace cavel::test
