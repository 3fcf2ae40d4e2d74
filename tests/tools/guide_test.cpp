// The user guide: korvalog-guide draws the program's windows and writes the
// PDF, and the build has put Korvalog.pdf beside the program, where F1
// looks for it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>
#include <string>

#include "guide/guide_pages.h"
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
                           "zoomed.png", "report.png", "roles.png", "compare.png"}) {
    const std::string picture = dir / "pictures" + "/" + name;
    ASSERT_TRUE(std::filesystem::exists(picture)) << name;
    EXPECT_GT(std::filesystem::file_size(picture), 10000u) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));
}

// The list's order first, skipping comments, blanks, repeats, names with no
// page and pages it leaves out; then the pages it does not name, by name.
TEST(UserGuide, TakesThePagesInTheListsOrderThenTheRest) {
  TempDir dir;
  for (const char* page : {"b.md", "a.md", "z.md", "new.md", "dev.md", "notes.txt"}) {
    std::ofstream(dir / page) << "# " << page;
  }
  std::ofstream(dir / "guide-pages.txt") << "# order\n\nz.md\r\n  b.md \nmissing.md\nz.md\n- dev.md\r\n-\n";
  std::vector<std::string> names;
  for (const auto& p : guide::GuidePages(dir.Path())) names.push_back(p.filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"z.md", "b.md", "a.md", "new.md"}));
  std::string text, error;
  ASSERT_TRUE(guide::JoinPages(guide::GuidePages(dir.Path()), text, error)) << error;
  EXPECT_EQ(text, "# Korvalog user guide\n\n- z.md\n- b.md\n- a.md\n- new.md\n\n\n# z.md\n\n# b.md\n\n# a.md\n\n# new.md");
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
