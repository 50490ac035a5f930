#include "windows/Sortset.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <vector>

#include "core/Dialogs.h"
#include "core/Messages.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"

namespace cavel {

namespace {

// A title is listed in full up to this many characters; the list is as
// wide as that.
constexpr int kSortItemChars = 20;

QRadioButton* SortRadio(QWidget* parent, QButtonGroup* group, const QString& name, std::string_view caption) {
  auto* radio = new QRadioButton(Utf8(caption), parent);
  radio->setObjectName(name);
  group->addButton(radio);
  return radio;
}

}  // namespace

TForm15::TForm15(MainHost& main)
    : ChildWindow(main, msg::kCaptionSort, QSize(kDesignWidth, kDesignHeight), kWinSort, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm15"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setFixedHeight(kPanelHeight);
  layout->addWidget(Panel1);
  const int top = (kPanelHeight - kButtonHeight) / 2;
  BtnCancel = new QPushButton(Utf8(msg::kBtnCancel), Panel1);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel->setGeometry(8, top, kButtonWidth, kButtonHeight);
  BtnExecute = new QPushButton(Utf8(msg::kBtnRun), Panel1);
  BtnExecute->setObjectName(QStringLiteral("BtnExecute"));
  BtnExecute->setGeometry(8 + kButtonWidth + 8, top, kButtonWidth, kButtonHeight);
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(BtnExecute, &QPushButton::clicked, this, [this] { BtnExecuteClick(); });

  auto* grid = new QGridLayout();
  grid->setContentsMargins(16, 12, 16, 12);
  grid->setHorizontalSpacing(12);
  grid->setVerticalSpacing(8);
  const std::string_view headers[] = {msg::kSortItemHeader, msg::kSortOrderHeader, msg::kSortKindHeader};
  grid->addWidget(new QLabel(Utf8(headers[0]), this), 0, 1);
  grid->addWidget(new QLabel(Utf8(headers[1]), this), 0, 2, 1, 2);
  grid->addWidget(new QLabel(Utf8(headers[2]), this), 0, 4, 1, 2);

  std::vector<QWidget*> tabOrder;
  for (int k = 0; k < kSortKeyCount; ++k) {
    KeyRow& row = KeyRows[static_cast<std::size_t>(k)];
    const QString n = QString::number(k + 1);
    row.label = new QLabel(Utf8(msg::SortKeyLabel(k + 1)), this);
    row.item = new QComboBox(this);
    row.item->setObjectName(QStringLiteral("ComboItem") + n);
    row.item->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    row.item->setMinimumContentsLength(kSortItemChars);
    auto* order = new QButtonGroup(this);
    row.ascending = SortRadio(this, order, QStringLiteral("RadioAscending") + n, msg::kAscending);
    row.descending = SortRadio(this, order, QStringLiteral("RadioDescending") + n, msg::kDescending);
    auto* kind = new QButtonGroup(this);
    row.asText = SortRadio(this, kind, QStringLiteral("RadioText") + n, msg::kSortAsText);
    row.asNumber = SortRadio(this, kind, QStringLiteral("RadioNumber") + n, msg::kSortAsNumber);
    QWidget* controls[] = {row.label, row.item, row.ascending, row.descending, row.asText, row.asNumber};
    for (int c = 0; c < 6; ++c) grid->addWidget(controls[c], k + 1, c);
    tabOrder.insert(tabOrder.end(), controls + 1, controls + 6);
  }
  grid->setColumnStretch(1, 1);
  layout->addLayout(grid);
  layout->addStretch();

  tabOrder.push_back(BtnCancel);
  tabOrder.push_back(BtnExecute);
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
  KeyHook& keys = Keys([this](QKeyEvent& e) { return FormKeyDown(e); });
  for (QWidget* w : tabOrder) keys.Bind(w);
}

Opening TForm15::FormDisp() {
  const std::vector<std::string> choices = ItemTitleChoices(State().Document);
  for (std::size_t k = 0; k < KeyRows.size(); ++k) {
    KeyRow& row = KeyRows[k];
    row.item->clear();
    row.item->addItem(Utf8(msg::kNoItem));
    for (const std::string& choice : choices) row.item->addItem(SjisDecode(choice));
    // The first key sorts by item 1 unless told otherwise.
    row.item->setCurrentIndex(k == 0 && !choices.empty() ? 1 : 0);
    row.ascending->setChecked(true);
    row.asText->setChecked(true);
  }
  KeyRows[0].item->setFocus();
  return Opening::Show;
}

SortKeys TForm15::ChosenKeys() const {
  SortKeys keys{};
  for (std::size_t k = 0; k < KeyRows.size(); ++k) {
    const KeyRow& row = KeyRows[k];
    keys[k].item = row.item->currentIndex() < 0 ? 0 : row.item->currentIndex();
    keys[k].descending = row.descending->isChecked();
    keys[k].kind = row.asNumber->isChecked() ? SortKind::Number : SortKind::Text;
  }
  return keys;
}

void TForm15::BtnExecuteClick() {
  if (SortDocument(State(), ChosenKeys(), Main().Dlg())) accept();
}

void TForm15::BtnCancelClick() { reject(); }

bool TForm15::FormKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    EscClose();
    return true;
  }
  if (IsEnter(key)) {
    if (focusWidget() == BtnCancel)
      BtnCancelClick();
    else if (Ask(Main().Dlg(), std::string(msg::kAskSort)))
      BtnExecuteClick();
    return true;
  }
  return false;
}

}  // namespace cavel
