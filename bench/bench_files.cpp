// Writes the benchmarks' generated files, for scripts that drive the real
// program (bench/display_check):
//   bench_files largest|quoted|addresses|million PATH
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchSupport.h"

int main(int argc, char** argv) {
  using namespace cavel::bench;
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_files largest|quoted|addresses|million PATH\n");
    return 2;
  }
  const std::string kind = argv[1], path = argv[2];
  std::size_t size = 0;
  if (kind == "largest")
    size = WriteLargestFile(path);
  else if (kind == "quoted")
    size = WriteQuotedFile(path);
  else if (kind == "addresses")
    size = WriteAddressFile(path, kLargestLines);
  else if (kind == "million")
    size = WriteAddressFile(path, cavel::kMostLines);
  else {
    std::fprintf(stderr, "bench_files: no such file kind: %s\n", argv[1]);
    return 2;
  }
  if (size == 0) {
    std::fprintf(stderr, "bench_files: cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("%zu\n", size);
  return 0;
}
