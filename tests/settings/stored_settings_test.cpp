// The logger settings in the per-user store, kept in a temporary folder that
// QSettings is pointed at, never in the user's own.
#include "settings/qt/stored_settings.h"

#include <gtest/gtest.h>

#include <QSettings>

#include "project/temp_dir.h"

namespace korvalog {
namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;

class StoredSettingsTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string file;

  void SetUp() override {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(dir.Path()));
    file = dir / "Quendrix/Korvalog.conf";
  }
  // The text of the store file, as the next program start would see it.
  std::string Stored() { return ReadBytes(file); }
  void Store(const std::string& text) {
    std::filesystem::create_directories(dir / "Quendrix");
    WriteBytes(file, text);
  }
};

TEST_F(StoredSettingsTest, NothingStoredGivesDefaultsAndAllFiveAreWrittenAtExit) {
  LoggerSettings s;
  s.Port = 9;
  s.LoggerType = 2;
  s.Debounce = 77;
  s.ACSignals = true;
  s.ColourMode = 1;
  LoadStoredSettings(s);
  EXPECT_EQ(s, LoggerSettings{});
  EXPECT_FALSE(std::filesystem::exists(file));  // reading creates nothing

  ASSERT_TRUE(StoreSettings(s));
  const std::string text = Stored();
  for (const char* line : {"Port=1\n", "LoggerType=0\n", "Debounce=5\n", "ACSignals=0\n", "ColourMode=0\n"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST_F(StoredSettingsTest, StoredTextsAreReadAsLeadingNumbers) {
  Store("[General]\nPort=3\nLoggerType=1\nDebounce=12\nACSignals=3\nColourMode=1\n");
  LoggerSettings s;
  LoadStoredSettings(s);
  EXPECT_EQ(s.Port, 3);
  EXPECT_EQ(s.LoggerType, 1);
  EXPECT_EQ(s.Debounce, 12);
  EXPECT_TRUE(s.ACSignals);
  EXPECT_EQ(s.ColourMode, 1);

  Store("[General]\nPort=300\nLoggerType=abc\nDebounce=\" 42, 7\"\nACSignals=2\nColourMode=\n");
  LoadStoredSettings(s);
  EXPECT_EQ(s.Port, 300 & 0xFF);
  EXPECT_EQ(s.LoggerType, 0);  // no digits lead
  EXPECT_EQ(s.Debounce, 42);
  EXPECT_FALSE(s.ACSignals);  // bit 0 only
  EXPECT_EQ(s.ColourMode, 0);  // empty: the default
}

TEST_F(StoredSettingsTest, EqualValuesAreNotWrittenAgain) {
  const std::string text = "; kept while nothing is written\n[General]\nPort=1\nLoggerType=0\nDebounce=5\nACSignals=0\nColourMode=0\n";
  Store(text);
  LoggerSettings s;
  LoadStoredSettings(s);
  ASSERT_TRUE(StoreSettings(s));
  EXPECT_EQ(Stored(), text);

  s.Debounce = 25;
  ASSERT_TRUE(StoreSettings(s));
  EXPECT_NE(Stored().find("Debounce=25\n"), std::string::npos);
  LoggerSettings again;
  LoadStoredSettings(again);
  EXPECT_EQ(again, s);
}

TEST_F(StoredSettingsTest, OneValueAtATime) {
  QSettings store{QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication)};
  EXPECT_EQ(ReadSettingInt(store, "Missing", 17), 17);
  WriteSettingInt(store, "Port", -45);
  EXPECT_EQ(store.value(QStringLiteral("Port")).toString(), QStringLiteral("-45"));
  EXPECT_EQ(ReadSettingInt(store, "Port", 1), -45);
}

}  // namespace
}  // namespace korvalog
