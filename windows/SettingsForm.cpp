#include "windows/SettingsForm.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Messages.h"
#include "platform/QtText.h"

namespace cavel {

namespace {

constexpr int kEditHeight = 24;

}  // namespace

SettingsForm::SettingsForm(MainHost& main, std::string_view caption)
    : ChildWindow(main, caption, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel1->setGeometry(0, 0, kDesignWidth, kPanelHeight);
  const int top = (kPanelHeight - kButtonHeight) / 2;
  BtnCancel = new QPushButton(Utf8(msg::kBtnCancel), Panel1);
  BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
  BtnCancel->setGeometry(8, top, kButtonWidth, kButtonHeight);
  BtnSave = new QPushButton(Utf8(msg::kBtnSave), Panel1);
  BtnSave->setObjectName(QStringLiteral("BtnSave"));
  BtnSave->setGeometry(8 + kButtonWidth + 8, top, kButtonWidth, kButtonHeight);
  connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
  connect(BtnSave, &QPushButton::clicked, this, [this] { BtnSaveClick(); });
}

int SettingsForm::FormDisp() {
  FillControls();
  return ShowModal();
}

void SettingsForm::BtnCancelClick() { reject(); }

void SettingsForm::SaveDone() { accept(); }

bool SettingsForm::FormKeyDown(QKeyEvent& key) {
  if (IsEsc(key)) {
    EscClose();
    return true;
  }
  return false;
}

QCheckBox* SettingsForm::AddCheck(const char* name, std::string_view caption, int left, int top) {
  auto* box = new QCheckBox(Utf8(caption), this);
  box->setObjectName(QLatin1String(name));
  box->move(left, top);
  box->adjustSize();
  return box;
}

QLabel* SettingsForm::AddLabel(const char* name, std::string_view caption, int left, int top) {
  auto* label = new QLabel(Utf8(caption), this);
  label->setObjectName(QLatin1String(name));
  label->move(left, top);
  label->adjustSize();
  return label;
}

QLineEdit* SettingsForm::AddEdit(const char* name, int maxLength, int left, int top, int width) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QLatin1String(name));
  edit->setMaxLength(maxLength);
  edit->setGeometry(left, top, width, kEditHeight);
  return edit;
}

void SettingsForm::FinishControls(std::initializer_list<QWidget*> controls) {
  QWidget* previous = nullptr;
  for (QWidget* c : controls) {
    if (previous) setTabOrder(previous, c);
    previous = c;
    if (!first_) first_ = c;
  }
  if (previous) setTabOrder(previous, BtnCancel);
  setTabOrder(BtnCancel, BtnSave);
  KeyHook& keys = Keys([this](QKeyEvent& e) { return FormKeyDown(e); });
  keys.Bind({BtnCancel, BtnSave});
  for (QWidget* c : controls)
    if (qobject_cast<QCheckBox*>(c)) keys.Bind(c);
}

void SettingsForm::showEvent(QShowEvent* event) {
  ChildWindow::showEvent(event);
  if (first_) first_->setFocus(Qt::OtherFocusReason);
}

}  // namespace cavel
