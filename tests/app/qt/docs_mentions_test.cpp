// docs/ names everything a user can type or press: every korvalog-cli
// command and option (from its own help), the window program's options, every
// toolbar button, every shortcut and every key the chart answers. The lists
// come from the program itself, so a new one without a mention fails here.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QShortcut>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "app/qt/compare_windows.h"
#include "app/qt/report_windows.h"
#include "app/startup_options.h"
#include "chart/qt/channel_grid.h"
#include "chart/qt/chart_input.h"
#include "chart/qt/chart_keys.h"
#include "chart/qt/chart_panel.h"
#include "ui/qt/btn_transparent.h"
#include "window_test_support.h"

namespace korvalog::test {
namespace {

// All of docs/*.md with every run of blanks made one space, as a wrapped
// line reads.
QString DocsText() {
  std::string all;
  for (const auto& entry : std::filesystem::directory_iterator(KORVALOG_DOCS_DIR)) {
    if (entry.path().extension() != ".md") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    all.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    all += "\n";
  }
  return QString::fromUtf8(all).simplified();
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// The names docs/ does not mention (as text, which a failure prints).
std::set<std::string> Unmentioned(const std::set<QString>& names, const QString& docs) {
  std::set<std::string> missing;
  for (const QString& name : names) {
    if (!docs.contains(name.simplified())) missing.insert(name.toStdString());
  }
  return missing;
}

TEST(Docs, NameEveryCommandAndOption) {
  const QString help = QString::fromStdString(Output(std::string(KORVALOG_CLI_PATH) + " help"));
  std::set<QString> names;
  for (const auto& m : QRegularExpression(QStringLiteral("korvalog-cli ([a-z][a-z-]*)")).globalMatch(help)) {
    names.insert(QStringLiteral("korvalog-cli ") + m.captured(1));
  }
  // The tool's options, then the window program's (from its --help).
  const QString options = help + QString::fromStdString(StartupHelpText());
  for (const auto& m : QRegularExpression(QStringLiteral("--[a-z][a-z-]*=?")).globalMatch(options)) {
    names.insert(m.captured(0));
  }
  ASSERT_GE(names.size(), 40u) << options.toStdString();
  EXPECT_TRUE(names.count(QStringLiteral("korvalog-cli fleet-init")));
  EXPECT_TRUE(names.count(QString::fromLatin1(kDemoSpeedOption)));
  EXPECT_EQ(Unmentioned(names, DocsText()), std::set<std::string>{});
}

TEST(Docs, NameEveryButtonShortcutAndChartKey) {
  ProgramWindows w;
  ReportWindows report(w.data, w.view, w.main);
  CompareWindows compare(w.data, w.view, w.clock, w.main, report);
  std::set<QString> names;
  // A button of the toolbar or the chart by its caption, or by its tip
  // where it shows only a picture.
  for (auto* b : w.main.findChildren<TBtnTransparent*>()) {
    names.insert(b->Caption().isEmpty() ? b->toolTip() : b->Caption());
  }
  // Shortcuts of every window, as QShortcut objects or on actions (menus).
  for (QWidget* window : QApplication::topLevelWidgets()) {
    for (auto* s : window->findChildren<QShortcut*>()) names.insert(s->key().toString(QKeySequence::PortableText));
    for (auto* a : window->findChildren<QAction*>()) {
      for (const QKeySequence& k : a->shortcuts()) names.insert(k.toString(QKeySequence::PortableText));
    }
  }
  EXPECT_TRUE(names.count(QStringLiteral("Ctrl+Shift+O")));
  for (const ChartKey& k : kChartKeys) names.insert(QString::fromLatin1(k.name));
  ASSERT_GE(names.size(), 30u);
  EXPECT_EQ(Unmentioned(names, DocsText()), std::set<std::string>{});
}

// The README's list reaches every page of docs/.
TEST(Docs, TheReadmeLinksEveryPage) {
  std::ifstream in(std::filesystem::path(KORVALOG_DOCS_DIR).parent_path() / "README.md", std::ios::binary);
  const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const auto& entry : std::filesystem::directory_iterator(KORVALOG_DOCS_DIR)) {
    if (entry.path().extension() != ".md") continue;
    const std::string link = "(docs/" + entry.path().filename().string() + ")";
    EXPECT_NE(readme.find(link), std::string::npos) << link;
  }
}

// The chart's key table is the filter's: each entry is answered, and no key
// without an entry is.
TEST(Docs, TheChartKeyTableIsWhatTheChartAnswers) {
  ProgramWindows w;
  ChannelGrid* grid = w.main.Chart().Grid();
  QObject* input = w.main.Chart().Input();
  const auto answered = [&](int key, Qt::KeyboardModifiers mods) {
    // The State column, between two others, takes no typing: Tab and
    // Shift+Tab have a column to go to, + and M are the chart's.
    grid->SetCurrentCell(2, 1);
    QKeyEvent press(QEvent::KeyPress, key, mods);
    return input->eventFilter(grid, &press);
  };
  std::set<int> tabled;
  for (const ChartKey& k : kChartKeys) {
    tabled.insert(k.key);
    EXPECT_TRUE(answered(k.key, k.modifiers)) << k.name;
  }
  std::vector<int> keys;
  for (int k = Qt::Key_Space; k <= Qt::Key_AsciiTilde; ++k) keys.push_back(k);
  for (int k = Qt::Key_Escape; k <= Qt::Key_F12; ++k) keys.push_back(k);
  for (int key : keys) {
    if (tabled.count(key)) continue;
    for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                       Qt::KeyboardModifiers(Qt::ControlModifier)}) {
      EXPECT_FALSE(answered(key, mods)) << QKeySequence(QKeyCombination(mods, Qt::Key(key))).toString().toStdString();
    }
  }
}

}  // namespace
}  // namespace korvalog::test
