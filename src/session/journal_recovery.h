#pragma once
// Recovery of a capture journal left behind by a capture that did not end
// cleanly, the same for both programs: the tool's recover command and the
// check before each capture, and the window program's question at start-up.
#include <string>
#include <vector>

#include "core/capture_data.h"
#include "core/capture_view.h"
#include "core/journal_reader.h"
#include "session/session_journal.h"
#include "session/session_notes.h"

namespace korvalog {

// `path`, or when that exists (or is the file `reserved` names)
// "stem-recovered.kv", "stem-recovered-2.kv"...
std::string FreeRecoveredName(const std::string& path, const std::string& reserved = {});

// A file with a journal's mark where a header copy may be; anything else at
// a journal's path is not this program's and is left alone.
bool LooksLikeJournal(const std::string& path);

// A journal that could not be recovered whole is moved out of the way, never
// deleted; says where (or why not). False when it could not be moved.
bool KeepDamagedJournal(const std::string& journal, SessionNotes& notes);

// Reads `journal`, writes what it holds as the project `out` and removes the
// journal (a damaged one is kept aside); tells what was recovered and lost.
// `into` receives the capture and `view` its names, rows and pattern. False
// when nothing was written.
bool RecoverJournalTo(const std::string& journal, const std::string& out, CaptureData& into, CaptureView& view,
                      SessionFiles& files, SessionNotes& notes);

// Before a capture that keeps its journal at `journal`: a journal an earlier
// run left there (or its ".previous" part) is saved first, under the name its
// capture was meant for unless that is taken, else as
// "recovered-<start>.kv" in `partsFolder` (continuous capture) or as
// `project`. Without `partsFolder`, `project` is this run's own output, so a
// capture recovered there goes to "project-recovered.kv" instead. A journal
// whose capture is already in the file it was meant for is removed, not
// saved again. `recovered` gets each file written. False (told) when the
// path cannot be used for this capture.
bool RecoverJournalsLeftAt(const std::string& journal, const std::string& partsFolder, const std::string& project,
                           CaptureData& scratch, SessionFiles& files, SessionNotes& notes,
                           std::vector<std::string>* recovered = nullptr);

// The window program's start-up question, one journal at a time.
enum class LeftJournalAnswer { Restore, Discard, AskLater };

// Reads a journal left behind. False when it cannot be read: it is then
// moved out of the way (`movedTo`, empty when that failed too) so that
// nothing of it is lost and the next capture may use the name.
bool ReadLeftJournal(const std::string& path, JournalContents& contents, std::string& error, std::string& movedTo);

// Carries out the user's answer. Restore puts the capture into `data` as
// one that has just stopped and hands the file to `journal`, which removes
// it once the capture is saved or discarded; a damaged journal is moved
// aside either way (what could not be read stays on the disk). Discard
// removes it; AskLater leaves it for the next start. After Restored or
// NotRestorable no more journals are asked about.
enum class SettleOutcome { Restored, NotRestorable, Next };
SettleOutcome SettleLeftJournal(const std::string& path, const JournalContents& contents, LeftJournalAnswer answer,
                                CaptureData& data, CaptureView& view, SessionJournal& journal);

}  // namespace korvalog
