#include "windows/Gridset.h"

#include "core/Messages.h"

namespace cavel {

TForm13::TForm13(MainHost& main)
    : ChildWindow(main, msg::kCaptionGridset, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm13"));
}

}  // namespace cavel
