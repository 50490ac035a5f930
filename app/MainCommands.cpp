#include "app/MainCommands.h"

#include "app/Main.h"
#include "core/Messages.h"

namespace cavel {

namespace {

constexpr Enable Off = Enable::Off, On = Enable::On, Kept = Enable::Kept;

// While a file is loaded or made.
constexpr Enablement kWithFile{Off, On, On};
// While a file is loaded; a new file leaves them as they were.
constexpr Enablement kWithLoadedFile{Off, On, Kept};
// While no file is loaded.
constexpr Enablement kWithoutFile{On, Off, Off};
// Off without a file; the find command turns it on.
constexpr Enablement kAfterFind{Off, Kept, Kept};
// Enabled while the undo history has a step to take (it tells each change).
constexpr Enablement kByHistory{Kept, Kept, Kept};

using K = CommandKind;
using T = TForm1;

constexpr MainCommand kCommands[] = {
    {K::Button, "BtnFileOpen", msg::kBtnFileOpen, nullptr, &T::MenuFileOpenClick},
    {K::Button, "BtnView", msg::kBtnView, nullptr, &T::MenuViewClick, kWithFile},
    {K::Button, "BtnEdit", msg::kBtnEdit, nullptr, &T::MenuEditClick, kWithFile},
    {K::Button, "BtnItemSet", msg::kBtnItemSet, nullptr, &T::MenuItemSetClick, kWithFile},
    {K::Button, "BtnExchange", msg::kBtnExchange, nullptr, &T::MenuExchangeClick, kWithFile},
    {K::Button, "BtnCreate", msg::kBtnCreate, nullptr, &T::MenuCreateClick, kWithoutFile},
    {K::Button, "BtnDispChg", msg::kBtnDispChg, nullptr, &T::BtnDispChgClick, kWithFile},

    {K::Menu, "MenuFile", msg::kMenuFile},
    {K::Item, "MenuFileOpen", msg::kMenuFileOpen, "Ctrl+O", &T::MenuFileOpenClick},
    {K::Submenu, "MenuReopen", msg::kMenuReopen, nullptr, nullptr, kWithLoadedFile},
    {K::SubItem, "MenuReopenShiftJis", msg::kMenuReopenShiftJis, nullptr, &T::MenuReopenShiftJisClick},
    {K::SubItem, "MenuReopenUtf8", msg::kMenuReopenUtf8, nullptr, &T::MenuReopenUtf8Click},
    {K::Item, "MenuOverWriteSave", msg::kMenuOverWriteSave, "Ctrl+S", &T::MenuOverWriteSaveClick, kWithFile},
    {K::Item, "MenuAnotherSave", msg::kMenuAnotherSave, nullptr, &T::MenuAnotherSaveClick, kWithFile},
    {K::Item, "MenuExit", msg::kMenuExit, nullptr, &T::MenuExitClick},
    {K::Separator, "MenuFileSeparate"},
    {K::Slots, "MenuFileOpen"},  // the recent files, MenuFileOpen1 .. MenuFileOpen9

    {K::Menu, "MenuDisp", msg::kMenuDisp},
    {K::Item, "MenuView", msg::kMenuView, "Ctrl+V", &T::MenuViewClick, kWithFile},
    {K::Item, "MenuEdit", msg::kMenuEdit, "Ctrl+E", &T::MenuEditClick, kWithFile},
    {K::Item, "MenuItemSet", msg::kMenuItemSet, nullptr, &T::MenuItemSetClick, kWithFile},
    {K::Item, "MenuExchange", msg::kMenuExchange, nullptr, &T::MenuExchangeClick, kWithFile},
    {K::Item, "MenuCreate", msg::kMenuCreate, nullptr, &T::MenuCreateClick, kWithoutFile},
    {K::Item, "MenuInport", msg::kMenuInport, nullptr, &T::MenuInportClick, kWithFile},
    {K::Item, "MenuConvert", msg::kMenuConvert, nullptr, &T::MenuConvertClick, kWithFile},
    {K::Item, "MenuSort", msg::kMenuSort, nullptr, &T::MenuSortClick, kWithFile},
    {K::Separator, "MenuDispSeparate1"},
    {K::Item, "MenuDispChg", msg::kMenuDispChg, "Ctrl+R", &T::MenuDispChgClick, kWithLoadedFile},
    {K::Item, "MenuGridWidthChg", msg::kMenuGridWidthChg, "Ctrl+W", &T::MenuGridWidthChgClick, kWithLoadedFile},
    {K::Item, "MenuGridWodthMem", msg::kMenuGridWodthMem, "Ctrl+M", &T::MenuGridWodthMemClick},
    {K::Separator, "MenuDispSeparate2"},
    {K::Item, "MenuUndo", msg::kMenuUndo, "Ctrl+Z", &T::MenuUndoClick, kByHistory},
    {K::Item, "MenuRedo", msg::kMenuRedo, "Ctrl+Y", &T::MenuRedoClick, kByHistory},
    {K::Item, "MenuCopy", msg::kMenuCopy, "Ctrl+C; Ctrl+Ins", &T::MenuCopyClick, kWithFile},
    {K::Item, "MenuPaste", msg::kMenuPaste, "Shift+Ins", &T::MenuPasteClick, kWithFile},

    {K::Menu, "MenuSearch", msg::kMenuSearch, nullptr, nullptr, kWithFile},
    {K::Item, "MenuFind", msg::kMenuFind, "Ctrl+F", &T::MenuFindClick, kWithFile},
    {K::Item, "MenuReFind", msg::kMenuReFind, "Ctrl+L", &T::MenuReFindClick, kAfterFind},
    {K::Item, "MenuReplace", msg::kMenuReplace, "Ctrl+H", &T::MenuReplaceClick, kWithFile},
    {K::Item, "MenuJump", msg::kMenuJump, "Ctrl+J", &T::MenuJumpClick, kWithFile},

    {K::Menu, "MenuOption", msg::kMenuOption},
    {K::Item, "MenuFormPos", msg::kMenuFormPos, nullptr, &T::MenuFormPosClick},
    {K::Item, "MenuFileOpenMem", msg::kMenuFileOpenMem, nullptr, &T::MenuFileOpenMemClick},
    {K::Item, "MenuGridSet", msg::kMenuGridSet, nullptr, &T::MenuGridSetClick},
    {K::Item, "MenuOptionSet", msg::kMenuOptionSet, nullptr, &T::MenuOptionSetClick},
    {K::Item, "MenuReadLimit", msg::kMenuReadLimit, nullptr, &T::MenuReadLimitClick},

    {K::Menu, "MenuHelp", msg::kMenuHelp},
    {K::Item, "MenuHelpDisp", msg::kMenuHelpDisp, nullptr, &T::MenuHelpDispClick},
};

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

}  // namespace cavel
