#include "fleet/event_blocks.h"

#include <algorithm>
#include <cstring>

#include "base/byte_text.h"

namespace korvalog {
namespace {

uint64_t Bits(double d) {
  uint64_t b;
  std::memcpy(&b, &d, sizeof b);
  return b;
}

double FromBits(uint64_t b) {
  double d;
  std::memcpy(&d, &b, sizeof d);
  return d;
}

void PutVarint(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}

bool GetVarint(std::string_view data, size_t& at, uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 64 && at < data.size(); shift += 7) {
    const auto byte = static_cast<uint8_t>(data[at++]);
    v |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

constexpr size_t kEventLine = 1 + 2 * sizeof(EventRecord) + 2;  // "E", hex, CR LF

bool IsEventLine(std::string_view text, size_t at) {
  return text.size() - at >= kEventLine && text[at] == 'E' && text[at + kEventLine - 2] == '\r' &&
         text[at + kEventLine - 1] == '\n';
}

// Upper-case hex digits and their values; anything else (a lower-case digit
// too: it would not come back as it was) is 0xFF. A table: the store reads
// twenty digits an event, a million events a capture.
struct HexTable {
  uint8_t value[256];
  constexpr HexTable() : value() {
    for (int i = 0; i < 256; ++i) value[i] = 0xFF;
    for (int i = 0; i < 10; ++i) value['0' + i] = static_cast<uint8_t>(i);
    for (int i = 0; i < 6; ++i) value['A' + i] = static_cast<uint8_t>(10 + i);
  }
};
constexpr HexTable kHex;

bool ReadEventLine(std::string_view text, size_t at, EventRecord& e) {
  uint8_t bytes[sizeof(EventRecord)];
  const auto* digits = reinterpret_cast<const uint8_t*>(text.data() + at + 1);
  uint8_t bad = 0;
  for (size_t i = 0; i < sizeof bytes; ++i) {
    const uint8_t h = kHex.value[digits[2 * i]], l = kHex.value[digits[2 * i + 1]];
    bad |= static_cast<uint8_t>(h | l);
    bytes[i] = static_cast<uint8_t>((h << 4) | (l & 0x0F));
  }
  if ((bad & 0xF0) != 0) return false;
  std::memcpy(&e, bytes, sizeof e);
  return true;
}

// True when a line starting at `at` is an event line anywhere in [from, to).
bool AnyEventLine(std::string_view text, size_t from, size_t to) {
  for (size_t at = from; at < to; ++at) {
    if (text[at] == 'E' && (at == 0 || text[at - 1] == '\n')) return true;
  }
  return false;
}

}  // namespace

bool EncodeEventBlocks(const EventRecord* events, size_t count, std::vector<EventBlock>& blocks) {
  blocks.clear();
  for (size_t start = 0; start < count; start += kEventsPerBlock) {
    const size_t end = std::min(count, start + kEventsPerBlock);
    EventBlock block;
    block.events = static_cast<uint32_t>(end - start);
    block.data.reserve((end - start) * 4);
    block.firstTime = block.lastTime = events[start].time;
    uint64_t previous = 0;
    for (size_t i = start; i < end; ++i) {
      const EventRecord& e = events[i];
      if (e.channel < 1 || e.channel > kChannelCount || e.state > 1) return false;
      const double time = e.time;
      block.firstTime = std::min(block.firstTime, time);
      block.lastTime = std::max(block.lastTime, time);
      block.data += static_cast<char>(((e.channel - 1) << 1) | e.state);
      const uint64_t bits = Bits(time);
      const auto step = static_cast<int64_t>(bits - previous);  // wraps, and wraps back on reading
      PutVarint(block.data, (static_cast<uint64_t>(step) << 1) ^ static_cast<uint64_t>(step >> 63));
      previous = bits;
    }
    blocks.push_back(std::move(block));
  }
  return true;
}

bool DecodeEventBlock(std::string_view data, std::vector<EventRecord>& out) {
  uint64_t previous = 0;
  for (size_t at = 0; at < data.size();) {
    const auto head = static_cast<uint8_t>(data[at++]);
    uint64_t zigzag = 0;
    if (!GetVarint(data, at, zigzag)) return false;
    const uint64_t step = (zigzag >> 1) ^ (~(zigzag & 1) + 1);
    previous += step;
    EventRecord e;
    e.time = FromBits(previous);
    e.channel = static_cast<uint8_t>((head >> 1) + 1);
    e.state = head & 1;
    out.push_back(e);
  }
  return true;
}

bool SplitProjectText(std::string_view text, ProjectParts& parts) {
  parts = ProjectParts{};
  size_t first = std::string_view::npos;
  for (size_t at = 0; at < text.size(); at = text.find('\n', at) == std::string_view::npos
                                                 ? text.size()
                                                 : text.find('\n', at) + 1) {
    if (text[at] == 'E') {
      first = at;
      break;
    }
  }
  if (first == std::string_view::npos) {
    parts.head.assign(text);
    return true;
  }
  size_t at = first;
  parts.events.reserve((text.size() - first) / kEventLine);
  for (; at < text.size() && text[at] == 'E'; at += kEventLine) {
    EventRecord e;
    if (!IsEventLine(text, at) || !ReadEventLine(text, at, e)) return false;
    parts.events.push_back(e);
  }
  if (AnyEventLine(text, at, text.size())) return false;
  parts.head.assign(text.substr(0, first));
  parts.tail.assign(text.substr(at));
  return true;
}

std::string JoinProjectText(const std::string& head, const std::vector<EventRecord>& events, const std::string& tail) {
  std::string out;
  out.reserve(head.size() + events.size() * kEventLine + tail.size());
  out += head;
  for (const EventRecord& e : events) {
    out += 'E';
    const auto* p = reinterpret_cast<const uint8_t*>(&e);
    for (size_t i = 0; i < sizeof e; ++i) AppendByteHex(out, p[i]);
    out += "\r\n";
  }
  out += tail;
  return out;
}

}  // namespace korvalog
