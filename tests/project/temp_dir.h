#pragma once
// A fresh directory under the system's temporary folder, removed with its
// contents afterwards, and small file helpers for the tests.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace korvalog::testing_support {

class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    // A drive letter and backslashes, as Windows names its temporary folder.
    static int made = 0;
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
      const std::string name = "korvalog-test-" + std::to_string(_getpid()) + "-" + std::to_string(++made);
      const std::filesystem::path p = std::filesystem::temp_directory_path() / name;
      if (std::filesystem::create_directory(p)) path_ = p.string();
    }
#else
    std::string tmpl = (std::filesystem::temp_directory_path() / "korvalog-test-XXXXXX").string();
    path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
#endif
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
  }
#ifdef _WIN32
  // Windows paths as a user types them: backslashes throughout.
  std::string operator/(std::string name) const {
    for (char& c : name) c = c == '/' ? '\\' : c;
    return path_ + "\\" + name;
  }
#else
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
#endif
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace korvalog::testing_support
