#pragma once
// Reading a value change dump (IEEE 1364 VCD) as a capture, so that a
// recording of another logic analyser can be checked with the Sequencer and
// the statistics. Each bit of a wire is a channel, at most 128 of them.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/capture_data.h"
#include "core/skipped_events.h"
#include "core/store_filler.h"
#include "core/trace_list.h"

namespace korvalog {

// A path is a value change dump when it ends in ".vcd", in any case.
bool IsVcdPath(std::string_view path);

class LineReader;

// Reads a whole dump into the store, its span and its channel names (see
// VcdImport); `count` is the number of events stored, `skipped` the changes
// passed over (beyond the store's capacity). Empty when the dump was taken,
// else the reason, naming the line ("line 7: ..."). `warnings`: what was read
// leniently or left out (see VcdImport::Warnings).
std::string ReadVcdLines(LineReader& reader, CaptureData& data, TraceList& traces, uint32_t& count, SkippedEvents& skipped,
                         std::vector<std::string>& warnings);

// Fed the file's lines in order by the load. Wires named "chNNN..." (as the
// export writes them, each a different channel) keep channel NNN; any other
// set of wires takes channels 1..N in declaration order, a wider wire one
// channel per bit ("count[0]", bit 0 first), up to 128 channels. Times may
// use any $timescale; the capture start comes from $date when it can be
// read, else it is 1 January 2000 00:00. The levels in the first $dumpvars
// (and values before the first time) are the start levels; every later
// value that changes a level is an event. x and z change nothing on a 1-bit
// wire and read as 0 on a bit of a wider one. Variables that are not levels
// (real, integer, event, string...) are left out.
class VcdImport {
 public:
  // Resets the names and conditions in `traces` ("#1".."#128", not searched).
  VcdImport(CaptureData& data, TraceList& traces);

  // False when the line cannot be taken; Error() then says why.
  bool ReadLine(std::string_view line, uint32_t& count);
  // After the last line: sets the capture's span and its start and end
  // levels. False when the file held no complete header.
  bool Finish(uint32_t count);

  const std::string& Error() const { return error_; }
  // Inside a comment or another command whose text is passed over.
  bool SkippingText() const { return collecting_ && (command_ == Command::Comment || command_ == Command::Other); }
  // After Finish: what was left out or read leniently, one line each.
  const std::vector<std::string>& Warnings() const { return warnings_; }
  // Changes passed over: those that found the store full.
  const SkippedEvents& Skipped() const { return skipped_; }

 private:
  enum class Command { None, Date, Timescale, Var, Comment, EndDefinitions, Other };
  enum class Pending { None, Vector, Real };
  struct Wire {
    std::string code;
    std::string name;       // without its range
    std::string reference;  // with the range as declared, for a 1-bit wire's name
    int width = 1;
    int lsb = 0;            // the index of the rightmost bit of a value
    int step = 1;           // +1 when the indices grow to the left, else -1
    bool levels = true;     // false: real, integer, event... (left out)
  };
  // A channel fed by a code, and which bit of the code's value (0: rightmost).
  struct CodeTarget {
    uint8_t channel;
    uint16_t bit;
  };
  struct CodeUse {
    std::vector<CodeTarget> targets;
    bool wide = false;  // a wire of more than one bit
  };

  bool Token(std::string_view token, uint32_t& count);
  bool HeaderToken(std::string_view token);
  bool BodyToken(std::string_view token, uint32_t& count);
  bool EndCommand();
  bool DeclareWire(std::string_view text);
  bool SetTimescale(std::string_view text);
  bool AssignChannels();
  bool Value(char value, std::string_view code, uint32_t& count);
  bool VectorValue(std::string_view bits, std::string_view code, uint32_t& count);
  void WideValue(std::string_view bits, const CodeUse& use, uint32_t& count);
  void Apply(uint8_t channel, uint8_t level, bool initial, uint32_t& count);
  // A code the dump declared; null (with the error set) otherwise.
  const CodeUse* Use(std::string_view code);
  bool SetTime(uint64_t t, std::string_view token);
  // The slot of a wire code in the code tables (-1 there: not declared);
  // null when it is not there and `create` is false.
  int* CodeSlot(std::string_view code, bool create);
  bool Fail(std::string text);

  static constexpr size_t kMaxCommandText = size_t{1} << 20;

  CaptureData& data_;
  TraceList& traces_;
  std::string error_;

  Command command_ = Command::None;
  std::string raw_;           // text of the command being read
  bool collecting_ = false;   // raw_ takes the rest of each line
  bool inBody_ = false;       // after $enddefinitions
  bool inDump_ = false;       // inside $dumpvars/$dumpall/$dumpon/$dumpoff
  bool initialDump_ = false;  // that block gives the start levels
  Pending pending_ = Pending::None;  // a "b..." or "r..." value waiting for its code
  std::string pendingVector_;
  std::string commandName_;   // "$date"..., for a command without its $end
  int commandTokens_ = 0;     // words of the command read so far
  bool commentFull_ = false;  // the comment's text beyond kMaxCommandText is not kept

  std::vector<Wire> wires_;
  static constexpr int kPrintable = '~' - '!' + 1;
  // Code -> index into codeChannels_, by the code's length.
  int singleCodes_[kPrintable];
  std::vector<int> doubleCodes_;
  std::unordered_map<std::string, int> multiCodes_;
  std::vector<CodeUse> codeUses_;
  std::vector<std::string> warnings_;
  uint64_t wideUnknownBits_ = 0;  // x or z bits of wider wires, read as 0
  bool dumpWithoutEnd_ = false;
  double lastDays_ = 0.0;         // the latest moment a time may reach (year 9999)
  std::unordered_map<int, std::string> commentNames_;

  SkippedEvents skipped_;
  // Times are checked line by line above; the store takes them in order and
  // up to the year 9999 all the same.
  StoreFiller filler_;
  double date_ = 0.0;
  double unitDays_ = 0.0;  // one time unit in days
  bool timeSeen_ = false;
  bool levelsBeforeTime_ = false;  // $dumpvars or values before the first time: the start is time 0
  bool eventsBegun_ = false;
  uint64_t firstTime_ = 0;
  uint64_t now_ = 0;
  double nowDays_ = 0.0;
  uint8_t level_[kChannelCount] = {};
  uint8_t start_[kChannelCount] = {};
  uint8_t storedEnd_[kChannelCount] = {};  // the levels and time when the store filled
  double storedEndTime_ = 0.0;
};

}  // namespace korvalog
