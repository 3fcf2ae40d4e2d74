// Damaged and foreign files opened in the main window: one warning for a
// project read only in part, and a refusal that leaves the capture on show.
#include <gtest/gtest.h>

#include "project/project_file.h"
#include "project/temp_dir.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

// Records the text of the next message box and closes it.
std::function<void(QWidget*)> ReadAndClose(std::string& text) {
  return [&text](QWidget* w) {
    if (auto* box = qobject_cast<TMessageBoxForm*>(w)) text = box->Text();
    QTest::keyClick(w, Qt::Key_Return);
  };
}

class DamagedFileWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    StoreForWindow(1, kLoggerUsb, 5, false);
    ManualClock clock(45000.0);
    CaptureData data(clock);
    CaptureView view;
    data.SetCapture(true);
    for (int i = 0; i < 6; ++i) data.ApplyTransition(45000.0 + i / 86400.0, 2, static_cast<uint8_t>(1 - (i % 2)));
    data.SetCapture(false);
    good = dir / "good.kv";
    ASSERT_TRUE(WriteProjectFile(good, data, view, data.CaptureStart, data.CaptureEnd).ok);
  }
  TempDir dir;
  std::string good;
};

TEST_F(DamagedFileWindow, ForeignFilesAreRefusedAndTheCaptureStays) {
  ProgramWindows w;
  w.main.show();
  ASSERT_TRUE(w.main.Commands().LoadFile(good));
  ASSERT_EQ(w.data.Store.Count(), 6u);
  const std::string cases[][2] = {
      {"empty.kv", ""},
      {"letter.kv", "Dear customer,\r\nthe lift is fixed.\r\n"},
      {"random.kv", std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + std::string(5000, 'E')},
  };
  for (const auto& [name, bytes] : cases) {
    const std::string path = dir / name;
    WriteBytes(path, bytes);
    std::string text;
    ModalAnswer box{ReadAndClose(text)};
    AnswerNextModal(box);
    EXPECT_FALSE(w.main.Commands().LoadFile(path)) << name;
    EXPECT_EQ(box.seen, 1) << name;
    EXPECT_EQ(text, path + ": not a Korvalog project");
    EXPECT_EQ(w.data.Store.Count(), 6u) << name;
    EXPECT_TRUE(w.data.DataPresent.load()) << name;
  }
}

TEST_F(DamagedFileWindow, ACutProjectLoadsWithOneWarning) {
  ProgramWindows w;
  w.main.show();
  const std::string bytes = ReadBytes(good);
  const std::string cut = dir / "cut.kv";
  // Into the fourth event line: three events stay.
  WriteBytes(cut, bytes.substr(0, 128 * 73 + 15 * 17 + 3 * 23 + 11));
  std::string text;
  ModalAnswer box{ReadAndClose(text)};
  AnswerNextModal(box);
  EXPECT_TRUE(w.main.Commands().LoadFile(cut));
  EXPECT_EQ(box.seen, 1);
  EXPECT_EQ(text, "1 line ignored; the file ends in the middle of a line");
  EXPECT_EQ(w.data.Store.Count(), 3u);
}

}  // namespace
}  // namespace korvalog::test
