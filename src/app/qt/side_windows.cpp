#include "app/qt/side_windows.h"

#include "app/qt/chart_hookup.h"
#include "app/qt/main_form.h"

namespace korvalog {

AnalysisWindows::AnalysisWindows(CaptureData& data, CaptureView& view, LoggerSettings& settings, TMainForm& main)
    : data_(data), view_(view), main_(main), sequencer_(std::make_unique<TSequenceForm>(data, view, settings, &main)) {}

AnalysisWindows::~AnalysisWindows() {
  // The windows go before the chart they are hung on.
  statistics_.reset();
  sequencer_.reset();
}

void AnalysisWindows::CreateStatistics() {
  statistics_ = std::make_unique<TStatisticsForm>(data_, view_, &main_);
  HookAnalysisWindows(main_.Chart(), *sequencer_, *statistics_);
}

}  // namespace korvalog
