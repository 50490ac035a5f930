// Program entry before any window: the command-line check.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cavel {

class Dialogs;

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

}  // namespace cavel
