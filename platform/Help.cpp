#include "platform/Help.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/Messages.h"
#include "platform/Placement.h"
#include "platform/QtText.h"

namespace cavel {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(Utf8(msg::kCaptionHelp));
  resize(kPreferredWidth, kPreferredHeight);
  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  auto* contents = new QPushButton(Utf8(msg::kHelpContents), this);
  auto* back = new QPushButton(Utf8(msg::kHelpBack), this);
  auto* forward = new QPushButton(Utf8(msg::kHelpForward), this);
  bar->addWidget(contents);
  bar->addWidget(back);
  bar->addWidget(forward);
  bar->addStretch();
  layout->addLayout(bar);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  layout->addWidget(browser_);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(contents, &QPushButton::clicked, this, [this] {
    if (!index_.isEmpty()) browser_->setSource(QUrl::fromLocalFile(index_));
  });
}

void HelpWindow::ShowPage(const QString& indexPath, const QRect& area) {
  index_ = indexPath;
  browser_->setSource(QUrl::fromLocalFile(indexPath));
  if (!isVisible() && area.isValid()) {
    const Rect wanted = placed_ ? BoundsOf(*this)
                                : Rect{area.x() + (area.width() - kPreferredWidth) / 2,
                                       area.y() + (area.height() - kPreferredHeight) / 2, kPreferredWidth,
                                       kPreferredHeight};
    ApplyReachable(*this, wanted, ScreenSet{area.size(), {area}});
    placed_ = true;
  }
  show();
  raise();
  activateWindow();
}

HelpBook::~HelpBook() { delete window_.data(); }

QString HelpBook::IndexPath() const {
  for (const QString& folder : folders_) {
    if (folder.isEmpty()) continue;
    const QFileInfo index(QDir(folder), QStringLiteral("index.html"));
    if (index.isFile() && index.isReadable()) return index.absoluteFilePath();
  }
  return {};
}

bool HelpBook::ShowContents(const std::string& helpFile, std::string& reason) {
  // The program has one help file, and it is this book.
  (void)helpFile;
  const QString index = IndexPath();
  if (index.isEmpty()) {
    reason = std::string(msg::kHelpNotFound);
    return false;
  }
  if (!window_) window_ = new HelpWindow;
  window_->ShowPage(index, Area());
  return true;
}

QRect HelpBook::Area() const {
  if (area_) return area_();
  QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

}  // namespace cavel
