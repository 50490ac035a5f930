// The help book: Japanese HTML pages whose contents page is index.html,
// shown in a help window of the program's own when the program asks for its
// help file ("CAVEL.HLP").
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
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
// and contents.
class HelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);
  void ShowPage(const QString& indexPath);
  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
  QString index_;
};

class HelpBook : public Help {
 public:
  // `folders` are searched in order for the book (a folder holding index.html).
  explicit HelpBook(QStringList folders) : folders_(std::move(folders)) {}
  ~HelpBook() override;
  bool ShowContents(const std::string& helpFile, std::string& reason) override;

  // The contents page of the book, or empty when none of the folders holds it.
  QString IndexPath() const;
  HelpWindow* window() const { return window_; }

 private:
  QStringList folders_;
  QPointer<HelpWindow> window_;
};

}  // namespace cavel
