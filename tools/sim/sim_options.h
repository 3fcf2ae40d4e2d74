#pragma once
// Command line of korvalog-sim.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/logger_sim.h"

namespace korvalog::sim {

// The generated pattern's top rate: twice the 100 KB/s a 128-channel logger
// at 50,000 changes a second sends, so the receiver can be tried beyond it.
constexpr double kMaxRate = 200000;

constexpr const char* kSimUsage =
    "usage: korvalog-sim [--channels 96|128] [--answer always|never|N]\n"
    "                    [--script FILE | --pattern lift|none] [--rate EVENTS_PER_S]\n"
    "                    [--seed N] [--seconds S] [--link PATH] [--log-commands]\n"
    "Opens a pseudo-terminal, prints the device path the program opens, and acts as a\n"
    "serial logger there: answers each command with 255 (always, never, or the first\n"
    "N commands), and after the start command sends input changes from FILE (lines\n"
    "'seconds channel level') or a generated lift pattern (the default, 2 events/s;\n"
    "--rate up to 200000).\n"
    "--seconds S ends after S seconds, like an unplugged logger; --link PATH makes a\n"
    "symbolic link to the device; --log-commands lists received commands on stderr.\n"
    "Bytes wait until the program reads them; any it never read are counted on\n"
    "stderr at the end and the exit status is 3.\n";

struct SimOptions {
  int channels = 96;
  AnswerPolicy answer;
  std::string scriptPath;  // empty: the pattern below
  bool liftPattern = true;
  double rate = 2.0;
  uint32_t seed = 1;
  double seconds = 0;  // 0: until interrupted
  std::string linkPath;
  bool logCommands = false;
  bool help = false;
};

// False with a message for anything it does not understand.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error);

}  // namespace korvalog::sim
