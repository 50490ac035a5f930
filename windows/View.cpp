#include "windows/View.h"

#include "core/Messages.h"

namespace cavel {

TForm2::TForm2(MainHost& main)
    : ChildWindow(main, msg::kCaptionView, QSize(kDesignWidth, kDesignHeight), kWinView, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm2"));
}

}  // namespace cavel
