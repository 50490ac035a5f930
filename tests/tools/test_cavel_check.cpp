// cavel-check run as a program: its output, text and JSON, and its exit codes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Ran {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class CavelCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* exe = std::getenv("CAVEL_CHECK_EXE");
    exe_ = exe && *exe ? exe : CAVEL_CHECK_EXE;
    std::string tmpl = (fs::temp_directory_path() / "cavel-check-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  std::string File(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return path;
  }

  // Runs the program with `args` (no shell), stdout and stderr to files.
  Ran Exec(const std::vector<std::string>& args, const std::string& cwd = {}) {
    std::string outPath = dir_ + "/.stdout", errPath = dir_ + "/.stderr";
    pid_t pid = ::fork();
    if (pid == 0) {
      int o = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int e = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(o, 1);
      ::dup2(e, 2);
      if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
      std::vector<char*> argv;
      argv.push_back(exe_.data());
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(exe_.c_str(), argv.data());
      ::_exit(127);
    }
    Ran r;
    int status = 0;
    ::waitpid(pid, &status, 0);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(outPath);
    r.err = Slurp(errPath);
    return r;
  }

  std::string exe_;
  std::string dir_;
};

const std::string kNoteJson = "   （ただし先頭行は 0 行です。）\\n\\r";
// The format every file here is in.
const std::string kSjisCrLf = ",\"encoding\":\"shift_jis\",\"line_end\":\"crlf\"";

TEST_F(CavelCheck, LoadedFileIsOneJsonLine) {
  std::string path = File("ok.csv", "\"a\",\"b\"\r\n\"1\",\"2\"\r\n\"3\",\"4\"");
  Ran r = Exec({"--json", path});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\"file\":\"" + path + "\",\"result\":\"loaded\",\"lines\":3,\"messages\":[]" + kSjisCrLf + "}\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(CavelCheck, RefusedFileListsEveryMessageExactly) {
  std::string commas(511, ',');
  std::string path = File("bad.csv", "a,b\r\na,b\r\n\"" + commas + "\"\r\n" + std::string(300, '"') + "\r\n");
  Ran r = Exec({"--json", path});
  EXPECT_EQ(r.status, 1);
  const std::string abort = "\"buttons\":[\"中止(&A)\"],\"answer\":\"中止(&A)\"";
  EXPECT_EQ(r.out, "{\"file\":\"" + path + "\",\"result\":\"refused\",\"lines\":0,\"messages\":[" +
                       "{\"kind\":\"warning\"," + abort + ",\"text\":\"   2 行目のカンマの数が，512 以上です。\\n\\r" +
                       kNoteJson + "\"}," + "{\"kind\":\"warning\"," + abort +
                       ",\"text\":\"   3 行目の二重引用符の数が，256 以上です。\\n\\r" + kNoteJson + "\"}]" +
                       kSjisCrLf + "}\n");
}

TEST_F(CavelCheck, ItemCountQuestionIsAnsweredFromTheOption) {
  std::string path = File("q.csv", "a,b,c\r\na,b,c,d\r\n");
  const std::string question =
      "{\"kind\":\"warning\",\"buttons\":[\"はい(&Y)\",\"中止(&A)\"],\"answer\":\"ANSWER\",\"text\":\"   1 "
      "行目の項目の個数が違います。\\n\\r" +
      kNoteJson + "   先頭行は 3 項目です。指定行は 4 項目です。\\n\\r   ファイルを開きますか。\"}";
  auto with = [&](const std::string& answer) {
    std::string q = question;
    q.replace(q.find("ANSWER"), 6, answer);
    return q;
  };

  Ran yes = Exec({"--json", path});
  EXPECT_EQ(yes.status, 0);
  EXPECT_EQ(yes.out, "{\"file\":\"" + path + "\",\"result\":\"loaded\",\"lines\":2,\"messages\":[" + with("はい(&Y)") +
                         "]" + kSjisCrLf + "}\n");
  EXPECT_EQ(Exec({"--answer", "yes", "--json", path}).out, yes.out);

  Ran abort = Exec({"--answer", "abort", "--json", path});
  EXPECT_EQ(abort.status, 1);
  EXPECT_EQ(abort.out, "{\"file\":\"" + path + "\",\"result\":\"refused\",\"lines\":0,\"messages\":[" +
                           with("中止(&A)") + "]" + kSjisCrLf + "}\n");
  EXPECT_EQ(Exec({"--answer=abort", "--json", path}).out, abort.out);
}

