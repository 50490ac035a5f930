#include "windows/Jump.h"

#include "core/Messages.h"

namespace cavel {

TForm4::TForm4(MainHost& main)
    : ChildWindow(main, msg::kCaptionJump, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm4"));
}

}  // namespace cavel
