#include "app/cli/cli_options.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>

#include "app/cli/cli_load.h"

#include "core/records.h"

namespace korvalog::cli {

namespace {

const OptionEntry* FindOption(const CommandOptions& table, std::string_view name) {
  for (const OptionEntry& o : table.options) {
    if (o.name == name) return &o;
  }
  return nullptr;
}

}  // namespace

bool ParsedArgs::Has(std::string_view name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

bool ParseOptions(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    // A command without options reads every word but --help as a file name.
    const bool option = table.options.empty() ? a == "--help" : a.size() >= 3 && a.compare(0, 2, "--") == 0;
    if (!option && table.positional) {
      parsed.positional.push_back(a);
      continue;
    }
    const size_t eq = option ? a.find('=') : std::string::npos;
    const std::string name = a.substr(0, eq);
    if (name == "--help" && eq == std::string::npos) {
      parsed.help = true;
      return true;
    }
    const OptionEntry* entry = option ? FindOption(table, name) : nullptr;
    if (entry == nullptr) {
      error = table.positional ? "unknown option " + name : "unknown argument '" + a + "'";
      return false;
    }
    if (entry->value.empty()) {
      if (eq != std::string::npos) {
        error = name + " takes no value";
        return false;
      }
      parsed.options.emplace_back(name, std::string());
    } else if (eq != std::string::npos) {
      parsed.options.emplace_back(name, a.substr(eq + 1));
    } else if (i + 1 < args.size()) {
      parsed.options.emplace_back(name, args[++i]);
    } else {
      error = name + " needs a value";
      return false;
    }
  }
  return true;
}

bool ParseOptions(const CommandArgs& args, const std::vector<std::string_view>& known, ParsedArgs& parsed,
                  std::string& error) {
  CommandOptions table;
  for (std::string_view name : known) table.options.push_back({name, "VALUE", ""});
  if (!ParseOptions(args, table, parsed, error)) return false;
  if (!parsed.help) return true;
  // A list of names has no help to give: --help is unknown here, as it always was.
  error = "unknown option --help";
  return false;
}

void PrintHelp(std::ostream& os, const CommandOptions& table) {
  os << "usage: korvalog-cli " << table.usage << "\n" << table.summary << "\n";
  std::vector<std::pair<std::string, std::string_view>> lines;
  for (const OptionEntry& o : table.options) {
    if (o.hidden) continue;
    lines.emplace_back(std::string(o.name) + (o.value.empty() ? "" : " ") + std::string(o.value), o.help);
  }
  lines.emplace_back("--help", "this help");
  size_t width = 0;
  for (const auto& l : lines) width = std::max(width, l.first.size());
  os << "options:\n";
  for (const auto& [left, help] : lines) {
    os << "  " << left << std::string(width - left.size() + 2, ' ') << help << "\n";
  }
}

int ReadCommandOptions(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, CliContext& ctx) {
  std::string error;
  if (!ParseOptions(args, table, parsed, error)) return UsageError(ctx, error, table.usage);
  if (!parsed.help) return -1;
  PrintHelp(ctx.out, table);
  return FinishOutput(ctx) ? kExitOk : kExitUsage;
}

int ReadFileArguments(const CommandArgs& args, const CommandOptions& table, size_t files, std::string_view what,
                      ParsedArgs& parsed, CliContext& ctx) {
  if (const int status = ReadCommandOptions(args, table, parsed, ctx); status >= 0) return status;
  if (parsed.positional.size() == files) return -1;
  const std::string_view command = table.usage.substr(0, table.usage.find(' '));
  return UsageError(ctx, std::string(command) + " takes " + std::string(what), table.usage);
}

int ReadOneCapture(const CommandArgs& args, const CommandOptions& table, ParsedArgs& parsed, CliContext& ctx) {
  if (const int status = ReadFileArguments(args, table, 1, "one file", parsed, ctx); status >= 0) return status;
  return LoadForCommand(parsed.positional[0], ctx) ? -1 : kExitUsage;
}

bool WholeNumber(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) {
    return false;
  }
  value = std::strtol(text.c_str(), nullptr, 10);
  return value >= low && value <= high;
}

bool WholeNumberOption(const std::string& text, long low, long high, const std::string& message, long& value,
                       std::string& error) {
  if (WholeNumber(text, low, high, value)) return true;
  error = message;
  return false;
}

bool ParseChannelList(std::string_view text, std::vector<int>& out, std::string& error) {
  size_t pos = 0;
  while (true) {
    const size_t comma = std::min(text.find(',', pos), text.size());
    const std::string_view item = text.substr(pos, comma - pos);
    int value = 0;
    bool ok = !item.empty() && item.size() <= 3;
    for (char ch : item) {
      ok = ok && ch >= '0' && ch <= '9';
      value = value * 10 + (ch - '0');
    }
    if (!ok || value < 1 || value > kChannelCount) {
      error = "not a channel 1..128: '" + std::string(item) + "'";
      return false;
    }
    out.push_back(value);
    if (comma == text.size()) return true;
    pos = comma + 1;
  }
}

}  // namespace korvalog::cli
