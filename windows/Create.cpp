#include "windows/Create.h"

#include "core/Messages.h"

namespace cavel {

TForm7::TForm7(MainHost& main)
    : ChildWindow(main, msg::kCaptionCreate, QSize(kDesignWidth, kDesignHeight), kWinCreate, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm7"));
}

}  // namespace cavel
