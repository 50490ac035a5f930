#include "windows/Convert.h"

#include "core/Messages.h"

namespace cavel {

TForm10::TForm10(MainHost& main)
    : ChildWindow(main, msg::kCaptionConvert, QSize(kDesignWidth, kDesignHeight), kWinConvert, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm10"));
}

}  // namespace cavel
