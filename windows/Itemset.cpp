#include "windows/Itemset.h"

#include "core/Messages.h"

namespace cavel {

TForm3::TForm3(MainHost& main)
    : ChildWindow(main, msg::kCaptionItemset, QSize(kDesignWidth, kDesignHeight), kWinItemset, Sizing::Resizable) {
  setObjectName(QStringLiteral("TForm3"));
}

}  // namespace cavel
