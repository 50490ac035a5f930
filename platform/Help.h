// The help book: Japanese HTML pages whose contents page is index.html,
// shown in a help window of the program's own when the program asks for its
// help file ("CAVEL.HLP").
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <string>

class QTextBrowser;

namespace cavel {

class Help {
 public:
  virtual ~Help() = default;
  // Shows the contents page of the help file `helpFile` (a bare file name;
  // the help system finds the book). False, with the reason, when the book
  // cannot be found.
  virtual bool ShowContents(const std::string& helpFile, std::string& reason) = 0;
};

// The window that shows the pages: a browser of the book with back, forward
// and contents. It can be resized freely.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  // The size the window opens with where the screen has room for it.
  static constexpr int kPreferredWidth = 720, kPreferredHeight = 600;

  explicit HelpWindow(QWidget* parent = nullptr);
  // Shows the contents page. A hidden window is placed first within `area`
  // (a screen's available area): the first time centred with the preferred
  // size, later where the user left it; fitted to the area when larger.
  void ShowPage(const QString& indexPath, const QRect& area);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  QString index_;
  bool placed_ = false;
};

class HelpBook : public Help {
 public:
  // The available area of the screen the help window is to open on.
  using AreaSource = std::function<QRect()>;
  // `folders` are searched in order for the book (a folder holding
  // index.html). Without `area` the window opens on the screen of the
  // widget given to SetParent, else on the primary screen.
  explicit HelpBook(QStringList folders, AreaSource area = {}) : folders_(std::move(folders)), area_(std::move(area)) {}
  ~HelpBook() override;
  void SetParent(QWidget* parent) { parent_ = parent; }
  bool ShowContents(const std::string& helpFile, std::string& reason) override;

  // The contents page of the book, or empty when none of the folders holds it.
  QString IndexPath() const;
  HelpWindow* window() const { return window_; }

 private:
  QRect Area() const;

  QStringList folders_;
  AreaSource area_;
  QPointer<QWidget> parent_;
  QPointer<HelpWindow> window_;
};

}  // namespace cavel
