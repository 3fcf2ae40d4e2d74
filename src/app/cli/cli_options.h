#pragma once
// Splitting a command's arguments into positional ones and "--name VALUE"
// (or "--name=VALUE") options, by the command's table of options, from which
// its --help is printed too.
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/cli/cli_context.h"

namespace korvalog::cli {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // in order given; a switch's value is ""
  bool help = false;  // --help was asked for (reading stopped there)

  bool Has(std::string_view name) const;
};

// One option of a command: its name, the word shown for its value ("" for a
// switch, which takes none) and what it does. A hidden one is read but left
// out of --help (options only the tests use).
struct OptionEntry {
  std::string_view name;
  std::string_view value;
  std::string_view help;
  bool hidden = false;
};

// What a command takes: its usage (as its errors show it, after
// "korvalog-cli "), one line on what it does, and its options.
struct CommandOptions {
  std::string_view usage;
  std::string_view summary;
  std::vector<OptionEntry> options;
  // A command that takes no file names calls any word it does not know,
  // option or not, "unknown argument 'WORD'".
  bool positional = true;
};

// Reads `args` by the table. False with `error` set for an unknown option
// (or, without positionals, any unknown word) or an option without its
// value. "--help" as an option stops the reading with parsed.help set.
bool ParseOptions(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, std::string& error);

// The same for a list of option names, each taking a value (no switches,
// no --help).
bool ParseOptions(const CommandArgs& args, const std::vector<std::string_view>& known, ParsedArgs& parsed,
                  std::string& error);

// The command's help from its table: usage, summary and one line an option.
void PrintHelp(std::ostream& os, const CommandOptions& table);

// Reads `args` by the table for a command: kExitUsage after telling the
// error, kExitOk after printing the help, or -1 to go on with `parsed`.
int ReadCommandOptions(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, CliContext& ctx);

// The opening of every command that reads files: ReadCommandOptions, then
// exactly `files` file names, else "COMMAND takes WHAT" with the usage.
// The same statuses: kExitOk after --help, kExitUsage after an error, -1 to
// go on with parsed.positional holding the names.
int ReadFileArguments(const CommandArgs& args, const CommandOptions& table, size_t files, std::string_view what,
                      ParsedArgs& parsed, CliContext& ctx);
// The same for a command over one capture, then that capture loaded into
// ctx (kExitUsage after telling why it could not be).
int ReadOneCapture(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, CliContext& ctx);

// Reads plain digits (at most nine) as a number within low..high; false for
// anything else.
bool WholeNumber(const std::string& text, long low, long high, long& value);

// WholeNumber for an option's value; false with `error` set to `message`
// when it is not one.
bool WholeNumberOption(const std::string& text, long low, long high, const std::string& message, long& value,
                       std::string& error);

// Reads "3,4,17" as channels 1..128 into `out` (appending); false with
// `error` set for anything else.
bool ParseChannelList(std::string_view text, std::vector<int>& out, std::string& error);

}  // namespace korvalog::cli
