#pragma once
// The logger side of the serial link, without any I/O: parses the PC's
// commands, decides whether to answer them with 255, and puts transitions
// into the 96- or 128-channel byte form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace korvalog::sim {

enum class AnswerMode { Always, Never, FirstN };

struct AnswerPolicy {
  AnswerMode mode = AnswerMode::Always;
  uint32_t limit = 0;  // FirstN: answer this many commands, then fall silent
};

class LoggerSim {
 public:
  LoggerSim(int channels, AnswerPolicy policy) : channels_(channels), policy_(policy) {}

  // Bytes from the PC. Appends the answer bytes to `answer` and a readable
  // line per complete command ("30 probe", "31 05 debounce 50 ms") to `log`.
  void OnPcBytes(const uint8_t* bytes, size_t length, std::vector<uint8_t>& answer,
                 std::vector<std::string>& log);

  // One transition in this logger's byte form; false for a channel it has not.
  bool EncodeTransition(int channel, int level, std::vector<uint8_t>& out) const;

  int Channels() const { return channels_; }
  bool Started() const { return started_; }  // the start command "2" came
  uint32_t Commands() const { return commands_; }
  int DebounceMs() const { return debounce10ms_ * 10; }
  bool AcSignals() const { return ac_; }

 private:
  void Complete(std::string line, std::vector<uint8_t>& answer, std::vector<std::string>& log);

  int channels_;
  AnswerPolicy policy_;
  bool awaitingDebounce_ = false;
  bool started_ = false;
  bool ac_ = false;
  int debounce10ms_ = 0;
  uint32_t commands_ = 0;
};

}  // namespace korvalog::sim
