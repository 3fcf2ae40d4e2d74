#include "core/journal_format.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>

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
uint32_t IndexedCrc(uint32_t index, const void* bytes, size_t size, uint32_t seed) {
  char b[4];
  PutU32(index, b);
  return Crc32(bytes, size, Crc32(b, 4, seed));
}
void AppendU64(std::vector<char>& out, uint64_t v) {
  AppendU32(out, static_cast<uint32_t>(v));
  AppendU32(out, static_cast<uint32_t>(v >> 32));
}

// The part of one header copy that does not depend on the target's length.
constexpr size_t kFixedV1 = sizeof kJournalMagic + 4 + sizeof(PositionSnapshot) + sizeof(ChannelTable) +
                            sizeof(SequenceTable) + sizeof(DisplayOrder) + 2;
constexpr size_t kFixedV2 = kFixedV1 + 8;
constexpr size_t kLargestCopy = kFixedV2 + 0xFFFF + 4;

// Reads one header copy at the front of `bytes`; its size, or 0.
size_t ParseCopy(std::string_view bytes, JournalHeader& header) {
  if (bytes.size() < sizeof kJournalMagic) return 0;
  int version = 0;
  if (std::memcmp(bytes.data(), kJournalMagic, sizeof kJournalMagic) == 0) version = 2;
  if (std::memcmp(bytes.data(), kJournalMagicV1, sizeof kJournalMagicV1) == 0) version = 1;
  const size_t fixed = version == 2 ? kFixedV2 : kFixedV1;
  if (version == 0 || bytes.size() < fixed + 4) return 0;
  const char* p = bytes.data() + sizeof kJournalMagic;
  const size_t size = GetU32(p);
  p += 4;
  if (size < fixed + 4 || size > bytes.size() || size > fixed + 4 + 0xFFFF) return 0;
  if (Crc32(bytes.data(), size - 4) != GetU32(bytes.data() + size - 4)) return 0;
  header.version = version;
  header.captureId = 0;
  if (version == 2) {
    header.captureId = GetU32(p) | (static_cast<uint64_t>(GetU32(p + 4)) << 32);
    p += 8;
  }
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
  if (fixed + targetLength + 4 != size) return 0;
  header.target.assign(p, targetLength);
  return size;
}

}  // namespace

uint32_t Crc32(const void* bytes, size_t size, uint32_t crc) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = kCrcTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t JournalCheckSeed(const JournalHeader& header) {
  if (header.version < 2) return 0;
  char b[8];
  PutU32(static_cast<uint32_t>(header.captureId), b);
  PutU32(static_cast<uint32_t>(header.captureId >> 32), b + 4);
  return Crc32(b, sizeof b);
}

uint64_t NewCaptureId() {
  static std::atomic<uint64_t> counter{0};
  uint64_t id = static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  try {
    std::random_device device;
    id ^= (static_cast<uint64_t>(device()) << 32) ^ device();
  } catch (...) {
    // The clock and the counter alone still differ between journals.
  }
  return id ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
}

bool HasJournalMagic(std::string_view bytes) {
  if (bytes.size() >= sizeof kJournalMagicV1 &&
      std::memcmp(bytes.data(), kJournalMagicV1, sizeof kJournalMagicV1) == 0) {
    return true;
  }
  return bytes.substr(0, 2 * kLargestCopy).find(std::string_view(kJournalMagic, sizeof kJournalMagic)) !=
         std::string_view::npos;
}

void AppendJournalHeader(const JournalHeader& header, std::vector<char>& out) {
  const size_t first = out.size();
  const size_t targetLength = std::min<size_t>(header.target.size(), 0xFFFF);
  Append(out, kJournalMagic, sizeof kJournalMagic);
  AppendU32(out, static_cast<uint32_t>(kFixedV2 + targetLength + 4));
  AppendU64(out, header.captureId);
  Append(out, &header.start, sizeof header.start);
  Append(out, header.channels.data(), sizeof header.channels);
  Append(out, header.sequence.data(), sizeof header.sequence);
  Append(out, header.order.data(), sizeof header.order);
  out.push_back(static_cast<char>(targetLength & 0xFF));
  out.push_back(static_cast<char>(targetLength >> 8));
  Append(out, header.target.data(), targetLength);
  AppendU32(out, Crc32(out.data() + first, out.size() - first));
  // The second copy, byte for byte.
  const size_t size = out.size() - first;
  out.resize(out.size() + size);
  std::memcpy(out.data() + first + size, out.data() + first, size);
}

size_t ParseJournalHeader(std::string_view bytes, JournalHeader& header) {
  const size_t size = ParseCopy(bytes, header);
  if (size > 0) {
    if (header.version == 1) return size;
    // The copies are equal in size: the frames follow the second whatever
    // became of it.
    // A journal cut inside the second copy holds no frames yet.
    return std::min(2 * size, bytes.size());
  }
  // The first copy is damaged: the second is found by its mark.
  const std::string_view magic(kJournalMagic, sizeof kJournalMagic);
  const std::string_view front = bytes.substr(0, 2 * kLargestCopy);
  for (size_t at = front.find(magic, 1); at != std::string_view::npos; at = front.find(magic, at + 1)) {
    const size_t second = ParseCopy(bytes.substr(at), header);
    if (second > 0 && header.version == 2) return at + second;
  }
  return 0;
}

void EncodeEventFrame(const EventRecord& record, uint32_t index, char* out, uint32_t seed) {
  std::memcpy(out, &record, sizeof record);
  PutU32(IndexedCrc(index, &record, sizeof record, seed), out + sizeof record);
}

void AppendEndFrame(double stopTime, uint32_t count, const uint8_t levels[kChannelCount],
                    std::vector<char>& out, uint32_t seed) {
  EventRecord mark;
  mark.time = stopTime;
  mark.channel = 0;
  mark.state = kJournalEndMark;
  char frame[kJournalFrameSize];
  EncodeEventFrame(mark, count, frame, seed);
  Append(out, frame, sizeof frame);
  Append(out, levels, kChannelCount);
  AppendU32(out, IndexedCrc(count, levels, kChannelCount, seed));
}

bool FrameIntact(const char* frame, uint32_t index, uint32_t seed) {
  return IndexedCrc(index, frame, sizeof(EventRecord), seed) == GetU32(frame + sizeof(EventRecord));
}

bool EndLevelsIntact(const char* levelsAndCrc, uint32_t count, uint32_t seed) {
  return IndexedCrc(count, levelsAndCrc, kChannelCount, seed) == GetU32(levelsAndCrc + kChannelCount);
}

// Gap marks take the top bit of the index, which no event's index (below
// the store's 1,048,576) ever has.
constexpr uint32_t kGapIndexBit = 0x80000000u;

void AppendGapFrame(double time, bool back, uint32_t index, std::vector<char>& out, uint32_t seed) {
  EventRecord mark;
  mark.time = time;
  mark.channel = 0;
  mark.state = back ? kJournalGapBack : kJournalGapLost;
  char frame[kJournalFrameSize];
  EncodeEventFrame(mark, index | kGapIndexBit, frame, seed);
  Append(out, frame, sizeof frame);
}

bool GapFrameIntact(const char* frame, uint32_t index, uint32_t seed, double& time, bool& back) {
  if (!FrameIntact(frame, index | kGapIndexBit, seed)) return false;
  EventRecord mark;
  std::memcpy(&mark, frame, sizeof mark);
  if (mark.channel != 0 || (mark.state != kJournalGapLost && mark.state != kJournalGapBack)) return false;
  time = mark.time;
  back = mark.state == kJournalGapBack;
  return true;
}

}  // namespace korvalog
