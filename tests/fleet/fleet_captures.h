#pragma once
// Lift captures for the fleet tests and benchmarks: the generated lift with
// named inputs and roles, saved as projects that name their site and lift.
#include <string>

#include "app/demo_logger.h"
#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "project/project_file.h"
#include "transport/lift_traffic.h"

namespace korvalog::testing_support {

inline constexpr double kFleetStart = 46091.25;  // Tuesday 10 March 2026, 06:00

// Writes the capture to `path`; false when the save failed.
inline bool MakeLiftCapture(const std::string& path, const sim::LiftTrafficParameters& p, double start, int64_t ms,
                            const std::string& site, const std::string& lift) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  SetStartupDefaults(data, view);
  NameLiftInputs(view.Traces);
  view.Site.site = site;
  view.Site.lift = lift;
  sim::LiftTraffic traffic(p);
  sim::RecordLiftTraffic(traffic, data, clock, start, ms);
  return WriteProjectFile(path, data, view, data.CaptureStart, data.CaptureEnd).ok;
}

}  // namespace korvalog::testing_support
