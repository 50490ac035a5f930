#include "windows/Formpos.h"

#include "core/Messages.h"

namespace cavel {

TForm11::TForm11(MainHost& main)
    : ChildWindow(main, msg::kCaptionFormpos, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm11"));
}

}  // namespace cavel
