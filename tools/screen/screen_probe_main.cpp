// korvalog-screen-probe: how long the user waits, seen from outside. Starts
// a program on the X display in $DISPLAY, sends real input through XTest
// and, after each measured input, grabs the screen every 2 ms until it stays
// still; the step took until the last change.
//
//   korvalog-screen-probe [--runs N] [--quiet MS] [--open-quiet MS] [--ignore X,Y,W,H]...
//                         SCRIPT -- PROGRAM [ARGS...]
//
// First the opening is timed: from starting PROGRAM to the first and to the
// last change of the screen. Then SCRIPT's lines up to "loop" run once, and
// the lines after it N times (default 10). A line is one command:
//   size W H | pointer X Y | click X Y | dclick X Y | press X Y | move X Y |
//   release | key SPEC | type TEXT | wheel ctrl|shift|none up|down |
//   close (the active window, not the first) | sleep MS | shot FILE.ppm
// or "measure NAME COMMAND..." to time that command. Positions are in the
// program's first window. Each unmeasured command also waits for stillness.
// --ignore leaves a part of that window out (a clock); a negative X or Y
// counts from its right or bottom edge.
// Printed: one line per measured name with the median and the greatest time
// (ms) and how often nothing changed; the opening times; the program's
// resident memory after opening (kB).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "screen_watch.h"
#include "x_input.h"

namespace korvalog::probe {
namespace {

struct Options {
  int runs = 10;
  double quietMs = 200;      // still this long after a step: done
  double openQuietMs = 2000;  // the opening may show its parts further apart
  std::string script;
  std::vector<char*> program;
  std::vector<ScreenWatch::Area> ignored;  // in the window
};

struct Timings {
  std::vector<double> ms;
  int unchanged = 0, timedOut = 0;
};

class Probe {
 public:
  Probe(Display* d, const Options& o) : input_(d), watch_(d), options_(o) {
    watch_.SetIgnored([this] { return IgnoredNow(); });
  }

  bool Ready() const { return input_.Ok() && watch_.Ok(); }

  bool Open(pid_t& child) {
    watch_.Reset();
    const Clock::time_point started = Clock::now();
    child = fork();
    if (child == 0) {
      execvp(options_.program[0], options_.program.data());
      _exit(127);
    }
    if (child < 0) return false;
    if (!input_.FindWindowOf(child, 30000)) return false;
    const Settled s = watch_.WaitStill(started, options_.openQuietMs, 60000);
    std::printf("open: first change %.1f ms, last change %.1f ms%s\n", s.firstChangeMs, s.lastChangeMs,
                s.timedOut ? " (never still)" : "");
    std::printf("open-last-change-ms %.1f\n", s.lastChangeMs);
    std::printf("rss-kb %ld\n", ResidentKb(child));
    std::fflush(stdout);
    return true;
  }

  // One script line; false on a line it cannot read.
  bool Run(const std::string& line) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command.empty() || command[0] == '#') return true;
    if (command != "measure") {
      if (!Do(command, in)) return false;
      if (command != "sleep" && command != "shot") watch_.WaitStill(Clock::now(), options_.quietMs, 5000);
      return true;
    }
    std::string name;
    in >> name >> command;
    watch_.Reset();
    // Press and move come before the timed part; their input is queued.
    const Clock::time_point sent = Clock::now();
    if (!Do(command, in)) return false;
    const Settled s = watch_.WaitStill(sent, options_.quietMs, 5000);
    Timings& t = timings_[name];
    if (order_.end() == std::find(order_.begin(), order_.end(), name)) order_.push_back(name);
    if (s.lastChangeMs < 0) ++t.unchanged;
    else t.ms.push_back(s.lastChangeMs);
    if (s.timedOut) ++t.timedOut;
    return true;
  }

  void Print() const {
    std::printf("%-24s %8s %8s %5s %s\n", "step", "median", "max", "runs", "unchanged");
    for (const std::string& name : order_) {
      Timings t = timings_.at(name);
      std::sort(t.ms.begin(), t.ms.end());
      const double median = t.ms.empty() ? 0 : t.ms[(t.ms.size() - 1) / 2];
      const double max = t.ms.empty() ? 0 : t.ms.back();
      std::printf("%-24s %8.1f %8.1f %5zu %d%s\n", name.c_str(), median, max, t.ms.size(), t.unchanged,
                  t.timedOut > 0 ? " (some never still)" : "");
    }
  }

