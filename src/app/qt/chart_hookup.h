#pragma once
// Hangs the analysis windows on the chart for a host that has both (the main
// window, korvalog-chart). The windows themselves know nothing of the chart;
// only a host that includes this header builds against both.
#include "analysis/qt/sequence_form.h"
#include "analysis/qt/statistics_form.h"
#include "chart/qt/chart_panel.h"
#include "ui/qt/window_helpers.h"

namespace korvalog {

// While the Sequencer is open every change of its table shows on the strip
// as the staircase; closing it gives the strip back to the search results.
// The chart's Sequencer button opens the window; the window's Violations
// button opens the chart's list of violations. The Statistics window's name
// column follows the chart's.
inline void HookAnalysisWindows(ChartPanel& chart, TSequenceForm& sequencer, TStatisticsForm& statistics) {
  sequencer.SetOnPatternChanged([&chart] {
    chart.SetStripMode(1);
    chart.RunStripPass();
  });
  sequencer.SetOnClosed([&chart] {
    if (chart.StripMode() != 1) return;
    chart.SetStripMode(0);
    chart.RunStripPass();
  });
  QObject::connect(&chart, &ChartPanel::SequencerRequested, &sequencer, [&chart, &sequencer] {
    if (!sequencer.isVisible()) FitOnScreen(sequencer, chart.window());
    sequencer.show();
    sequencer.raise();
    sequencer.activateWindow();
  });
  sequencer.SetOnViolations([&chart] { chart.ShowViolations(); });
  statistics.SetNameColumnWidth([&chart] { return chart.NameColumnWidth(); });
}

}  // namespace korvalog
