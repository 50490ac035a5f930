#include "windows/View.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/Messages.h"
#include "platform/Fonts.h"
#include "platform/Keys.h"
#include "platform/Placement.h"
#include "platform/QtText.h"
#include "platform/Sjis.h"
#include "windows/Editdsp.h"
#include "windows/LabelledRows.h"

namespace cavel {

namespace {

constexpr int kLabel90Left = 5, kLabel90Top = 3, kLabel90Width = 150, kLabel90Height = 20;
constexpr int kRecordButtonTop = 0, kRecordButtonWidth = 75, kRecordButtonHeight = 25;
constexpr int kBtnCancelLeft = 170, kBtnPrevLeft = 245, kBtnNextLeft = 320, kBtnEditLeft = 395, kBtnSaveLeft = 470;

}  // namespace

TForm2::TForm2(MainHost& main)
    : ChildWindow(main, msg::kCaptionView, QSize(kDesignWidth, kDesignHeight), kWinView, Sizing::Resizable),
      record_(main.State()) {
  setObjectName(QStringLiteral("TForm2"));
  BuildControls();
  FormCreate();
}

void TForm2::FormCreate() { RecordCaption = windowTitle().toStdString(); }

void TForm2::BuildControls() {
  ScrollBox1 = new QScrollArea(this);
  ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setFocusPolicy(Qt::NoFocus);
  ScrollBox1->setWidgetResizable(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ScrollBox1);

  ScrollContents = new QWidget;
  ScrollContents->setObjectName(QStringLiteral("ScrollContents"));

  Label90 = new QLabel(ScrollContents);
  Label90->setObjectName(QStringLiteral("Label90"));
  Label90->setGeometry(kLabel90Left, kLabel90Top, kLabel90Width, kLabel90Height);
  Label90->setText(Utf8(msg::kModeView));

  auto button = [&](QPushButton*& b, const char* name, std::string_view text, int left, void (TForm2::*click)()) {
    b = new QPushButton(Utf8(text), ScrollContents);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, kRecordButtonTop, kRecordButtonWidth, kRecordButtonHeight);
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, [this, click] { (this->*click)(); });
    tabOrder_.push_back(b);
  };
  button(BtnCancel, "BtnCancel", msg::kBtnCancel, kBtnCancelLeft, &TForm2::BtnCancelClick);
  button(BtnPrev, "BtnPrev", msg::kBtnPrev, kBtnPrevLeft, &TForm2::BtnPrevClick);
  button(BtnNext, "BtnNext", msg::kBtnNext, kBtnNextLeft, &TForm2::BtnNextClick);
  button(BtnEdit, "BtnEdit", msg::kBtnRecordEdit, kBtnEditLeft, &TForm2::BtnEditClick);
  button(BtnSave, "BtnSave", msg::kBtnSave, kBtnSaveLeft, &TForm2::BtnSaveClick);

  const QFont font = SystemFont(kFontHeight);
  const LabelledRows rows = MakeLabelledRows(
      ScrollContents, RowShape{kLabelLeft, kLabelWidth, kEditLeft, kDesignEditWidth, kEditHeight}, this, &font);
  Labels = rows.labels;
  Edits = rows.edits;
  for (int n = 1; n <= kRows; ++n) {
    QLineEdit* edit = Edits[n];
    edit->setReadOnly(true);
    connect(edit, &QLineEdit::textEdited, this, [this, n] { edited_[n] = true; });
    tabOrder_.push_back(edit);
  }
  for (std::size_t i = 1; i < tabOrder_.size(); ++i) setTabOrder(tabOrder_[i - 1], tabOrder_[i]);

  ScrollBox1->setWidget(ScrollContents);
  Keys([this](QKeyEvent& key) { return FormKeyDown(key); });
  for (QWidget* control : tabOrder_) Keys().Bind(control);
  ResizeExecute();
}

// ---- opening -----------------------------------------------------------------------

