#pragma once
// Publishing one capture into the fleet store: one transaction, the bulk
// through COPY, and a capture already there recognised by its identity and
// left alone.
#include <cstdint>
#include <string>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/site_details.h"
#include "fleet/pg_connection.h"

namespace korvalog {

struct PublishRequest {
  std::string fileName;     // as the store lists it (the name without folders)
  std::string projectText;  // the capture's project bytes, from ProjectTextForStore
  const CaptureData* data = nullptr;
  const CaptureView* view = nullptr;
  SiteDetails site;  // site and lift must be set
};

enum class PublishOutcome { Published, AlreadyStored, Failed };

struct PublishResult {
  PublishOutcome outcome = PublishOutcome::Failed;
  std::string error;  // one line, no password in it
  int64_t liftId = 0, captureId = 0;
  uint32_t events = 0;
  size_t days = 0;
};

PublishResult PublishCapture(PgConnection& conn, const PublishRequest& request);

// The project bytes the store keeps for a loaded file: the file's own bytes
// when it is a project written as this program writes them, otherwise the
// capture saved as a project (a log, a value change dump, a hand-edited file).
bool ProjectTextForStore(const std::string& path, CaptureData& data, const CaptureView& view, std::string& text,
                         std::string& error);

// What the store calls the capture: a hash of its project bytes and their
// length, the same on every machine.
std::string CaptureIdentity(const std::string& projectText);

// Text as the store keeps it: valid UTF-8 as it is, other bytes read as
// Latin-1; NUL bytes (which a text column cannot hold) dropped.
std::string StoreText(const std::string& bytes);

}  // namespace korvalog
