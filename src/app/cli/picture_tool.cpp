#include "app/cli/picture_tool.h"

#ifndef KORVALOG_PICTURES
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <iostream>
#include <string>
#include <vector>

namespace korvalog::cli {

int RunPictureCommand(const char* command, const CommandArgs& args, CliContext& ctx) {
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
    ctx.err << "korvalog-cli: " << command << " pages are drawn by " << tool << ", which cannot be started\n";
    return kExitUsage;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : kExitUsage;
}

}  // namespace korvalog::cli
#endif
