#include "windows/Formregi.h"

#include "core/Messages.h"

namespace cavel {

TForm12::TForm12(MainHost& main)
    : ChildWindow(main, msg::kCaptionFormregi, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm12"));
}

}  // namespace cavel
