#pragma once
// What a load tells the outside world while it runs: warnings and errors for
// the user, the description text of a logger log, and the end of the load.
// The window connects these to its message box, its general error message,
// the "Inputs & Notes" window and the chart; the command-line tool to stderr.
#include <string>
#include <string_view>
#include <vector>

namespace korvalog {

class LoadSinks {
 public:
  virtual ~LoadSinks() = default;
  // A warning the load goes on after, e.g. "High Channel Number: 200".
  virtual void Warning(std::string_view text) { (void)text; }
  // The reason a load stopped part-way, e.g. "Invalid argument to date encode".
  virtual void Error(std::string_view text) { (void)text; }
  // A logger log is about to be read: hide the "Inputs & Notes" window, empty
  // its text and set the mark-up tab width to 16 so the entry labels line up.
  virtual void LogImportStarted() {}
  // The log's description entries in mark-up ("\t" tab, "\b" bold, "\n" new
  // line); called once at the end of a log, also when it held none, to size
  // and show the "Inputs & Notes" window.
  virtual void LogNotes(const std::string& notesText) { (void)notesText; }
  // Raised at the end of every load that replaced the data; hasEvents says
  // whether the chart should zoom to the whole capture.
  virtual void DataLoaded(bool hasEvents) { (void)hasEvents; }
};

// Ignores everything.
class NullLoadSinks final : public LoadSinks {};

// Keeps everything it is told, for tests and for callers that report later.
class CollectingLoadSinks final : public LoadSinks {
 public:
  void Warning(std::string_view text) override { warnings.emplace_back(text); }
  void Error(std::string_view text) override { errors.emplace_back(text); }
  void LogImportStarted() override { ++logImports; notes.clear(); }
  void LogNotes(const std::string& notesText) override { notes = notesText; }
  void DataLoaded(bool hasEvents) override {
    ++dataLoaded;
    lastHasEvents = hasEvents;
  }

  std::vector<std::string> warnings;
  std::vector<std::string> errors;
  std::string notes;
  int logImports = 0;
  int dataLoaded = 0;
  bool lastHasEvents = false;
};

}  // namespace korvalog
