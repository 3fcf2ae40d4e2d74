#pragma once
// The binary records shared by the capture, the project files and the dump.
// Their byte layouts are stored as they are, so they are packed and checked.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/fleet_connection.h"

namespace korvalog {

constexpr int kChannelCount = 128;
constexpr uint32_t kEventCapacity = 1048576;
constexpr int kSequenceRows = 15;
constexpr int kChannelNameMax = 32;

// A double stored at any address. Records sit 10 bytes apart, so their time
// is misaligned; this type reads and writes it by copying and cannot be bound
// to a double reference by mistake.
class UnalignedDouble {
 public:
  UnalignedDouble() = default;
  UnalignedDouble(double v) { *this = v; }  // NOLINT: converts like a double
  UnalignedDouble& operator=(double v) {
    std::memcpy(bytes_, &v, sizeof v);
    return *this;
  }
  operator double() const {  // NOLINT: reads like a double
    double v;
    std::memcpy(&v, bytes_, sizeof v);
    return v;
  }
  double Value() const { return *this; }

 private:
  unsigned char bytes_[8];
};

#pragma pack(push, 1)
// One captured transition: local date-time, channel 1..128, new level 0/1.
// Packed: records sit 10 bytes apart in the store and in files.
struct EventRecord {
  UnalignedDouble time;
  uint8_t channel;
  uint8_t state;
};
#pragma pack(pop)

// The remaining records have no padding in their natural layout, so they
// keep their natural alignment (the static_asserts below hold the layout).

// A position in the capture with the channel levels at that point.
struct PositionSnapshot {
  uint32_t index = 0;               // first record not before `time`
  uint8_t reserved[4] = {0, 0, 0, 0};  // kept as read from a file
  double time = 0.0;
  uint8_t states[kChannelCount] = {};  // channel 1 first
};

// Channel name as a counted text plus the search condition.
struct ChannelRecord {
  uint8_t nameLength = 0;
  char nameChars[kChannelNameMax] = {};
  uint8_t SearchCondition = 2;  // 0 = LOW, 1 = HIGH, 2 = ignore
};

// One step of the Sequencer pattern.
struct SequenceRow {
  uint8_t signal = 0;   // channel 1..128, 0 = none
  uint8_t event = 1;    // level the signal changes to
  uint16_t minTime = 0; // whole seconds, 0 = no minimum
  uint16_t maxTime = 0; // whole seconds, 0 = no maximum
};

static_assert(sizeof(EventRecord) == 10);
static_assert(sizeof(PositionSnapshot) == 144);
static_assert(sizeof(ChannelRecord) == 34);
static_assert(sizeof(SequenceRow) == 6);
static_assert(offsetof(PositionSnapshot, time) == 8 && offsetof(PositionSnapshot, states) == 16);
static_assert(offsetof(ChannelRecord, SearchCondition) == 33);
static_assert(offsetof(SequenceRow, minTime) == 2 && offsetof(SequenceRow, maxTime) == 4);

constexpr uint8_t kSearchLow = 0;
constexpr uint8_t kSearchHigh = 1;
constexpr uint8_t kSearchIgnore = 2;

// The name's text; a stored length above 32 reads as 32.
std::string ChannelName(const ChannelRecord& rec);
// Stores a name, cut to 32 characters.
void SetChannelName(ChannelRecord& rec, std::string_view name);

using ChannelTable = std::array<ChannelRecord, kChannelCount>;
using SequenceTable = std::array<SequenceRow, kSequenceRows>;
// Rows from row 1 up to the first whose signal is 0.
int CountSequenceSteps(const SequenceTable& table);
// DisplayOrder[r - 1] is the channel shown in grid row r.
using DisplayOrder = std::array<uint8_t, kChannelCount>;

// Logger type codes.
constexpr uint8_t kLogger96 = 0;
constexpr uint8_t kLogger128 = 1;
constexpr uint8_t kLoggerUsb = 2;

// What the window program does when the store is full: stop the capture,
// or go on into numbered projects in a folder, keeping at most `keep` of
// them (0: every one).
struct FullStoreChoice {
  bool goOn = false;
  std::string folder;
  int32_t keep = 0;
  bool operator==(const FullStoreChoice&) const = default;
};

// Which logger is attached and how to drive it. LoggerType is read by the
// serial receive thread while the interface thread may change it.
struct LoggerSettings {
  uint8_t Port = 1;
  std::atomic<uint8_t> LoggerType{kLogger96};
  uint16_t Debounce = 5;  // units of 10 ms
  bool ACSignals = false;
  uint8_t ColourMode = 0;  // 0 = 16 colours, 1 = 64 colours
  FullStoreChoice WhenFull;
  FleetConnection Fleet;  // the window's Publish command

  LoggerSettings() = default;
  LoggerSettings(const LoggerSettings& o) { *this = o; }
  LoggerSettings& operator=(const LoggerSettings& o) {
    Port = o.Port;
    LoggerType.store(o.LoggerType.load());
    Debounce = o.Debounce;
    ACSignals = o.ACSignals;
    ColourMode = o.ColourMode;
    WhenFull = o.WhenFull;
    Fleet = o.Fleet;
    return *this;
  }
  bool operator==(const LoggerSettings& o) const {
    return Port == o.Port && LoggerType.load() == o.LoggerType.load() && Debounce == o.Debounce &&
           ACSignals == o.ACSignals && ColourMode == o.ColourMode && WhenFull == o.WhenFull &&
           Fleet == o.Fleet;
  }
};

}  // namespace korvalog
