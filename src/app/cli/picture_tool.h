#pragma once
// Hands a command to korvalog-pictures beside this program: the commands
// whose output is drawn with Qt, which korvalog-cli does without so that its
// other commands start quickly.
#include "app/cli/cli_context.h"

namespace korvalog::cli {

// Runs "korvalog-pictures COMMAND ARGS..." and gives its exit status;
// `what` names the output in the message when the tool cannot be started
// ("pictures", "report pages").
int RunPictureCommand(const char* command, const char* what, const CommandArgs& args, CliContext& ctx);

}  // namespace korvalog::cli
