#include "windows/Replace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "core/Dialogs.h"
#include "core/Find.h"
#include "core/Messages.h"
#include "core/Sort.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"
#include "windows/MainGrid.h"

namespace cavel {

namespace {

// An editable combo box over a history: what is typed is what is taken.
QComboBox* HistoryCombo(QWidget* parent, const char* name) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QLatin1String(name));
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);
  return combo;
}

// The drop-down list of `combo` from `history` (its empty entries left
// out), the edit text `text`.
void ShowHistory(QComboBox& combo, const History3& history, const QString& text) {
  combo.clear();
  for (int i = 1; i <= 3; ++i)
    if (!history[i].empty()) combo.addItem(SjisDecode(history[i]));
  combo.setEditText(text);
}

// A text used again goes to the top once, not twice.
void Remember(History3& history, const std::string& text) {
  if (!text.empty() && history[1] != text) ShiftHistory(history, text);
}

}  // namespace

TForm16::TForm16(MainHost& main)
    : ChildWindow(main, msg::kCaptionReplace, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm16"));
  auto label = [this](const char* name, std::string_view caption) {
    auto* l = new QLabel(Utf8(caption), this);
    l->setObjectName(QLatin1String(name));
    return l;
  };
  auto check = [this](const char* name, std::string_view caption) {
    auto* c = new QCheckBox(Utf8(caption), this);
    c->setObjectName(QLatin1String(name));
    return c;
  };
  auto button = [this](const char* name, std::string_view caption, void (TForm16::*handler)()) {
    auto* b = new QPushButton(Utf8(caption), this);
    b->setObjectName(QLatin1String(name));
    connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
    return b;
  };
  LabelFind = label("LabelFind", msg::kFindLabel);
  LabelReplace = label("LabelReplace", msg::kReplacementLabel);
  LabelScope = label("LabelScope", msg::kScopeLabel);
  ComboFind = HistoryCombo(this, "ComboFind");
  ComboReplace = HistoryCombo(this, "ComboReplace");
  ComboScope = new QComboBox(this);
  ComboScope->setObjectName(QStringLiteral("ComboScope"));
  CheckCase = check("CheckCase", msg::kCheckCaseSensitive);
  CheckWholeItem = check("CheckWholeItem", msg::kCheckWholeItem);
  CheckRegex = check("CheckRegex", msg::kCheckRegex);
  BtnFindNext = button("BtnFindNext", msg::kBtnFindNext, &TForm16::BtnFindNextClick);
  BtnReplace = button("BtnReplace", msg::kBtnReplace, &TForm16::BtnReplaceClick);
  BtnReplaceAll = button("BtnReplaceAll", msg::kBtnReplaceAll, &TForm16::BtnReplaceAllClick);
  BtnClose = button("BtnClose", msg::kBtnClose, &TForm16::BtnCloseClick);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(12, 12, 12, 12);
  grid->setHorizontalSpacing(10);
  grid->setVerticalSpacing(6);
  grid->addWidget(LabelFind, 0, 0);
  grid->addWidget(ComboFind, 0, 1);
  grid->addWidget(LabelReplace, 1, 0);
  grid->addWidget(ComboReplace, 1, 1);
  grid->addWidget(LabelScope, 2, 0);
  grid->addWidget(ComboScope, 2, 1);
  grid->addWidget(CheckCase, 3, 1);
  grid->addWidget(CheckWholeItem, 4, 1);
  grid->addWidget(CheckRegex, 5, 1);
  grid->addWidget(BtnFindNext, 0, 2);
  grid->addWidget(BtnReplace, 1, 2);
  grid->addWidget(BtnReplaceAll, 2, 2);
  grid->addWidget(BtnClose, 5, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(6, 1);

  QWidget* const order[] = {ComboFind,  ComboReplace, ComboScope, CheckCase,     CheckWholeItem,
                            CheckRegex, BtnFindNext,  BtnReplace, BtnReplaceAll, BtnClose};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
  KeyHook& keys = Keys([this](QKeyEvent& e) { return FormKeyDown(e); });
  for (QWidget* w : order) keys.Bind(w);
  keys.Bind({ComboFind->lineEdit(), ComboReplace->lineEdit()});
}

void TForm16::FormDisp() {
  found_.reset();
  next_ = TextPlace{std::max(Main().ListSelection(), 0), 0};
  // The last text of this window, or at first the find command's.
  const std::string& find = findHistory_[1].empty() ? State().FindHistory[1] : findHistory_[1];
  ShowHistory(*ComboFind, findHistory_, SjisDecode(find));
  ShowHistory(*ComboReplace, replaceHistory_, SjisDecode(replaceHistory_[1]));
  ComboScope->clear();
  ComboScope->addItem(Utf8(msg::kScopeEveryItem));
  for (const std::string& choice : ItemTitleChoices(State().Document)) ComboScope->addItem(SjisDecode(choice));
  Place();
  ComboFind->setFocus();
  ComboFind->lineEdit()->selectAll();
  ShowModal();
}

std::optional<ReplaceQuery> TForm16::Query() {
  const QString findText = ComboFind->currentText(), replaceText = ComboReplace->currentText();
  SjisEncoded find = SjisEncode(findText), replacement = SjisEncode(replaceText);
  if (!find.ok() || !replacement.ok()) {
    Refuse(Main().Dlg(), msg::SearchNotShiftJis((find.unmappable + replacement.unmappable).toStdString()));
    return std::nullopt;
  }
  Remember(findHistory_, find.bytes);
  Remember(replaceHistory_, replacement.bytes);
  ShowHistory(*ComboFind, findHistory_, findText);
  ShowHistory(*ComboReplace, replaceHistory_, replaceText);
  ReplaceQuery query;
  query.find = std::move(find.bytes);
  query.replacement = std::move(replacement.bytes);
  query.caseSensitive = CheckCase->isChecked();
  query.wholeItem = CheckWholeItem->isChecked();
  query.regex = CheckRegex->isChecked();
  query.item = std::max(ComboScope->currentIndex(), 0);
  return query;
}

void TForm16::SearchFrom(const ReplaceQuery& query, TextPlace from) {
  ReplaceEnd end;
  found_ = FindNextMatch(State(), query, from, Main().Dlg(), &end);
  if (found_) {
    next_ = found_->After();
    Main().SelectListRow(found_->line);
    if (Main().Grid().ShowsFile()) Main().Grid().SetCurrentCell(found_->line + 1, found_->item);
  } else if (end == ReplaceEnd::NotFound) {
    // Told that there is no more: the next search starts from the top.
    next_ = TextPlace{};
  }
}

void TForm16::BtnFindNextClick() {
  if (const std::optional<ReplaceQuery> query = Query()) SearchFrom(*query, next_);
}

void TForm16::BtnReplaceClick() {
  const std::optional<ReplaceQuery> query = Query();
  if (!query) return;
  if (!found_) {
    SearchFrom(*query, next_);
    return;
  }
  const Found at = *found_;
  ReplaceEnd end;
  if (const std::optional<TextPlace> place = ReplaceAt(State(), *query, at, Main().Dlg(), &end)) {
    Main().ShowDocumentChange();
    SearchFrom(*query, *place);
  } else if (end == ReplaceEnd::Gone) {
    // The texts or options changed since the match was shown: what the
    // query finds from the same place.
    SearchFrom(*query, TextPlace{at.line, at.offset});
  }
  // A refusal said why; the match stays shown.
}

void TForm16::BtnReplaceAllClick() {
  const std::optional<ReplaceQuery> query = Query();
  if (!query || !ReplaceAll(State(), *query, Main().Dlg())) return;
  Main().ShowDocumentChange();
  found_.reset();
  next_ = TextPlace{State().CurrentLine, 0};
}

void TForm16::BtnCloseClick() { reject(); }

bool TForm16::FormKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    BtnCloseClick();
    return true;
  }
  if (IsEnter(key)) {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
      button->click();
    else
      BtnFindNextClick();
    return true;
  }
  return false;
}

void TForm16::keyPressEvent(QKeyEvent* event) {
  // Whatever has the focus, Esc closes here, without the question.
  if (IsEsc(*event)) {
    event->accept();
    BtnCloseClick();
    return;
  }
  ChildWindow::keyPressEvent(event);
}

void TForm16::FormClose() {
  ChildWindow::FormClose();
  found_.reset();
}

}  // namespace cavel
