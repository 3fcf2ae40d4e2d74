// The user guide: korvalog-guide draws the program's windows and writes the
// PDF, and the build has put Korvalog.pdf beside the program, where F1
// looks for it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

size_t Occurrences(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Pages, and pictures drawn in full (not the placeholder of a missing one).
void ExpectGuide(const std::string& pdf) {
  const std::string bytes = ReadBytes(pdf);
  ASSERT_GT(bytes.size(), 100000u) << pdf;
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("/Title"), std::string::npos);
  EXPECT_GE(Occurrences(bytes, "/Type /Page\n") + Occurrences(bytes, "/Type /Page\r") +
                Occurrences(bytes, "/Type /Page "), 4u);
  EXPECT_GE(Occurrences(bytes, "/Subtype /Image"), 6u);
}

TEST(UserGuide, DrawsThePicturesAndWritesThePdf) {
  TempDir dir;
  const std::string pdf = dir / "Korvalog.pdf";
  const std::string command = std::string(KORVALOG_GUIDE_PATH) + " '" + KORVALOG_GUIDE_TEXT + "' '" +
                              KORVALOG_SAMPLE_PATH + "' '" + pdf + "' '" + dir / "pictures" + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ExpectGuide(pdf);
  for (const char* name : {"main-window.png", "properties.png", "export.png", "statistics.png", "sequencer.png",
                           "zoomed.png"}) {
    const std::string picture = dir / "pictures" + "/" + name;
    ASSERT_TRUE(std::filesystem::exists(picture)) << name;
    EXPECT_GT(std::filesystem::file_size(picture), 10000u) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
}

TEST(UserGuide, TheBuildPutsItBesideTheProgram) { ExpectGuide(KORVALOG_BUILT_GUIDE); }

TEST(UserGuide, AMissingTextWritesNothing) {
  TempDir dir;
  const std::string pdf = dir / "Korvalog.pdf";
  const std::string command = std::string(KORVALOG_GUIDE_PATH) + " '" + dir / "none.md" + "' '" +
                              KORVALOG_SAMPLE_PATH + "' '" + pdf + "' 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

}  // namespace
}  // namespace korvalog
