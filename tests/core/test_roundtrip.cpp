// Every file of samples/ and tests/data/ loaded and saved again: the bytes
// come back as they were, apart from the line ends.
//
// "As they were" means: the file cut at its first 0x1A, every line end (CR,
// or CR LF) written as CR LF, and a line end added after a last line that
// had none. A lone LF is a byte of its line and comes back as it was.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "core/CsvLoader.h"
#include "core/CsvWriter.h"

namespace cavel {
namespace {

namespace fs = std::filesystem;

std::string Normalised(std::string bytes) {
  bytes.resize(std::min(bytes.size(), bytes.find('\x1A')));
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16 + 2);
  bool open = false;  // bytes of a line not yet ended
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      out += bytes[i];
      open = true;
      continue;
    }
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    out += "\r\n";
    open = false;
  }
  if (open) out += "\r\n";
  return out;
}

// The data files: every regular file of the two folders but their notes.
std::vector<fs::path> DataFiles() {
  std::vector<fs::path> files;
  for (const fs::path& dir : {fs::path(CAVEL_SOURCE_DIR) / "samples", fs::path(CAVEL_TEST_DATA)})
    for (const auto& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(RoundTrip, TheNormalisationItself) {
  EXPECT_EQ(Normalised(""), "");
  EXPECT_EQ(Normalised("a"), "a\r\n");
  EXPECT_EQ(Normalised("a\rb\r\nc"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(Normalised("a\nb\r\n\n"), "a\nb\r\n\n\r\n");
  EXPECT_EQ(Normalised("a\r\r\n"), "a\r\n\r\n");
  EXPECT_EQ(Normalised("a\r\n\x1A"
                       "b\r\n"),
            "a\r\n");
  EXPECT_EQ(Normalised("a\r\x1A\nb"), "a\r\n");
}

TEST(RoundTrip, EveryDataFileSavesBackByteForByte) {
  const std::vector<fs::path> files = DataFiles();
  // The folders hold what the test is about; an empty list would pass anything.
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.filename().string());
  for (const char* expected : {"addresses.csv", "addresses-slice.csv", "unquoted-no-final-line-end.csv",
                               "lf-inside-cells.csv", "ctrl-z-end.csv", "cr-only.csv", "mixed-shapes.csv", "empty.csv"})
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;

  const test::TempFolder folder("roundtrip");
  const fs::path dir = folder.path();

  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    const std::string original = test::ReadFile(file);
    for (int limit : {kItemLimitWide, kItemLimitNarrow}) {
      ScriptedDialogs dialogs(mbYes);  // はい to every item-count question
      Lines lines = {"stale"};
      LoadOutcome outcome = CsvLoader(file.string(), limit, dialogs, lines);
      ASSERT_EQ(outcome.result, LoadResult::Loaded) << outcome.error;
      for (const auto& shown : dialogs.shown()) EXPECT_EQ(shown.buttons, static_cast<MsgButtons>(mbYes | mbAbort));

      const fs::path saved = dir / file.filename();
      ASSERT_TRUE(WriteLines(saved.string(), lines).ok);
      const std::string back = test::ReadFile(saved);
      EXPECT_TRUE(back == Normalised(original)) << "the saved file differs from the loaded one";

      // Loaded again, the saved file gives the same lines and saves to itself.
      Lines again;
      ASSERT_EQ(CsvLoader(saved.string(), limit, dialogs, again).result, LoadResult::Loaded);
      EXPECT_TRUE(again == lines);
      ASSERT_TRUE(WriteLines(saved.string(), again).ok);
      EXPECT_TRUE(test::ReadFile(saved) == back);
    }
  }
}

}  // namespace
}  // namespace cavel
