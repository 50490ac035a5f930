// A window's commands as controls: the menus, menu items and buttons made
// from the window's command table, each found by its name, with the
// enabled state each takes in each of the window's control states.
//
// The table itself is the window's: a list of entries in the order the
// menu bar and the tool bar show them, each handed to Add. A command that
// two controls run (a menu item and its button) is two entries, since each
// control has enabled states of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QHBoxLayout;
class QMenu;
class QMenuBar;
class QPushButton;
class QString;
class QWidget;

namespace cavel {

// What the main window holds: no file (at start-up and after a refused
// load), a file it loaded, or a new file it made.
enum class ControlState { NoFile, FileLoaded, NewFile };

// A control's enabled state in one control state: off, on, or left as it was.
enum class Enable : std::uint8_t { Off, On, Kept };

struct Enablement {
  Enable noFile = Enable::On;
  Enable fileLoaded = Enable::On;
  Enable newFile = Enable::On;
  Enable In(ControlState state) const;
};

inline constexpr Enablement kAlways{};

// What an entry of a command table makes.
enum class CommandKind : std::uint8_t {
  Menu,       // a menu on the menu bar; the entries after it go into it
  Item,       // a menu item
  Submenu,    // a menu inside the menu, its items the SubItem entries after it
  SubItem,    // a menu item of the last submenu
  Separator,  // a line between menu items
  Slots,      // numbered menu items, hidden until shown (the recent files)
  Button,     // a button at the end of the tool bar
};

class CommandTable {
 public:
  // Menus go on `menus`; buttons `buttonHeight` pixels high on `bar`, as
  // children of `panel`.
  CommandTable(QMenuBar& menus, QHBoxLayout& bar, QWidget& panel, int buttonHeight);

  // Makes the control of one entry (not Slots). `shortcut` is portable
  // text ("Ctrl+O"; more than one separated by "; ", the first shown) or
  // nullptr; `run` is what an item or a button runs.
  void Add(CommandKind kind, const char* name, std::string_view caption, const char* shortcut, Enablement enabled,
           std::function<void()> run);
  // Makes `count` hidden items named `name` followed by 1 .. count; item i runs run(i).
  void AddSlots(const char* name, int count, const std::function<void(int)>& run);

  // Shows slot i of the slots `name` with `text` as its caption (plain
  // text: no '&' in it is taken for an accelerator), or hides it.
  void ShowSlot(std::string_view name, int i, bool shown, const QString& text);

  // Every control whose state in `state` is not Kept is enabled or disabled.
  void Apply(ControlState state);
  // One control enabled or disabled outside the control states (a command
  // that another command or a notice governs).
  void SetEnabled(std::string_view name, bool enabled);

  // The controls by name; nullptr for a name the table does not hold.
  QAction* Action(std::string_view name) const;  // an item, a slot or a separator
  QMenu* Menu(std::string_view name) const;
  QPushButton* Button(std::string_view name) const;

 private:
  struct Control {
    std::string name;
    QAction* action = nullptr;  // an item's, a separator's or a menu's
    QMenu* menu = nullptr;
    QPushButton* button = nullptr;
    Enablement enabled;
  };
  const Control* Find(std::string_view name) const;
  static void Enabled(const Control& control, bool enabled);

  QMenuBar& menus_;
  QHBoxLayout& bar_;
  QWidget& panel_;
  int buttonHeight_;
  QMenu* menu_ = nullptr;     // the menu the next items go into
  QMenu* submenu_ = nullptr;  // the submenu the next subitems go into
  std::vector<Control> controls_;
};

}  // namespace cavel
