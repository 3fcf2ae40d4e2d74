// korvalog: the window program. Start-up and shut-down in their order: the
// defaults and the USB loggers, the application titled "Korvalog", the windows
// (main, Properties, About, Sequencer, Inputs & Notes, Statistics), the
// message loop; at the end the windows go first, then the USB loggers.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/demo_logger.h"
#include "app/qt/about_form.h"
#include "app/qt/app_glyphs.h"
#include "app/qt/journal_recovery_prompt.h"
#include "app/qt/main_form.h"
#include "app/qt/notes_form.h"
#include "app/qt/compare_windows.h"
#include "app/qt/report_windows.h"
#include "app/qt/side_windows.h"
#include "app/qt/startup_timing.h"
#include "app/startup_options.h"
#include "core/capture_data.h"
#include "core/clock.h"
#include "core/process_setup.h"
#include "settings/qt/properties_form.h"
#include "transport/hid_devices.h"
#include "transport/port_names.h"
#include "transport/system_hid.h"
#include "ui/markup_style.h"
#include "ui/qt/kit_look.h"

int main(int argc, char** argv) {
  using namespace korvalog;
  SetUpProcess();
  // Help and version need no window, nor a display.
  if (const auto text = StartupTextInsteadOfWindow(std::vector<std::string>(argv + 1, argv + argc))) {
    std::fputs(text->c_str(), stdout);
    return 0;
  }
  StartupTiming timing;
  QApplication app(argc, argv);
  timing.Mark("qt-platform");
  QApplication::setApplicationName(QStringLiteral("Korvalog"));
  QApplication::setWindowIcon(AppIcon());
  QApplication::setFont(KitFont());
  timing.Mark("icon-font");

  std::vector<std::string> args;
  const QStringList qtArgs = QApplication::arguments();
  for (qsizetype i = 1; i < qtArgs.size(); ++i) args.push_back(KitBytes(qtArgs[i]));
  const StartupOptions options = ParseStartupArguments(args);

  // The program-wide state: one instance each, alive until exit.
  SystemClock clock;
  CaptureData data(clock);
  CaptureView view;  // how the window shows it
  SetStartupDefaults(data, view);
  const ViewFollowsCapture follows(data, view);
  LoggerSettings settings;
  MarkupStyle markup;

  // The USB loggers: the real ones, or the demonstration logger in memory.
  std::unique_ptr<HidBackend> hid;
  std::unique_ptr<HidDevices> devices;
  std::unique_ptr<DemoLogger> demo;
  UsbLoggers* usb = nullptr;
  if (options.demo) {
    demo = std::make_unique<DemoLogger>(data, clock, options.demoSpeed);
    NameLiftInputs(view.Traces);
    usb = &demo->Loggers();
  } else {
    hid = MakeSystemHidBackend();
    devices = std::make_unique<HidDevices>(*hid, data, clock);
    usb = devices.get();
  }
  // The USB loggers are listed at the window's first tick (TMainForm), not
  // here: listing them takes about 10 ms, and the chart comes first.
  timing.Mark("capture-state");

  // The journal of the window's captures, beside the settings; none for
  // the demonstration's throw-away captures.
  std::optional<std::string> journalFolder;
  if (!options.demo) journalFolder = JournalFolderBesideSettings();

  int result = 0;
  {
    TMainForm main(MainFormContext{data, view, settings, *usb, clock, markup, options.demo,
                                   journalFolder ? &*journalFolder : nullptr,
                                   options.loadPath});
    TPropertiesForm properties(&main, [](uint8_t port) { return SerialDeviceName(port); });
    TAboutForm about(&main);
    AnalysisWindows analysis(data, view, settings, main);
    TNotesForm notes(&main);
    analysis.CreateStatistics();
    ReportWindows report(data, view, main);
    CompareWindows compare(data, view, clock, main, report);
    main.AttachSideWindows(
        SideWindows{&properties, &about, analysis.Sequencer(), &notes, analysis.Statistics(), &report});
    // A capture that did not end properly last time is offered back first.
    if (journalFolder) OfferJournalRecovery(data, view, main.Session().Journal(), *journalFolder, markup);
    timing.Watch(main);
    main.show();
    result = QApplication::exec();
  }
  // The windows are gone; now the USB loggers close.
  demo.reset();
  devices.reset();
  return result;
}
