#include "sim/logger_sim.h"

#include <cstdio>

namespace korvalog::sim {
namespace {
constexpr uint8_t kSignOfLife = 255;

std::string Hex(uint8_t b) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", b);
  return text;
}
}  // namespace

void LoggerSim::Complete(std::string line, std::vector<uint8_t>& answer,
                         std::vector<std::string>& log) {
  ++commands_;
  const bool answers = policy_.mode == AnswerMode::Always ||
                       (policy_.mode == AnswerMode::FirstN && commands_ <= policy_.limit);
  if (answers) answer.push_back(kSignOfLife);
  log.push_back(line + (answers ? "" : " (not answered)"));
}

void LoggerSim::OnPcBytes(const uint8_t* bytes, size_t length, std::vector<uint8_t>& answer,
                          std::vector<std::string>& log) {
  for (size_t i = 0; i < length; ++i) {
    const uint8_t b = bytes[i];
    if (awaitingDebounce_) {
      // The byte after "1" is the debounce time in 10 ms, whatever its value.
      awaitingDebounce_ = false;
      debounce10ms_ = b;
      Complete("31 " + Hex(b) + " debounce " + std::to_string(b * 10) + " ms", answer, log);
      continue;
    }
    switch (b) {
      case '0': Complete("30 probe", answer, log); break;
      case '1': awaitingDebounce_ = true; break;
      case '2':
        started_ = true;
        Complete("32 start", answer, log);
        break;
      case '3':
        ac_ = true;
        Complete("33 AC inputs", answer, log);
        break;
      case '4':
        ac_ = false;
        Complete("34 DC inputs", answer, log);
        break;
      default: log.push_back(Hex(b) + " unknown, ignored"); break;
    }
  }
}

bool LoggerSim::EncodeTransition(int channel, int level, std::vector<uint8_t>& out) const {
  if (channel < 1 || channel > channels_) return false;
  const uint8_t index = static_cast<uint8_t>(channel - 1);
  if (channels_ <= 96) {
    out.push_back(static_cast<uint8_t>((level ? 0x80 : 0x00) | index));
  } else {
    out.push_back(level ? 254 : 253);
    out.push_back(index);
  }
  return true;
}

}  // namespace korvalog::sim
