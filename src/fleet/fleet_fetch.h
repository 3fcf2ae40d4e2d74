#pragma once
// A stretch of one lift's time back out of the store as a project. A whole
// capture comes back as the bytes that were published; a stretch cut from
// one or more captures is saved as the program saves a selection.
#include <cstdint>
#include <string>

#include "fleet/pg_connection.h"

namespace korvalog {

// The lift a command names: by name, within a site when one is given. False
// with `error` set for none, or for a name used at more than one site.
bool FindLift(PgConnection& conn, const std::string& site, const std::string& lift, int64_t& liftId,
              std::string& error);

struct FetchResult {
  bool ok = false;
  std::string error;
  uint32_t events = 0;
  int captures = 0;
  bool wholeCapture = false;
};

// Writes the events of `liftId` from `from` to `to` (date-times, both
// included) to `out`; refused past the store's 1,048,576 events.
FetchResult FetchStretch(PgConnection& conn, int64_t liftId, double from, double to, const std::string& out);

// "2026-03-10", "2026-03-10 08:00", "2026-03-10T08:00:30.250" as a date-time.
bool ParseStoreTime(const std::string& text, double& dateTime);

}  // namespace korvalog
