#pragma once
// Start-up recovery for the window program: a capture journal left behind
// beside the settings is offered for restoring in the program's own box.
#include <string>

#include "core/capture_data.h"
#include "session/session_journal.h"
#include "ui/markup_style.h"

namespace korvalog {

// The folder of the capture journals: the folder of the settings file.
std::string JournalFolderBesideSettings();

// Asks, for each journal left behind in the journal's folder, whether to
// restore it. Yes restores it into `data` (and its names, rows and pattern
// into `view`) as a capture that has just
// stopped (DataModified set) and hands the file to `journal`, which removes
// it once that capture is saved or discarded; no more are asked then. No
// discards that journal; closing the box keeps it for the next start. True when a capture was restored. Call once at
// start-up, before any capture or load, with no capture running.
bool OfferJournalRecovery(CaptureData& data, CaptureView& view, SessionJournal& journal, const std::string& folder,
                          const MarkupStyle& style);

}  // namespace korvalog
