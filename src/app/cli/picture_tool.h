#pragma once
// Hands a command to korvalog-pictures beside this program: the commands
// whose output is drawn with Qt, which korvalog-cli does without so that its
// other commands start quickly.
#include "app/cli/cli_context.h"

namespace korvalog::cli {

// Runs "korvalog-pictures COMMAND ARGS..." and gives its exit status. When
// the tool cannot be started, fails or is killed, one line names the step by
// `what` ("pictures", "report pages"), the exit status is not 0, and the
// temporary files it left beside `output` are removed.
int RunPictureCommand(const char* command, const char* what, const CommandArgs& args, CliContext& ctx,
                      const std::string& output);

}  // namespace korvalog::cli
