#include "core/file_names.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace korvalog {

#ifdef _WIN32

std::wstring WideFromUtf8(const std::string& name) {
  for (const UINT page : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int n = MultiByteToWideChar(page, flags, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (n <= 0) continue;
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(page, flags, name.data(), static_cast<int>(name.size()), out.data(), n);
    return out;
  }
  return {};
}

std::string Utf8FromWide(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                    nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::filesystem::path PathFromUtf8(const std::string& name) { return std::filesystem::path(WideFromUtf8(name)); }
std::string Utf8FromPath(const std::filesystem::path& path) { return Utf8FromWide(path.wstring()); }
// Only the read-only attribute: the rest is for the save to find out.
bool Writable(const std::filesystem::path& path) { return _waccess(path.c_str(), 2) == 0; }

#else

std::filesystem::path PathFromUtf8(const std::string& name) { return std::filesystem::path(name); }
std::string Utf8FromPath(const std::filesystem::path& path) { return path.string(); }
bool Writable(const std::filesystem::path& path) { return access(path.c_str(), W_OK) == 0; }

#endif

std::string AbsoluteName(const std::string& name) {
  if (name.empty()) return name;
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(name), ec);
  return ec ? name : Utf8FromPath(absolute.lexically_normal());
}

}  // namespace korvalog
