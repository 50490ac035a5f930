#include "windows/Inport.h"

#include "core/Messages.h"

namespace cavel {

TForm9::TForm9(MainHost& main)
    : ChildWindow(main, msg::kCaptionInport, QSize(kDesignWidth, kDesignHeight), kWinInport, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm9"));
}

}  // namespace cavel
