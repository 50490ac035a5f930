#include "windows/Editdsp.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/Messages.h"
#include "platform/Fonts.h"
#include "platform/Placement.h"
#include "platform/QtText.h"

namespace cavel {

TForm6::TForm6(MainHost& main)
    : ChildWindow(main, msg::kCaptionEditdsp, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm6"));

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(kPanelHeight);
  BtnCancel = new QPushButton(Utf8(msg::kBtnCancel), Panel1);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel->setGeometry(0, 0, kButtonWidth, kPanelHeight);
  BtnCancel->setAutoDefault(false);
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setFont(SystemFont(kFontHeight));
  Memo1->setReadOnly(true);
  Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel1);
  layout->addWidget(Memo1, 1);

  Keys([this](QKeyEvent& key) { return FormKeyDown(key); }).Bind({Memo1, BtnCancel});
}

void TForm6::FormDisp(const std::optional<QString>& value, const Rect& bounds) {
  if (value) Memo1->setPlainText(*value);
  // A zoom left maximized last time opens over the record window again.
  setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
  ApplyBounds(*this, bounds);
  Memo1->moveCursor(QTextCursor::Start);
  Memo1->verticalScrollBar()->setValue(0);
  Memo1->setFocus(Qt::OtherFocusReason);
  ShowModal();
}

void TForm6::BtnCancelClick() { close(); }

bool TForm6::FormKeyDown(QKeyEvent& key) {
  if (CloseOrMaximizeKey(key)) return true;
  return false;
}

}  // namespace cavel
