#include "windows/Exchange.h"

#include "core/Messages.h"

namespace cavel {

TForm8::TForm8(MainHost& main)
    : ChildWindow(main, msg::kCaptionExchange, QSize(kDesignWidth, kDesignHeight), kWinExchange, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm8"));
}

}  // namespace cavel
