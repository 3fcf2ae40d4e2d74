#include "app/cli/picture_tool.h"

#ifndef KORVALOG_PICTURES
#ifdef _WIN32
#include <windows.h>

#include <iostream>
#include <string>

#include "core/file_names.h"
#include "project/replacing_file.h"

namespace korvalog::cli {
namespace {

// One argument as the C runtime of the started program splits it again.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  size_t slashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out.push_back(c);
  }
  out.append(slashes * 2, L'\\');
  out.push_back(L'"');
  return out;
}

}  // namespace

int RunPictureCommand(const char* command, const char* what, const CommandArgs& args, CliContext& ctx,
                      const std::string& output) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  const std::wstring tool = self.substr(0, self.find_last_of(L"\\/") + 1) + L"korvalog-pictures.exe";
  std::wstring line = Quoted(tool) + L" " + WideFromUtf8(command);
  for (const std::string& a : args) line += L" " + Quoted(WideFromUtf8(a));
  ctx.out.flush();
  std::cout.flush();
  std::cerr.flush();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(tool.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
    ctx.err << "korvalog-cli: " << what << " are drawn by " << Utf8FromWide(tool)
            << ", which cannot be started\n";
    return kExitUsage;
  }
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD status = kExitUsage;
  if (!GetExitCodeProcess(child.hProcess, &status)) status = kExitUsage;
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  if (status == 0) return kExitOk;
  RemoveLeftTemporaries(output, child.dwProcessId);
  // A crash ends a program with an exception code such as 0xC0000005.
  const bool crashed = status >= 0xC0000000u;
  ctx.err << "korvalog-cli: the " << what << " were not written: " << Utf8FromWide(tool)
          << (crashed ? " crashed (exception code " : " stopped with exit status ")
          << (crashed ? std::to_string(status) + ")" : std::to_string(status)) << "\n";
  return crashed ? kExitUsage : static_cast<int>(status);
}

}  // namespace korvalog::cli
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "project/replacing_file.h"

namespace korvalog::cli {
namespace {

// How a child that did not succeed ended, e.g. "stopped with exit status 3",
// "was killed by signal 11 (Segmentation fault)".
std::string HowItEnded(int status) {
  if (WIFEXITED(status)) return "stopped with exit status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) {
    const int sig = WTERMSIG(status);
    const char* name = strsignal(sig);
    return "was killed by signal " + std::to_string(sig) + (name != nullptr ? std::string(" (") + name + ")" : "");
  }
  return "stopped";
}

}  // namespace

int RunPictureCommand(const char* command, const char* what, const CommandArgs& args, CliContext& ctx,
                      const std::string& output) {
  char self[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  std::string tool = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string();
  tool = tool.substr(0, tool.find_last_of('/') + 1) + "korvalog-pictures";
  std::vector<std::string> words{tool, command};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  ctx.out.flush();
  std::cout.flush();
  std::cerr.flush();
  pid_t pid = 0;
  if (access(tool.c_str(), X_OK) != 0 || posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    ctx.err << "korvalog-cli: " << what << " are drawn by " << tool << ", which cannot be started\n";
    return kExitUsage;
  }
  int status = 0;
  pid_t waited = 0;
  while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) return kExitOk;
  RemoveLeftTemporaries(output, static_cast<unsigned long>(pid));
  ctx.err << "korvalog-cli: the " << what << " were not written: " << tool << " "
          << (waited == pid ? HowItEnded(status) : std::string("was lost: ") + std::strerror(errno)) << "\n";
  return waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : kExitUsage;
}

}  // namespace korvalog::cli
#endif  // _WIN32
#endif
