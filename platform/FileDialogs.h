// Open and save file dialogs as a port. Paths are UTF-8 bytes as the file
// system names them. The program uses QtFileDialogs; tests script the
// answers (tests/gui/support/ScriptedFileDialogs.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

namespace cavel {

struct FileFilter {
  std::string caption;   // what the list of filters shows, e.g. "CSVﾌｧｲﾙ(*.CSV)"
  std::string patterns;  // blank-separated wildcards, e.g. "*.CSV"; matched without regard to case
};

// The filters of the main window's open and save dialogs: "CSVﾌｧｲﾙ(*.CSV)"
// (selected at first) and "全ﾌｧｲﾙ(*.*)", which shows every file, names
// without a dot included.
std::vector<FileFilter> CsvFileFilters();
// The save-as dialog's: those two, then one file type per format, in the
// order of core's SaveAsTypes (whose index the chosen filter is).
std::vector<FileFilter> SaveAsFilters();

struct OpenFileRequest {
  std::string title;
  std::vector<FileFilter> filters;  // the first is selected at first
  std::string folder;               // where the dialog starts; empty for the toolkit's choice
};

struct SaveFileRequest {
  std::string title;
  // A full path or a bare name; empty for none. Its file name shows
  // readable (a name in Shift-JIS bytes as its characters), so a dialog
  // given one serves as a confirmation of that file.
  std::string initialName;
  std::vector<FileFilter> filters;  // may be empty
  std::string folder;               // where the dialog starts when initialName has no folder
};

// What the user chose in a save dialog: the path, and the filter (file
// type) selected when the dialog was accepted, as an index into the
// request's filters (0 when it has none).
struct SaveChoice {
  std::string path;
  std::size_t filter = 0;
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // The chosen path, or nothing when the user cancelled. The open dialog
  // does not require the file to exist (the caller tests that); neither
  // dialog adds an extension or asks before overwriting.
  virtual std::optional<std::string> OpenFileName(const OpenFileRequest& request) = 0;
  virtual std::optional<SaveChoice> SaveFileName(const SaveFileRequest& request) = 0;
};

// The desktop's dialogs: Qt's own (not the platform's native ones), so that
// they behave the same everywhere, offscreen included.
class QtFileDialogs : public FileDialogs {
 public:
  explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::optional<std::string> OpenFileName(const OpenFileRequest& request) override;
  std::optional<SaveChoice> SaveFileName(const SaveFileRequest& request) override;

 private:
  QWidget* parent_;
};

// Sets up `dialog` for a request (title, filters, starting folder, no
// native dialog, no default suffix, no overwrite question). Shared by
// QtFileDialogs and tests.
void PrepareOpenDialog(QFileDialog& dialog, const OpenFileRequest& request);
void PrepareSaveDialog(QFileDialog& dialog, const SaveFileRequest& request);
// The path an accepted dialog gives, made absolute without removing any
// ".." (core/SavePath.h's AbsolutePath); nothing when it gives none.
std::optional<std::string> ChosenPath(const QFileDialog& dialog);
// The index of the filter selected in `dialog` among its filters (0 when
// none is).
std::size_t ChosenFilter(const QFileDialog& dialog);

}  // namespace cavel
