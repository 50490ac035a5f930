// What the harnesses share: an invariant check that stops the run with a
// message, a recording message port, files in memory, and the reading of
// operation bytes.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Dialogs.h"
#include "core/Document.h"
#include "core/EditorList.h"

// A broken invariant: the reason on stderr, then abort() so that libFuzzer
// keeps the input as a crash.
#define FUZZ_CHECK(cond)                                                                  \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      std::fprintf(stderr, "invariant failed: %s  (%s:%d)\n", #cond, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

// For the harnesses' own models of their input: not instrumented, so that
// coverage and comparison feedback come from the code under test only.
#define FUZZ_PLAIN __attribute__((no_sanitize("coverage")))

namespace cavel::fuzz {

// Records every message; questions are answered by `answer` (the default
// answers the first button of the set).
class RecordingDialogs : public Dialogs {
 public:
  struct Shown {
    std::string text;
    MsgKind kind;
    MsgButtons buttons;
  };
  std::function<MsgButton(const std::string&, MsgKind, MsgButtons)> answer;
  std::vector<Shown> shown;
  bool keepTexts = true;  // false: `shown` records kinds and buttons only

  MsgButton ShowMessageDlg(const std::string& text, MsgKind kind, MsgButtons buttons) override {
    shown.push_back({keepTexts ? text : std::string(), kind, buttons});
    if (answer) return answer(text, kind, buttons);
    auto order = ButtonsInOrder(buttons);
    return order.empty() ? mbNone : order.front();
  }
  // Messages that are refusals: warnings with the single button 中止(&A).
  std::size_t Refusals() const {
    std::size_t n = 0;
    for (const Shown& s : shown) n += s.kind == MsgKind::Warning && s.buttons == mbAbort;
    return n;
  }
};

// The commands every list editor has, by number: 0 Up, 1 Down, 2 Delete.
inline ListChange ListCommand(EditorList& list, int which) {
  return which == 0 ? list.Up() : which == 1 ? list.Down() : list.Delete();
}

// Reads the fuzzer's bytes front to back; past the end every read gives 0.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  bool empty() const { return p_ == end_; }
  std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
  std::uint8_t Byte() { return p_ < end_ ? *p_++ : 0; }
  std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }
  // Up to `max` bytes, ending early after a `stop` byte (not included).
  std::string Until(char stop, std::size_t max = SIZE_MAX) {
    std::string out;
    while (p_ < end_ && out.size() < max) {
      char c = static_cast<char>(*p_++);
      if (c == stop) break;
      out += c;
    }
    return out;
  }
  std::string Rest() {
    std::string out(reinterpret_cast<const char*>(p_), left());
    p_ = end_;
    return out;
  }

 private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

// Lines cut at CR, as a Document never holds a CR that a loaded file gave it.
inline Lines SplitAtCR(std::string_view bytes) {
  Lines lines;
  if (bytes.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t cr = bytes.find('\r', start);
    if (cr == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      return lines;
    }
    lines.emplace_back(bytes.substr(start, cr - start));
    start = cr + 1;
  }
}

inline std::string Join(const std::vector<std::string_view>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    out += items[i];
  }
  return out;
}

// A folder for the files a harness writes, made once per process and removed
// at exit: $CAVEL_FUZZ_TMP, else /dev/shm (a memory file system, where the
// writer's fsync costs nothing), else $TMPDIR or /tmp.
inline std::string& ScratchDirPath() {
  static std::string dir;
  return dir;
}

inline const std::string& ScratchDir() {
  std::string& dir = ScratchDirPath();
  if (dir.empty()) {
    const char* base = std::getenv("CAVEL_FUZZ_TMP");
    if (!base || !*base) base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
    if (!base || !*base) base = "/tmp";
    std::string tmpl = std::string(base) + "/cavel-fuzz-XXXXXX";
    FUZZ_CHECK(::mkdtemp(tmpl.data()) != nullptr);
    dir = tmpl;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchDirPath(), ec);
    });
  }
  return dir;
}

inline void PutFile(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  FUZZ_CHECK(std::fclose(f) == 0);
}

inline std::string GetFile(const std::string& path) {
  std::string out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(f != nullptr);
  char buf[65536];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  std::fclose(f);
  return out;
}

}  // namespace cavel::fuzz
