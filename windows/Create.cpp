#include "windows/Create.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/DialogFolder.h"
#include "core/Dialogs.h"
#include "core/Messages.h"
#include "core/SavePath.h"
#include "platform/FileDialogs.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"

namespace cavel {

namespace {

// The rows' geometry inside the scroll box.
constexpr int kLabelLeft = 16, kEditLeft = 80, kBoxHeight = 24;
constexpr int kRowButtonWidth = 90, kButton1Left = 294, kButton2Left = 390;

}  // namespace

TForm7::TForm7(MainHost& main)
    : ChildWindow(main, msg::kCaptionCreate, QSize(kDesignWidth, kDesignHeight), kWinCreate, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm7"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setWidgetResizable(false);
  layout->addWidget(ScrollBox1);

  auto* content = new QWidget(ScrollBox1);
  content->setObjectName(QStringLiteral("ScrollBox1Content"));
  content->setFixedSize(kEditLeft + kEditWidth + kLabelLeft, kLabelledRowPitch * kTitleBoxes + kBoxHeight + 8);

  Label90 = new QLabel(content);
  Label90->setObjectName(QStringLiteral("Label90"));
  Label90->setGeometry(kLabelLeft, 2, kButton1Left - kLabelLeft - 8, kBoxHeight);

  Button1 = new QPushButton(Utf8(msg::kBtnCancel), content);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(kButton1Left, 2, kRowButtonWidth, kBoxHeight);
  connect(Button1, &QPushButton::clicked, this, [this] { BtnCancelClick(); });

  Button2 = new QPushButton(Utf8(msg::kBtnSave), content);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(kButton2Left, 2, kRowButtonWidth, kBoxHeight);
  connect(Button2, &QPushButton::clicked, this, [this] { BtnSaveClick(); });

  Keys([this](QKeyEvent& e) { return FormKeyDown(e); }).Bind({Button1, Button2});
  static_assert(kTitleBoxes == kLabelledRows);
  const LabelledRows rows = MakeLabelledRows(
      content, RowShape{kLabelLeft, kEditLeft - kLabelLeft - 4, kEditLeft, kEditWidth, kBoxHeight}, this);
  Label = rows.labels;
  Edit = rows.edits;
  for (int i = 1; i <= kTitleBoxes; ++i) {
    Label[i]->setBuddy(Edit[i]);
    Keys().Bind(Edit[i]);
  }
  ScrollBox1->setWidget(content);
  // Typing starts in the first box; Tab walks the boxes, then the buttons.
  for (int i = 1; i < kTitleBoxes; ++i) QWidget::setTabOrder(Edit[i], Edit[i + 1]);
  QWidget::setTabOrder(Edit[kTitleBoxes], Button1);
  QWidget::setTabOrder(Button1, Button2);
}

void TForm7::FormDisp() {
  Label90->setText(Utf8(msg::kModeCreate));
  TitleKoumokuSet();
  EditKoumokuSet();
}

void TForm7::TitleKoumokuSet() {
  for (int i = 1; i <= kTitleBoxes; ++i) Label[i]->setText(Utf8(msg::CreateLabel(i)));
}

void TForm7::EditKoumokuSet() {
  for (int i = 1; i <= kTitleBoxes; ++i) Edit[i]->clear();
  composing_ = nullptr;
  ScrollBox1->verticalScrollBar()->setValue(0);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  Edit[1]->setFocus();
}

bool TForm7::EncodedTitles(std::vector<std::string>& titles) {
  titles.clear();
  for (int i = 1; i <= kTitleBoxes; ++i) {
    QLineEdit* edit = Edit[i];
    const QString text = edit->text();
    if (text.isEmpty()) break;
    SjisEncoded encoded = SjisEncode(text);
    if (!encoded.ok()) {
      Refuse(Main().Dlg(), msg::NotShiftJis(encoded.unmappable.toStdString()));
      ScrollBox1->ensureWidgetVisible(edit);
      edit->setFocus();
      return false;
    }
    titles.push_back(std::move(encoded.bytes));
  }
  return true;
}

void TForm7::BtnSaveClick() {
  std::vector<std::string> titles;
  if (!EncodedTitles(titles)) return;
  std::string line;
  switch (BuildTitleLine(titles, Main().Dlg(), line)) {
    case TitleLineResult::Built: break;
    case TitleLineResult::TooLong: close(); return;
    case TitleLineResult::NothingSet:
    case TitleLineResult::Faulty: return;
  }
  const SaveFileRequest request{
      std::string(msg::kTitleNewSave), std::string(), {}, OpenDialogFolder(State(), HomeFolder())};
  const std::optional<SaveChoice> chosen = Main().Files().SaveFileName(request);
  if (!chosen) return;
  RememberDialogFolder(State(), chosen->path);
  const std::string path = WithCsvExtension(chosen->path, Main().Dlg());
  // A write that fails has been reported; the titles stay for another try.
  if (!CreateNewFile(State(), path, line, Main().Dlg())) return;
  Main().SetControlState(ControlState::NewFile);
  close();
}

void TForm7::BtnCancelClick() { close(); }

bool TForm7::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  if (IsEnter(key)) {
    // Enter that ends an input method's conversion belongs to the typing.
    if (composing_) return false;
    if (Ask(Main().Dlg(), std::string(msg::kAskSave))) BtnSaveClick();
    return true;
  }
  return false;
}

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::InputMethod) {
    const auto* im = static_cast<QInputMethodEvent*>(event);
    composing_ = im->preeditString().isEmpty() ? nullptr : watched;
  } else if (event->type() == QEvent::FocusOut && watched == composing_) {
    composing_ = nullptr;
  }
  return ChildWindow::eventFilter(watched, event);
}

}  // namespace cavel
