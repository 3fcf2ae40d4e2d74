// The report's documents on the offscreen platform: a plot with nothing to
// show says so once, without axes; a plot of thousands of runs stays a few
// elements of SVG; a logger log's description names the site and the lift.
#include <gtest/gtest.h>

#include <string>

#include "analysis/qt/report_document.h"
#include "core/capture_data.h"
#include "project/project_file.h"
#include "project/load_sinks.h"

namespace korvalog {
namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(ReportDocument, PlotsDrawWhatTheirPixelsShow) {
  PlotPlan empty;
  empty.title = "Door closing time";
  empty.xLabel = "seconds";
  empty.yLabel = "count";
  empty.empty = "not measured (no door closed limit role)";
  // Many runs over a day, binned: a path per series, not an element per run.
  PlotPlan runs;
  runs.kind = PlotKind::Trend;
  runs.timeAxis = true;
  runs.xMin = 46000;
  runs.xMax = 46001;
  runs.yMax = 10;
  runs.series = {"Step 2", "Step 3"};
  for (int i = 0; i < 2 * kPlotColumns; ++i) {
    PlotPoint p;
    p.x = runs.xMin + (i / 2) / double(kPlotColumns);
    p.y = 5 + i % 3;
    p.yLow = 2;
    p.yMark = 4;
    p.series = i % 2;
    runs.points.push_back(p);
  }
  struct Case {
    const PlotPlan* plan;
    std::string says;
    size_t mostPaths;
  };
  const Case cases[] = {{&empty, "not measured (no door closed limit role)", 2}, {&runs, "Step 3", 12}};
  for (const Case& c : cases) {
    const std::string svg = PlotSvg(*c.plan, kPlotWidth, kPlotHeight);
    EXPECT_EQ(Count(svg, c.says), 1u) << c.plan->title;
    EXPECT_LE(Count(svg, "<path"), c.mostPaths) << c.plan->title;
    EXPECT_EQ(Count(svg, "<ellipse"), 0u) << c.plan->title;
    EXPECT_LT(svg.size(), 200000u) << c.plan->title;
  }
  const std::string none = PlotSvg(empty, kPlotWidth, kPlotHeight);
  for (const char* axis : {">seconds<", ">count<", ">0<", ">0.00<"}) {
    EXPECT_EQ(none.find(axis), std::string::npos) << axis;  // no axes around nothing
  }
}

TEST(ReportDocument, SiteAndLiftFromTheLoggersDescription) {
  ManualClock clock;
  CaptureData data(clock);
  CaptureView view;
  view.Site.engineer = "left over";
  NullLoadSinks sinks;
  ASSERT_TRUE(LoadCaptureFile(KORVALOG_SAMPLES_DIR "/lift-site.001", data, view, sinks).ok);
  EXPECT_EQ(view.Site.site, "Harbour House");
  EXPECT_EQ(view.Site.lift, "Lift 2");
  EXPECT_EQ(view.Site.engineer, "");
  EXPECT_EQ(SiteTitle(view.Site), "Harbour House \xC2\xB7 Lift 2");
  EXPECT_EQ(SiteTitle(SiteDetails{}), "Site not given");
}

}  // namespace
}  // namespace korvalog
