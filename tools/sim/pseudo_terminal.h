#pragma once
// A pseudo-terminal pair standing in for a serial cable: the logger end is
// the master, the program opens the other end by its device path. The
// terminal end is put into raw mode and held open, so that nothing the
// logger sends is echoed or edited before the program opens it.
#include <string>

namespace korvalog::sim {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;
  ~PseudoTerminal() { Close(); }

  bool Open(std::string& error);
  // The logger's end (non-blocking) and the path the program opens.
  int MasterFd() const { return master_; }
  const std::string& DevicePath() const { return path_; }
  // Unplugs: closes both ends held here; the program's reads then fail.
  void Close();

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string path_;
};

}  // namespace korvalog::sim
