#include "windows/CellClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <string>
#include <vector>

#include "core/Dialogs.h"
#include "core/Messages.h"
#include "platform/Sjis.h"

namespace cavel {

void PutCellsOnClipboard(std::string_view text, std::string_view csv) {
  auto* data = new QMimeData;
  data->setText(SjisDecode(text));
  data->setData(QLatin1String(kCellsMimeType), QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
  QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<PastedCells> CellsFromClipboard(Dialogs& dialogs) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return PastedCells();
  if (data->hasFormat(QLatin1String(kCellsMimeType))) {
    const QByteArray csv = data->data(QLatin1String(kCellsMimeType));
    return ParsePasted(std::string_view(csv.constData(), static_cast<std::size_t>(csv.size())), PasteSeparator::Comma);
  }
  if (!data->hasText()) return PastedCells();
  const SjisEncoded encoded = SjisEncode(data->text());
  if (!encoded.ok()) {
    const QList<uint> codes = encoded.unmappable.toUcs4();
    Refuse(dialogs, msg::PasteNotShiftJis(std::vector<char32_t>(codes.begin(), codes.end())));
    return std::nullopt;
  }
  return ParsePasted(encoded.bytes);
}

}  // namespace cavel
