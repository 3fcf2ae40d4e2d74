// The Export dialog on the offscreen platform: its choices become the file,
// the controls follow the format, and a bad choice keeps it open with the
// reason shown.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "common/capture_builder.h"
#include "project/qt/export_dialog.h"
#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing::At;
using testing::CaptureBuilder;
using testing_support::ReadBytes;
using testing_support::TempDir;

class ExportDialogTest : public ::testing::Test {
 protected:
  ExportDialogTest() {
    b.Event(1.0, 2, 1).Event(2.0, 3, 1).Event(3.0, 2, 0).Finish(4.0);
    selectionStart = b.data.CaptureStart;
    selectionStart.time = At(1.5);
    selectionEnd = b.data.CaptureEnd;
    selectionEnd.time = At(2.5);
  }
  CaptureBuilder b;
  LoggerSettings settings;
  PositionSnapshot selectionStart, selectionEnd;
  TempDir dir;
};

TEST_F(ExportDialogTest, SelectionAsWideCsv) {
  ExportDialog dialog(b.data, b.view, settings, selectionStart, selectionEnd);
  ExportChoices c;
  c.format = ExportFormat::Csv;
  c.selectionOnly = true;
  c.channelSet = ChannelSet::List;
  c.channelList = "3, 2";
  c.wideCsv = true;
  c.path = dir / "sel.txt";
  dialog.SetChoices(c);
  EXPECT_EQ(dialog.Choices().path, dir / "sel.txt.csv");  // the format's extension
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted) << dialog.ErrorText().toStdString();
  EXPECT_EQ(ReadBytes(dir / "sel.txt.csv"),
            "time_s,local_time,2 #2,3 #3\r\n"
            "1.500,2025-01-01T00:00:01.500,1,0\r\n"
            "2.000,2025-01-01T00:00:02.000,1,1\r\n");
}

TEST_F(ExportDialogTest, ControlsFollowTheFormatAndErrorsKeepItOpen) {
  ExportDialog dialog(b.data, b.view, settings, selectionStart, selectionEnd);
  ExportChoices c;
  c.format = ExportFormat::Png;
  c.channelSet = ChannelSet::List;
  c.channelList = "2,200";
  c.path = dir / "chart.vcd";
  dialog.SetChoices(c);
  EXPECT_EQ(dialog.Choices().path, dir / "chart.png");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.ErrorText().toStdString(), "not a channel 1..128: '200'");

  c = dialog.Choices();
  c.channelList = "2";
  c.width = 640;
  dialog.SetChoices(c);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted) << dialog.ErrorText().toStdString();
  EXPECT_TRUE(dialog.ErrorText().isEmpty());
  EXPECT_EQ(ReadBytes(dir / "chart.png").substr(1, 3), "PNG");
}

}  // namespace
}  // namespace korvalog
