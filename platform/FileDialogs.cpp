#include "platform/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "core/Messages.h"
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

}  // namespace

std::optional<std::string> ChosenPath(const QFileDialog& dialog) {
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
  // Never cleaned on paper: behind a symbolic link, "link/../new.csv" is a
  // file in the folder above the link's target, not one beside the link.
  const QByteArray bytes = QFile::encodeName(files.front());
  return AbsolutePath(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::vector<FileFilter> CsvFileFilters() {
  return {{std::string(msg::kFilterCsv), "*.CSV"}, {std::string(msg::kFilterAll), "*"}};
}

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
    const QFileInfo info(FileName(request.initialName));
    if (info.isAbsolute()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
}

std::optional<std::string> QtFileDialogs::OpenFileName(const OpenFileRequest& request) {
  QFileDialog dialog(parent_ ? parent_->window() : nullptr);
  PrepareOpenDialog(dialog, request);
  return Run(dialog);
}

std::optional<std::string> QtFileDialogs::SaveFileName(const SaveFileRequest& request) {
  QFileDialog dialog(parent_ ? parent_->window() : nullptr);
  PrepareSaveDialog(dialog, request);
  return Run(dialog);
}

}  // namespace cavel
