// docs/ names everything a user can type or press: every korvalog-cli
// command and option (from its own help), the window program's options, every
// toolbar button, every shortcut and every key the chart answers. The lists
// come from the program itself, so a new one without a mention fails here.
#include <QKeyEvent>
#include <QRegularExpression>
#include <QShortcut>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

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

// The names docs/ does not mention.
std::set<QString> Unmentioned(const std::set<QString>& names, const QString& docs) {
  std::set<QString> missing;
  for (const QString& name : names) {
    if (!docs.contains(name.simplified())) missing.insert(name);
  }
  return missing;
}

TEST(Docs, NameEveryCommandAndOption) {
  const QString help = QString::fromStdString(Output(std::string(KORVALOG_CLI_PATH) + " help"));
  std::set<QString> names;
  for (const auto& m : QRegularExpression(QStringLiteral("korvalog-cli ([a-z]+)")).globalMatch(help)) {
    names.insert(QStringLiteral("korvalog-cli ") + m.captured(1));
  }
  for (const auto& m : QRegularExpression(QStringLiteral("--[a-z][a-z-]*")).globalMatch(help)) {
    names.insert(m.captured(0));
  }
  ASSERT_GE(names.size(), 30u) << help.toStdString();
  names.insert(QString::fromLatin1(kDemoOption));
  names.insert(QString::fromLatin1(kDemoSpeedOption));
  EXPECT_EQ(Unmentioned(names, DocsText()), std::set<QString>{});
}

TEST(Docs, NameEveryButtonShortcutAndChartKey) {
  ProgramWindows w;
  std::set<QString> names;
  // A button by its caption, or by its tip where it shows only a picture.
  for (auto* b : w.main.findChild<QWidget*>(QStringLiteral("pToolbar"))->findChildren<TBtnTransparent*>()) {
    names.insert(b->Caption().isEmpty() ? b->toolTip() : b->Caption());
  }
  for (auto* s : w.main.findChildren<QShortcut*>()) names.insert(s->key().toString(QKeySequence::PortableText));
  for (const ChartKey& k : kChartKeys) names.insert(QString::fromLatin1(k.name));
  ASSERT_GE(names.size(), 30u);
  EXPECT_EQ(Unmentioned(names, DocsText()), std::set<QString>{});
}

// The chart's key table is the filter's: each entry is answered, and no key
// without an entry is.
TEST(Docs, TheChartKeyTableIsWhatTheChartAnswers) {
  ProgramWindows w;
  ChannelGrid* grid = w.main.Chart().Grid();
  QObject* input = w.main.Chart().Input();
  grid->SetCurrentCell(4, 1);  // the waveforms: no cell takes the typing
  const auto answered = [&](int key, Qt::KeyboardModifiers mods) {
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
