#pragma once
// Scratch files for the fuzz targets: the loaders read paths, so each input
// is written to a file of this process first (in memory where /dev/shm is).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace korvalog::fuzz {

// In KORVALOG_FUZZ_SCRATCH (scripts/fuzz.sh makes one folder per run and
// removes it after), else in /dev/shm or /tmp under this process's id.
inline std::string Scratch(const char* name) {
  static const std::string prefix = [] {
    const char* folder = std::getenv("KORVALOG_FUZZ_SCRATCH");
    if (folder != nullptr && *folder != '\0') return std::string(folder) + "/";
    return std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/korvalog-fuzz-" +
           std::to_string(getpid()) + "-";
  }();
  return prefix + name;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const uint8_t* bytes, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(bytes, 1, size, f) != size) std::abort();
  std::fclose(f);
}

// A broken promise of the code under test: said, then the fuzzer's crash.
[[noreturn]] inline void Broken(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

}  // namespace korvalog::fuzz