Opening TForm2::FormDisp(RecordMode mode) {
  const bool opened = record_.Open(Main().Dlg(), mode, Main().ListSelection(), State().CurrentLine);
  ShowMode();
  if (!opened) return Opening::Refused;
  ShowTitleItems();
  ShowLineItems();
  EditBoxReadOnlyTrue();
  if (mode == RecordMode::Edit) EditBoxReadOnlyFalse();
  DispKoumokuSet();
  // Both modes show where they are: a caption left from an earlier opening
  // would name another line, or another file.
  ShowPositionCaption();
  ScrollBox1->verticalScrollBar()->setValue(0);
  ScrollBox1->horizontalScrollBar()->setValue(0);
  BtnCancel->setFocus(Qt::OtherFocusReason);
  return Opening::Show;
}

void TForm2::ShowMode() {
  Label90->setText(Utf8(record_.ModeLabel()));
  BtnEdit->setEnabled(record_.EditEnabled());
  BtnSave->setEnabled(record_.SaveEnabled());
}

void TForm2::ShowTitleItems() {
  const MainState& s = State();
  for (int n = 1; n <= kRows; ++n) Labels[n]->setText(SjisDecode(s.TitleItems[n]));
}

void TForm2::ShowLineItems() {
  const MainState& s = State();
  for (int n = 1; n <= kRows; ++n) {
    QLineEdit* edit = Edits[n];
    edit->setText(SjisDecode(s.LineItems[n]));
    edit->setCursorPosition(0);
    edited_[n] = false;
  }
}

void TForm2::ShowPositionCaption() {
  const MainState& s = State();
  setWindowTitle(Utf8(msg::PositionCaption(RecordCaption, s.CurrentFileName, s.CurrentLine)));
}

std::string TForm2::Caption() const { return windowTitle().toStdString(); }

void TForm2::DispKoumokuSet() {
  const int visible = record_.VisibleRows();
  for (int n = 1; n <= kRows; ++n) {
    Labels[n]->setVisible(n <= visible);
    Edits[n]->setVisible(n <= visible);
  }
  UpdateScrollExtent();
}

void TForm2::EditBoxReadOnlyTrue() {
  for (int n = 1; n <= kRows; ++n) Edits[n]->setReadOnly(true);
}

void TForm2::EditBoxReadOnlyFalse() {
  const int editable = std::min(record_.EditableRows(), kRows);
  for (int n = 1; n <= editable; ++n) Edits[n]->setReadOnly(false);
}

// ---- stepping -----------------------------------------------------------------------

void TForm2::ShowStep(const RecordWindow::Step& step) {
  if (step.titlesSet) ShowTitleItems();
  if (step.valuesSet) ShowLineItems();
  ShowPositionCaption();
}

void TForm2::BtnPrevClick() { ShowStep(record_.Prev(Main().Dlg())); }

void TForm2::BtnNextClick() { ShowStep(record_.Next(Main().Dlg())); }

// ---- edit mode and saving -----------------------------------------------------------

void TForm2::BtnEditClick() {
  record_.SwitchToEdit();
  EditBoxReadOnlyFalse();
  Label90->setText(Utf8(record_.ModeLabel()));
  BtnSave->setEnabled(record_.SaveEnabled());
  if (focusWidget() == BtnEdit) FocusControl(BtnCancel);
  BtnEdit->setEnabled(record_.EditEnabled());
}

TForm2::TypedValues TForm2::CollectValues() const {
  const MainState& s = State();
  TypedValues values;
  std::u32string unmappable;
  const int count = std::min(s.LineItemCount, kRows);
  values.boxes.resize(static_cast<std::size_t>(std::max(count, 0)));
  for (int n = 1; n <= count; ++n) {
    if (!edited_[n]) continue;
    const QString text = Edits[n]->text();
    // Typed and put back as it was: the original bytes still stand.
    if (text == SjisDecode(s.LineItems[n])) continue;
    SjisEncoded encoded = SjisEncode(text);
    if (!encoded.ok()) {
      for (char32_t c : encoded.unmappable.toUcs4())
        if (unmappable.find(c) == std::u32string::npos) unmappable += c;
      if (values.firstBad == 0) values.firstBad = n;
      continue;
    }
    values.boxes[static_cast<std::size_t>(n) - 1] = std::move(encoded.bytes);
  }
  values.unmappable = QString::fromUcs4(unmappable.data(), static_cast<qsizetype>(unmappable.size()));
  return values;
}

void TForm2::BtnSaveClick() {
  if (!record_.SaveEnabled()) return;
  TypedValues values = CollectValues();
  if (!values.unmappable.isEmpty()) {
    Refuse(Main().Dlg(), msg::NotShiftJis(values.unmappable.toStdString()));
    FocusControl(Edits[values.firstBad]);
    return;
  }
  if (record_.Save(Main().Dlg(), values.boxes)) accept();
}

