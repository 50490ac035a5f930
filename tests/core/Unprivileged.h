// Acting as a user whom permission bits bind. The tests run as root on the
// build machines, where no permission bit refuses a write; such a case runs
// in a child process that first becomes the unprivileged user "nobody".
// Shared by the core and the GUI tests (plain C++, no test framework).
#pragma once

#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

namespace cavel::test {

// The user and group ids of "nobody", when this process is root and there is
// such a user; nothing otherwise.
inline std::optional<std::pair<uid_t, gid_t>> NobodyIds() {
  if (::geteuid() != 0) return std::nullopt;
  const passwd* pw = ::getpwnam("nobody");
  if (!pw || pw->pw_uid == 0) return std::nullopt;
  return std::make_pair(pw->pw_uid, pw->pw_gid);
}

// Runs `act` in a child process, after `prepare` (which returns false when
// the child cannot be made ready). The child's text comes back; nothing
// when it was not made ready or did not finish. The child ends with _exit,
// so nothing of this process runs twice.
inline std::optional<std::string> InChild(const std::function<bool()>& prepare,
                                          const std::function<std::string()>& act) {
  int fds[2];
  if (::pipe(fds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    ::close(fds[0]);
    if (!prepare()) ::_exit(77);
    const std::string out = act();
    for (std::size_t at = 0; at < out.size();) {
      const ssize_t n = ::write(fds[1], out.data() + at, out.size() - at);
      if (n <= 0) ::_exit(78);
      at += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string text;
  char buf[512];
  ssize_t n;
  while ((n = ::read(fds[0], buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return text;
}

// Runs `act` in a child process that, when this process is root, first
// becomes "nobody" (no supplementary groups); see InChild.
inline std::optional<std::string> AsUnprivileged(const std::function<std::string()>& act) {
  const auto nobody = NobodyIds();
  if (::geteuid() == 0 && !nobody) return std::nullopt;
  return InChild(
      [&] {
        return !nobody ||
               (::setgroups(0, nullptr) == 0 && ::setgid(nobody->second) == 0 && ::setuid(nobody->first) == 0);
      },
      act);
}

// Runs `act` in a child process whose files may grow to `bytes` only: a
// write beyond fails with EFBIG, as on a full disk; see InChild.
inline std::optional<std::string> UnderFileSizeLimit(rlim_t bytes, const std::function<std::string()>& act) {
  return InChild(
      [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        const struct rlimit limit = {bytes, bytes};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
      },
      act);
}

// Whether a child can act as a user whom permission bits bind and reach
// `folder` (the test's own, under the temporary folder) as that user.
inline bool CanActUnprivileged(const std::string& folder) {
  return AsUnprivileged([&] { return std::string(::access(folder.c_str(), X_OK) == 0 ? "ok" : "no"); }) == "ok";
}

}  // namespace cavel::test
