#pragma once
// File names are UTF-8 throughout the program. POSIX takes them as they are;
// Windows wants wide names, and std::filesystem there reads a narrow name in
// the C library's locale rather than as UTF-8, so names cross over here.
#include <filesystem>
#include <string>

namespace korvalog {

// The path a UTF-8 name denotes (a name that is not valid UTF-8 is read in
// the ANSI code page on Windows).
std::filesystem::path PathFromUtf8(const std::string& name);
// A path's name in UTF-8.
std::string Utf8FromPath(const std::filesystem::path& path);
// `name` made absolute against the working folder, so that it still names the
// same file for a program started elsewhere; empty stays empty.
std::string AbsoluteName(const std::string& name);
// True when this process may write the file, or create files in the folder.
bool Writable(const std::filesystem::path& path);

#ifdef _WIN32
std::wstring WideFromUtf8(const std::string& name);
std::string Utf8FromWide(const std::wstring& text);
#endif

}  // namespace korvalog