void TForm2::BtnCancelClick() { close(); }

// ---- the zoom view ----------------------------------------------------------------

void TForm2::MemoDispClick() {
  if (!zoom_) return;
  std::optional<QString> value;
  QWidget* focused = focusWidget();
  for (int n = 1; n <= kRows; ++n)
    if (Edits[n] == focused) value = Edits[n]->text();
  zoom_->FormDisp(value, BoundsOf(*this));
}

// ---- keys ----------------------------------------------------------------------------

bool TForm2::FormKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    EscClose();
    return true;
  }
  if (key.key() == Qt::Key_PageUp) {
    BtnPrevClick();
    return true;
  }
  if (key.key() == Qt::Key_PageDown) {
    BtnNextClick();
    return true;
  }
  if (IsCtrlBracket(key)) {
    ToggleMaximized();
    return true;
  }
  if (IsEnterWith(key, Qt::ControlModifier) || IsEnterWith(key, Qt::ShiftModifier)) {
    MemoDispClick();
    return true;
  }
  if (IsEnter(key)) {
    // The question comes in edit mode only.
    if (record_.ConfirmSave(Main().Dlg())) BtnSaveClick();
    return true;
  }
  if (key.key() == Qt::Key_Down || key.key() == Qt::Key_Up) {
    const Qt::KeyboardModifiers held = HeldModifiers(key);
    if (held == Qt::ControlModifier)
      FocusControl(BtnCancel);
    else if (held != Qt::AltModifier)
      FocusNextControl(key.key() == Qt::Key_Down);
    return true;
  }
  return false;
}

void TForm2::FocusControl(QWidget* control) {
  if (!control) return;
  control->setFocus(Qt::OtherFocusReason);
  // The whole row in view, its label included (ensureWidgetVisible would
  // settle for a box's cursor).
  const QRect row(QPoint(0, control->mapTo(ScrollContents, QPoint(0, 0)).y()), QSize(1, control->height()));
  ScrollBox1->ensureVisible(0, row.center().y(), 0, row.height() / 2 + 1);
}

void TForm2::FocusNextControl(bool forward) {
  const auto n = static_cast<std::ptrdiff_t>(tabOrder_.size());
  auto at = std::find(tabOrder_.begin(), tabOrder_.end(), focusWidget());
  std::ptrdiff_t i = at == tabOrder_.end() ? (forward ? -1 : 0) : at - tabOrder_.begin();
  for (std::ptrdiff_t step = 0; step < n; ++step) {
    i = ((forward ? i + 1 : i - 1) % n + n) % n;
    QWidget* candidate = tabOrder_[static_cast<std::size_t>(i)];
    if (candidate->isEnabled() && !candidate->isHidden()) {
      FocusControl(candidate);
      return;
    }
  }
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int n = 1; n <= kRows; ++n) {
      QLineEdit* edit = Edits[n];
      if (watched != edit) continue;
      edit->setFocus(Qt::MouseFocusReason);
      MemoDispClick();
      return true;
    }
  }
  return ChildWindow::eventFilter(watched, event);
}

// ---- size ----------------------------------------------------------------------------

void TForm2::ResizeExecute() {
  const int width = std::max(this->width() - kEditWidthMargin, 0);
  for (int n = 1; n <= kRows; ++n) {
    QLineEdit* edit = Edits[n];
    edit->resize(width, edit->height());
  }
  UpdateScrollExtent();
}

void TForm2::UpdateScrollExtent() {
  int right = kBtnSaveLeft + kRecordButtonWidth, bottom = kRecordButtonTop + kRecordButtonHeight;
  for (int n = 1; n <= kRows; ++n) {
    QLineEdit* edit = Edits[n];
    if (edit->isHidden()) continue;
    right = std::max(right, edit->geometry().right() + 1);
    bottom = std::max(bottom, edit->geometry().bottom() + 1);
  }
  ScrollContents->resize(right, bottom);
}

void TForm2::resizeEvent(QResizeEvent* event) {
  ChildWindow::resizeEvent(event);
  ResizeExecute();
}

}  // namespace cavel
