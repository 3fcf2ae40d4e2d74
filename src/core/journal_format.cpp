#include "core/journal_format.h"

#include <array>
#include <cstring>

namespace korvalog {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

void PutU32(uint32_t v, char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint32_t GetU32(const char* in) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(in[i])) << (8 * i);
  return v;
}
void Append(std::vector<char>& out, const void* bytes, size_t size) {
  const char* p = static_cast<const char*>(bytes);
  out.insert(out.end(), p, p + size);
}
void AppendU32(std::vector<char>& out, uint32_t v) {
  char b[4];
  PutU32(v, b);
  Append(out, b, 4);
}
uint32_t IndexedCrc(uint32_t index, const void* bytes, size_t size) {
  char b[4];
  PutU32(index, b);
  return Crc32(bytes, size, Crc32(b, 4));
}

constexpr size_t kFixedHeader = sizeof kJournalMagic + 4 + sizeof(PositionSnapshot) + sizeof(ChannelTable) +
                                sizeof(SequenceTable) + sizeof(DisplayOrder) + 2;

}  // namespace

uint32_t Crc32(const void* bytes, size_t size, uint32_t crc) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void AppendJournalHeader(const JournalHeader& header, std::vector<char>& out) {
  const size_t first = out.size();
  const size_t targetLength = std::min<size_t>(header.target.size(), 0xFFFF);
  Append(out, kJournalMagic, sizeof kJournalMagic);
  AppendU32(out, static_cast<uint32_t>(kFixedHeader + targetLength + 4));
  Append(out, &header.start, sizeof header.start);
  Append(out, header.channels.data(), sizeof header.channels);
  Append(out, header.sequence.data(), sizeof header.sequence);
  Append(out, header.order.data(), sizeof header.order);
  out.push_back(static_cast<char>(targetLength & 0xFF));
  out.push_back(static_cast<char>(targetLength >> 8));
  Append(out, header.target.data(), targetLength);
  AppendU32(out, Crc32(out.data() + first, out.size() - first));
}

size_t ParseJournalHeader(std::string_view bytes, JournalHeader& header) {
  if (bytes.size() < kFixedHeader + 4 || std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) != 0) {
    return 0;
  }
  const char* p = bytes.data() + sizeof kJournalMagic;
  const size_t size = GetU32(p);
  p += 4;
  if (size < kFixedHeader + 4 || size > bytes.size() || size > kFixedHeader + 4 + 0xFFFF) return 0;
  if (Crc32(bytes.data(), size - 4) != GetU32(bytes.data() + size - 4)) return 0;
  std::memcpy(&header.start, p, sizeof header.start);
  p += sizeof header.start;
  std::memcpy(header.channels.data(), p, sizeof header.channels);
  p += sizeof header.channels;
  std::memcpy(header.sequence.data(), p, sizeof header.sequence);
  p += sizeof header.sequence;
  std::memcpy(header.order.data(), p, sizeof header.order);
  p += sizeof header.order;
  const size_t targetLength = static_cast<uint8_t>(p[0]) | (static_cast<size_t>(static_cast<uint8_t>(p[1])) << 8);
  p += 2;
  if (kFixedHeader + targetLength + 4 != size) return 0;
  header.target.assign(p, targetLength);
  return size;
}

void EncodeEventFrame(const EventRecord& record, uint32_t index, char* out) {
  std::memcpy(out, &record, sizeof record);
  PutU32(IndexedCrc(index, &record, sizeof record), out + sizeof record);
}

void AppendEndFrame(double stopTime, uint32_t count, const uint8_t levels[kChannelCount],
                    std::vector<char>& out) {
  EventRecord mark;
  mark.time = stopTime;
  mark.channel = 0;
  mark.state = kJournalEndMark;
  char frame[kJournalFrameSize];
  EncodeEventFrame(mark, count, frame);
  Append(out, frame, sizeof frame);
  Append(out, levels, kChannelCount);
  AppendU32(out, IndexedCrc(count, levels, kChannelCount));
}

bool FrameIntact(const char* frame, uint32_t index) {
  return IndexedCrc(index, frame, sizeof(EventRecord)) == GetU32(frame + sizeof(EventRecord));
}

bool EndLevelsIntact(const char* levelsAndCrc, uint32_t count) {
  return IndexedCrc(count, levelsAndCrc, kChannelCount) == GetU32(levelsAndCrc + kChannelCount);
}

}  // namespace korvalog
