// Program entry before any window: the application object with the command
// line kept whole, the command-line check, and the saves a killed run left
// half done.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QApplication;

namespace cavel {

class Dialogs;

// The toolkit's application object, made from the program's name alone, so
// that no argument of the command line is taken for one of the toolkit's
// options (-reverse, -style, -platform, ...): every argument is the
// program's. The toolkit's options are set through its environment
// variables instead (QT_QPA_PLATFORM, QT_SCALE_FACTOR, QT_STYLE_OVERRIDE).
class Application {
 public:
  Application(int argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  QApplication& Qt() { return *app_; }
  // The command line's arguments, the program's path not counted.
  const std::vector<std::string>& Arguments() const { return arguments_; }

 private:
  std::vector<std::string> arguments_;
  // What the toolkit is given; it must outlive the application object.
  int toolkitArgc_ = 1;
  char* toolkitArgv_[2] = {nullptr, nullptr};
  std::unique_ptr<QApplication> app_;
};

// A name that exists and is not a folder.
bool FileExists(const std::string& path);

struct CommandLine {
  bool run = false;                 // false: end the program without a window
  std::optional<std::string> file;  // the file to open, when one was named
};

// `arguments` are the command line's arguments, the program's path not
// counted. More than one: "   パラメータの設定が異常です。   ". One that names
// no existing file: "   " + the argument as typed + "の指定されたファイルが存在
// しません。   ". Both are warnings with the single button 中止(&A).
CommandLine CheckCommandLine(const std::vector<std::string>& arguments, Dialogs& dialogs);

// Puts right the files whose in-place save a killed run of the program left
// half done (RecoverInterruptedSaves over `stateFolder`) and tells the user
// of each: an information box for a file whose old content is back, an
// error report naming the copy for one that was not put back, and one
// information box naming every entry of the state folder left untrusted.
void ReportInterruptedSaves(const std::string& stateFolder, Dialogs& dialogs);

}  // namespace cavel