 private:
  std::vector<ScreenWatch::Area> IgnoredNow() const {
    std::vector<ScreenWatch::Area> areas;
    int ox = 0, oy = 0, w = 0, h = 0;
    if (options_.ignored.empty() || !input_.Origin(ox, oy) || !input_.Size(w, h)) return areas;
    for (const ScreenWatch::Area& a : options_.ignored) {
      areas.push_back({ox + (a.x < 0 ? w + a.x : a.x), oy + (a.y < 0 ? h + a.y : a.y), a.width, a.height});
    }
    return areas;
  }

  static long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
  }

  bool Do(const std::string& command, std::istringstream& in) {
    int x = 0, y = 0;
    std::string word;
    if (command == "size" && in >> x >> y) input_.Resize(x, y);
    else if (command == "pointer" && in >> x >> y) input_.MoveTo(x, y);
    else if (command == "click" && in >> x >> y) input_.Click(x, y, 1);
    else if (command == "dclick" && in >> x >> y) input_.Click(x, y, 2);
    else if (command == "press" && in >> x >> y) input_.Press(x, y);
    else if (command == "move" && in >> x >> y) input_.MoveTo(x, y);
    else if (command == "release") input_.Release();
    else if (command == "close") {
      if (!input_.CloseActive()) return false;
    }
    else if (command == "key" && in >> word) {
      if (!input_.Key(word)) return false;
    } else if (command == "type" && in >> word) {
      if (!input_.Type(word)) return false;
    } else if (command == "wheel" && in >> word) {
      std::string direction;
      in >> direction;
      if (!input_.Wheel(word, direction == "up")) return false;
    } else if (command == "sleep" && in >> x) {
      std::this_thread::sleep_for(std::chrono::milliseconds(x));
    } else if (command == "shot" && in >> word) {
      watch_.Reset();
      return watch_.SavePpm(word.c_str());
    } else {
      return false;
    }
    input_.Flush();
    return true;
  }

  XInput input_;
  ScreenWatch watch_;
  Options options_;
  std::map<std::string, Timings> timings_;
  std::vector<std::string> order_;
};

bool ReadOptions(int argc, char** argv, Options& o) {
  int i = 1;
  for (; i < argc && std::string(argv[i]) != "--"; ++i) {
    const std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) o.runs = std::atoi(argv[++i]);
    else if (a == "--quiet" && i + 1 < argc) o.quietMs = std::atof(argv[++i]);
    else if (a == "--open-quiet" && i + 1 < argc) o.openQuietMs = std::atof(argv[++i]);
    else if (a == "--ignore" && i + 1 < argc) {
      ScreenWatch::Area area{};
      if (std::sscanf(argv[++i], "%d,%d,%d,%d", &area.x, &area.y, &area.width, &area.height) != 4) return false;
      o.ignored.push_back(area);
    }
    else if (o.script.empty() && a[0] != '-') o.script = a;
    else return false;
  }
  for (++i; i < argc; ++i) o.program.push_back(argv[i]);
  o.program.push_back(nullptr);
  return !o.script.empty() && o.program.size() > 1 && o.runs > 0;
}

int Main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: korvalog-screen-probe [--runs N] [--quiet MS] [--open-quiet MS] [--ignore X,Y,W,H]... "
                 "SCRIPT -- PROGRAM [ARGS...]\n");
    return 2;
  }
  std::ifstream file(options.script);
  std::vector<std::string> setup, loop;
  bool looping = false;
  for (std::string line; std::getline(file, line);) {
    if (line == "loop") looping = true;
    else (looping ? loop : setup).push_back(line);
  }
  if (!file.eof()) {
    std::fprintf(stderr, "cannot read %s\n", options.script.c_str());
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "cannot open the X display (DISPLAY=%s)\n", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    return 2;
  }
  int status = 0;
  pid_t child = -1;
  {
    Probe probe(display, options);
    if (!probe.Ready()) {
      std::fprintf(stderr, "the display lacks XTest or shared-memory images\n");
      status = 2;
    } else if (!probe.Open(child)) {
      std::fprintf(stderr, "%s showed no window\n", options.program[0]);
      status = 1;
    } else {
      const auto runAll = [&](const std::vector<std::string>& lines) {
        for (const std::string& line : lines) {
          if (probe.Run(line)) continue;
          std::fprintf(stderr, "cannot do: %s\n", line.c_str());
          return false;
        }
        return true;
      };
      bool ok = runAll(setup);
      for (int r = 0; ok && r < options.runs; ++r) ok = runAll(loop);
      probe.Print();
      if (!ok) status = 1;
    }
  }
  if (child > 0) {
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
  }
  XCloseDisplay(display);
  return status;
}

}  // namespace
}  // namespace korvalog::probe

int main(int argc, char** argv) { return korvalog::probe::Main(argc, argv); }
