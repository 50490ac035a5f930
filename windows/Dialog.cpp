#include "windows/Dialog.h"

#include "core/Messages.h"

namespace cavel {

TForm14::TForm14(MainHost& main)
    : ChildWindow(main, msg::kCaptionDialog, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm14"));
}

}  // namespace cavel
