#pragma once
// capture --publish CONNINFO: every file the capture session writes (each
// part of a continuous capture, or the one project) goes to the fleet store
// from a thread of its own; the capture's loop only hands the new files
// over and prints what happened. At the end the parts still unpublished
// are named: they stay on disk for a later `korvalog-cli publish`.
#include <ostream>
#include <string>

#include "app/cli/cli_context.h"
#include "core/site_details.h"
#include "session/capture_session.h"

#ifdef KORVALOG_FLEET_STORE
#include <memory>

#include "fleet/part_publisher.h"
#endif

namespace korvalog::cli {

// The capture's exit status when everything was written but some file is
// not yet in the fleet store.
constexpr int kExitNotPublished = 5;

class CapturePublish {
 public:
  // False (nothing to do, or `error` set) in a build without the store.
  bool Start(const std::string& conninfo, const SiteDetails& site, std::string& error) {
#ifdef KORVALOG_FLEET_STORE
    (void)error;
    if (!conninfo.empty()) publisher_ = std::make_unique<PartPublisher>(conninfo, site);
    return true;
#else
    (void)site;
    if (!conninfo.empty()) error = "this build has no fleet store (it was built without libpq)";
    return conninfo.empty();
#endif
  }

  // Hands over the files written since the last call; tells what was done.
  void Poll(const CaptureSession& session, std::ostream& err) {
#ifdef KORVALOG_FLEET_STORE
    if (!publisher_) return;
    const std::vector<std::string>& written = session.Summary().written;
    for (; handed_ < written.size(); ++handed_, ++given_) publisher_->Add(written[handed_]);
    for (std::string line; publisher_->TakeLine(line);) err << "korvalog-cli: " << line << "\n";
#else
    (void)session;
    (void)err;
#endif
  }

  // Whether the session's part `path` still waits for the store: handed over
  // and not yet published, or written since the last hand-over.
  bool StillNeeded(const CaptureSession& session, const std::string& path) {
#ifdef KORVALOG_FLEET_STORE
    if (!publisher_) return false;
    const std::vector<std::string>& written = session.Summary().written;
    for (size_t i = handed_; i < written.size(); ++i) {
      if (written[i] == path) return true;
    }
    return publisher_->Pending(path);
#else
    (void)session;
    (void)path;
    return false;
#endif
  }

  // A file the session does not list (the single capture's project).
  void Also(const std::string& path) {
#ifdef KORVALOG_FLEET_STORE
    if (!publisher_) return;
    publisher_->Add(path);
    ++given_;
#else
    (void)path;
#endif
  }

  // After the session finished with `status`: the last files published (or
  // tried once more) and the unpublished ones named.
  int Finish(const CaptureSession& session, std::ostream& err, int status) {
#ifdef KORVALOG_FLEET_STORE
    if (!publisher_) return status;
    Poll(session, err);
    const std::vector<std::string> left = publisher_->Finish();
    Poll(session, err);
    if (given_ == 0) {
      err << "korvalog-cli: nothing was published: no file of the capture was written where asked\n";
      return status;
    }
    if (left.empty()) {
      err << "korvalog-cli: every file of the capture is in the fleet store\n";
      return status;
    }
    err << "korvalog-cli: not yet in the fleet store (kept on disk, for korvalog-cli publish): ";
    for (size_t i = 0; i < left.size(); ++i) err << (i > 0 ? ", " : "") << left[i];
    err << "\n";
    return status == kExitOk ? kExitNotPublished : status;
#else
    (void)session;
    (void)err;
    return status;
#endif
  }

 private:
#ifdef KORVALOG_FLEET_STORE
  std::unique_ptr<PartPublisher> publisher_;
  size_t handed_ = 0;  // of the session's files
  size_t given_ = 0;   // to the publisher, with the single capture's
#endif
};

}  // namespace korvalog::cli
