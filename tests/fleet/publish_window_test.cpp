// The window's Publish… against the test server: the dialog publishes off
// the window's thread, says what was published, that it was already there,
// or why not; the connection fields go through Properties and the settings
// without a password.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

#include "app/qt/publish_dialog.h"
#include "app/qt/window_test_support.h"
#include "core/fleet_connection.h"
#include "fleet/pg_connection.h"
#include "fleet_captures.h"
#include "pg_test_server.h"
#include "project/temp_dir.h"
#include "settings/qt/properties_form.h"
#include "settings/qt/stored_settings.h"
#include "support/wait_until.h"
#include "ui/qt/btn_transparent.h"

namespace korvalog {
namespace {

using namespace std::chrono_literals;
using testing_support::PgTestServer;

TEST(PublishWindow, TheDialogSaysWhatWasPublishedOrWhyNot) {
  PgTestServer* server = PgTestServer::Get();
  if (server == nullptr) GTEST_SKIP() << PgTestServer::SkipReason();
  ASSERT_TRUE(server->Sql("DROP DATABASE IF EXISTS window_publish; CREATE DATABASE window_publish;"));
  testing_support::TempDir dir;
  const std::string kv = dir / "visit.kv";
  ASSERT_TRUE(testing_support::MakeLiftCapture(kv, {}, testing_support::kFleetStart, 600000, "Dock \"B\"", "Lift 3"));
  struct Case {
    const char* name;
    bool serverUp, published;
    const char* says;
  };
  const Case cases[] = {
      {"first publish", true, true, "Published visit.kv (the store)\nsite Dock \"B\"\nlift Lift 3\n"},
      {"again", true, true, "Already in the store: visit.kv (the store)\nsite Dock \"B\"\nlift Lift 3\n"},
      {"server away", false, false, "Not published: cannot reach the store: "},
  };
  TPublishDialog dialog;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.serverUp) {
      ASSERT_TRUE(server->Stop());
    }
    bool finished = false, published = false;
    const auto link = QObject::connect(&dialog, &TPublishDialog::Finished, [&](bool ok) {
      finished = true;
      published = ok;
    });
    ASSERT_TRUE(dialog.Start({server->Conninfo({}, "window_publish"), kv, "visit.kv", false, "the store"}));
    EXPECT_FALSE(dialog.bClose->isEnabled());
    EXPECT_FALSE(dialog.Start({}));  // one at a time
    // The window's thread stays free: the answer comes through its events.
    EXPECT_TRUE(korvalog::testing::WaitUntil(
        [&] {
          QApplication::processEvents();
          return finished;
        },
        30000ms));
    QObject::disconnect(link);
    EXPECT_EQ(published, c.published);
    EXPECT_EQ(dialog.lResult->text().toStdString().substr(0, std::string(c.says).size()), c.says);
    EXPECT_TRUE(dialog.bClose->isEnabled());
    if (!c.serverUp) {
      ASSERT_TRUE(server->Start());
    }
  }
  PgConnection conn;
  PgRows rows;
  ASSERT_TRUE(conn.Open(server->Conninfo({}, "window_publish")));
  ASSERT_TRUE(conn.Query("SELECT count(*), min(file_name) FROM korvalog.captures", {}, rows));
  EXPECT_EQ(rows.Text(0, 0), "1");
  EXPECT_EQ(rows.Text(0, 1), "visit.kv");
}

// The window's command: its guards, then the dialog over the file it shows.
TEST(PublishWindow, TheWindowPublishesTheFileItShowsOrSaysWhatIsMissing) {
  PgTestServer* server = PgTestServer::Get();
  if (server == nullptr) GTEST_SKIP() << PgTestServer::SkipReason();
  ASSERT_TRUE(server->Sql("DROP DATABASE IF EXISTS window_command; CREATE DATABASE window_command;"));
  const std::string conninfo = server->Conninfo({}, "window_command");
  const size_t host = conninfo.find("host=") + 5;
  const FleetConnection store{conninfo.substr(host, conninfo.find(' ', host) - host), "window_command", "korvalog_test",
                              ""};
  testing_support::TempDir dir;
  struct Case {
    const char* site;
    FleetConnection fleet;
    const char* warning;  // the message box's start, or empty: the dialog
  };
  const Case cases[] = {
      {"", store, "The capture names no site or lift."},
      {"Quay", {}, "No fleet store is set."},
      {"Quay", store, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warning);
    const std::string kv = dir / "shown.kv";
    ASSERT_TRUE(testing_support::MakeLiftCapture(kv, {}, testing_support::kFleetStart, 300000, c.site, "Lift 1"));
    test::ProgramWindows w(kv);
    w.main.show();
    ASSERT_TRUE(korvalog::testing::WaitUntil(
        [&] {
          QApplication::processEvents();
          return w.data.DataPresent.load() != 0;
        },
        10000ms));
    w.settings.Fleet = c.fleet;
    std::string said;
    test::ModalAnswer answer{[&](QWidget* box) {
      if (auto* message = qobject_cast<TMessageBoxForm*>(box)) said = message->Text();
      QTest::keyClick(box, Qt::Key_Return);
    }};
    if (*c.warning != '\0') test::AnswerNextModal(answer);
    w.main.mPublishClick();
    if (*c.warning != '\0') {
      EXPECT_EQ(answer.seen, 1);
      EXPECT_EQ(said.rfind(c.warning, 0), 0u) << said;
      EXPECT_EQ(w.main.publishDialog, nullptr);
      continue;
    }
    ASSERT_NE(w.main.publishDialog, nullptr);
    ASSERT_TRUE(korvalog::testing::WaitUntil(
        [&] {
          QApplication::processEvents();
          return !w.main.publishDialog->Running();
        },
        30000ms));
    EXPECT_TRUE(w.main.publishDialog->lResult->text().startsWith(QStringLiteral("Published shown.kv (window_command on ")))
        << w.main.publishDialog->lResult->text().toStdString();
  }
}

TEST(PublishWindow, TheConnectionGoesThroughPropertiesAndTheSettings) {
  QTemporaryDir folder;
  QSettings store(folder.filePath(QStringLiteral("k.ini")), QSettings::IniFormat);
  LoggerSettings none;
  ASSERT_TRUE(StoreSettings(store, none));
  EXPECT_FALSE(store.contains(QStringLiteral("FleetHost")));  // nothing new in a store without it
  LoggerSettings settings;
  settings.Fleet = {"db.example", "fleet 'north'", "anna", "verify-full"};
  TPropertiesForm form;
  form.ShowSettings(settings);
  EXPECT_EQ(form.cbFleetSslMode->currentText(), QStringLiteral("verify-full"));
  LoggerSettings taken;
  form.TakeSettings(taken);
  EXPECT_EQ(taken.Fleet, settings.Fleet);
  ASSERT_TRUE(StoreSettings(store, taken));
  LoggerSettings back;
  LoadStoredSettings(store, back);
  EXPECT_EQ(back.Fleet, settings.Fleet);
  for (const QString& key : store.allKeys()) EXPECT_FALSE(key.contains(QStringLiteral("ass"), Qt::CaseInsensitive));
  EXPECT_EQ(FleetConninfo(back.Fleet),
            "host='db.example' dbname='fleet \\'north\\'' user='anna' sslmode='verify-full'");
}

}  // namespace
}  // namespace korvalog
