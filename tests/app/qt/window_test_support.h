#pragma once
// The main window with its side windows, as the program makes them, over a
// settings store in a temporary folder; and answers to the modal windows it
// opens, given by the test.
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/qt/about_form.h"
#include "app/qt/main_form.h"
#include "app/qt/notes_form.h"
#include "app/qt/side_windows.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "project/temp_dir.h"
#include "settings/qt/properties_form.h"
#include "settings/qt/stored_settings.h"
#include "transport/usb_loggers.h"
#include "ui/markup_style.h"
#include "ui/qt/message_box.h"

namespace korvalog::test {

// A project of three events on channel 2, written to `name` in dir.
inline std::string WriteSmallProject(const testing_support::TempDir& dir, const std::string& name) {
  ManualClock clock(45000.0);
  CaptureData data(clock);
  CaptureView view;
  data.SetCapture(true);
  for (int i = 0; i < 3; ++i) data.ApplyTransition(45000.0 + i / 86400.0, 2, static_cast<uint8_t>(1 - (i % 2)));
  data.SetCapture(false);
  const std::string path = dir / name;
  EXPECT_TRUE(WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok);
  return path;
}

// Stores the five settings where the window will read them.
inline void StoreForWindow(uint8_t port, uint8_t type, uint16_t debounce, bool ac) {
  QSettings store(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
  store.clear();
  LoggerSettings s;
  s.Port = port;
  s.LoggerType = type;
  s.Debounce = debounce;
  s.ACSignals = ac;
  StoreSettings(store, s);
  store.sync();
}

struct ProgramWindows {
  explicit ProgramWindows(std::optional<std::string> loadPath = std::nullopt, bool demo = false,
                          const std::string& journalFolder = {})
      : data(clock),
        journalFolder_(journalFolder),
        main(MainFormContext{data, view, settings, usb, clock, markup, demo,
                             journalFolder_.empty() ? nullptr : &journalFolder_, std::move(loadPath)}),
        properties(&main),
        about(&main, [this](const QString& url) { opened.push_back(url); }),
        analysis(data, view, settings, main),
        notes(&main) {
    analysis.CreateStatistics();
    main.AttachSideWindows(SideWindows{&properties, &about, analysis.Sequencer(), &notes, analysis.Statistics()});
    main.SetOpenUrl([this](const QString& url, const std::function<void()>& failed) {
      opened.push_back(url);
      if (noViewer && url.endsWith(QStringLiteral(".pdf"))) failed();
    });
  }

  SystemClock clock;
  CaptureData data;
  CaptureView view;
  ViewFollowsCapture follows{data, view};
  LoggerSettings settings;
  NoUsbLoggers usb;
  MarkupStyle markup;
  std::string journalFolder_;
  TMainForm main;
  TPropertiesForm properties;
  TAboutForm about;
  AnalysisWindows analysis;
  TNotesForm notes;
  QStringList opened;
  bool noViewer = false;  // the desktop has no program for PDF files
};

// Runs `answer` on the next modal window once it is showing (within 5 s);
// records what it saw in `seen`.
struct ModalAnswer {
  explicit ModalAnswer(std::function<void(QWidget*)> a) : answer(std::move(a)) {}
  std::function<void(QWidget*)> answer;
  int seen = 0;
  QString lastTitle;
};

inline void AnswerNextModal(ModalAnswer& a, int attempts = 500) {
  QTimer::singleShot(10, [&a, attempts] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) {
      if (attempts > 0) AnswerNextModal(a, attempts - 1);
      return;
    }
    ++a.seen;
    a.lastTitle = modal->windowTitle();
    a.answer(modal);
  });
}

// Presses a key on the modal window (message boxes: Return = first button,
// Escape = none).
inline std::function<void(QWidget*)> PressKey(Qt::Key key) {
  return [key](QWidget* w) { QTest::keyClick(w, key); };
}
inline std::function<void(QWidget*)> Reject() {
  return [](QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
  };
}
inline std::function<void(QWidget*)> Accept() {
  return [](QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
  };
}

// Picks `path` in a file dialog and accepts it: the whole path typed into
// the file name field, as a user may do.
inline std::function<void(QWidget*)> ChooseFile(const std::string& path) {
  return [path](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (!dialog) return;
    const QString full = QString::fromStdString(path);
    dialog->selectFile(full);
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(full);
    static_cast<QDialog*>(dialog)->accept();
  };
}

}  // namespace korvalog::test
