#include "windows/Search.h"

#include "core/Messages.h"

namespace cavel {

TForm5::TForm5(MainHost& main)
    : ChildWindow(main, msg::kCaptionSearch, QSize(kDesignWidth, kDesignHeight), 0, Sizing::Fixed) {
  setObjectName(QStringLiteral("TForm5"));
}

}  // namespace cavel
