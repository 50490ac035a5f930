#include "windows/CommandTable.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QString>

#include "platform/QtText.h"
#include "windows/ButtonBar.h"

namespace cavel {

Enable Enablement::In(ControlState state) const {
  switch (state) {
    case ControlState::NoFile: return noFile;
    case ControlState::FileLoaded: return fileLoaded;
    case ControlState::NewFile: return newFile;
  }
  return Enable::Kept;
}

CommandTable::CommandTable(QMenuBar& menus, QHBoxLayout& bar, QWidget& panel, int buttonHeight)
    : menus_(menus), bar_(bar), panel_(panel), buttonHeight_(buttonHeight) {}

void CommandTable::Add(CommandKind kind, const char* name, std::string_view caption, const char* shortcut,
                       Enablement enabled, std::function<void()> run) {
  Control control{name, nullptr, nullptr, nullptr, enabled};
  switch (kind) {
    case CommandKind::Menu:
      menu_ = menus_.addMenu(Utf8(caption));
      menu_->setObjectName(QLatin1String(name));
      control.menu = menu_;
      control.action = menu_->menuAction();
      break;
    case CommandKind::Submenu:
      submenu_ = menu_->addMenu(Utf8(caption));
      submenu_->setObjectName(QLatin1String(name));
      control.menu = submenu_;
      control.action = submenu_->menuAction();
      break;
    case CommandKind::Item:
    case CommandKind::SubItem:
      control.action = (kind == CommandKind::SubItem ? submenu_ : menu_)->addAction(Utf8(caption));
      control.action->setObjectName(QLatin1String(name));
      if (shortcut)
        control.action->setShortcuts(QKeySequence::listFromString(QLatin1String(shortcut), QKeySequence::PortableText));
      QObject::connect(control.action, &QAction::triggered, control.action, [run = std::move(run)] { run(); });
      break;
    case CommandKind::Separator:
      control.action = menu_->addSeparator();
      control.action->setObjectName(QLatin1String(name));
      control.enabled = {Enable::Kept, Enable::Kept, Enable::Kept};
      break;
    case CommandKind::Slots: return;  // AddSlots
    case CommandKind::Button:
      control.button = AddBarButton(bar_, &panel_, name, caption, buttonHeight_);
      QObject::connect(control.button, &QPushButton::clicked, control.button, [run = std::move(run)] { run(); });
      break;
  }
  controls_.push_back(std::move(control));
}

void CommandTable::AddSlots(const char* name, int count, const std::function<void(int)>& run) {
  // A separator above the slots stands even while all of them are hidden.
  menu_->setSeparatorsCollapsible(false);
  for (int i = 1; i <= count; ++i) {
    const std::string slotName = name + std::to_string(i);
    Add(CommandKind::Item, slotName.c_str(), {}, nullptr, kAlways, [run, i] { run(i); });
    controls_.back().action->setVisible(false);
  }
}

void CommandTable::ShowSlot(std::string_view name, int i, bool shown, const QString& text) {
  QAction* slot = Action(std::string(name) + std::to_string(i));
  if (!slot) return;
  if (shown) slot->setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
  slot->setVisible(shown);
}

void CommandTable::Enabled(const Control& control, bool enabled) {
  if (control.button)
    control.button->setEnabled(enabled);
  else
    control.action->setEnabled(enabled);
}

void CommandTable::Apply(ControlState state) {
  for (const Control& control : controls_) {
    const Enable enable = control.enabled.In(state);
    if (enable != Enable::Kept) Enabled(control, enable == Enable::On);
  }
}

void CommandTable::SetEnabled(std::string_view name, bool enabled) {
  if (const Control* control = Find(name)) Enabled(*control, enabled);
}

const CommandTable::Control* CommandTable::Find(std::string_view name) const {
  for (const Control& control : controls_)
    if (control.name == name) return &control;
  return nullptr;
}

QAction* CommandTable::Action(std::string_view name) const {
  const Control* control = Find(name);
  return control && !control->menu ? control->action : nullptr;
}

QMenu* CommandTable::Menu(std::string_view name) const {
  const Control* control = Find(name);
  return control ? control->menu : nullptr;
}

QPushButton* CommandTable::Button(std::string_view name) const {
  const Control* control = Find(name);
  return control ? control->button : nullptr;
}

}  // namespace cavel
