#include "windows/ComboDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Messages.h"
#include "platform/QtText.h"

namespace cavel {

namespace {

// The layout in the client area, in pixels.
constexpr int kMargin = 12;
constexpr int kLabelTop = 16, kLabel2Top = 40, kLabelWidth = 88, kLabelHeight = 20;
constexpr int kComboLeft = kMargin + kLabelWidth + 4, kComboTop = 14, kComboHeight = 24;
constexpr int kButtonWidth = 88, kButtonHeight = 28, kButtonGap = 8;

}  // namespace

ComboDialog::ComboDialog(MainHost& main, std::string_view caption, QSize designSize, std::string_view label)
    : ChildWindow(main, caption, designSize, 0, Sizing::Fixed) {
  const int width = designSize.width(), height = designSize.height();
  Label1 = new QLabel(Utf8(label), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setGeometry(kMargin, kLabelTop, kLabelWidth, kLabelHeight);
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(kMargin, kLabel2Top, kLabelWidth, kLabelHeight);

  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // No completion from the history: what is typed is what is taken.
  ComboBox1->setCompleter(nullptr);
  ComboBox1->setGeometry(kComboLeft, kComboTop, width - kComboLeft - kMargin, kComboHeight);

  const int top = height - kMargin - kButtonHeight;
  BtnCancel = new QPushButton(Utf8(msg::kBtnCancel), this);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel->setGeometry(width - kMargin - kButtonWidth, top, kButtonWidth, kButtonHeight);
  BtnOk = new QPushButton(Utf8(msg::kBtnOk), this);
  BtnOk->setObjectName(QStringLiteral("BtnOk"));
  BtnOk->setGeometry(width - kMargin - 2 * kButtonWidth - kButtonGap, top, kButtonWidth, kButtonHeight);
  connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  setTabOrder(ComboBox1, BtnOk);
  setTabOrder(BtnOk, BtnCancel);

  Keys([this](QKeyEvent& e) { return FormKeyDown(e); }).Bind({BtnOk, BtnCancel});
  auto* comboKeys = new KeyHook(this, [this](QKeyEvent& e) { return ComboBoxKeyDown(e); });
  comboKeys->Bind({ComboBox1, ComboBox1->lineEdit()});
}

bool ComboDialog::ComboBoxKeyDown(QKeyEvent& key) {
  if (IsEnter(key)) {
    BtnOkClick();
    return true;
  }
  if (IsEsc(key)) {
    BtnCancelClick();
    return true;
  }
  return false;
}

bool ComboDialog::FormKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    BtnCancelClick();
    return true;
  }
  if (IsEnter(key)) {
    if (focusWidget() == BtnCancel)
      BtnCancelClick();
    else
      BtnOkClick();
    return true;
  }
  return false;
}

void ComboDialog::ShowWith(const QString& text, const std::array<QString, 3>& items) {
  ComboBox1->clear();
  for (const QString& item : items) ComboBox1->addItem(item);
  ComboBox1->setEditText(text);
  ComboBox1->lineEdit()->selectAll();
  Place();
  ComboBox1->setFocus();
  ShowModal();
}

void ComboDialog::keyPressEvent(QKeyEvent* event) {
  // Whatever has the focus, Esc is ｷｬﾝｾﾙ here, without the question.
  if (IsEsc(*event)) {
    event->accept();
    BtnCancelClick();
    return;
  }
  ChildWindow::keyPressEvent(event);
}

}  // namespace cavel
