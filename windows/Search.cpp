#include "windows/Search.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <vector>

#include "core/Messages.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"

namespace cavel {

namespace {

// The characters of `text` (a surrogate pair is one), each with its
// Shift-JIS bytes; an unencodable character has none.
struct Piece {
  qsizetype start = 0;
  qsizetype length = 0;
  std::string bytes;
};

std::vector<Piece> Pieces(QStringView text) {
  std::vector<Piece> pieces;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
    SjisEncoded encoded = SjisEncode(text.mid(i, n));
    pieces.push_back(Piece{i, n, encoded.ok() ? std::move(encoded.bytes) : std::string()});
    i += n;
  }
  return pieces;
}

std::size_t Length(const Piece& p) { return p.bytes.empty() ? 1 : p.bytes.size(); }

// Holds the edit text to `limit` bytes of Shift-JIS as the user types or
// pastes: what does not fit is taken back from in front of the cursor, so a
// paste keeps its first characters.
class SjisByteLimit : public QValidator {
 public:
  SjisByteLimit(std::size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}

  State validate(QString& input, int& pos) const override {
    std::vector<Piece> pieces = Pieces(input);
    std::size_t total = 0;
    for (const Piece& p : pieces) total += Length(p);
    if (total <= limit_) return Acceptable;
    // The characters just before the cursor are the ones added last.
    std::size_t k = pieces.size();
    while (k > 0 && pieces[k - 1].start >= pos) --k;
    qsizetype cutEnd = pos, cutStart = pos;
    while (total > limit_ && k > 0) {
      --k;
      total -= Length(pieces[k]);
      cutStart = pieces[k].start;
    }
    if (total > limit_) return Invalid;
    input.remove(cutStart, cutEnd - cutStart);
    pos = static_cast<int>(cutStart);
    return Acceptable;
  }

 private:
  std::size_t limit_;
};

}  // namespace

FindTextBytes EncodeFindText(QStringView text) {
  FindTextBytes out;
  for (Piece& p : Pieces(text)) {
    if (p.bytes.empty()) {
      out.bytes += '?';
      out.encodable = false;
    } else {
      out.bytes += p.bytes;
    }
  }
  return out;
}

TForm5::TForm5(MainHost& main)
    : ComboDialog(main, msg::kCaptionSearch, QSize(kDesignWidth, kDesignHeight), msg::kFindLabel) {
  setObjectName(QStringLiteral("TForm5"));
  Label2->setText(Utf8(msg::kFindLimitLabel));
  ComboBox1->setValidator(new SjisByteLimit(kFindTextBytes, ComboBox1));
}

void TForm5::FormDisp(FindJump& commands, const ComboSetup& combo) {
  commands_ = &commands;
  ShowWith(SjisDecode(combo.text),
           {SjisDecode(combo.items[0]), SjisDecode(combo.items[1]), SjisDecode(combo.items[2])});
  commands_ = nullptr;
}

void TForm5::BtnOkClick() {
  if (commands_) {
    FindTextBytes text = EncodeFindText(ComboBox1->currentText());
    commands_->FindOk(std::move(text.bytes), text.encodable);
  }
  accept();
}

void TForm5::BtnCancelClick() {
  if (commands_) commands_->FindCancel();
  reject();
}

}  // namespace cavel
