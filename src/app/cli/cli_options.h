#pragma once
// Splitting a command's arguments into positional ones and "--name VALUE"
// (or "--name=VALUE") options, for the commands that take options.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cli/cli_context.h"

namespace korvalog::cli {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // in order given
};

// False with `error` set for an option not in `known` or one without value.
bool ParseOptions(const CommandArgs& args, const std::vector<std::string_view>& known, ParsedArgs& parsed,
                  std::string& error);

// Reads plain digits (at most nine) as a number within low..high; false for
// anything else.
bool WholeNumber(const std::string& text, long low, long high, long& value);

// Reads "3,4,17" as channels 1..128 into `out` (appending); false with
// `error` set for anything else.
bool ParseChannelList(std::string_view text, std::vector<int>& out, std::string& error);

}  // namespace korvalog::cli
