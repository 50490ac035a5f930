// Where the file dialogs start.
#include "core/DialogFolder.h"

#include <gtest/gtest.h>

#include <set>

namespace cavel {
namespace {

const std::set<std::string> kFolders{"/home/u", "/data/open", "/data/recent", "/data/chosen", "/"};
bool Exists(const std::string& path) { return kFolders.count(path) > 0; }

TEST(DialogFolder, ChosenThenOpenFileThenRecentThenHome) {
  MainState s;
  EXPECT_EQ(OpenDialogFolder(s, "/home/u", Exists), "/home/u");
  EXPECT_EQ(OpenDialogFolder(s, "/nowhere", Exists), "");
  s.OpenFileName[1] = "/data/recent/r.csv";
  EXPECT_EQ(OpenDialogFolder(s, "/home/u", Exists), "/data/recent");
  s.CurrentFileName = "/data/open/a.csv";
  EXPECT_EQ(OpenDialogFolder(s, "/home/u", Exists), "/data/open");
  RememberDialogFolder(s, "/data/chosen/b.csv");
  EXPECT_EQ(OpenDialogFolder(s, "/home/u", Exists), "/data/chosen");
  // Save as starts beside the open file, whatever was chosen.
  EXPECT_EQ(SaveDialogFolder(s, "/home/u", Exists), "/data/open");
  // A folder that is gone is passed over.
  RememberDialogFolder(s, "/gone/c.csv");
  s.CurrentFileName = "/gone/too/a.csv";
  EXPECT_EQ(OpenDialogFolder(s, "/home/u", Exists), "/data/recent");
  EXPECT_EQ(SaveDialogFolder(s, "/home/u", Exists), "/data/recent");
  // A bare name has no folder and changes nothing.
  RememberDialogFolder(s, "bare.csv");
  EXPECT_EQ(s.DialogFolder, "/gone");
  EXPECT_EQ(FolderOf("/a.csv"), "/");
}

}  // namespace
}  // namespace cavel
