#pragma once
// The Sequencer and Statistics windows, made once for the whole run.
#include <QWidget>
#include <memory>

#include "core/capture_data.h"

namespace korvalog {

class TMainForm;

class AnalysisWindows {
 public:
  // Makes the Sequencer window.
  AnalysisWindows(CaptureData& data, LoggerSettings& settings, TMainForm& main);
  ~AnalysisWindows();
  // Makes the Statistics window (after the Inputs & Notes window).
  void CreateStatistics();

  QWidget* Sequencer() const { return sequencer_.get(); }
  QWidget* Statistics() const { return statistics_.get(); }

 private:
  CaptureData& data_;
  LoggerSettings& settings_;
  TMainForm& main_;
  std::unique_ptr<QWidget> sequencer_;
  std::unique_ptr<QWidget> statistics_;
};

}  // namespace korvalog
