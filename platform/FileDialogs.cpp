#include "platform/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

#include "core/Cp932.h"
#include "core/DialogFolder.h"
#include "core/FileFormat.h"
#include "core/SavePath.h"
#include "platform/QtText.h"

namespace cavel {

namespace {

// Qt reads a filter's wildcards from its last parenthesised group and, with
// HideNameFilterDetails, shows only the text before that group. So the
// caption is shown exactly as given while the wildcards can differ from the
// ones the caption names ("*" behind "全ﾌｧｲﾙ(*.*)").
QStringList NameFilters(const std::vector<FileFilter>& filters) {
  QStringList list;
  for (const FileFilter& f : filters)
    list << Utf8(f.caption) + QStringLiteral(" (") + Utf8(f.patterns) + QStringLiteral(")");
  return list;
}

void Prepare(QFileDialog& dialog, const std::string& title, const std::vector<FileFilter>& filters) {
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  dialog.setWindowTitle(Utf8(title));
  dialog.setDefaultSuffix(QString());
  // Matching is without regard to case, so "*.CSV" also shows data.csv on
  // a case-sensitive file system.
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  if (!filters.empty()) {
    const QStringList list = NameFilters(filters);
    dialog.setNameFilters(list);
    dialog.selectNameFilter(list.front());
  }
}

QString FileName(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

std::optional<std::string> Run(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ChosenPath(dialog);
}

std::vector<FileFilter> FiltersOf(const auto& types) {
  std::vector<FileFilter> filters;
  for (const SaveType& t : types) filters.push_back({t.caption, t.patterns});
  return filters;
}

}  // namespace

std::optional<std::string> ChosenPath(const QFileDialog& dialog) {
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  // Never cleaned on paper: behind a symbolic link, "link/../new.csv" is a
  // file in the folder above the link's target, not one beside the link.
  const QByteArray bytes = QFile::encodeName(files.front());
  return AbsolutePath(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::size_t ChosenFilter(const QFileDialog& dialog) {
  // With the details hidden the dialog names the filter by its caption.
  const QString chosen = dialog.selectedNameFilter();
  const QStringList filters = dialog.nameFilters();
  for (qsizetype i = 0; i < filters.size(); ++i)
    if (filters[i] == chosen || filters[i].left(filters[i].lastIndexOf(QStringLiteral(" ("))) == chosen)
      return static_cast<std::size_t>(i);
  return 0;
}

std::vector<FileFilter> CsvFileFilters() {
  std::vector<FileFilter> filters = SaveAsFilters();
  filters.resize(2);
  return filters;
}

std::vector<FileFilter> SaveAsFilters() { return FiltersOf(SaveAsTypes()); }

void PrepareOpenDialog(QFileDialog& dialog, const OpenFileRequest& request) {
  Prepare(dialog, request.title, request.filters);
  if (!request.folder.empty()) dialog.setDirectory(FileName(request.folder));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // The name is typed freely; whether the file exists is the caller's test.
  dialog.setFileMode(QFileDialog::AnyFile);
}

void PrepareSaveDialog(QFileDialog& dialog, const SaveFileRequest& request) {
  Prepare(dialog, request.title, request.filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.folder.empty()) dialog.setDirectory(FileName(request.folder));
  if (!request.initialName.empty()) {
    const std::string& name = request.initialName;
    if (name.front() == '/') dialog.setDirectory(FileName(FolderOf(name)));
    dialog.selectFile(Utf8(ReadableFileName(name.substr(name.rfind('/') + 1))));
  }
}

std::optional<std::string> QtFileDialogs::OpenFileName(const OpenFileRequest& request) {
  QFileDialog dialog(parent_ ? parent_->window() : nullptr);
  PrepareOpenDialog(dialog, request);
  return Run(dialog);
}

std::optional<SaveChoice> QtFileDialogs::SaveFileName(const SaveFileRequest& request) {
  QFileDialog dialog(parent_ ? parent_->window() : nullptr);
  PrepareSaveDialog(dialog, request);
  std::optional<std::string> path = Run(dialog);
  if (!path) return std::nullopt;
  return SaveChoice{std::move(*path), ChosenFilter(dialog)};
}

}  // namespace cavel
