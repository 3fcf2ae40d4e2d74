#include "fleet/publish_file.h"

#include <memory>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/clock.h"
#include "project/load_sinks.h"
#include "project/project_file.h"

namespace korvalog {
namespace {

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

FilePublish PublishFile(PgConnection& conn, const std::string& path, const SiteDetails& typed,
                        const std::string& listedName) {
  FilePublish p;
  ManualClock clock;
  // A capture holds up to a million events: on the heap, not the stack.
  auto data = std::make_unique<CaptureData>(clock);
  CaptureView view;
  NullLoadSinks sinks;
  const FileResult loaded = LoadCaptureFile(path, *data, view, sinks);
  if (!loaded.ok) {
    p.result.error = path + ": " + loaded.error;
    return p;
  }
  p.site = view.Site;  // a log's are read from its description
  p.site.TakeFrom(typed);
  if (p.site.site.empty() || p.site.lift.empty()) {
    p.result.error = std::string("the capture names no ") + (p.site.site.empty() ? "site" : "lift") +
                     ": give --site and --lift";
    return p;
  }
  PublishRequest request;
  request.site = p.site;
  if (!ProjectTextForStore(path, *data, view, request.projectText, p.result.error)) return p;
  request.fileName = listedName.empty() ? NameOf(path) : listedName;
  request.data = data.get();
  request.view = &view;
  p.result = PublishCapture(conn, request);
  return p;
}

std::string PublishOutcomeText(const FilePublish& p) {
  const PublishResult& r = p.result;
  if (r.outcome == PublishOutcome::Failed) return "not published: " + r.error;
  std::string text = r.outcome == PublishOutcome::Published ? "published" : "already in the store";
  text += "\tsite " + p.site.site + "\tlift " + p.site.lift + "\t" + std::to_string(r.events) + " events";
  if (r.outcome == PublishOutcome::Published) text += "\t" + std::to_string(r.days) + " days";
  return text;
}

}  // namespace korvalog