TEST_F(CavelCheck, ItemLimitOfTheScanStage) {
  std::string line = "a";
  for (int i = 1; i < 65; ++i) line += ",a";
  std::string path = File("wide.csv", line + "\r\n");
  const std::string head = "{\"file\":\"" + path + "\",\"result\":\"refused\",\"lines\":0,\"messages\":[" +
                           "{\"kind\":\"warning\",\"buttons\":[\"中止(&A)\"],\"answer\":\"中止(&A)\",\"text\":";
  Ran wide = Exec({"--json", path});
  EXPECT_EQ(wide.status, 1);
  EXPECT_EQ(wide.out, head + "\"   0 行目の項目の個数が，６４項目以上です。   \\n\\r\"}]" + kSjisCrLf + "}\n");
  Ran narrow = Exec({"--items", "64", "--json", path});
  EXPECT_EQ(narrow.status, 1);
  EXPECT_EQ(narrow.out, head + "\"   0 行目の項目の数が，65 以上です。\\n\\r" + kNoteJson + "\"}]" + kSjisCrLf + "}\n");
  EXPECT_EQ(Exec({"--items=64", "--json", path}).out, narrow.out);
  EXPECT_EQ(Exec({"--items", "128", "--json", path}).out, wide.out);
}

TEST_F(CavelCheck, TheLineLimitIsAnOption) {
  std::string bytes;
  for (int i = 0; i < 30001; ++i) bytes += "a\r\n";
  const std::string path = File("long.csv", bytes);
  Ran plain = Exec({"--json", path});
  EXPECT_EQ(plain.status, 1);
  EXPECT_NE(plain.out.find("入力ファイルの行数は最大で３００００行です。"), std::string::npos) << plain.out;
  Ran raised = Exec({"--lines", "30001", "--json", path});
  EXPECT_EQ(raised.status, 0);
  EXPECT_NE(raised.out.find("\"lines\":30001,"), std::string::npos) << raised.out;
}

TEST_F(CavelCheck, UnreadableFileCarriesTheReason) {
  std::string missing = dir_ + "/missing.csv";
  Ran r = Exec({"--json", missing, dir_});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "{\"file\":\"" + missing + "\",\"result\":\"unreadable\",\"lines\":0,\"messages\":[]" + kSjisCrLf +
                       ",\"error\":\"No such file or "
                       "directory\"}\n"
                       "{\"file\":\"" +
                       dir_ + "\",\"result\":\"unreadable\",\"lines\":0,\"messages\":[]" + kSjisCrLf +
                       ",\"error\":\"Is a directory\"}\n");
}

TEST_F(CavelCheck, OneLinePerFileInOrderAndTheWorstExitCode) {
  std::string a = File("a.csv", "x\r\n");
  std::string b = File("b.csv", "y\r\nz\r\n");
  Ran ok = Exec({"--json", a, b});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "{\"file\":\"" + a + "\",\"result\":\"loaded\",\"lines\":1,\"messages\":[]" + kSjisCrLf +
                        "}\n{\"file\":\"" + b + "\",\"result\":\"loaded\",\"lines\":2,\"messages\":[]" + kSjisCrLf +
                        "}\n");
  Ran mixed = Exec({"--json", a, dir_ + "/none", b});
  EXPECT_EQ(mixed.status, 1);
  EXPECT_EQ(std::count(mixed.out.begin(), mixed.out.end(), '\n'), 3);
}

TEST_F(CavelCheck, FileNamesAreEscapedIntoValidJson) {
  // A quote, a backslash, a control byte, an LF, Japanese in UTF-8 and a
  // byte that is no UTF-8 (a Shift-JIS name: 住 is 0x8F 0x5A).
  std::string name = "a\"b\\c\x01\n住\x8F\x5A.csv";
  File(name, "x\r\n");
  Ran r = Exec({"--json", dir_ + "/" + name});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "{\"file\":\"" + dir_ + "/a\\\"b\\\\c\\u0001\\n住\\u008fZ.csv\",\"result\":\"loaded\",\"lines\":1," +
                       "\"messages\":[]" + kSjisCrLf + "}\n");
}

