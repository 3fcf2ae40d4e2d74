#include "sim/sim_options.h"

#include <cmath>
#include <cstdlib>

namespace korvalog::sim {
namespace {

bool ToNumber(const std::string& text, double low, double high, double& out) {
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return !text.empty() && *end == '\0' && std::isfinite(out) && out >= low && out <= high;
}

bool ToWhole(const std::string& text, double low, double high, double& out) {
  return ToNumber(text, low, high, out) && out == std::floor(out) &&
         text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out.help = true;
      continue;
    }
    if (a == "--log-commands") {
      out.logCommands = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = a.rfind("--", 0) == 0 ? a + " needs a value" : "unexpected argument '" + a + "'";
      return false;
    }
    const std::string& v = args[++i];
    double n = 0;
    if (a == "--channels") {
      if (v != "96" && v != "128") {
        error = "--channels must be 96 or 128";
        return false;
      }
      out.channels = v == "96" ? 96 : 128;
    } else if (a == "--answer") {
      if (v == "always") {
        out.answer = {AnswerMode::Always, 0};
      } else if (v == "never") {
        out.answer = {AnswerMode::Never, 0};
      } else if (ToWhole(v, 0, 4e9, n)) {
        out.answer = {AnswerMode::FirstN, static_cast<uint32_t>(n)};
      } else {
        error = "--answer must be always, never or a number of commands";
        return false;
      }
    } else if (a == "--script") {
      out.scriptPath = v;
      out.liftPattern = false;
    } else if (a == "--pattern") {
      if (v != "lift" && v != "none") {
        error = "--pattern must be lift or none";
        return false;
      }
      out.liftPattern = v == "lift";
      out.scriptPath.clear();
    } else if (a == "--rate") {
      if (!ToNumber(v, 0.01, kMaxRate, out.rate)) {
        error = "--rate must be 0.01..200000 events per second";
        return false;
      }
    } else if (a == "--seed") {
      if (!ToWhole(v, 0, 4294967295.0, n)) {
        error = "--seed must be a whole number";
        return false;
      }
      out.seed = static_cast<uint32_t>(n);
    } else if (a == "--seconds") {
      if (!ToNumber(v, 0.001, 1e7, out.seconds)) {
        error = "--seconds must be a positive number";
        return false;
      }
    } else if (a == "--link") {
      out.linkPath = v;
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

}  // namespace korvalog::sim
