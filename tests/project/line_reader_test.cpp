// Line splitting across the reader's block boundaries, and the digit table.
#include "project/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/byte_text.h"
#include "project/hex_record.h"
#include "temp_dir.h"

namespace korvalog {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes, std::vector<bool>* cuts = nullptr) {
  testing_support::TempDir dir;
  testing_support::WriteBytes(dir / "f", bytes);
  std::FILE* f = std::fopen((dir / "f").c_str(), "rb");
  LineReader reader(f);
  std::vector<std::string> lines;
  std::string_view line;
  bool cut = false;
  while (reader.Next(line, cut)) {
    lines.emplace_back(line);
    if (cuts) cuts->push_back(cut);
  }
  std::fclose(f);
  return lines;
}

TEST(LineReader, CrLfSplitAcrossABlockIsOneLineEnd) {
  // The CR is the last byte of the first block, the LF the first of the next.
  std::string text;
  while (text.size() + 10 < LineReader::kBufferSize - 1) text += "123456789\n";
  text.resize(LineReader::kBufferSize - 1, 'z');
  text += "\r\nlast";
  const std::vector<std::string> lines = ReadAll(text);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "last");
  EXPECT_EQ(lines[lines.size() - 2].back(), 'z');
  for (const std::string& l : lines) EXPECT_FALSE(l.empty());
}

TEST(LineReader, OverlongLinesAreCutAndMarked) {
  std::vector<bool> cuts;
  const std::vector<std::string> lines =
      ReadAll("short\n" + std::string(LineReader::kBufferSize * 2 + 7, 'q') + "\r\nafter", &cuts);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "short");
  EXPECT_EQ(lines[1].size(), LineReader::kMaxLine);
  EXPECT_TRUE(cuts[1]);
  EXPECT_EQ(lines[2], "after");
  EXPECT_FALSE(cuts[2]);
}

TEST(LineReader, EmptyLinesBetweenSingleEndsStay) {
  EXPECT_EQ(ReadAll("a\n\nb\r\rc\r\n\r\nd"), (std::vector<std::string>{"a", "", "b", "", "c", "", "d"}));
  EXPECT_TRUE(ReadAll("").empty());
  EXPECT_EQ(ReadAll("\n"), std::vector<std::string>{""});
}

}  // namespace
}  // namespace korvalog

namespace korvalog {
namespace {

// The loader's table must read every digit pair exactly as ParseHexByte does.
TEST(HexRecord, ReadsEveryPairAsTheHelperDoes) {
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const char pair[2] = {static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(DecodeHexPair(pair), ParseHexByte(std::string_view(pair, 2), 1)) << a << " " << b;
    }
  }
  uint8_t rec[3];
  DecodeHexRecord("0aFfz1", rec);
  EXPECT_EQ(rec[0], 0x0A);
  EXPECT_EQ(rec[1], 0xFF);
  EXPECT_EQ(rec[2], 0x01);
  // A whole record (eight digit pairs at a time where the processor
  // allows) reads every pair as the table does, whatever the bytes.
  for (int first = 0; first < 256; ++first) {
    char digits[20];
    for (int i = 0; i < 20; ++i) digits[i] = static_cast<char>((first + i * 37 + (i & 1) * first * 11) & 0xFF);
    uint8_t record[10];
    DecodeHexRecord(digits, record);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(record[i], DecodeHexPair(digits + 2 * i)) << first << " " << i;
  }
}

}  // namespace
}  // namespace korvalog
