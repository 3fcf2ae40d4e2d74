// Publish…: the open capture into the fleet store. The file the window shows
// is published as it is when it is an unchanged project (so that publishing
// it again, here or with korvalog-cli, is recognised); anything else is
// written as a temporary project first. The publish runs off the window's
// thread (TPublishDialog).
#include <filesystem>
#include <random>

#include "app/qt/main_form.h"
#include "app/qt/publish_dialog.h"
#include "core/file_names.h"
#include "project/project_file.h"
#include "session/continuous_parts.h"

namespace korvalog {
namespace {

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "fleet on db.example" for the dialog; libpq's defaults when unset.
std::string StoreName(const FleetConnection& c) {
  return (c.database.empty() ? std::string("the default database") : c.database) + " on " +
         (c.host.empty() ? std::string("the default host") : c.host);
}

}  // namespace

void TMainForm::mPublishClick() {
  if (!commands_->CaptureGuard()) return;
  if (data_.DataPresent.load() == 0) {
    ShowWarning("Nothing to publish: open or capture something first.");
    return;
  }
  if (view_.Site.site.empty() || view_.Site.lift.empty()) {
    ShowWarning("The capture names no site or lift.\\n\\nName both in the Report window's site fields, then publish.");
    return;
  }
  if (settings_.Fleet.Empty()) {
    ShowWarning("No fleet store is set.\\n\\nName its host and database in Properties, then publish.");
    return;
  }
  if (publishDialog == nullptr) publishDialog = new TPublishDialog(this);
  if (publishDialog->Running()) {
    publishDialog->show();
    publishDialog->raise();
    return;
  }
  PublishJob job;
  job.conninfo = FleetConninfo(settings_.Fleet);
  job.where = StoreName(settings_.Fleet);
  const std::string& shown = commands_->DocumentPath();
  if (!shown.empty() && IsProjectPath(shown) && ReopensAsProject(shown) && data_.DataModified.load() == 0) {
    job.path = shown;
    job.listedName = NameOf(shown);
  } else {
    // Written as Save writes it; the capture stays as modified as it was.
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    job.path = Utf8FromPath(folder / ("korvalog-publish-" + std::to_string(std::random_device{}()) + ".kv"));
    job.listedName = shown.empty() ? "capture-" + PartTimeStamp(data_.CaptureStart.time) + ".kv" : NameOf(shown);
    job.temporary = true;
    const bool modified = data_.DataModified.load() != 0;
    const FileResult saved = WriteProjectFile(job.path, data_, view_, data_.CaptureStart, data_.CaptureEnd);
    data_.DataModified.store(modified ? 1 : 0);
    if (!saved.ok) {
      ShowWarning(FileErrorMarkup("Not published: " + saved.error));
      return;
    }
  }
  publishDialog->Start(job);
}

}  // namespace korvalog