TEST_F(CavelCheck, TextOutputShowsEveryMessageLineByLine) {
  std::string path = File("t.csv", "a,b\r\na\r\n" + std::string(4097, 'x') + ",b\r\n");
  Ran r = Exec({path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, path + ": 警告\n" +
                       "   1 行目の項目の個数が違います。\n"
                       "   （ただし先頭行は 0 行です。）\n"
                       "   先頭行は 2 項目です。指定行は 1 項目です。\n"
                       "   ファイルを開きますか。\n"
                       "  -> はい(&Y)\n" +
                       path + ": 警告\n" +
                       "   2 行目の，1 項目の文字数が４０９６文字以上です。\n"
                       "   （ただし先頭行は 0 行です。）\n" +
                       path + ": refused\n");
  std::string ok = File("ok.csv", "a\r\n");
  EXPECT_EQ(Exec({ok}).out, ok + ": loaded, 1 line\n");
  std::string two = File("two.csv", "a\r\nb\r\n");
  EXPECT_EQ(Exec({two}).out, two + ": loaded, 2 lines\n");
  EXPECT_EQ(Exec({dir_ + "/none"}).out, dir_ + "/none: unreadable: No such file or directory\n");
}

TEST_F(CavelCheck, EncodingAndLineEndAreReportedAndLinesCountedByThem) {
  // 名前,年齢 in UTF-8 and in Shift-JIS.
  const std::string utf8 = "\xE5\x90\x8D\xE5\x89\x8D,\xE5\xB9\xB4\xE9\xBD\xA2";
  const std::string sjis = "\x96\xBC\x91\x4F,\x94\x4E\x97\xEE";
  struct Case {
    std::string bytes;
    int lines;
    std::string encoding, lineEnd;
  } cases[] = {
      {utf8 + "\r\na,1\r\n", 2, "utf-8", "crlf"},
      {"\xEF\xBB\xBF" + utf8 + "\ra,1\r", 2, "utf-8-bom", "cr"},
      {sjis + "\na,1\nb,2\n", 3, "shift_jis", "lf"},
      {"a,b\n1,2\r\n", 1, "shift_jis", "crlf"},  // a CR anywhere: the LF is a byte of the line
  };
  for (const Case& c : cases) {
    const std::string path = File("f.csv", c.bytes);
    EXPECT_EQ(Exec({"--json", path}).out,
              "{\"file\":\"" + path + "\",\"result\":\"loaded\",\"lines\":" + std::to_string(c.lines) +
                  ",\"messages\":[],\"encoding\":\"" + c.encoding + "\",\"line_end\":\"" + c.lineEnd + "\"}\n");
  }
  // The text names a format other than Shift-JIS with CR LF.
  const std::string path = File("u.csv", utf8 + "\na,1\n");
  EXPECT_EQ(Exec({path}).out, path + ": loaded, 2 lines\n" + path + ": utf-8, lf\n");
}

TEST_F(CavelCheck, UsageErrorsExitWithTwo) {
  std::string ok = File("ok.csv", "a\r\n");
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {},
           {"--json"},
           {"--items", "32", ok},
           {"--items"},
           {"--answer", "no", ok},
           {"--answer=", ok},
           {"--verbose", ok},
           {"--lines", "29999", ok},
           {"--lines=1048577", ok},
       }) {
    Ran r = Exec(args);
    EXPECT_EQ(r.status, 2) << testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("usage: cavel-check [--items 128|64] [--lines N] [--answer yes|abort] [--json] FILE..."),
              std::string::npos);
  }
  Ran help = Exec({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: cavel-check", 0), 0u);
}

TEST_F(CavelCheck, DoubleDashEndsTheOptions) {
  File("--json", "a\r\n");
  Ran r = Exec({"--", "--json"}, dir_);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "--json: loaded, 1 line\n");
}

}  // namespace
