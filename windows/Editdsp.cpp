#include "windows/Editdsp.h"

#include "core/Messages.h"

namespace cavel {

TForm6::TForm6(MainHost& main)
    : ChildWindow(main, msg::kCaptionEditdsp, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm6"));
}

}  // namespace cavel
