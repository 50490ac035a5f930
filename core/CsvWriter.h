// Writing files so that a failure never leaves a truncated target.
#pragma once

#include <string>
#include <string_view>

#include "core/Document.h"

namespace cavel {

struct WriteOutcome {
  bool ok = true;
  std::string error;  // the operating system's reason when !ok
};

// Writes every line followed by CR LF, nothing else, to `path`: into a
// temporary file in the target's folder, flushed to disk, then renamed over
// the target (keeping the target's permission bits). On failure the target
// is as it was.
WriteOutcome WriteLines(const std::string& path, const Lines& lines);

// The same replacement for an arbitrary content.
WriteOutcome ReplaceFile(const std::string& path, std::string_view contents);

}  // namespace cavel
