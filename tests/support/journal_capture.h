#pragma once
// A fixture that journals a made-up capture into a real file: transitions on
// channels 10..16, a millisecond apart, written by the real JournalWriter.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "core/journal_writer.h"
#include "project/temp_dir.h"

namespace korvalog::testing {

class JournalCapture : public ::testing::Test {
 protected:
  // A capture of `events` transitions journalled into `path`, meant for
  // `target` when one is given; `finish` ends it cleanly, else it is left
  // behind as by a crash.
  void Capture(int events, bool finish, const std::string& target = {}) {
    data.SetCapture(true);
    writer = std::make_unique<JournalWriter>(data, path);
    if (!target.empty()) writer->SetTarget(target);
    writer->SetPeriodMs(5);
    std::string error;
    ASSERT_TRUE(writer->Start(view, error)) << error;
    for (int i = 0; i < events; ++i) Transition(i);
    if (!finish) return;
    clock.AdvanceMs(5);
    data.SetCapture(false);
    writer->Finish();
  }
  void Transition(int i) {
    clock.AdvanceMs(1);
    data.ApplyTransition(clock.Now(), static_cast<uint8_t>(10 + i % 7), static_cast<uint8_t>((i / 7 + 1) % 2));
  }

  ManualClock clock{45658.5};
  CaptureData data{clock};
  CaptureView view;
  testing_support::TempDir dir;
  std::string path = dir / "capture.journal";
  std::unique_ptr<JournalWriter> writer;
};

}  // namespace korvalog::testing
