#pragma once
// Project files (*.kv): text lines of upper-case hex records ended by CR LF,
// and the one load operation that reads either a project or a logger log.
#include <string>
#include <string_view>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/records.h"
#include "project/load_sinks.h"

namespace korvalog {

// The outcome of a file operation. `error` is one line naming the file and
// the reason, ready to show to the user.
struct FileResult {
  bool ok = true;
  std::string error;
};

// A path is a project when ".kv" appears anywhere in it, in any case
// (run.KV and run.kv.bak are projects; run.001 is a logger log).
bool IsProjectPath(std::string_view path);

// A name a project can be saved under and opened again as one: it holds
// ".kv" and does not end in ".vcd" (run.kv.vcd opens as a value change dump).
bool ReopensAsProject(std::string_view path);

// Writes a project as Save and Save Selection do: the view's channel table,
// Sequencer table, the events from.index .. to.index-1 (only when data is
// present), the two snapshots and the display order. The bytes go to a
// temporary file beside `path`, which replaces `path` only when every write
// succeeded. On success DataModified is cleared; on failure it stays as it
// was and an existing file keeps its old contents.
FileResult WriteProjectFile(const std::string& path, CaptureData& data, const CaptureView& view,
                            const PositionSnapshot& from, const PositionSnapshot& to);

// Loads a value change dump (a name ending in ".vcd", see vcd_import.h), a
// project or a logger log, chosen by IsProjectPath. A file that
// cannot be opened or read changes nothing. A log whose date or time cannot
// be encoded stops at that line: the result names it, `sinks.Error` hears
// it, and the events read so far are kept without DataPresent. Must not be
// called while a capture runs (refused, nothing changes).
FileResult LoadCaptureFile(const std::string& path, CaptureData& data, CaptureView& view, LoadSinks& sinks);

}  // namespace korvalog
