#pragma once
// Publishing a capture file as `korvalog-cli publish` does, for callers that
// publish away from their own loaded capture: the parts of a continuous
// capture and the window's Publish command, each on a thread of its own.
#include <string>

#include "core/site_details.h"
#include "fleet/fleet_publish.h"
#include "fleet/pg_connection.h"

namespace korvalog {

struct FilePublish {
  PublishResult result;  // result.error also says why a file could not be read
  SiteDetails site;      // the site and lift it was published under
};

// Loads `path` (project, logger log or value change dump) and publishes it,
// `typed` replacing the file's own site fields. `listedName` is the file name
// the store lists (empty: the name of `path`).
FilePublish PublishFile(PgConnection& conn, const std::string& path, const SiteDetails& typed,
                        const std::string& listedName = {});

// "published\tsite S\tlift L\tN events\tD days" or "already in the store\t...",
// as `publish` prints after the file's name; the error after "not published: ".
std::string PublishOutcomeText(const FilePublish& p);

}  // namespace korvalog
