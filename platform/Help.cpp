#include "platform/Help.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/Messages.h"
#include "platform/QtText.h"

namespace cavel {

namespace {
}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(Utf8(msg::kCaptionHelp));
  resize(720, 600);
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

void HelpWindow::ShowPage(const QString& indexPath) {
  index_ = indexPath;
  browser_->setSource(QUrl::fromLocalFile(indexPath));
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
  window_->ShowPage(index);
  return true;
}

}  // namespace cavel
